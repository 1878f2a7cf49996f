#pragma once
// The defaults file "dorvik.def": 36 selection entries, the remembered folder
// and the remembered output name, 2192 bytes with no header. Portable: the
// window reads and writes it, the command line reads it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "output/report/trace_fields.h"

namespace segd {

inline constexpr std::size_t kSettingsTextSize = 1024;
inline constexpr std::size_t kSettingsSize = 4 * kSelectionEntries + 2 * kSettingsTextSize;
static_assert(kSettingsSize == 2192);
inline constexpr std::string_view kSettingsFileName = "dorvik.def";

// The record as it lies in the file; each text field holds exactly 1024
// bytes (blank padded when written, zero bytes where a short file had none).
struct SettingsRecord {
  OutputSelection selection{};
  std::string folderField = std::string(kSettingsTextSize, '\0');
  std::string nameField = std::string(kSettingsTextSize, '\0');
};

// Bytes the record lacks read as zero; bytes beyond 2192 are ignored.
SettingsRecord ParseSettings(std::span<const std::uint8_t> bytes);
// Texts padded with blanks to 1024 bytes, cut when longer.
std::array<std::uint8_t, kSettingsSize> SerializeSettings(const SettingsRecord& record);

// A text field as the program uses it: blanks trimmed from both ends (zero
// bytes are not blanks and stay).
std::string RememberedText(std::string_view field);
// The same text as the platform sees it: up to the first zero byte.
std::string PlatformText(std::string_view text);

// Opens the file for reading and writing, creating it empty when missing,
// and reads the record (all zeros when it cannot be opened). Never reports.
SettingsRecord ReadSettingsFile(const std::string& path);
// Reads without creating: false when the file cannot be opened.
bool LoadSettingsFile(const std::string& path, SettingsRecord& record);
// Writes the record at offset 0, creating the file when missing and keeping
// any bytes beyond the record. False when it could not be written.
bool WriteSettingsFile(const std::string& path, const SettingsRecord& record);

}  // namespace segd
