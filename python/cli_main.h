// The command line as a function of the module (python/cli_main.cpp).
#pragma once
#include <string>
#include <vector>

namespace segd::python {

// Runs segdreport with these arguments (without the program name) and
// returns its exit status; its outputs go to the process's own stdout and
// stderr.
int RunCommandLine(const std::vector<std::string>& args);

}  // namespace segd::python
