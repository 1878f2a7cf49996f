// HLS to colour value and step choice of the helper library (portable half).
#include "dialoglib/colour_step.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace segd {
namespace {

struct HlsCase {
  const char* what;
  float hue, lightness, saturation;
  int32_t colour;
};

TEST(HlsToRgb, GivesTheColourValueOfEachNamedTriple) {
  const HlsCase cases[] = {
      {"hue 0 is pure red", 0, 120, 240, 0x0000FF},
      {"hue 80 is pure green", 80, 120, 240, 0x00FF00},
      {"hue 160 is pure blue", 160, 120, 240, 0xFF0000},
      {"hue 240 is a full turn, red again", 240, 120, 240, 0x0000FF},
      {"hue 40 is yellow", 40, 120, 240, 0x00FFFF},
      {"hue 120 is cyan", 120, 120, 240, 0xFFFF00},
      {"hue 200 is magenta", 200, 120, 240, 0xFF00FF},
      {"saturation 0 gives grey 127.5, halves to even 128", 40, 120, 0, 0x808080},
      {"full lightness is white", 0, 240, 240, 0xFFFFFF},
      {"full lightness is white at any hue", 133, 240, 17, 0xFFFFFF},
      {"full lightness is white without saturation", 77, 240, 0, 0xFFFFFF},
      {"zero lightness is black", 0, 0, 240, 0},
      {"zero lightness is black at any hue", 211, 0, 99, 0},
      {"zero lightness is black without saturation", 5, 0, 0, 0},
      {"light red: lightness above one half", 0, 180, 240, 0x8080FF},
      {"dark red: lightness below one half", 0, 60, 240, 0x000080},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HlsToRgb(c.hue, c.lightness, c.saturation), c.colour) << c.what;
  }
}

// The scaled hue, lightness and saturation are singles: 8 / 240 held as a
// single lies a hair above 1/30, so its 255-fold 8.5 becomes 8.5000004 and
// rounds up to 9, where the exact 1/30 would round to even 8.
TEST(HlsToRgb, HoldsTheScaledInputsInSinglePrecision) {
  const HlsCase cases[] = {
      {"grey of lightness 8: 8.5000004 rounds to 9", 0, 8, 0, 0x090909},
      {"the same grey at another hue", 133, 8, 0, 0x090909},
      {"red of lightness 4: m2 = 2 x single(1/60) gives 9", 0, 4, 240, 0x000009},
      {"red m2 = single(5/12) x (1 + single(0.2)) is just below 127.5", 10, 100, 48, 0x55607F},
      {"m1 and m2 of singles at lightness 200", 37, 200, 96, 0xC3E3E5},
      {"dark red at half saturation", 0, 16, 120, 0x09091A},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HlsToRgb(c.hue, c.lightness, c.saturation), c.colour) << c.what;
  }
}

TEST(HlsToRgb, LimitsEveryComponentToOneByteForInputsOutOfRange) {
  EXPECT_EQ(HlsToRgb(0, 480, 0), 0xFFFFFF) << "lightness 2: each component 510";
  EXPECT_EQ(HlsToRgb(0, -120, 0), 0) << "negative lightness";
  EXPECT_EQ(HlsToRgb(0, 1e30f, 0), 0xFFFFFF) << "far beyond 16 bits";
  EXPECT_EQ(HlsToRgb(0, -1e30f, 0), 0);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(HlsToRgb(nan, nan, nan), 0);
  for (float hue : {-1e6f, -240.f, 1e6f}) {
    for (float sat : {-500.f, 1e9f}) {
      const int32_t colour = HlsToRgb(hue, 120, sat);
      EXPECT_GE(colour, 0);
      EXPECT_LE(colour, 0xFFFFFF) << "top byte stays 0";
    }
  }
}

struct HueCase {
  const char* what;
  double hue;
  double expected;  // with m1 = 0.2, m2 = 0.8
};

TEST(HueComponent, FoldsTheHueOnceAndFollowsTheFourRanges) {
  const HueCase cases[] = {
      {"start of the rising range", 0, 0.2},
      {"middle of the rising range", 30, 0.5},
      {"60 is on the plateau", 60, 0.8},
      {"180 starts the falling range at m2", 180, 0.8},
      {"middle of the falling range", 210, 0.5},
      {"240 and above give m1", 240, 0.2},
      {"exactly 360 stays 360", 360, 0.2},
      {"above 360 folds back once", 390, 0.5},
      {"720 folds only to 360", 720, 0.2},
      {"below 0 folds forward once", -330, 0.5},
      {"far below 0 is folded only once", -400, 0.2 + 0.6 * -40.0 / 60.0},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(HueComponent(0.2, 0.8, c.hue), c.expected, 1e-12) << c.what;
  }
}

struct StepCase {
  const char* what;
  float first, second;
  float step;
};

TEST(ChooseStep, PicksTheStepNearestToTenIntervals) {
  const StepCase cases[] = {
      {"0 to 100", 0, 100, 10},
      {"ends in either order", 100, 0, 10},
      {"0 to 1", 0, 1, 0.1f},
      {"0 to 7", 0, 7, 1},
      {"0 to 250", 0, 250, 25},
      {"equal ends: every distance 10, first entry wins", 3, 3, 0.01f},
      {"0 to 100000000", 0, 100000000, 10000},
      {"negative ends", -50, -30, 2},
      {"the late fine step 0.5", 0, 5, 0.5f},
      {"the late fine step 0.02", 0, 0.2f, 0.02f},
      {"tie of 50 and 75 goes to the earlier entry", 0, 600, 50},
      {"tie of 100 and 150 goes to the earlier entry", 1200, 0, 100},
      {"tie of 2000 and 3000 goes to the earlier entry", 0, 24000, 2000},
  };
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(ChooseStep(c.first, c.second), c.step) << c.what;
  }
}

TEST(ChooseStep, GivesZeroWhenNoStepComesNearTenIntervals) {
  EXPECT_EQ(ChooseStep(0, 100000000000.0f), 0.0f);
  EXPECT_EQ(ChooseStep(0, std::numeric_limits<float>::infinity()), 0.0f);
  EXPECT_EQ(ChooseStep(std::numeric_limits<float>::quiet_NaN(), 1), 0.0f);
}

}  // namespace
}  // namespace segd
