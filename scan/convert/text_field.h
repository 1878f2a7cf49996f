#pragma once
// Fixed-width text fields: every decoded record is made of them. A field is
// created full of NUL characters; a field no step fills keeps them, and the
// report writes them as they are.
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace segd {

// A mutable view of one field of some record, so that layout tables can name
// fields of any width uniformly.
struct FieldRef {
  char* data;
  std::size_t width;

  // Left-aligned: a longer text is cut on the right, a shorter one padded
  // with blanks.
  void Store(std::string_view text) const {
    const std::size_t n = text.size() < width ? text.size() : width;
    if (n > 0) std::memcpy(data, text.data(), n);
    if (width > n) std::memset(data + n, ' ', width - n);
  }
  std::string_view View() const { return {data, width}; }
};

template <std::size_t W>
struct TextField {
  static constexpr std::size_t kWidth = W;
  std::array<char, W> chars{};  // value-initialised: all NUL

  void Store(std::string_view text) { Ref().Store(text); }
  std::string_view View() const { return {chars.data(), W}; }
  std::string Text() const { return std::string(View()); }
  FieldRef Ref() { return {chars.data(), W}; }
};

// Removes blanks (code 32) only, from both ends; NUL and other control
// characters stay.
inline std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace segd
