#include "scan/standard/field_layout.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <type_traits>

#include "scan/convert/conversions.h"

namespace segd::generic {

namespace {

using model::Value;

// Half-byte `i` (0-based from the block's first high half), zero beyond it.
int NibbleAt(ByteSpan block, int i) {
  const std::size_t b = static_cast<std::size_t>(i / 2);
  if (b >= block.size()) return 0;
  return (i % 2 == 0) ? block[b] >> 4 : block[b] & 0x0F;
}

std::uint8_t ByteAt(ByteSpan block, int i) {
  return static_cast<std::size_t>(i) < block.size() ? block[static_cast<std::size_t>(i)] : 0;
}

int FirstNibble(const FieldSpec& f) { return 2 * (f.byte - 1) + f.low; }

std::uint64_t BigEndian(ByteSpan block, int first, int width) {
  std::uint64_t v = 0;
  if (static_cast<std::size_t>(first + width) <= block.size()) {  // the walk's case: no check per byte
    for (const std::uint8_t* p = block.data() + first; width > 0; --width) v = (v << 8) | *p++;
    return v;
  }
  for (int i = 0; i < width; ++i) v = (v << 8) | ByteAt(block, first + i);
  return v;
}

std::int64_t SignExtend(std::uint64_t v, int width) {
  if (width >= 8) return static_cast<std::int64_t>(v);
  const std::uint64_t sign = std::uint64_t{1} << (8 * width - 1);
  return static_cast<std::int64_t>((v ^ sign) - sign);
}

// The integral conversions; nullopt for an escape or a digit above 9.
std::optional<std::int64_t> Integral(ByteSpan block, const FieldSpec& f) {
  const int first = f.byte - 1;
  switch (f.conv) {
    case Conv::Bcd: {
      std::int64_t v = 0;
      for (int i = 0; i < f.width; ++i) {
        const int d = NibbleAt(block, FirstNibble(f) + i);
        if (d > 9) return std::nullopt;
        v = v * 10 + d;
      }
      return v;
    }
    case Conv::Nibble:
      return NibbleAt(block, FirstNibble(f));
    case Conv::Unsigned: {
      const std::uint64_t v = BigEndian(block, first, f.width);
      // An 8-byte value beyond the signed range keeps its bits as a count
      // cannot: treat it as absent rather than negative.
      if (v > static_cast<std::uint64_t>(INT64_MAX)) return std::nullopt;
      return static_cast<std::int64_t>(v);
    }
    case Conv::Escaped:
      if (AllOnes(block, f)) return std::nullopt;
      [[fallthrough]];
    case Conv::Signed:
      return SignExtend(BigEndian(block, first, f.width), f.width);
    default:
      return std::nullopt;
  }
}

template <class T>
void SetShortest(Value& v, T x) {
  if (!std::isfinite(x)) {
    SetNull(v);
    return;
  }
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, x);
  v.kind = Value::Kind::Number;
  v.text.assign(buffer, r.ptr);
  // A real reads as a real in every parser (pandas types a column of "0"
  // as integers): a whole value keeps ".0".
  if (v.text.find_first_of(".e") == std::string::npos) v.text += ".0";
  // The number is the one its shortest text names (a single's 17.4, not
  // 17.399999618530273), so that every output agrees with the text.
  if constexpr (std::is_same_v<T, float>) {
    std::from_chars(buffer, r.ptr, v.number);
  } else {
    v.number = x;
  }
  v.flag = false;
}

}  // namespace

model::ValueType TypeOf(const FieldSpec& f) {
  if (f.divisor != 1) return model::ValueType::Real;
  switch (f.conv) {
    case Conv::Bit:
      return model::ValueType::Bool;
    case Conv::Bcd:
    case Conv::Nibble:
    case Conv::Unsigned:
    case Conv::Signed:
    case Conv::Escaped:
      return model::ValueType::Integer;
    case Conv::Ascii:
    case Conv::Hex:
      return model::ValueType::Text;
    default:
      return model::ValueType::Real;
  }
}

bool AllOnes(ByteSpan block, const FieldSpec& f) {
  const int end = EndNibble(f);
  for (int i = FirstNibble(f); i < end; ++i) {
    if (NibbleAt(block, i) != 0x0F) return false;
  }
  return true;
}

std::optional<std::int64_t> ReadInteger(ByteSpan block, const FieldSpec& f) {
  std::optional<std::int64_t> v = Integral(block, f);
  if (v && f.scale != 1) *v *= f.scale;
  return v;
}

std::string RawDigits(ByteSpan block, const FieldSpec& f) {
  std::string out(static_cast<std::size_t>(EndNibble(f) - FirstNibble(f)), '0');
  WriteHalfBytes(block, FirstNibble(f), EndNibble(f), out.data());
  return out;
}

void ReadValue(ByteSpan block, const FieldSpec& f, Value& out) {
  const int first = f.byte - 1;
  switch (f.conv) {
    case Conv::Float32: {
      const auto bits = static_cast<std::uint32_t>(BigEndian(block, first, 4));
      const float x = std::bit_cast<float>(bits) * static_cast<float>(f.scale);
      if (f.divisor != 1) return SetShortest(out, static_cast<double>(x) / f.divisor);
      SetShortest(out, x);
      return;
    }
    case Conv::Float64:
      SetShortest(out, std::bit_cast<double>(BigEndian(block, first, 8)) * f.scale / f.divisor);
      return;
    case Conv::Bit: {
      const bool set = (ByteAt(block, first) & f.scale) != 0;
      out.kind = Value::Kind::Bool;
      out.text.assign(set ? "true" : "false");
      out.number = set ? 1 : 0;
      out.flag = set;
      return;
    }
    case Conv::Fixed:
    case Conv::UFixed: {
      const std::uint64_t whole = BigEndian(block, first, f.width - 2);
      const double integer =
          f.conv == Conv::Fixed ? static_cast<double>(SignExtend(whole, f.width - 2)) : static_cast<double>(whole);
      // The fraction takes the sign of the integer part (SmartSolo's
      // longitude -155 and 0x4A3D reads -155.29, where the receiver is).
      const double fraction = static_cast<double>(BigEndian(block, first + f.width - 2, 2)) / 65536.0;
      SetShortest(out, integer < 0 ? integer - fraction : integer + fraction);
      return;
    }
    case Conv::Descale: {
      // Byte 8 holds the sign (bit 7) and 2^4..2^-2; byte 7 2^-3..2^-10.
      const int low = ByteAt(block, first), high = ByteAt(block, first + 1);
      const double magnitude = ((high & 0x7F) * 256 + low) / 1024.0;
      SetShortest(out, (high & 0x80) ? -magnitude : magnitude);
      return;
    }
    case Conv::Ascii: {
      out.kind = Value::Kind::Text;
      out.text.clear();
      for (int i = 0; i < f.width; ++i) {
        const std::uint8_t c = ByteAt(block, first + i);
        if (c != 0) out.text.push_back(static_cast<char>(c));
      }
      const std::size_t begin = out.text.find_first_not_of(' ');
      if (begin == std::string::npos) {
        out.text.clear();
      } else {
        out.text.erase(out.text.find_last_not_of(' ') + 1);
        out.text.erase(0, begin);
      }
      out.number = 0;
      return;
    }
    case Conv::Hex: {
      out.kind = Value::Kind::Text;
      out.text.assign(2 * static_cast<std::size_t>(f.width), '0');
      WriteHalfBytes(block, 2 * first, 2 * (first + f.width), out.text.data());
      out.number = 0;
      return;
    }
    default:
      // An escape (all ones) or a digit above 9 has no value.
      if (const std::optional<std::int64_t> v = ReadInteger(block, f)) {
        // A scaled whole number (centimetres as metres): the shortest text
        // of the quotient reads back as the stored digits.
        if (f.divisor != 1) return SetShortest(out, static_cast<double>(*v) / f.divisor);
        SetInteger(out, *v);
      } else {
        SetNull(out);
      }
  }
}

void DecodeFields(ByteSpan bytes, std::span<const FieldSpec> fields, model::Block& block) {
  for (const FieldSpec& f : fields) {
    model::Field field;
    field.name = f.name;
    field.raw = RawDigits(bytes, f);
    ReadValue(bytes, f, field.value);
    block.fields.push_back(std::move(field));
  }
}

void SetInteger(Value& v, std::int64_t n) {
  char buffer[24];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, n);
  v.kind = Value::Kind::Number;
  v.text.assign(buffer, r.ptr);
  v.number = static_cast<double>(n);
  v.flag = false;
}

void SetReal(Value& v, double x) { SetShortest(v, x); }

void SetText(Value& v, std::string_view text) {
  v.kind = Value::Kind::Text;
  v.text.assign(text);
  v.number = 0;
  v.flag = false;
}

void SetNull(Value& v) {
  if (v.kind == Value::Kind::Null) return;  // a Null value never holds text
  v.kind = Value::Kind::Null;
  v.text.clear();
  v.number = 0;
  v.flag = false;
}

Value IntegerValue(std::int64_t n) {
  Value v;
  SetInteger(v, n);
  return v;
}

Value RealValue(double x) {
  Value v;
  SetReal(v, x);
  return v;
}

Value TextValue(std::string_view text) {
  Value v;
  SetText(v, text);
  return v;
}

}  // namespace segd::generic
