// Writes the seed inputs of every fuzz target into DIR/<target>/, one file
// each, named by target and number.
#include "tools/help_option.h"
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/seeds.h"

int main(int argc, char** argv) {
  if (segd::tools::AnswerHelp(argc, argv, "usage: make_corpus DIR\n")) return 0;
  if (argc != 2) {
    std::fputs("usage: make_corpus DIR\n", stderr);
    return 2;
  }
  namespace fs = std::filesystem;
  for (segd::fuzz::Target target : segd::fuzz::kTargets) {
    const std::string name(segd::fuzz::TargetName(target));
    const fs::path folder = fs::path(argv[1]) / name;
    std::error_code error;
    fs::create_directories(folder, error);
    int n = 0;
    for (const auto& seed : segd::fuzz::Seeds(target)) {
      char file[64];
      std::snprintf(file, sizeof file, "seed-%03d", n++);
      std::ofstream out(folder / file, std::ios::binary);
      out.write(reinterpret_cast<const char*>(seed.data()), static_cast<std::streamsize>(seed.size()));
      if (!out) {
        std::fprintf(stderr, "make_corpus: cannot write %s\n", (folder / file).string().c_str());
        return 1;
      }
    }
  }
  return 0;
}
