#include "dialoglib/colour_step.h"

#include <array>
#include <cmath>

namespace segd {

namespace {

// The search order decides ties, so the fine steps 0.02 to 0.5 come last.
constexpr std::array<float, 26> kStepTable = {
    0.01f, 0.1f,  1.0f,   2.0f,   5.0f,    10.0f,  20.0f, 25.0f, 30.0f,
    40.0f, 50.0f, 75.0f,  100.0f, 150.0f,  200.0f, 400.0f, 500.0f, 1000.0f,
    2000.0f, 3000.0f, 5000.0f, 10000.0f, 0.02f, 0.05f, 0.2f, 0.5f};

// No step is taken unless its distance from 10 intervals is below this.
constexpr double kNoStepBound = 1000000.0;

// A component times 255, rounded to nearest with halves to even (127.5 gives
// 128), limited to one byte. The limit is applied before the conversion so
// that inputs far out of range (or NaN) cannot overflow.
int32_t ComponentByte(double component) {
  const double scaled = component * 255.0;
  if (!(scaled > 0.0)) return 0;  // negative, zero or NaN
  if (scaled > 255.0) return 255;
  return static_cast<int32_t>(std::nearbyint(scaled));
}

}  // namespace

double HueComponent(double m1, double m2, double hue) {
  if (hue > 360.0) {
    hue -= 360.0;
  } else if (hue < 0.0) {
    hue += 360.0;
  }
  if (hue < 60.0) return m1 + (m2 - m1) * hue / 60.0;
  if (hue < 180.0) return m2;
  if (hue < 240.0) return m1 + (m2 - m1) * (240.0 - hue) / 60.0;
  return m1;
}

int32_t HlsToRgb(float hue, float lightness, float saturation) {
  // The scaled inputs are held in single precision.
  const float h = static_cast<float>(static_cast<double>(hue) * 360.0 / 240.0);
  const float l = static_cast<float>(static_cast<double>(lightness) / 240.0);
  const float s = static_cast<float>(static_cast<double>(saturation) / 240.0);

  const double m2 = l <= 0.5f ? static_cast<double>(l) * (1.0 + s)
                              : static_cast<double>(l) + s - static_cast<double>(l) * s;
  const double m1 = 2.0 * l - m2;

  double red = l, green = l, blue = l;
  if (s != 0.0f) {
    red = HueComponent(m1, m2, static_cast<double>(h) + 120.0);
    green = HueComponent(m1, m2, h);
    blue = HueComponent(m1, m2, static_cast<double>(h) - 120.0);
  }
  return ComponentByte(red) + 256 * ComponentByte(green) + 65536 * ComponentByte(blue);
}

float ChooseStep(float first, float second) {
  const double span = std::fabs(static_cast<double>(second) - static_cast<double>(first));
  double best = kNoStepBound;
  float chosen = 0.0f;
  for (const float step : kStepTable) {
    const double distance = std::fabs(10.0 - span / step);
    if (distance < best) {
      best = distance;
      chosen = step;
    }
  }
  return chosen;
}

}  // namespace segd
