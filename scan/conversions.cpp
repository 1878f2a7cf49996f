#include "scan/conversions.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace segd {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// A positive number as its significant decimal digits and the power of ten of
// the first one: value = 0.d1d2d3... x 10^(exponent + 1).
// The digits live in the struct itself: the trace walk formats four numbers
// per trace, and a heap string for each cost more than the conversion.
struct Decimal {
  static constexpr int kCapacity = 48;  // 41 digits from FormatDouble at most
  char digits[kCapacity];               // at least one, first non-zero
  int count = 0;
  int exponent = 0;

  void Assign(const char* first, const char* last) {
    count = 0;
    for (; first != last && count < kCapacity; ++first) digits[count++] = *first;
  }
};

// Rounds `d` to `n` digits in place (a first dropped digit of exactly 5
// rounds to even, whatever follows it) and writes plain or scientific
// notation at `out`, returning the end. Written into a buffer, not a string:
// the trace walk formats four numbers per trace.
char* WriteDecimal(char* out, Decimal& d, bool negative, int n, bool leadingBlank) {
  if (n < 1) n = 1;
  char* s = d.digits;
  int m = d.count;
  if (m > n) {
    const char dropped = s[n];
    m = n;
    const bool up = dropped > '5' || (dropped == '5' && ((s[m - 1] - '0') % 2 == 1));
    if (up) {
      int i = n - 1;
      while (i >= 0 && s[i] == '9') s[i--] = '0';
      if (i >= 0) {
        ++s[i];
      } else {
        s[0] = '1';  // 99..9 rounded up: 10..0, one place higher
        ++d.exponent;
      }
    }
  }
  while (m > 1 && s[m - 1] == '0') --m;
  const int e = d.exponent;

  // Short runs are moved as 16 bytes at once (the buffers have the room;
  // the bytes past the run are overwritten or past the end): a fixed-size
  // copy is a couple of moves, a call for a few digits costs more.
  const char* const digitsEnd = d.digits + Decimal::kCapacity;
  auto append = [&out, digitsEnd](const char* from, int count) {
    if (count <= 16 && digitsEnd - from >= 16) {
      std::memcpy(out, from, 16);
    } else {
      std::memcpy(out, from, static_cast<std::size_t>(count));
    }
    out += count;
  };
  auto fill = [&out](char c, int count) {
    if (count <= 16) {
      std::memset(out, c, 16);
    } else {
      std::memset(out, c, static_cast<std::size_t>(count));
    }
    out += count;
  };
  if (negative) {
    *out++ = '-';
  } else if (leadingBlank) {
    *out++ = ' ';
  }
  const bool plain = (e + 1 <= n) && (m - 1 - e <= n);
  if (plain) {
    if (e >= 0) {
      const int intDigits = e + 1;
      append(s, std::min(m, intDigits));
      if (intDigits > m) fill('0', intDigits - m);
      if (m > intDigits) {
        *out++ = '.';
        append(s + intDigits, m - intDigits);
      }
    } else {
      *out++ = '.';
      fill('0', -e - 1);
      append(s, m);
    }
    return out;
  }
  *out++ = s[0];
  if (m > 1) {
    *out++ = '.';
    append(s + 1, m - 1);
  }
  *out++ = 'E';
  *out++ = e < 0 ? '-' : '+';
  return std::to_chars(out, out + 16, e < 0 ? -e : e).ptr;
}

// Room for any text WriteDecimal makes of up to Decimal::kCapacity digits,
// beyond the `n` zeros a plain number may take.
constexpr std::size_t kNumberRoom = 2 * Decimal::kCapacity + 24;

std::string FormatDecimal(Decimal& d, bool negative, int n, bool leadingBlank) {
  // On the stack for the usual digit counts, so that short texts need no
  // allocation beyond the string's own.
  if (n <= 64) {
    char buf[kNumberRoom + 64];
    return std::string(buf, WriteDecimal(buf, d, negative, n, leadingBlank));
  }
  std::string out(kNumberRoom + static_cast<std::size_t>(n), '\0');
  out.resize(static_cast<std::size_t>(WriteDecimal(out.data(), d, negative, n, leadingBlank) - out.data()));
  return out;
}

constexpr std::uint64_t kPowersOf5[] = {
    1ull, 5ull, 25ull, 125ull, 625ull, 3125ull, 15625ull, 78125ull, 390625ull, 1953125ull,
    9765625ull, 48828125ull, 244140625ull, 1220703125ull, 6103515625ull, 30517578125ull,
    152587890625ull, 762939453125ull, 3814697265625ull, 19073486328125ull, 95367431640625ull,
    476837158203125ull, 2384185791015625ull, 11920928955078125ull, 59604644775390625ull,
    298023223876953125ull, 1490116119384765625ull, 7450580596923828125ull};

// The exact digits of a positive finite `x` whose fraction has at most 61
// binary places (every double from about 0.002 up, every single from about
// 4E-12 up; coordinates, elevations, conversion factors): the leading `keep`
// of them, which is all the rounding looks at. x is an integer part and a
// fraction f / 2^k; multiplying the fraction by 10^a gives its next a digits
// as the whole part, exactly, as long as f x 5^a stays within 64 bits.
// False for the others, which take the general conversion.
bool ExactDecimal(double x, int keep, Decimal& d) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int e = -1074;  // x = m x 2^e
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    e = biased - 1075;
  }
  if (m == 0) return false;
  const int zeros = std::countr_zero(m);
  m >>= zeros;
  e += zeros;
  if (keep > Decimal::kCapacity) keep = Decimal::kCapacity;
  if (e >= 0 && std::bit_width(m) + e > 64) return false;
  if (e < -61) return false;

  int k = e < 0 ? -e : 0;
  const std::uint64_t whole = e >= 0 ? m << e : (k >= 64 ? 0 : m >> k);
  std::uint64_t fraction = k == 0 ? 0 : m & ((std::uint64_t{1} << k) - 1);
  d.count = 0;
  d.exponent = -1;
  if (whole != 0) {
    const auto r = std::to_chars(d.digits, d.digits + Decimal::kCapacity, whole);  // 20 digits at most
    d.count = static_cast<int>(r.ptr - d.digits);
    d.exponent = d.count - 1;
    if (d.count > keep) d.count = keep;
  }
  while (fraction != 0 && d.count < keep) {
    // 5^a below 2^(64 - k): a x 2.33 <= 64 - k (log2 5 = 2.3219...).
    int a = (64 - k) * 100 / 233;
    if (a > 19) a = 19;
    if (a > k) a = k;
    if (d.count > 0 && a > keep - d.count) a = keep - d.count;  // no more digits than are kept
    const std::uint64_t scaled = fraction * kPowersOf5[a];
    k -= a;
    std::uint64_t block = scaled >> k;  // the next a digits
    fraction = k == 0 ? 0 : scaled & ((std::uint64_t{1} << k) - 1);
    if (d.count > 0) {
      // After the first digit every one is kept: written in place, last first.
      for (int j = a - 1; j >= 0; --j, block /= 10) d.digits[d.count + j] = static_cast<char>('0' + block % 10);
      d.count += a;
      continue;
    }
    char group[19];
    for (int j = a - 1; j >= 0; --j, block /= 10) group[j] = static_cast<char>('0' + block % 10);
    for (int j = 0; j < a && d.count < keep; ++j) {
      if (d.count == 0 && group[j] == '0') {
        --d.exponent;  // a leading zero of a number below 1
      } else {
        d.digits[d.count++] = group[j];
      }
    }
  }
  return true;
}

char* WriteText(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

char* WriteDouble(char* out, double x, int n, bool leadingBlank) {
  if (std::isnan(x)) return WriteText(out, leadingBlank ? " NaN" : "NaN");
  if (std::isinf(x)) return WriteText(out, x < 0 ? "-Inf" : (leadingBlank ? " Inf" : "Inf"));
  if (x == 0) return WriteText(out, leadingBlank ? " 0" : "0");
  const bool negative = x < 0;
  Decimal d;
  if (ExactDecimal(std::fabs(x), (n < 1 ? 1 : n) + 1, d)) return WriteDecimal(out, d, negative, n, leadingBlank);
  // 40 significant digits are exact far beyond the 15 ever kept, so the first
  // dropped digit is the true one.
  char buf[80];
  const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 40);
  const std::string_view text(buf, static_cast<std::size_t>(r.ptr - buf));
  const std::size_t ePos = text.find('e');
  for (std::size_t i = 0; i < ePos && d.count < Decimal::kCapacity; ++i) {
    if (text[i] != '.') d.digits[d.count++] = text[i];
  }
  int exponent = 0;
  std::from_chars(text.data() + ePos + (text[ePos + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
  d.exponent = exponent;
  return WriteDecimal(out, d, negative, n, leadingBlank);
}

std::string FormatDouble(double x, int n, bool leadingBlank) {
  // On the stack for the usual digit counts, so that short texts need no
  // allocation beyond the string's own.
  if (n <= 64) {
    char buf[kNumberRoom + 64];
    return std::string(buf, WriteDouble(buf, x, n, leadingBlank));
  }
  std::string out(kNumberRoom + static_cast<std::size_t>(n), '\0');
  out.resize(static_cast<std::size_t>(WriteDouble(out.data(), x, n, leadingBlank) - out.data()));
  return out;
}

// Unsigned big-endian integer of up to 9 bytes as exact decimal digits.
Decimal BigEndianDecimal(ByteSpan bytes) {
  std::string digits = "0";  // least significant digit first while building
  for (std::uint8_t b : bytes) {
    int carry = b;
    for (char& c : digits) {
      const int v = (c - '0') * 256 + carry;
      c = static_cast<char>('0' + v % 10);
      carry = v / 10;
    }
    while (carry > 0) {
      digits.push_back(static_cast<char>('0' + carry % 10));
      carry /= 10;
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::reverse(digits.begin(), digits.end());
  Decimal d;
  d.Assign(digits.data(), digits.data() + digits.size());
  d.exponent = d.count - 1;
  return d;
}

}  // namespace

// The trace walk's numbers keep 15 digits at most.
static_assert(kNumberRoom + 15 <= kNumberTextRoom);

void AppendHex(std::string& out, ByteSpan bytes) {
  for (std::uint8_t b : bytes) {
    out.push_back(kHexDigits[b >> 4]);
    out.push_back(kHexDigits[b & 0x0F]);
  }
}

std::string BytesToHex(ByteSpan bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  AppendHex(out, bytes);
  return out;
}

std::string IntegerText(std::uint64_t value, int digits) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  if (r.ptr - buf <= digits) return std::string(buf, r.ptr);
  Decimal d;
  d.Assign(buf, r.ptr);
  d.exponent = d.count - 1;
  return FormatDecimal(d, false, digits, false);
}

char* WriteSmallDecimal(char* out, ByteSpan bytes) {
  std::uint64_t v = 0;
  for (std::uint8_t b : bytes.first(std::min<std::size_t>(bytes.size(), 8))) v = (v << 8) | b;
  char* const end = std::to_chars(out, out + 24, v).ptr;
  if (end - out <= 15) return end;
  Decimal d;
  d.Assign(out, end);
  d.exponent = d.count - 1;
  return WriteDecimal(out, d, false, 15, false);
}

std::string BytesToDecimal(ByteSpan bytes) {
  if (bytes.size() > 9) return "Too Big";
  if (bytes.size() <= 8) {
    char buf[kNumberTextRoom];
    return std::string(buf, WriteSmallDecimal(buf, bytes));
  }
  Decimal d = BigEndianDecimal(bytes);
  if (d.count == 1 && d.digits[0] == '0') return "0";
  return FormatDecimal(d, false, 15, false);
}

std::string BytesToFixedPoint(ByteSpan bytes) {
  if (bytes.size() < 2 || bytes.size() > 9) return {};
  std::string out = BytesToDecimal(bytes.first(bytes.size() - 2));
  out.push_back('.');
  const std::uint8_t hi = bytes[bytes.size() - 2];
  const std::uint8_t lo = bytes[bytes.size() - 1];
  for (int nibble : {hi >> 4, hi & 0x0F, lo >> 4, lo & 0x0F}) out.append(IntegerText(static_cast<std::uint64_t>(nibble), 15));
  return out;
}

std::string BytesToRevision(ByteSpan bytes) {
  const std::uint8_t major = bytes.size() > 0 ? bytes[0] : 0;
  const std::uint8_t minor = bytes.size() > 1 ? bytes[1] : 0;
  return IntegerText(major, 15) + "." + IntegerText(minor, 15);
}

char* WriteSingleText(char* out, ByteSpan bytes) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4; ++i) bits = (bits << 8) | (i < bytes.size() ? bytes[i] : 0);
  return WriteDouble(out, static_cast<double>(std::bit_cast<float>(bits)), 7, false);
}

char* WriteDoubleText(char* out, ByteSpan bytes) {
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < 8; ++i) bits = (bits << 8) | (i < bytes.size() ? bytes[i] : 0);
  return WriteDouble(out, std::bit_cast<double>(bits), 15, false);
}

std::string BytesToSingleText(ByteSpan bytes) {
  char buf[kNumberTextRoom];
  return std::string(buf, WriteSingleText(buf, bytes));
}

std::string BytesToDoubleText(ByteSpan bytes) {
  char buf[kNumberTextRoom];
  return std::string(buf, WriteDoubleText(buf, bytes));
}

std::string YearDayToDate(std::int16_t year, std::int16_t day) {
  static constexpr int kMonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int remaining = day;
  bool leap = year % 4 == 0;
  if (remaining >= 366) {
    remaining = 366;
    leap = true;
  }
  int month = 1;
  for (; month <= 12; ++month) {
    const int length = kMonthLength[month - 1] + (month == 2 && leap ? 1 : 0);
    if (remaining - length <= 0) break;
    remaining -= length;
  }
  const int century = (year > 70 && year <= 99) ? 19 : 20;
  std::string out = IntegerText(static_cast<std::uint64_t>(century), 15);
  const int yy = year < 0 ? -year : year;
  if (year < 0) out.push_back('-');
  if (yy < 10) out.push_back('0');
  out.append(IntegerText(static_cast<std::uint64_t>(yy), 15));
  out.push_back('-');
  if (month < 10) out.push_back('0');
  out.append(IntegerText(static_cast<std::uint64_t>(month), 15));
  out.push_back('-');
  out.append(NumberText(remaining, 15));
  return out;
}

double DigitValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  // Keep at most 40 significant digits; the rest only move the exponent.
  std::string mantissa;
  long long exponent = 0;
  bool anyDigit = false;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      if (mantissa.empty() && c == '0') {
        if (point) --exponent;
        continue;
      }
      if (mantissa.size() < 40) {
        mantissa.push_back(c);
        if (point) --exponent;
      } else if (!point) {
        ++exponent;
      }
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return 0.0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    bool expNegative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) expNegative = text[j++] == '-';
    if (j < text.size() && text[j] >= '0' && text[j] <= '9') {
      long long e = 0;
      for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j) {
        if (e < 100000) e = e * 10 + (text[j] - '0');
      }
      exponent += expNegative ? -e : e;
    }
  }
  if (mantissa.empty()) return negative ? -0.0 : 0.0;
#if FLT_EVAL_METHOD == 0
  // Up to 15 digits and a power of ten up to 22 are exact doubles, so one
  // multiplication or division rounds exactly as the general reading does.
  // (Not where arithmetic runs in extended precision, which rounds twice.)
  if (mantissa.size() <= 15 && exponent >= -22 && exponent <= 22) {
    static constexpr double kPowersOf10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::uint64_t digits = 0;
    for (char c : mantissa) digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    double value = static_cast<double>(digits);
    value = exponent < 0 ? value / kPowersOf10[-exponent] : value * kPowersOf10[exponent];
    return negative ? -value : value;
  }
#endif
  if (exponent > 100000) exponent = 100000;
  if (exponent < -100000) exponent = -100000;
  std::string normal = mantissa + "e" + std::to_string(exponent);
  double value = 0;
  const auto r = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (r.ec == std::errc::result_out_of_range) {
    value = exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

std::uint64_t HexValue(std::string_view text) {
  std::uint64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else {
      break;
    }
    if (value > (std::numeric_limits<std::uint64_t>::max() >> 4)) return std::numeric_limits<std::uint64_t>::max();
    value = (value << 4) | static_cast<std::uint64_t>(digit);
  }
  return value;
}

std::string NumberText(double x, int digits) { return FormatDouble(x, digits, false); }

std::string SignedNumberText(double x, int digits) { return FormatDouble(x, digits, true); }

std::int32_t SaturatedCount(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(std::nearbyint(value));  // default rounding: half to even
}

}  // namespace segd
