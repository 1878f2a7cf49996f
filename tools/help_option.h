#pragma once
// Every program of the project answers a lone --help (or -h) with its usage
// on standard output and exit status 0.
#include <cstdio>
#include <cstring>

namespace segd::tools {

inline bool AnswerHelp(int argc, char** argv, const char* usage) {
  if (argc != 2 || (std::strcmp(argv[1], "--help") != 0 && std::strcmp(argv[1], "-h") != 0)) return false;
  std::fputs(usage, stdout);
  return true;
}

}  // namespace segd::tools
