#pragma once
// The records of a batch: paths named on the command line or read from a
// list, folders searched recursively. A file named directly is always taken
// (so a wrong name shows as a failed row); so is every file found in a
// folder, whatever its extension, unless --include/--exclude leave it out:
// an empty or foreign file in a line folder is a finding, never skipped in
// silence.
#include <cstdint>
#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace segd::app {

// General header block 1 as any make writes it: a known sample format code
// in bytes 3-4, decimal digits for the year, day, hour, minute and second,
// and a file number of decimal digits or the FFFF escape.
bool LooksLikeGeneralHeader(std::span<const std::uint8_t> first32);

// Reads the first 32 bytes of the file at `path`.
bool FileLooksLikeRecord(const std::string& path);

struct FoundRecords {
  std::vector<std::string> paths;     // in the order given; each folder's files in sorted path order
  std::vector<std::string> problems;  // "cannot read folder X (reason)"
};

// Which files found in folders are taken, by file name: those matching some
// include pattern (all when there is none) and no exclude pattern. Patterns
// are shell globs: * any run of characters, ? one, [abc] [a-z] [!a] one of a set.
struct FileFilter {
  std::vector<std::string> include, exclude;
  bool Takes(const std::string& fileName) const;
};
bool GlobMatch(std::string_view pattern, std::string_view name);

// Expands `arguments` (files and folders).
FoundRecords FindRecords(const std::vector<std::string>& arguments, const FileFilter& filter = {});

// Paths one per line (CR LF tolerated, blank lines skipped).
std::vector<std::string> ReadPathList(std::istream& in);

}  // namespace segd::app
