// The command line inside the module, for `python -m segdreport`: the
// program's own main(), compiled here under another name, so both give the
// same options, outputs and exit statuses from one source.
#include <cstdio>
#include <string>
#include <vector>

#define main segdreport_command_line_main
#include "cli/main.cpp"
#undef main

#include "python/cli_main.h"

namespace segd::python {

int RunCommandLine(const std::vector<std::string>& args) {
  std::vector<std::string> words;
  words.reserve(args.size() + 1);
  words.emplace_back("segdreport");
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const int status = segdreport_command_line_main(static_cast<int>(words.size()), argv.data());
  std::fflush(stdout);
  std::fflush(stderr);
  return status;
}

}  // namespace segd::python
