#include "output/text_encoding.h"

#include <cstdint>

namespace segd::output {

namespace {

// Windows-1252's 0x80-0x9F; the undefined codes keep their own value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendCp1252(std::string& out, std::uint8_t byte) {
  const char32_t c = byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
  if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
  } else {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
  }
  out += static_cast<char>(0x80 | (c & 0x3F));
}

bool IsContinuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at `p` (of `n` bytes left), or 0:
// no overlong forms, no surrogates, nothing past U+10FFFF.
std::size_t Utf8Length(const std::uint8_t* p, std::size_t n) {
  const std::uint8_t b = p[0];
  if (b >= 0xC2 && b <= 0xDF) return n >= 2 && IsContinuation(p[1]) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    if (n < 3 || !IsContinuation(p[1]) || !IsContinuation(p[2])) return 0;
    if (b == 0xE0 && p[1] < 0xA0) return 0;
    if (b == 0xED && p[1] >= 0xA0) return 0;
    return 3;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    if (n < 4 || !IsContinuation(p[1]) || !IsContinuation(p[2]) || !IsContinuation(p[3])) return 0;
    if (b == 0xF0 && p[1] < 0x90) return 0;
    if (b == 0xF4 && p[1] >= 0x90) return 0;
    return 4;
  }
  return 0;
}

// Converts `text` to UTF-8 into `out`, handing every ASCII byte other than
// NUL to `ascii` (which appends it, escaped as its format wants).
template <class Ascii>
void Convert(std::string& out, std::string_view text, Source source, Ascii ascii) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const std::uint8_t b = p[i];
    if (b < 0x80) {
      if (b != 0) ascii(out, static_cast<char>(b));
      ++i;
      continue;
    }
    if (source == Source::Host) {
      if (const std::size_t length = Utf8Length(p + i, n - i)) {
        out.append(text.data() + i, length);
        i += length;
        continue;
      }
    }
    AppendCp1252(out, b);
    ++i;
  }
}

void AppendPlain(std::string& out, char c) { out += c; }

void AppendJsonChar(std::string& out, char c) {
  switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
  }
  if (static_cast<unsigned char>(c) < 0x20) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
    return;
  }
  out += c;
}

void AppendCsvChar(std::string& out, char c) {
  out += c;
  if (c == '"') out += '"';
}

}  // namespace

void AppendRecordText(std::string& out, std::string_view bytes) { Convert(out, bytes, Source::Record, AppendPlain); }

void AppendHostText(std::string& out, std::string_view text) { Convert(out, text, Source::Host, AppendPlain); }

void AppendJsonString(std::string& out, std::string_view text, Source source) {
  out += '"';
  Convert(out, text, source, AppendJsonChar);
  out += '"';
}

bool IsJsonNumber(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  const auto digits = [&] {
    const std::size_t start = i;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
    return i > start;
  };
  if (i < n && text[i] == '-') ++i;
  if (i < n && text[i] == '0') {
    ++i;
  } else if (!digits()) {
    return false;
  }
  if (i < n && text[i] == '.') {
    ++i;
    if (!digits()) return false;
  }
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    if (!digits()) return false;
  }
  return i == n;
}

void AppendCsvField(std::string& out, std::string_view text, Source source) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    Convert(out, text, source, AppendPlain);
    return;
  }
  out += '"';
  Convert(out, text, source, AppendCsvChar);
  out += '"';
}

}  // namespace segd::output
