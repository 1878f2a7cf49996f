#pragma once
// Layouts are data: every header kind of the general decoder is a constexpr
// table of fields {data name, position, width, conversion}, and one reader
// interprets every table. Positions count from 1 as the headers do; a field
// may start at the low half of a byte (a nibble field such as block 1 byte
// 12 low).
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "scan/model/record_model.h"

namespace segd::generic {

using ByteSpan = std::span<const std::uint8_t>;

enum class Conv : std::uint8_t {
  Bcd,       // packed decimal, `width` digits; all ones is an escape (no value)
  Nibble,    // a binary value of `width` half-bytes
  Unsigned,  // big-endian unsigned binary, `width` bytes
  Signed,    // big-endian two's complement, `width` bytes (3-byte signed included)
  Escaped,   // as Signed, but all ones is an escape (extension 1 bytes 1-3, 4-6)
  Float32,   // IEEE single, big-endian
  Float64,   // IEEE double, big-endian
  Fixed,     // signed integer part in all bytes but the last two, which hold a fraction / 65536
  UFixed,    // as Fixed with an unsigned integer part
  Descale,   // channel set descriptor bytes 7-8: sign and 2^4..2^-10 bits, byte 8 high
  Ascii,     // text, blanks trimmed, NUL dropped
  Hex,       // the bytes as hexadecimal digits
  Bit,       // one flag of a byte: `scale` holds its mask; true when set
};

struct FieldSpec {
  std::string_view name;
  std::uint16_t byte;   // 1-based first byte
  std::uint8_t low;     // 1: the field starts at the low half of `byte`
  std::uint16_t width;  // digits for Bcd and Nibble, bytes for every other conversion
  Conv conv;
  std::int16_t scale = 1;  // the value times this (channel set times count 2 ms steps); Bit: the mask
  std::int16_t divisor = 1;  // the value over this: a make's centimetres (100) or tenths (10) to metres
};

// Half-bytes from the first half-byte of the block to the field's end.
constexpr int EndNibble(const FieldSpec& f) {
  const bool digits = f.conv == Conv::Bcd || f.conv == Conv::Nibble;
  return 2 * (f.byte - 1) + f.low + (digits ? f.width : 2 * f.width);
}

// Every field inside a block of `bytes` bytes, of a width its conversion
// can hold, and none before the block's first byte.
template <std::size_t N>
constexpr bool FitsBlock(const FieldSpec (&fields)[N], int bytes) {
  for (const FieldSpec& f : fields) {
    if (f.byte < 1 || f.width < 1 || EndNibble(f) > 2 * bytes) return false;
    if (f.low != 0 && f.conv != Conv::Bcd && f.conv != Conv::Nibble) return false;
    if ((f.conv == Conv::Bcd && f.width > 16) || (f.conv == Conv::Nibble && f.width > 1)) return false;
    if ((f.conv == Conv::Unsigned || f.conv == Conv::Signed || f.conv == Conv::Escaped) && f.width > 8) return false;
    if (f.conv == Conv::Float32 && f.width != 4) return false;
    if (f.conv == Conv::Float64 && f.width != 8) return false;
    if ((f.conv == Conv::Fixed || f.conv == Conv::UFixed) && (f.width < 3 || f.width > 8)) return false;
    if (f.conv == Conv::Descale && f.width != 2) return false;
    if (f.conv == Conv::Bit && (f.width != 1 || f.scale < 1 || f.scale > 0xFF)) return false;
    if (f.divisor < 1) return false;
    if (f.name.empty()) return false;
  }
  return true;
}

model::ValueType TypeOf(const FieldSpec& f);

// The field's value read from `block` (shorter blocks read as zeros beyond
// their end). No allocation once `out` has held a value of the same kind:
// the trace walk reuses one row.
void ReadValue(ByteSpan block, const FieldSpec& f, model::Value& out);

// The field as an integer: nullopt for an escape, a digit above 9 or a
// conversion that is not integral.
std::optional<std::int64_t> ReadInteger(ByteSpan block, const FieldSpec& f);

// The raw half-bytes of the field as hexadecimal digits.
std::string RawDigits(ByteSpan block, const FieldSpec& f);

// True when every half-byte of the field is F (an escape: look elsewhere).
bool AllOnes(ByteSpan block, const FieldSpec& f);

// Appends a Field per table row to `block`.
void DecodeFields(ByteSpan bytes, std::span<const FieldSpec> fields, model::Block& block);

// Value setters shared by the decoders.
void SetInteger(model::Value& v, std::int64_t n);
void SetReal(model::Value& v, double x);
void SetText(model::Value& v, std::string_view text);
void SetNull(model::Value& v);
model::Value IntegerValue(std::int64_t n);
model::Value RealValue(double x);
model::Value TextValue(std::string_view text);

}  // namespace segd::generic
