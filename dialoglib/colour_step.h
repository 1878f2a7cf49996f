#pragma once
// Colour and step helpers of the Quenlib library: an HLS triple to a Windows
// colour value, and a plain step size for dividing a numeric range.
// Portable: the DLL exports them as HLSTORGB and CHOOSESTEP.
#include <cstdint>

namespace segd {

// One colour component of an HLS conversion, hue in degrees (one wrap of
// 360 either way is folded back in; exactly 360 stays 360).
double HueComponent(double m1, double m2, double hue);

// Hue, lightness and saturation on a scale where 240 is the full range
// (a hue of 240 is a full turn) to a COLORREF value: red in the low byte,
// then green, then blue, top byte 0. Each component is limited to 0..255,
// also for inputs far outside 0..240.
int32_t HlsToRgb(float hue, float lightness, float saturation);

// The step of the fixed table that divides the range between the two ends
// (in either order) into the number of intervals nearest to 10; the earlier
// table entry wins a tie. 0 when no step comes within 1000000 of 10 intervals.
float ChooseStep(float first, float second);

}  // namespace segd
