// One conversion on any bytes: byte 0 chooses it, the rest is its argument.
// The checks are properties that hold for every argument: a number written
// and read back is the same number to the digits kept, reading stops at the
// first character outside the pattern, and so on.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "output/report/padout.h"
#include "fuzz/harness.h"
#include "scan/convert/conversions.h"
#include "scan/convert/text_field.h"

namespace segd::fuzz {

namespace {

std::string_view AsText(ByteSpan bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

std::string CheckDigitValue(std::string_view text) {
  const double value = DigitValue(text);
  if (std::isnan(value)) return "DigitValue gave not-a-number";
  SaturatedCount(value);
  if (DigitValue(std::string(text) + "Z") != value) return "DigitValue read past the end of its number";
  if (DigitValue(" \t\n" + std::string(text)) != value) {
    return "DigitValue did not skip leading blanks";
  }
  if (!text.empty() && text[0] >= '0' && text[0] <= '9' && DigitValue("-" + std::string(text)) != -value) {
    return "DigitValue of a negated number is not its negation";
  }
  if (IsDigits(text) && text.size() <= 15) {
    std::uint64_t exact = 0;
    std::from_chars(text.data(), text.data() + text.size(), exact);
    if (value != static_cast<double>(exact)) return "DigitValue misread a plain integer";
  }
  return {};
}

std::string CheckHexValue(std::string_view text) {
  const std::uint64_t value = HexValue(text);
  const bool allHex = std::all_of(text.begin(), text.end(), IsHexDigit);
  const std::uint64_t appended = HexValue(std::string(text) + "0");
  if (!allHex && appended != value) return "HexValue read past the first non-digit";
  if (allHex && text.size() <= 15 && appended != value * 16) return "HexValue misread its digits";
  return {};
}

// NumberText with n digits: only the characters of a number, the sign rule
// of SignedNumberText, and a text that reads back to a number which writes
// as the same text (rounding twice changes nothing).
std::string CheckNumberText(double x, int n) {
  const std::string text = NumberText(x, n);
  const std::string sign = x < 0 ? "" : " ";
  if (SignedNumberText(x, n) != sign + text) return "SignedNumberText is not NumberText with its blank";
  if (std::isnan(x) || std::isinf(x)) return {};
  if (text.find_first_not_of("-0123456789.E+") != std::string::npos) return "NumberText wrote " + text;
  const double back = DigitValue(text);
  // The largest doubles round up past the largest double (1.79769313486232E+308
  // for 1.7976931348623157E+308), and such a text reads back as infinite.
  if (std::isinf(back)) {
    return std::fabs(x) > 1.797693134862315e308 ? std::string() : "NumberText " + text + " reads back as infinite";
  }
  // Rounding to n digits moves the number by less than 0.6 of a unit of the
  // last digit kept (a first dropped 5 rounds to even whatever follows it);
  // reading the text back adds at most a few units of the last bit.
  if (std::fabs(back - x) > std::fabs(x) * (6 * std::pow(10.0, -n) + 4e-16)) return "NumberText " + text + " is not the number";
  if (NumberText(back, n) != text) return "NumberText " + text + " does not read back to itself";
  return {};
}

std::string CheckBytes(int which, ByteSpan bytes) {
  switch (which) {
    case 0: {
      const std::string hex = BytesToHex(bytes);
      if (hex.size() != 2 * bytes.size()) return "BytesToHex is not two digits a byte";
      std::uint64_t value = 0;
      for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 8); ++i) value = value << 8 | bytes[i];
      if (HexValue(std::string_view(hex).substr(0, 16)) != value) return "BytesToHex digits do not spell the bytes";
      return {};
    }
    case 1: {
      const std::string text = BytesToDecimal(bytes);
      if (bytes.size() > 9) return text == "Too Big" ? std::string() : "BytesToDecimal of ten bytes is not Too Big";
      if (bytes.size() <= 6) {
        std::uint64_t value = 0;
        for (std::uint8_t b : bytes) value = value << 8 | b;
        char digits[24];
        const auto r = std::to_chars(digits, digits + sizeof digits, value);
        if (text != std::string_view(digits, static_cast<std::size_t>(r.ptr - digits))) return "BytesToDecimal gave " + text;
      }
      return {};
    }
    case 2: {
      const std::string text = BytesToFixedPoint(bytes);
      if (bytes.size() < 2 || bytes.size() > 9) return {};
      const std::string whole = BytesToDecimal(bytes.first(bytes.size() - 2)) + ".";
      const std::size_t fraction = text.size() - whole.size();
      if (!text.starts_with(whole) || fraction < 4 || fraction > 8) return "BytesToFixedPoint gave " + text;
      return {};
    }
    case 3: {
      const std::string text = BytesToRevision(bytes.first(std::min<std::size_t>(bytes.size(), 2)));
      if (text.find('.') == std::string::npos) return "BytesToRevision has no point";
      return {};
    }
    case 4: {
      const std::string text = BytesToSingleText(bytes.first(std::min<std::size_t>(bytes.size(), 4)));
      std::uint8_t b[4] = {};
      std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), 4), b);
      const std::uint32_t bits = std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
      float value;
      std::memcpy(&value, &bits, sizeof value);
      if (text != NumberText(value, 7)) return "BytesToSingleText is not NumberText of the single";
      return CheckNumberText(value, 7);
    }
    default: {
      const std::string text = BytesToDoubleText(bytes.first(std::min<std::size_t>(bytes.size(), 8)));
      std::uint64_t bits = 0;
      for (std::size_t i = 0; i < 8; ++i) bits = bits << 8 | (i < bytes.size() ? bytes[i] : 0);
      double value;
      std::memcpy(&value, &bits, sizeof value);
      if (text != NumberText(value, 15)) return "BytesToDoubleText is not NumberText of the double";
      return CheckNumberText(value, 15);
    }
  }
}

std::string CheckDate(ByteSpan bytes) {
  std::uint8_t b[4] = {};
  std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), 4), b);
  const auto year = static_cast<std::int16_t>(b[0] << 8 | b[1]);
  const auto day = static_cast<std::int16_t>(b[2] << 8 | b[3]);
  const std::string text = YearDayToDate(year, day);
  if (year < 0 || year > 99) return {};
  // CCYY-MM-D...: the month 01 to 12, a day of month within 1 to 31 for a
  // day of the year from 1 on.
  if (text.size() < 9 || text[4] != '-' || text[7] != '-') return "YearDayToDate gave " + text;
  const int month = (text[5] - '0') * 10 + (text[6] - '0');
  if (month < 1 || month > 12) return "YearDayToDate gave month " + text;
  const double dayOfMonth = DigitValue(std::string_view(text).substr(8));
  if (day >= 1 && (dayOfMonth < 1 || dayOfMonth > 31)) return "YearDayToDate gave day " + text;
  return {};
}

std::string CheckPadOut(ByteSpan bytes) {
  if (bytes.size() < 2) return {};
  // Widths from -8 to 4087: enough to cross every case without huge texts.
  const std::int32_t width = ((bytes[0] << 8 | bytes[1]) % 4096) - 8;
  const std::string_view text = AsText(bytes.subspan(2));
  const std::string cell = PadOut(text, width);
  const std::string_view trimmed = TrimBlanks(text);
  const std::size_t w = width < 0 ? 0 : static_cast<std::size_t>(width);
  std::string expected(trimmed.substr(0, std::min(trimmed.size(), w)));
  if (trimmed.size() <= w) expected.append(trimmed.size() == w ? 1 : w - trimmed.size(), ' ');
  if (cell != expected) return "PadOut did not trim, cut or pad as the column asks";
  std::string line = "x";
  AppendPadded(line, text, width);
  if (line != "x" + cell) return "AppendPadded is not PadOut";
  return {};
}

}  // namespace

std::string CheckConversions(Input input) {
  if (input.empty()) return {};
  const ByteSpan rest = input.subspan(1);
  switch (input[0] % 7) {
    case 0: return CheckDigitValue(AsText(rest));
    case 1: return CheckHexValue(AsText(rest));
    case 2: {
      double x = 0;
      std::uint8_t b[8] = {};
      std::copy_n(rest.begin(), std::min<std::size_t>(rest.size(), 8), b);
      std::uint64_t bits = 0;
      for (std::uint8_t v : b) bits = bits << 8 | v;
      std::memcpy(&x, &bits, sizeof x);
      return CheckNumberText(x, rest.size() > 8 && (rest[8] & 1) ? 7 : 15);
    }
    case 3: return CheckBytes(rest.empty() ? 0 : rest[0] % 6, rest.empty() ? rest : rest.subspan(1));
    case 4: return CheckDate(rest);
    case 5: return CheckPadOut(rest);
    default: return CheckNumberText(DigitValue(AsText(rest)), 7);
  }
}

}  // namespace segd::fuzz
