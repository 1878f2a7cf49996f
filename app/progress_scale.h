#pragma once
// How a run's progress range meets the window's progress bar. The bar holds
// 16-bit bounds, while a run's range is (0, T) with T up to 99999: a range
// that fits is given to the bar as it is, a larger one is scaled down to
// 0..kScaledTop. Positions are only passed on when the drawn bar would move
// by at least one pixel, and always when the run reaches its highest value,
// so a long run costs a few hundred bar updates rather than one per trace.
// Portable: no window here.
#include <cstdint>
#include <optional>

namespace segd {

struct BarRange {
  std::int32_t low = 0;
  std::int32_t high = 0;
};

class ProgressScale {
 public:
  static constexpr std::int32_t kBarLimit = 65535;   // highest 16-bit bound
  static constexpr std::int32_t kScaledTop = 10000;  // the bar's top for a scaled range

  // `barPixels`: the width the bar is drawn over; 0 or less passes every
  // change of the bar's position.
  explicit ProgressScale(std::int32_t barPixels) : barPixels_(barPixels) {}

  // The bounds to give the bar for the run's range (lowest, highest).
  BarRange SetRange(std::int32_t lowest, std::int32_t highest);
  // The bar position for the run's `value`, or nothing when the bar would
  // look the same as after the last position passed on.
  std::optional<std::int32_t> Position(std::int32_t value);

 private:
  std::int32_t ToBar(std::int32_t value) const;
  std::int64_t PixelOf(std::int32_t barPosition) const;

  std::int32_t barPixels_;
  std::int32_t lowest_ = 0;
  std::int32_t highest_ = 0;
  BarRange bar_;
  std::optional<std::int32_t> lastSent_;
};

}  // namespace segd
