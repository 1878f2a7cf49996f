// The fuzz targets' inputs replayed as ordinary tests: every seed, and every
// input that once broke a rule (tests/regressions/<target>/, each file named
// after what broke), through the same checks the fuzzer runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/harness.h"
#include "fuzz/seeds.h"

namespace segd {
namespace {

namespace fs = std::filesystem;
using fuzz::Target;

class FuzzInputs : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzInputs, EverySeedKeepsEveryRule) {
  const auto seeds = fuzz::Seeds(GetParam());
  ASSERT_FALSE(seeds.empty());
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    EXPECT_EQ(fuzz::Check(GetParam(), seeds[i]), "") << "seed " << i;
  }
}

TEST_P(FuzzInputs, EveryInputThatOnceBrokeARuleNowKeepsIt) {
  const fs::path folder = fs::path(SEGD_SOURCE_DIR) / "tests" / "regressions" / std::string(fuzz::TargetName(GetParam()));
  if (!fs::is_directory(folder)) return;  // nothing has broken this target yet
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(fuzz::Check(GetParam(), input), "") << entry.path().filename();
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzInputs, ::testing::ValuesIn(fuzz::kTargets),
                         [](const auto& info) { return std::string(fuzz::TargetName(info.param)); });

}  // namespace
}  // namespace segd
