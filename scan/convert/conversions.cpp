#include "scan/convert/conversions.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <type_traits>

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

// Any digit count, any double: the exact digits from ExactDecimal or, past
// its reach, from the library's conversion.
char* WriteDoubleGeneral(char* out, double x, int n, bool leadingBlank) {
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

// The quick conversion for the two digit counts the trace walk uses, 15 for
// doubles and 7 for singles. The rounding looks only at the first dropped
// digit, so the first n + 1 significant digits of the exact value are all it
// needs: D = floor(x x 10^k), with k chosen so that D has n + 1 digits, taken
// in integer arithmetic from x = m x 2^(e2 - 52) (m the 53-bit significand):
//   k >= 0: D = floor(m x 5^k / 2^(52 - e2 - k)), one 64 x 64-bit product;
//   k < 0:  D = floor(x) / 10^-k, as floor(floor(x) / c) = floor(x / c).
// Both are exact, so D is the true digits, whatever the binade.
// The decimal exponent: E0 = floor(e2 x log10 2) is (e2 x 78913) >> 18 while
// |e2| < 93: the approximation is off by under 93 x 7.9E-7 = 7.4E-5, and no
// e2 x log10 2 with 0 < |e2| < 93 lies that close to an integer (its best
// approach is 10 x log10 2 = 3.0103; 93 is the next convergent's
// denominator). x lies in [2^e2, 2^(e2 + 1)), a span of 0.302 in log10, so
// the true exponent is E0 or E0 + 1 and D has n + 1 or n + 2 digits; one
// more digit dropped then decides. The quick range, x < 2^64 with k <= 27
// (5^27 < 2^63; from about 2E-12 for 15 digits and 1E-20 for 7), covers
// every coordinate, elevation and factor; the rest take the general path.

constexpr auto kPowersOf10 = [] {
  std::array<std::uint64_t, 20> powers{1};
  for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
  return powers;
}();

// floor(m x p / 2^s) for s >= 0, (m x p) x 2^-s for s < 0; the caller knows
// the result fits 64 bits.
std::uint64_t ProductShifted(std::uint64_t m, std::uint64_t p, int s) {
#ifdef __SIZEOF_INT128__
  const unsigned __int128 product = static_cast<unsigned __int128>(m) * p;
  return s >= 0 ? static_cast<std::uint64_t>(product >> s) : static_cast<std::uint64_t>(product) << -s;
#else
  // 32-bit targets (the Windows tree) have no 128-bit integer: four halves.
  const std::uint64_t mLo = m & 0xFFFFFFFFu, mHi = m >> 32, pLo = p & 0xFFFFFFFFu, pHi = p >> 32;
  const std::uint64_t ll = mLo * pLo, lh = mLo * pHi, hl = mHi * pLo;
  const std::uint64_t middle = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
  const std::uint64_t lo = (middle << 32) | (ll & 0xFFFFFFFFu);
  const std::uint64_t hi = mHi * pHi + (lh >> 32) + (hl >> 32) + (middle >> 32);
  if (s <= 0) return lo << -s;
  if (s < 64) return (hi << (64 - s)) | (lo >> s);
  return hi >> (s - 64);
#endif
}

// The eight decimal digits of v < 10^8 (leading zeros included) as byte
// values 0-9, the first in the lowest byte: v split in halves of four digits,
// each half in quarters of two, each quarter in digits, every step done on all
// lanes of the word at once. x x 10486 >> 20 is x / 100 for x < 10^4, and
// x x 103 >> 10 is x / 10 for x < 100; no lane's product reaches the next.
std::uint64_t EightDigitBytes(std::uint32_t v) {
  // Each step puts a lane's quotient q in its low half and the remainder r
  // in its high half: q + (x - q x d) x 2^w = x x 2^w - q x (d x 2^w - 1).
  std::uint64_t x = (std::uint64_t{v} << 32) - (v / 10000) * 42949672959999ull;
  x = (x << 16) - (((x * 10486) >> 20) & 0x0000007F0000007Fu) * 6553599;
  return (x << 8) - (((x * 103) >> 10) & 0x000F000F000F000Fu) * 2559;
}

// The digit bytes as characters, lowest byte first.
void StoreDigits(char* out, std::uint64_t digitBytes) {
  digitBytes += 0x3030303030303030u;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, &digitBytes, 8);
  } else {
    for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(digitBytes >> (8 * i));
  }
}

// How many of the eight digits, not all 0, end in 0s (the last digit is the
// top byte).
int TrailingZeros(std::uint64_t digitBytes) { return std::countl_zero(digitBytes) / 8; }

// The lowest e2 whose k = n - E0 is at most 27.
template <int n>
constexpr int kQuickLowestE2 = [] {
  int e2 = 0;
  while ((((e2 - 1) * 78913) >> 18) >= n - 27) --e2;
  return e2;
}();
static_assert(kQuickLowestE2<15> == -39 && kQuickLowestE2<7> == -66 && -93 < kQuickLowestE2<7>);

template <int n>
char* WriteDoubleQuick(char* out, double x, bool leadingBlank) {
  static_assert(n == 7 || n == 15, "digit writing is laid out for 7 or 15 digits");
  using Digits = std::conditional_t<(n <= 8), std::uint32_t, std::uint64_t>;  // D < 10^(n + 2)
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  const int e2 = biased - 1023;
  // The quick range in one test; zero, subnormal, infinite and not-a-number
  // fall out here too (biased 0 or 0x7FF puts e2 far outside).
  if (static_cast<unsigned>(e2 - kQuickLowestE2<n>) > static_cast<unsigned>(63 - kQuickLowestE2<n>)) {
    return WriteDoubleGeneral(out, x, n, leadingBlank);
  }
  const int e0 = (e2 * 78913) >> 18;
  const int k = n - e0;
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  Digits d;
  if (k >= 0) {
    d = static_cast<Digits>(ProductShifted(m, kPowersOf5[k], 52 - e2 - k));
  } else {
    const std::uint64_t whole = e2 >= 52 ? m << (e2 - 52) : m >> (52 - e2);
    d = static_cast<Digits>(whole / kPowersOf10[-k]);
  }
  int e = e0;
  Digits q = d / 10;
  Digits dropped = d % 10;
  if (q >= kPowersOf10[n]) {  // the exponent is E0 + 1
    dropped = q % 10;
    q /= 10;
    ++e;
  }
  if (dropped > 5 || (dropped == 5 && (q & 1) != 0)) ++q;
  if (q == kPowersOf10[n]) {  // 99..9 rounded up: 10..0, one place higher
    q = static_cast<Digits>(kPowersOf10[n - 1]);
    ++e;
  }

  // The n digits at s, room behind them for the 16-byte moves below.
  char buf[48];
  const char* s;
  int zeros;
  if constexpr (n == 15) {
    // Eight digits, then seven (their word's leading 0 overwritten). Most
    // recorded coordinates have at most eight, and their last seven are 0s.
    const auto high = static_cast<std::uint32_t>(q / 10000000), low = static_cast<std::uint32_t>(q % 10000000);
    const std::uint64_t highDigits = EightDigitBytes(high), lowDigits = low == 0 ? 0 : EightDigitBytes(low);
    StoreDigits(buf + 7, lowDigits);
    StoreDigits(buf, highDigits);
    zeros = low == 0 ? 7 + TrailingZeros(highDigits) : TrailingZeros(lowDigits);
    s = buf;
  } else {
    const std::uint64_t digits = EightDigitBytes(q);  // a leading 0, then the seven
    StoreDigits(buf, digits);
    zeros = TrailingZeros(digits);
    s = buf + 1;
  }
  const int count = n - zeros;  // the first digit is not 0: count >= 1

  // Runs of at most 16 characters are moved as 16 bytes (the room is there;
  // what lands past the run is overwritten or past the text's end).
  if (bits >> 63) {
    *out++ = '-';
  } else if (leadingBlank) {
    *out++ = ' ';
  }
  if (e >= 0 && e < n) {  // plain, with an integer part: digits, zeros to the point, fraction
    std::memcpy(out, s, 16);
    out += e + 1;
    if (count > e + 1) {
      *out++ = '.';
      std::memcpy(out, s + e + 1, 16);
      out += count - e - 1;
    }
    return out;
  }
  if (e < 0 && count - 1 - e <= n) {  // plain below 1: at most n - 1 zeros after the point
    *out++ = '.';
    std::memset(out, '0', 16);
    out += -e - 1;
    std::memcpy(out, s, 16);
    return out + count;
  }
  *out++ = s[0];
  if (count > 1) {
    *out++ = '.';
    std::memcpy(out, s + 1, 16);
    out += count - 1;
  }
  *out++ = 'E';
  *out++ = e < 0 ? '-' : '+';
  const int a = e < 0 ? -e : e;  // below 100 in the quick range
  if (a >= 10) *out++ = static_cast<char>('0' + a / 10);
  *out++ = static_cast<char>('0' + a % 10);
  return out;
}

char* WriteDouble(char* out, double x, int n, bool leadingBlank) {
  if (n == 15) return WriteDoubleQuick<15>(out, x, leadingBlank);
  if (n == 7) return WriteDoubleQuick<7>(out, x, leadingBlank);
  return WriteDoubleGeneral(out, x, n, leadingBlank);
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

// A big-endian unsigned integer from the first sizeof(U) bytes, zero-padded.
template <typename U>
U BigEndianBits(ByteSpan bytes) {
  U bits = 0;
#if defined(__GNUC__)
  if (bytes.size() >= sizeof(U)) {  // the trace walk's case: one load, bytes swapped where needed
    std::memcpy(&bits, bytes.data(), sizeof(U));
    if constexpr (std::endian::native == std::endian::little) {
      if constexpr (sizeof(U) == 8) return __builtin_bswap64(bits);
      return __builtin_bswap32(bits);
    }
    return bits;
  }
#endif
  for (std::size_t i = 0; i < sizeof(U); ++i) bits = static_cast<U>((bits << 8) | (i < bytes.size() ? bytes[i] : 0));
  return bits;
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
  return WriteDoubleQuick<7>(out, static_cast<double>(std::bit_cast<float>(BigEndianBits<std::uint32_t>(bytes))), false);
}

char* WriteDoubleText(char* out, ByteSpan bytes) {
  return WriteDoubleQuick<15>(out, std::bit_cast<double>(BigEndianBits<std::uint64_t>(bytes)), false);
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

std::string GeneralNumberText(double x, int digits, bool leadingBlank) {
  if (digits > 64) return FormatDouble(x, digits, leadingBlank);  // the general path already
  char buf[kNumberRoom + 64];
  return std::string(buf, WriteDoubleGeneral(buf, x, digits, leadingBlank));
}

std::int32_t SaturatedCount(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(std::nearbyint(value));  // default rounding: half to even
}

}  // namespace segd
