// The command line's contract: options, selection lists and usage errors.
#include <gtest/gtest.h>

#include "cli/options.h"

namespace segd::cli {
namespace {

OutputSelection Entries(std::initializer_list<int> indices) {
  OutputSelection s{};
  for (int i : indices) s[static_cast<std::size_t>(i)] = 1;
  return s;
}

TEST(ParseSelection, ReadsIndicesRangesAllAndNone) {
  std::string error;
  EXPECT_EQ(*ParseSelection("30,31", error), Entries({30, 31}));
  EXPECT_EQ(*ParseSelection("none", error), OutputSelection{});
  OutputSelection all{};
  for (int i = 0; i <= 33; ++i) all[static_cast<std::size_t>(i)] = 1;
  EXPECT_EQ(*ParseSelection("all", error), all);
  OutputSelection ranged = Entries({31});
  for (int i = 0; i <= 29; ++i) ranged[static_cast<std::size_t>(i)] = 1;
  EXPECT_EQ(*ParseSelection("0-29,31", error), ranged);
  EXPECT_EQ(*ParseSelection("35", error), Entries({35}));
}

TEST(ParseSelection, RejectsWhatIsNotAnIndexList) {
  for (const char* bad : {"", "36", "-1", "5-3", "a", "1,,2", "1-", "0x1", "1 2"}) {
    std::string error;
    EXPECT_FALSE(ParseSelection(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(ParseOptions, TakesEveryOptionAndTheRecord) {
  std::string error;
  const auto o = ParseOptions({"--output", "results.txt", "--folder=/tmp", "--select", "1,2", "--defaults", "d.def",
                               "--view", "--quiet", "rec.segd"},
                              error);
  ASSERT_TRUE(o) << error;
  EXPECT_EQ(*o->output, "results.txt");
  EXPECT_EQ(*o->folder, "/tmp");
  EXPECT_EQ(*o->selection, Entries({1, 2}));
  EXPECT_EQ(*o->defaults, "d.def");
  EXPECT_TRUE(o->view);
  EXPECT_TRUE(o->quiet);
  EXPECT_EQ(o->record, "rec.segd");
}

TEST(ParseOptions, UsageErrorsSayWhatIsWrong) {
  const std::vector<std::vector<std::string>> bad = {
      {}, {"--output"}, {"--bogus", "r"}, {"a", "b"}, {"--select", "99", "r"}, {"--folder"},
  };
  for (const auto& args : bad) {
    std::string error;
    EXPECT_FALSE(ParseOptions(args, error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(ParseOptions, HelpAndVersionNeedNoRecord) {
  std::string error;
  EXPECT_TRUE(ParseOptions({"--help"}, error)->help);
  EXPECT_TRUE(ParseOptions({"--version"}, error)->version);
  EXPECT_EQ(ParseOptions({"--", "--view"}, error)->record, "--view");
}

}  // namespace
}  // namespace segd::cli
