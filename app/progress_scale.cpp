#include "app/progress_scale.h"

#include <algorithm>

namespace segd {

BarRange ProgressScale::SetRange(std::int32_t lowest, std::int32_t highest) {
  lowest_ = lowest;
  highest_ = std::max(lowest, highest);
  lastSent_.reset();
  if (lowest_ >= 0 && highest_ <= kBarLimit) {
    bar_ = {lowest_, highest_};
  } else {
    bar_ = {0, kScaledTop};
  }
  return bar_;
}

std::int32_t ProgressScale::ToBar(std::int32_t value) const {
  const std::int64_t clamped = std::clamp<std::int64_t>(value, lowest_, highest_);
  if (bar_.low == lowest_ && bar_.high == highest_) return static_cast<std::int32_t>(clamped);
  const std::int64_t span = std::int64_t{highest_} - lowest_;  // > kBarLimit here
  return static_cast<std::int32_t>((clamped - lowest_) * kScaledTop / span);
}

std::int64_t ProgressScale::PixelOf(std::int32_t barPosition) const {
  const std::int64_t span = std::int64_t{bar_.high} - bar_.low;
  if (barPixels_ <= 0 || span == 0) return barPosition;
  return (std::int64_t{barPosition} - bar_.low) * barPixels_ / span;
}

std::optional<std::int32_t> ProgressScale::Position(std::int32_t value) {
  const std::int32_t bar = ToBar(value);
  const bool changed = !lastSent_ || (bar != *lastSent_ && (PixelOf(bar) != PixelOf(*lastSent_) || bar == bar_.high));
  if (!changed) return std::nullopt;
  lastSent_ = bar;
  return bar;
}

}  // namespace segd
