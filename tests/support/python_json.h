#pragma once
// Runs one of the read-back scripts in tests/support with Debian's Python and
// parses the JSON it prints: the outputs are read by the field's own parsers
// (csv, json, pandas, segyio), not by this project's code.
#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

namespace segd::test {

inline nlohmann::json RunSupportScript(const std::string& script, const std::string& args) {
  const std::string command = "/usr/bin/python3 " SEGD_SOURCE_DIR "/tests/support/" + script + " " + args;
  std::FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  EXPECT_TRUE(pipe && pclose(pipe) == 0) << command;
  return nlohmann::json::parse(out);
}

}  // namespace segd::test
