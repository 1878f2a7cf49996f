#pragma once
// The records of a batch: paths named on the command line or read from a
// list, folders searched recursively. A file named directly is always taken
// (so a wrong name shows as a failed row); a file found in a folder is taken
// when its first 32 bytes read as a SEG-D general header block 1, whatever
// its extension.
#include <cstdint>
#include <istream>
#include <span>
#include <string>
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

// Expands `arguments` (files and folders).
FoundRecords FindRecords(const std::vector<std::string>& arguments);

// Paths one per line (CR LF tolerated, blank lines skipped).
std::vector<std::string> ReadPathList(std::istream& in);

}  // namespace segd::app
