#pragma once
// Header images: a block held as its hexadecimal digits, two per byte, high
// half-byte first. A raw field is the run of digits at 1-based image
// positions first..last, so half-byte fields are plain substrings.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "scan/conversions.h"
#include "scan/text_field.h"

namespace segd {

// One raw field of a record type R: which field, and which image digits.
template <class R>
struct RawFieldLayout {
  FieldRef (*field)(R&);
  int first;  // 1-based image digit
  int last;
};

// Names a record member as a FieldRef, for layout tables.
#define SEGD_FIELD(Record, Member) [](Record& r) { return r.Member.Ref(); }

// The digits first..last of the image (empty where the image is shorter).
inline std::string_view ImageDigits(std::string_view image, int first, int last) {
  const std::size_t from = static_cast<std::size_t>(first - 1);
  if (from >= image.size()) return {};
  return image.substr(from, static_cast<std::size_t>(last - first + 1));
}

template <class R, std::size_t N>
void FillRawFields(std::string_view image, const RawFieldLayout<R> (&layout)[N], R& record) {
  for (const RawFieldLayout<R>& f : layout) f.field(record).Store(ImageDigits(image, f.first, f.last));
}

// The fields of a layout must lie inside a block of `digits` digits and be no
// wider than their field.
template <class R, std::size_t N>
constexpr bool LayoutFits(const RawFieldLayout<R> (&layout)[N], int digits) {
  for (const RawFieldLayout<R>& f : layout) {
    if (f.first < 1 || f.last < f.first || f.last > digits) return false;
  }
  return true;
}

}  // namespace segd
