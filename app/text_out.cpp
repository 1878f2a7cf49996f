#include "app/text_out.h"

#include <cstdint>

namespace segd::app {

namespace {

// Windows-1252 0x80-0x9F; the five unassigned bytes keep their C1 code.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<std::uint8_t>(s[i]);
    std::size_t more = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      more = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      more = 2;
    } else if (b >= 0xF0 && b <= 0xF4) {
      more = 3;
    } else if (b >= 0x80) {
      return false;
    }
    if (i + more >= s.size() && more != 0) return false;
    for (std::size_t k = 1; k <= more; ++k) {
      if ((static_cast<std::uint8_t>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += more + 1;
  }
  return true;
}

}  // namespace

std::string RecordTextToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  const bool utf8 = IsValidUtf8(bytes);
  for (const char ch : bytes) {
    const auto b = static_cast<std::uint8_t>(ch);
    if (b == 0) continue;
    if (b < 0x80 || utf8) {
      out += ch;
    } else {
      AppendUtf8(out, b < 0xA0 ? kCp1252High[b - 0x80] : b);
    }
  }
  return out;
}

void AppendCsvCell(std::string& line, std::string_view cell) {
  if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
    line.append(cell);
    return;
  }
  line += '"';
  for (const char c : cell) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

}  // namespace segd::app
