#pragma once
// Field tables: one row per field of a header kind, stating the label the
// report lists it under, its data name (the make's own fields), where it lies
// in the block, how its bytes become text and which field of the decoded
// record holds that text. The decoder and the section listing walk the same
// rows; the static checks below hold every table to them.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "scan/convert/conversions.h"
#include "scan/standard/trace_header_tables.h"
#include "scan/model/record_model.h"
#include "scan/convert/text_field.h"

namespace segd {

// Where a field lies, in half-bytes counted from 1 (byte 1's high half): the
// digits first..last of the block written two hexadecimal digits per byte.
// {0, 0}: the field is not read from the block; the decoder's own code
// fills it.
struct Place {
  int first = 0;
  int last = 0;
};
constexpr Place Digits(int first, int last) { return {first, last}; }
constexpr Place Bytes(int first, int last) { return {2 * first - 1, 2 * last}; }
constexpr Place Byte(int byte) { return Bytes(byte, byte); }

// ---- Places taken from the general decoder's rows -------------------------
// The standard's blocks and the SN388's own trace extension bytes are laid
// out once, by the general decoder's tables (scan/standard, the make's
// columns); the report's rows name the row whose bytes they show, so the two
// readings cannot drift apart.
constexpr const generic::FieldSpec& SpecOf(const generic::FieldSpec& f) { return f; }
constexpr const generic::FieldSpec& SpecOf(const generic::ColumnSpec& c) { return c.field; }

constexpr Place PlaceOf(const generic::FieldSpec& f) { return {2 * (f.byte - 1) + f.low + 1, generic::EndNibble(f)}; }

template <class Row, std::size_t N>
constexpr const generic::FieldSpec& FieldNamed(const Row (&rows)[N], std::string_view name) {
  for (const Row& row : rows) {
    if (SpecOf(row).name == name) return SpecOf(row);
  }
  throw "no row of that name";  // reached only in a constant expression: the build stops
}
// The half-bytes of the row named `name`.
template <class Row, std::size_t N>
constexpr Place In(const Row (&rows)[N], std::string_view name) {
  return PlaceOf(FieldNamed(rows, name));
}
// From the first half-byte of `first` to the last of `last`.
template <class Row, std::size_t N>
constexpr Place Through(const Row (&rows)[N], std::string_view first, std::string_view last) {
  return {In(rows, first).first, In(rows, last).last};
}
// The half-bytes no row reads between `before` and `after`.
template <class Row, std::size_t N>
constexpr Place Between(const Row (&rows)[N], std::string_view before, std::string_view after) {
  return {In(rows, before).last + 1, In(rows, after).first - 1};
}
// The half-bytes after `before` to the end of a block of `blockBytes`.
template <class Row, std::size_t N>
constexpr Place After(const Row (&rows)[N], std::string_view before, int blockBytes) {
  return {In(rows, before).last + 1, 2 * blockBytes};
}
// The bytes of whole-byte rows, from the first byte of `first` to the last
// of `last`.
inline ByteSpan BytesThrough(ByteSpan block, const generic::FieldSpec& first, const generic::FieldSpec& last) {
  return block.subspan(first.byte - 1u, last.byte + last.width - first.byte);
}
inline ByteSpan BytesOf(ByteSpan block, const generic::FieldSpec& f) { return BytesThrough(block, f, f); }
// The first byte of the row named `name`, counted from 1.
template <class Row, std::size_t N>
constexpr int ByteOf(const Row (&rows)[N], std::string_view name) {
  return FieldNamed(rows, name).byte;
}

enum class Conversion : std::uint8_t {
  // Read from the block's half-bytes, written as their hexadecimal digits;
  // the value is the text (Hex), the decimal number the digits spell (Bcd)
  // or the unsigned number they hold (Binary).
  Hex,
  Bcd,
  Binary,
  // Read from whole bytes; the value is the number or text shown.
  Decimal,            // unsigned big-endian integer
  Single,             // IEEE 754 single precision, big-endian
  Double,             // IEEE 754 double precision, big-endian
  Characters,         // each byte one character, NUL included
  TrimmedCharacters,  // as Characters, blanks trimmed at both ends
  // Filled by the decoder's own code.
  Number,  // a decimal number text
  Text,
};

// How the section shows the field: at its full width, or with its trailing
// blanks cut; either way followed by the row's suffix.
enum class Shown : std::uint8_t { Full, Trimmed };

template <class R>
struct FieldRow {
  std::string_view label;  // empty: not listed
  std::string_view name;   // data name; empty: not in the record model
  Place place;
  Conversion conversion;
  std::size_t offset;      // of the record's text field
  std::size_t width;
  Shown shown = Shown::Full;
  std::string_view suffix = {};  // shown after the field, not part of its value
};

// Names a text field of a record for a table row: its offset and width.
#define SEGD_AT(Record, Member) offsetof(Record, Member), decltype(Record::Member)::kWidth

constexpr bool ReadsTheBlock(Conversion c) { return c != Conversion::Number && c != Conversion::Text; }
constexpr bool ReadsDigits(Conversion c) {
  return c == Conversion::Hex || c == Conversion::Bcd || c == Conversion::Binary;
}

// Rows whose places lie inside a block of `blockBytes` bytes, in block order,
// never overlapping and before every row the decoder's code fills (which
// read nothing); each conversion given the width it takes (whole bytes but
// for the digits, 4 for a single, 8 for a double, no more digits for a
// number than its field holds); every record field inside the record; labels
// that fit their column of `labelColumn` characters; data names snake_case
// and distinct.
template <class R, std::size_t N>
constexpr bool TableIsSound(const FieldRow<R> (&rows)[N], int blockBytes, std::size_t labelColumn) {
  static_assert(std::is_standard_layout_v<R>);
  int previousLast = 0;
  bool codeFilled = false;
  for (std::size_t i = 0; i < N; ++i) {
    const FieldRow<R>& r = rows[i];
    const Conversion c = r.conversion;
    const int digits = r.place.last - r.place.first + 1;
    if (!ReadsTheBlock(c)) {
      if (r.place.first != 0 || r.place.last != 0) return false;
      codeFilled = true;
    } else {
      if (codeFilled || r.place.first <= previousLast || digits < 1 || r.place.last > 2 * blockBytes) return false;
      previousLast = r.place.last;
      if (!ReadsDigits(c) && (r.place.first % 2 != 1 || digits % 2 != 0)) return false;
      if ((c == Conversion::Decimal && digits > 16) || (c == Conversion::Single && digits != 8) ||
          (c == Conversion::Double && digits != 16)) {
        return false;
      }
      const bool number = c == Conversion::Bcd || c == Conversion::Binary;
      if (number && (digits > 16 || static_cast<std::size_t>(digits) > r.width)) return false;
    }
    if (r.width == 0 || r.offset + r.width > sizeof(R)) return false;
    if (r.label.size() > labelColumn) return false;
    for (char ch : r.name) {
      if (!((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '_')) return false;
    }
    for (std::size_t j = 0; j < i && !r.name.empty(); ++j) {
      if (rows[j].name == r.name) return false;
    }
  }
  return true;
}

// ---- Decoding ---------------------------------------------------------------

// The decimal digits of a number of up to 3 bytes (at most 8 digits, so the
// text needs no rounding), written at `out`, which has room for 16 more.
// Two digits at a time: ten trace header fields a trace go through here.
inline char* WriteSmallDigits(char* out, ByteSpan bytes) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  std::uint32_t value = 0;
  for (std::uint8_t b : bytes) value = value << 8 | b;
  char digits[24] = {};
  char* const last = digits + 16;  // the digits end here; the copy below may run 8 bytes past the first
  char* first = last;
  for (; value >= 100; value /= 100) first = static_cast<char*>(std::memcpy(first - 2, &kPairs[2 * (value % 100)], 2));
  if (value >= 10) {
    first = static_cast<char*>(std::memcpy(first - 2, &kPairs[2 * value], 2));
  } else {
    *--first = static_cast<char>('0' + value);
  }
  // A fixed-size copy (it stays in `digits`: at most eight digits, so
  // `first` is at most 16 bytes in); only the digits written count.
  std::memcpy(out, first, 8);
  return out + (last - first);
}

// The text of a field read from `block`, written at `out` (room for
// kNumberTextRoom characters and the field's digits or bytes); its end
// returned, so that no string is made per field.
inline char* Convert(Conversion conversion, Place place, ByteSpan block, char* out) {
  const ByteSpan bytes = block.subspan(static_cast<std::size_t>(place.first - 1) / 2,
                                       static_cast<std::size_t>(place.last - place.first + 1) / 2);
  switch (conversion) {
    case Conversion::Hex:
    case Conversion::Bcd:
    case Conversion::Binary:
      return WriteHalfBytes(block, place.first - 1, place.last, out);
    case Conversion::Decimal:
      if (bytes.size() <= 3) return WriteSmallDigits(out, bytes);
      return WriteSmallDecimal(out, bytes);
    case Conversion::Single:
      return WriteSingleText(out, bytes);
    case Conversion::Double:
      return WriteDoubleText(out, bytes);
    case Conversion::Characters:
    case Conversion::TrimmedCharacters: {
      std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
      if (conversion == Conversion::TrimmedCharacters) text = TrimBlanks(text);
      return std::copy(text.begin(), text.end(), out);
    }
    case Conversion::Number:
    case Conversion::Text:
      break;
  }
  return out;
}

template <class R>
FieldRef FieldOf(R& record, const FieldRow<R>& row) {
  return {reinterpret_cast<char*>(&record) + row.offset, row.width};
}
template <class R>
std::string_view ViewOf(const R& record, const FieldRow<R>& row) {
  return {reinterpret_cast<const char*>(&record) + row.offset, row.width};
}

// Fills every field a table reads from the block: its text left-aligned in
// its field, cut or padded with blanks.
template <class R, std::size_t N, std::size_t B>
void FillFields(const std::array<std::uint8_t, B>& block, const FieldRow<R> (&rows)[N], R& record) {
  char text[kNumberTextRoom + 2 * B];
  for (const FieldRow<R>& row : rows) {
    if (!ReadsTheBlock(row.conversion)) continue;
    const char* end = Convert(row.conversion, row.place, ByteSpan(block), text);
    FieldOf(record, row).Store(std::string_view(text, static_cast<std::size_t>(end - text)));
  }
}

// The same for a table known at compile time, each row's place, width and
// conversion constants: the form for the trace headers, decoded for every
// trace (plain offsets, no string, no indirect call).
template <const auto& Rows, std::size_t I, class R, std::size_t B>
void FillFieldAt(const std::array<std::uint8_t, B>& block, R& record) {
  constexpr auto& row = Rows[I];
  constexpr std::size_t kRoom = 16;  // the widest field and text this form fills
  static_assert(ReadsTheBlock(row.conversion) && row.width <= kRoom &&
                row.place.last - row.place.first < static_cast<int>(2 * kRoom));
  char text[kNumberTextRoom + kRoom];
  char* const end = Convert(row.conversion, row.place, ByteSpan(block), text);
  std::memset(end, ' ', row.width);  // a shorter text padded, a longer one cut
  std::memcpy(reinterpret_cast<char*>(&record) + row.offset, text, row.width);
}

template <const auto& Rows, class R, std::size_t B>
void FillFieldsUnrolled(const std::array<std::uint8_t, B>& block, R& record) {
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    (FillFieldAt<Rows, I>(block, record), ...);
  }(std::make_index_sequence<std::size(Rows)>());
}

}  // namespace segd
