// The bar's share of a run's progress: ranges that fit 16 bits unchanged,
// larger ones scaled, one update per visible step and always the last.
#include <gtest/gtest.h>

#include <vector>

#include "app/progress_scale.h"

namespace segd {
namespace {

struct Updates {
  std::vector<std::int32_t> positions;
};

Updates RunTraces(ProgressScale& scale, std::int32_t traces) {
  Updates updates;
  for (std::int32_t i = 1; i <= traces; ++i) {
    if (auto p = scale.Position(i)) updates.positions.push_back(*p);
  }
  return updates;
}

TEST(ProgressScale, RangesWithin16BitsReachTheBarUnchanged) {
  struct Case {
    std::int32_t low, high;
  };
  for (Case c : {Case{0, 0}, Case{0, 1}, Case{0, 100}, Case{0, 65535}, Case{5, 9}}) {
    ProgressScale scale(300);
    const BarRange bar = scale.SetRange(c.low, c.high);
    EXPECT_EQ(bar.low, c.low);
    EXPECT_EQ(bar.high, c.high);
  }
}

TEST(ProgressScale, RangesBeyond16BitsAreScaledToTheBarsTop) {
  for (std::int32_t high : {65536, 70000, 99999, 2000000000}) {
    ProgressScale scale(300);
    const BarRange bar = scale.SetRange(0, high);
    EXPECT_EQ(bar.low, 0);
    EXPECT_EQ(bar.high, ProgressScale::kScaledTop);
    EXPECT_EQ(scale.Position(high), ProgressScale::kScaledTop);
  }
}

TEST(ProgressScale, EveryTraceIsShownWhenTheBarHasAPixelForEach) {
  ProgressScale scale(300);
  scale.SetRange(0, 100);
  const Updates updates = RunTraces(scale, 100);
  ASSERT_EQ(updates.positions.size(), 100u);
  EXPECT_EQ(updates.positions.front(), 1);
  EXPECT_EQ(updates.positions.back(), 100);
}

TEST(ProgressScale, ALongRunUpdatesOncePerPixelAndEndsFull) {
  for (std::int32_t traces : {1000, 65535, 65801, 99999}) {
    SCOPED_TRACE(traces);
    ProgressScale scale(350);
    const BarRange bar = scale.SetRange(0, traces);
    const Updates updates = RunTraces(scale, traces);
    EXPECT_LE(updates.positions.size(), 352u);
    EXPECT_GE(updates.positions.size(), 300u);
    EXPECT_EQ(updates.positions.back(), bar.high);
    for (std::size_t i = 1; i < updates.positions.size(); ++i) {
      EXPECT_GT(updates.positions[i], updates.positions[i - 1]);
    }
  }
}

TEST(ProgressScale, ScaledPositionsAreTrueToTheRun) {
  ProgressScale scale(0);  // no pixel throttle: every change of bar position
  scale.SetRange(0, 99999);
  EXPECT_EQ(scale.Position(0), 0);
  EXPECT_EQ(scale.Position(50000), 5000);
  EXPECT_EQ(scale.Position(99999), 10000);
  EXPECT_EQ(scale.Position(200000), std::nullopt) << "beyond the range: held at the top, already shown";
}

TEST(ProgressScale, ANewRangeShowsItsFirstPositionAgain) {
  ProgressScale scale(100);
  scale.SetRange(0, 10);
  EXPECT_EQ(scale.Position(10), 10);
  scale.SetRange(0, 10);
  EXPECT_EQ(scale.Position(10), 10);
  EXPECT_EQ(scale.Position(10), std::nullopt);
}

}  // namespace
}  // namespace segd
