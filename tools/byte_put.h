#pragma once
// Writing values into header blocks at the places the recording format gives
// them. Bytes are numbered from 1 within their block; half-byte fields are
// numbered as image digits, byte b holding digits 2b-1 (its high half) and
// 2b (its low half). Every write is clipped to the block: a value that would
// run past the end keeps only the part that lies inside.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace segd::writer {

using Bytes = std::vector<std::uint8_t>;
using Block32 = std::array<std::uint8_t, 32>;
using MutableBytes = std::span<std::uint8_t>;

// A decimal-coded field whose every half-byte is F: the FFF record length,
// the FF header lengths and channel set count, the FFFF file number.
inline constexpr std::uint64_t kAllF = ~std::uint64_t{0};

enum class Coding : std::uint8_t {
  kBcd,     // one decimal digit per half-byte; kAllF gives all F
  kBinary,  // unsigned big-endian over the half-bytes
};

// Writes `value` into `digits` half-bytes starting at image digit
// `firstDigit`. BCD keeps the lowest decimal digits of a value too wide for
// the field, binary the lowest bits. Half-bytes outside the field are left
// as they are.
void PutDigits(MutableBytes block, int firstDigit, int digits, Coding coding, std::uint64_t value);

// Unsigned big-endian integer of `width` bytes (1 to 8) at byte `position`.
void PutUnsigned(MutableBytes block, int position, int width, std::uint64_t value);
inline void PutU8(MutableBytes b, int position, std::uint64_t v) { PutUnsigned(b, position, 1, v); }
inline void PutU16(MutableBytes b, int position, std::uint64_t v) { PutUnsigned(b, position, 2, v); }
inline void PutU24(MutableBytes b, int position, std::uint64_t v) { PutUnsigned(b, position, 3, v); }
inline void PutU32(MutableBytes b, int position, std::uint64_t v) { PutUnsigned(b, position, 4, v); }

// Big-endian IEEE 754 single and double precision.
void PutSingle(MutableBytes block, int position, float value);
void PutDouble(MutableBytes block, int position, double value);

// `width` bytes of text at `position`: the text's first `width` characters,
// then `pad` up to the width.
void PutText(MutableBytes block, int position, int width, std::string_view text, char pad = ' ');

// The bytes as they are.
void PutBytes(MutableBytes block, int position, std::span<const std::uint8_t> bytes);

// One integer field of a header struct H, by its image digits: the layout
// tables of every block are lists of these.
template <class H>
struct DigitField {
  std::uint64_t H::*member;
  int firstDigit;  // 1-based image digit
  int digits;
  Coding coding;
};

template <class H, std::size_t N>
void PutFields(MutableBytes block, const H& values, const DigitField<H> (&layout)[N]) {
  for (const DigitField<H>& f : layout) PutDigits(block, f.firstDigit, f.digits, f.coding, values.*(f.member));
}

// The fields lie inside a block of `blockDigits` digits, in ascending order,
// without overlapping: checked by static_assert next to each table.
template <class H, std::size_t N>
constexpr bool FieldsFit(const DigitField<H> (&layout)[N], int blockDigits) {
  int next = 1;
  for (const DigitField<H>& f : layout) {
    if (f.digits < 1 || f.firstDigit < next) return false;
    next = f.firstDigit + f.digits;
    if (next - 1 > blockDigits) return false;
    if (f.coding == Coding::kBinary && f.digits > 16) return false;
    if (f.coding == Coding::kBcd && f.digits > 19) return false;
  }
  return true;
}

}  // namespace segd::writer
