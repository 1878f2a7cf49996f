#pragma once
// The files a run reads (its records, lists of records, defaults file and
// summaries) and the check that no output of the run names one of them: an
// output moved over its name would destroy the file. Two names are the same
// file when their paths are the same (after making them absolute) or, on
// POSIX, when they reach the same device and inode; an output's own entry is
// compared, so a link at the output's name (replaced, not followed) does
// not count as the record it points to.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace segd::app {

class RunInputs {
 public:
  void Add(const std::string& path);
  // Why `output` may not be written: it is one of the inputs ("The output
  // PATH is one of the records being read"), or a file that reads as a SEG-D
  // record (a record name given where an output's name was forgotten);
  // nullopt when it may. "-" (standard output) always may.
  std::optional<std::string> Refusal(const std::string& output) const;

 private:
  std::set<std::string> paths_;  // absolute, normalised
  std::set<std::pair<std::uint64_t, std::uint64_t>> files_;  // device, inode
};

}  // namespace segd::app
