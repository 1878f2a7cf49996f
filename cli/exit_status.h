#pragma once
// The command line's exit statuses, one run or many, and its usage error.
#include <cstdio>
#include <string>

namespace segd::cli {

inline constexpr int kExitOk = 0;        // every output written, every record sound
inline constexpr int kExitFailed = 1;    // a record not decoded or an output not written
inline constexpr int kExitUsage = 2;     // the options could not be taken
inline constexpr int kExitFindings = 3;  // written, but a record is cut short or has findings

inline int UsageError(const std::string& message) {
  std::fprintf(stderr, "segdreport: %s\nTry 'segdreport --help' for more information.\n", message.c_str());
  return kExitUsage;
}

}  // namespace segd::cli
