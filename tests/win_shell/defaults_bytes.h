#pragma once
// dorvik.def written and read byte by byte for the tests: 36 little-endian
// 32-bit entries, then the folder and the output name, each 1024 bytes.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace segd::test {

inline constexpr std::size_t kDefaultsSize = 2192;
inline constexpr std::size_t kFolderOffset = 144;
inline constexpr std::size_t kNameOffset = 1168;
inline constexpr std::size_t kTextSize = 1024;

using Entries = std::array<std::int32_t, 36>;

inline std::vector<std::uint8_t> DefaultsBytes(const Entries& entries, std::string_view folder, std::string_view name) {
  std::vector<std::uint8_t> bytes(kDefaultsSize, ' ');
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const auto v = static_cast<std::uint32_t>(entries[i]);
    for (std::size_t b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<std::uint8_t>(v >> (8 * b));
  }
  for (std::size_t i = 0; i < folder.size() && i < kTextSize; ++i) bytes[kFolderOffset + i] = static_cast<std::uint8_t>(folder[i]);
  for (std::size_t i = 0; i < name.size() && i < kTextSize; ++i) bytes[kNameOffset + i] = static_cast<std::uint8_t>(name[i]);
  return bytes;
}

inline std::int32_t EntryOf(const std::vector<std::uint8_t>& bytes, std::size_t k) {
  std::uint32_t v = 0;
  for (std::size_t b = 0; b < 4; ++b) v |= std::uint32_t{bytes.at(4 * k + b)} << (8 * b);
  return static_cast<std::int32_t>(v);
}

inline std::string FolderField(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin() + kFolderOffset, bytes.begin() + kFolderOffset + kTextSize);
}

inline std::string NameField(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin() + kNameOffset, bytes.begin() + kNameOffset + kTextSize);
}

// A text field as written: the text, blanks up to 1024 bytes.
inline std::string Padded(std::string_view text) {
  std::string field(text.substr(0, kTextSize));
  field.resize(kTextSize, ' ');
  return field;
}

}  // namespace segd::test
