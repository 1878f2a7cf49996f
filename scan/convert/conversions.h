#pragma once
// The conversions every decoder shares: header images, the two ways field
// text is read as a number, the way numbers are written as text, and the
// byte conversions. All are pure functions.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace segd {

using ByteSpan = std::span<const std::uint8_t>;

// A block of exactly N bytes: the given bytes, zero-padded or cut, so that a
// decoder never reads outside what it was handed.
template <std::size_t N>
std::array<std::uint8_t, N> FixedBlock(ByteSpan bytes) {
  std::array<std::uint8_t, N> block{};
  std::copy_n(bytes.begin(), std::min(N, bytes.size()), block.begin());
  return block;
}

// Two upper-case hexadecimal digits per byte, high half-byte first.
// Half-bytes [first, end) of `bytes` (0-based, each byte's high half first;
// half-bytes past its end read as 0) as hexadecimal digits written at
// `out`; the end of the digits returned. The one reader of header digits:
// the general decoder's raw digits and the report's digit fields.
inline char* WriteHalfBytes(ByteSpan bytes, int first, int end, char* out) {
  for (int i = first; i < end; ++i) {
    const auto b = static_cast<std::size_t>(i / 2);
    const int half = b < bytes.size() ? (i % 2 == 0 ? bytes[b] >> 4 : bytes[b] & 0x0F) : 0;
    *out++ = "0123456789ABCDEF"[half];
  }
  return out;
}

std::string BytesToHex(ByteSpan bytes);
// Appends the same digits to `out` (used on the hot path of the trace walk).
void AppendHex(std::string& out, ByteSpan bytes);

// Unsigned big-endian integer as NumberText with 15 digits; "Too Big" for
// more than 9 bytes.
std::string BytesToDecimal(ByteSpan bytes);
// Integer part from all bytes but the last two, ".", then the four half-bytes
// of the last two bytes each written as a number (0 to 15). Empty text for
// fewer than 2 or more than 9 bytes.
std::string BytesToFixedPoint(ByteSpan bytes);
// Major "." minor from the two bytes.
std::string BytesToRevision(ByteSpan bytes);
// Big-endian IEEE 754 single / double, written with 7 / 15 significant digits.
std::string BytesToSingleText(ByteSpan bytes);
std::string BytesToDoubleText(ByteSpan bytes);

// The same texts written at `out`, which has room for kNumberTextRoom
// characters; each returns the end. The trace walk's form: no string made.
inline constexpr std::size_t kNumberTextRoom = 144;
char* WriteSmallDecimal(char* out, ByteSpan bytes);  // BytesToDecimal of up to 8 bytes
char* WriteSingleText(char* out, ByteSpan bytes);
char* WriteDoubleText(char* out, ByteSpan bytes);
// Four-digit year, "-", two-digit month, "-", day of month without a leading
// zero.
std::string YearDayToDate(std::int16_t year, std::int16_t day);

// Decimal reading of text: leading blanks, tabs and line feeds skipped, an
// optional sign, digits with at most one point, an optional exponent (E or D,
// either case). Stops at the first character that does not fit; no digit
// reads as 0. Values beyond the range of a double read as +-infinity.
double DigitValue(std::string_view text);
// Hexadecimal digits (either case) up to the first other character, as an
// unsigned number; saturates at the largest 64-bit value.
std::uint64_t HexValue(std::string_view text);

// `x` rounded to `digits` significant digits (a dropped 5 rounds the last
// kept digit to even), in plain notation while it fits, otherwise as d.dddE+x.
// No 0 before the point of a number below 1; trailing zeros dropped.
std::string NumberText(double x, int digits);
// As NumberText, with one blank in front of zero and positive numbers.
std::string SignedNumberText(double x, int digits);
// NumberText (leadingBlank: SignedNumberText) by the general conversion
// alone. NumberText takes a quicker one for 7 and 15 digits, which must give
// the same bytes: tests hold it to this.
std::string GeneralNumberText(double x, int digits, bool leadingBlank);
// NumberText of an unsigned integer, exact for every 64-bit value.
std::string IntegerText(std::uint64_t value, int digits);

// A count read from text, rounded half to even and saturated to the range of
// a signed 32-bit integer; not-a-number reads as 0.
std::int32_t SaturatedCount(double value);

}  // namespace segd
