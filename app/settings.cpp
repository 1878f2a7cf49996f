#include "app/settings.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace segd {

namespace {

constexpr std::size_t kFolderOffset = 4 * kSelectionEntries;
constexpr std::size_t kNameOffset = kFolderOffset + kSettingsTextSize;

void PutText(std::uint8_t* out, const std::string& text) {
  const std::size_t n = text.size() < kSettingsTextSize ? text.size() : kSettingsTextSize;
  std::memcpy(out, text.data(), n);
  std::memset(out + n, ' ', kSettingsTextSize - n);
}

// Reads what the file holds of the record; the rest stays zero.
void ReadRecordBytes(std::FILE* file, std::array<std::uint8_t, kSettingsSize>& bytes) {
  bytes.fill(0);
  std::size_t got = 0;
  while (got < bytes.size()) {
    const std::size_t r = std::fread(bytes.data() + got, 1, bytes.size() - got, file);
    if (r == 0) break;
    got += r;
  }
}

}  // namespace

SettingsRecord ParseSettings(std::span<const std::uint8_t> bytes) {
  std::array<std::uint8_t, kSettingsSize> full{};
  std::memcpy(full.data(), bytes.data(), bytes.size() < kSettingsSize ? bytes.size() : kSettingsSize);
  SettingsRecord record;
  for (std::size_t i = 0; i < kSelectionEntries; ++i) {
    const std::uint8_t* p = full.data() + 4 * i;
    const std::uint32_t v = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
    record.selection[i] = static_cast<std::int32_t>(v);
  }
  record.folderField.assign(reinterpret_cast<const char*>(full.data() + kFolderOffset), kSettingsTextSize);
  record.nameField.assign(reinterpret_cast<const char*>(full.data() + kNameOffset), kSettingsTextSize);
  return record;
}

std::array<std::uint8_t, kSettingsSize> SerializeSettings(const SettingsRecord& record) {
  std::array<std::uint8_t, kSettingsSize> bytes{};
  for (std::size_t i = 0; i < kSelectionEntries; ++i) {
    const auto v = static_cast<std::uint32_t>(record.selection[i]);
    for (std::size_t b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<std::uint8_t>(v >> (8 * b));
  }
  PutText(bytes.data() + kFolderOffset, record.folderField);
  PutText(bytes.data() + kNameOffset, record.nameField);
  return bytes;
}

std::string RememberedText(std::string_view field) {
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  return std::string(field);
}

std::string PlatformText(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

SettingsRecord ReadSettingsFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  if (!file) file = std::fopen(path.c_str(), "w+b");  // a missing file is created empty
  std::array<std::uint8_t, kSettingsSize> bytes{};
  if (file) {
    ReadRecordBytes(file, bytes);
    std::fclose(file);
  }
  return ParseSettings(bytes);
}

bool LoadSettingsFile(const std::string& path, SettingsRecord& record) {
  // Only a regular file: a named pipe would hold the read until some program
  // wrote to it.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::array<std::uint8_t, kSettingsSize> bytes{};
  ReadRecordBytes(file, bytes);
  std::fclose(file);
  record = ParseSettings(bytes);
  return true;
}

bool WriteSettingsFile(const std::string& path, const SettingsRecord& record) {
  // "r+b" keeps bytes beyond the record; "w+b" only when the file is missing.
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  if (!file) file = std::fopen(path.c_str(), "w+b");
  if (!file) return false;
  const auto bytes = SerializeSettings(record);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace segd
