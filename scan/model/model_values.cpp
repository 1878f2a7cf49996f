#include "scan/model/model_values.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <system_error>

#include "scan/convert/conversions.h"

namespace segd::model {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\0')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  return text;
}

void SetText(Value& value, std::string_view text) {
  value.kind = Value::Kind::Text;
  value.text.clear();
  AppendWithoutNul(value.text, text);
  value.number = 0;
  value.flag = false;
  if (value.text.empty()) value.kind = Value::Kind::Null;
}

void SetNumberFromPlain(Value& value) {
  value.kind = Value::Kind::Number;
  value.flag = false;
  // Most values are short integers: summed exactly without a general parse.
  const std::string& t = value.text;
  if (t.size() <= 15) {
    std::int64_t whole = 0;
    bool integer = true;
    for (std::size_t i = t[0] == '-' ? 1 : 0; i < t.size() && integer; ++i) {
      integer = IsDigit(t[i]);
      whole = whole * 10 + (t[i] - '0');
    }
    if (integer) {
      value.number = t[0] == '-' ? -static_cast<double>(whole) : static_cast<double>(whole);
      return;
    }
  }
  double number = 0;
  const auto result = std::from_chars(value.text.data(), value.text.data() + value.text.size(), number);
  // Out of the range of a double: the text keeps every digit; the number
  // saturates.
  if (result.ec == std::errc::result_out_of_range) number = DigitValue(value.text);
  value.number = number;
}

}  // namespace

void AppendWithoutNul(std::string& out, std::string_view text) {
  // Field texts are short: a plain loop beats a search per run.
  const std::size_t start = out.size();
  out.resize(start + text.size());
  char* to = out.data() + start;
  for (char c : text) {
    if (c != '\0') *to++ = c;
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
}

bool PlainNumber(std::string_view text, std::string& out) {
  out.clear();
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    if (text[i] == '-') out.push_back('-');
    ++i;
  }
  const std::size_t intStart = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  std::string_view whole = text.substr(intStart, i - intStart);
  std::string_view fraction;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fracStart = ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    fraction = text.substr(fracStart, i - fracStart);
  }
  if (whole.empty() && fraction.empty()) return false;
  while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
  out.append(whole.empty() ? std::string_view("0") : whole);
  if (!fraction.empty()) out.append(".").append(fraction);
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    ++i;
    char sign = '+';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) sign = text[i++];
    const std::size_t expStart = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    std::string_view exponent = text.substr(expStart, i - expStart);
    if (exponent.empty()) return false;
    while (exponent.size() > 1 && exponent.front() == '0') exponent.remove_prefix(1);
    out.push_back('E');
    out.push_back(sign);
    out.append(exponent);
  }
  return i == text.size();
}

Reading ReadingOf(ValueType type) {
  switch (type) {
    case ValueType::Integer:
    case ValueType::Real:
      return Reading::Number;
    case ValueType::Bool:
      return Reading::YesNo;
    case ValueType::Text:
      break;
  }
  return Reading::Text;
}

void SetValue(Value& value, std::string_view shown, Reading reading) {
  const std::string_view text = Trimmed(shown);
  switch (reading) {
    case Reading::Number:
      if (PlainNumber(text, value.text)) return SetNumberFromPlain(value);
      break;
    case Reading::Bcd: {
      bool digits = !text.empty();
      for (char c : text) digits = digits && IsDigit(c);
      if (digits && PlainNumber(text, value.text)) return SetNumberFromPlain(value);
      break;
    }
    case Reading::Binary: {
      bool digits = !text.empty() && text.size() <= 16;
      for (char c : text) digits = digits && (IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'));
      if (!digits) break;
      char buffer[24];
      const auto end = std::to_chars(buffer, buffer + sizeof buffer, HexValue(text)).ptr;
      value.text.assign(buffer, end);
      return SetNumberFromPlain(value);
    }
    case Reading::YesNo:
      if (text == "Yes" || text == "No") {
        value.kind = Value::Kind::Bool;
        value.flag = text == "Yes";
        value.text = value.flag ? "true" : "false";
        value.number = value.flag ? 1 : 0;
        return;
      }
      break;
    case Reading::Text:
      break;
  }
  SetText(value, text);
}

}  // namespace segd::model
