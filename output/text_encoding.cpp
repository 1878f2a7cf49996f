#include "output/text_encoding.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

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

// Converts `text` to UTF-8 into `out`. `Format` says which ASCII bytes pass
// as they are (Plain; copied a run at a time, the common case) and appends
// any other ASCII byte but NUL escaped as its format wants (Escape).
template <class Format>
void Convert(std::string& out, std::string_view text, Source source) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const std::size_t run = i;
    while (i < n && Format::Plain(p[i])) ++i;
    out.append(text.data() + run, i - run);
    if (i == n) break;
    const std::uint8_t b = p[i];
    if (b < 0x80) {
      if (b != 0) Format::Escape(out, static_cast<char>(b));
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

struct PlainText {
  static bool Plain(std::uint8_t b) { return b != 0 && b < 0x80; }
  static void Escape(std::string&, char) {}
};

struct JsonText {
  static bool Plain(std::uint8_t b) { return b >= 0x20 && b < 0x80 && b != '"' && b != '\\'; }
  static void Escape(std::string& out, char c) {
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
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
  }
};

// Inside a quoted CSV field: quotes doubled, everything else as it is.
struct QuotedCsvText {
  static bool Plain(std::uint8_t b) { return b != 0 && b < 0x80 && b != '"'; }
  static void Escape(std::string& out, char) { out += "\"\""; }
};

// Parsers store a JSON number as a double: one past its range reads as
// infinite or is refused. (Numbers that small that they read as 0 are fine.)
bool FitsADouble(std::string_view number) {
  char small[64];
  std::string large;
  const char* text = small;
  if (number.size() < sizeof small) {
    std::memcpy(small, number.data(), number.size());
    small[number.size()] = '\0';
  } else {
    large = number;
    text = large.c_str();
  }
  return std::isfinite(std::strtod(text, nullptr));
}

}  // namespace

void AppendRecordText(std::string& out, std::string_view bytes) { Convert<PlainText>(out, bytes, Source::Record); }

void AppendHostText(std::string& out, std::string_view text) { Convert<PlainText>(out, text, Source::Host); }

void AppendJsonString(std::string& out, std::string_view text, Source source) {
  out += '"';
  Convert<JsonText>(out, text, source);
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
    return i == n && FitsADouble(text);
  }
  // Without an exponent only more than 308 digits can overflow.
  return i == n && (n < 300 || FitsADouble(text));
}

void AppendCsvField(std::string& out, std::string_view text, Source source) {
  // One pass decides: most fields are plain ASCII and go out as they are.
  bool quoted = false;
  bool plain = true;
  for (const char c : text) {
    quoted |= c == ',' || c == '"' || c == '\r' || c == '\n';
    plain &= PlainText::Plain(static_cast<std::uint8_t>(c));
  }
  if (!quoted) {
    if (plain) {
      out.append(text);
    } else {
      Convert<PlainText>(out, text, source);
    }
    return;
  }
  out += '"';
  Convert<QuotedCsvText>(out, text, source);
  out += '"';
}

}  // namespace segd::output
