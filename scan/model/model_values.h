#pragma once
// Report texts made into record model values: the one place that decides
// how a shown text becomes a number, a text, a flag or nothing.
#include <string>
#include <string_view>

#include "scan/model/record_model.h"

namespace segd::model {

// How a field's shown text is read.
enum class Reading : std::uint8_t {
  Number,  // a decimal number text; any other text stays a text
  Bcd,     // decimal digits as a number (leading zeros dropped); others a text
  Binary,  // hexadecimal digits of an unsigned count, as a number
  Text,    // the text, NUL dropped and blanks trimmed
  YesNo,   // "Yes" / "No" as a flag; others a text
};

// Sets `value` from a shown text (reusing its storage): NUL bytes dropped,
// blanks trimmed, nothing left is Null.
void SetValue(Value& value, std::string_view shown, Reading reading);

// The reading of a trace column's value type.
Reading ReadingOf(ValueType type);

// Appends `text` without its NUL bytes.
void AppendWithoutNul(std::string& out, std::string_view text);

// A number text brought to plain form into `out`: no padding, no plus sign,
// no leading zeros, "0.5" not ".5", exponent as E+x / E-x. False (out
// unspecified) when `text` is no decimal number.
bool PlainNumber(std::string_view text, std::string& out);

}  // namespace segd::model
