// The sample encoders. Exponent formats take the smallest exponent whose
// fraction holds the value: a value the format holds then needs no
// rounding at all.
#include "tools/sample_encoders.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace segd::writer {

namespace {

void PutBe(std::uint8_t* out, std::uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i, v >>= 8) out[i] = static_cast<std::uint8_t>(v);
}
void PutLe(std::uint8_t* out, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i, v >>= 8) out[i] = static_cast<std::uint8_t>(v);
}

// The smallest exponent c (0..maxC) with |v| / (base^c / fractionScale)
// rounding to at most maxQ; the magnitude q. Saturates at the top.
void Exponent(double magnitude, int bitsPerStep, int fractionBits, int maxC, std::uint32_t& c, std::uint32_t& q) {
  const double maxQ = std::ldexp(1.0, fractionBits) - 1;
  for (int e = 0; e <= maxC; ++e) {
    const double scaled = std::nearbyint(std::ldexp(magnitude, fractionBits - bitsPerStep * e));
    if (scaled <= maxQ) {
      c = static_cast<std::uint32_t>(e);
      q = static_cast<std::uint32_t>(scaled);
      return;
    }
  }
  c = static_cast<std::uint32_t>(maxC);
  q = static_cast<std::uint32_t>(maxQ);
}

// Sign, exponent and fraction in `bits` bits: one's complement (the
// fraction's bits inverted) or sign and magnitude.
std::uint32_t SignedWord(double v, int bits, int bitsPerStep, int exponentBits, int fractionBits, bool onesComplement) {
  std::uint32_t c = 0, q = 0;
  if (!std::isnan(v)) Exponent(std::fabs(v), bitsPerStep, fractionBits, (1 << exponentBits) - 1, c, q);
  const bool negative = std::signbit(v) && !std::isnan(v);
  const std::uint32_t mask = (1u << fractionBits) - 1;
  const std::uint32_t fraction = negative && onesComplement ? (~q & mask) : q;
  return (negative ? 1u << (bits - 1) : 0u) | c << fractionBits | fraction;
}

std::int64_t RoundInt(double v, std::int64_t lo, std::int64_t hi) {
  if (std::isnan(v)) return 0;
  const double r = std::nearbyint(v);
  return r < static_cast<double>(lo) ? lo : r > static_cast<double>(hi) ? hi : static_cast<std::int64_t>(r);
}

std::uint32_t Ibm(double v) {
  if (std::isnan(v) || v == 0) return std::signbit(v) && !std::isnan(v) ? 0x80000000u : 0;
  const std::uint32_t sign = v < 0 ? 0x80000000u : 0;
  const double m = std::fabs(v);
  if (std::isinf(m)) return sign | 0x7FFFFFFFu;
  int k = 0;
  std::frexp(m, &k);  // m = f × 2^k, f in [0.5, 1)
  int e = k >= 0 ? (k + 3) / 4 : -((-k) / 4);  // 16^e >= 2^k
  double f = std::nearbyint(std::ldexp(m, 24 - 4 * e));
  if (f >= 16777216.0) f = std::nearbyint(std::ldexp(m, 24 - 4 * ++e));
  if (e + 64 > 127) return sign | 0x7FFFFFFFu;
  if (e + 64 < 0) {  // below the smallest exponent: an unnormalised fraction
    e = -64;
    f = std::nearbyint(std::ldexp(m, 24 + 256));
  }
  return sign | static_cast<std::uint32_t>(e + 64) << 24 | static_cast<std::uint32_t>(f);
}

constexpr std::uint32_t kFormats[] = {8015, 8022, 8024, 8036, 8038, 8042, 8044, 8048, 8058, 8080, 9036, 9038, 9058, 9080};

}  // namespace

std::span<const std::uint32_t> EncodedFormats() { return kFormats; }

bool EncodeSamples(std::uint32_t code, std::span<const double> values, std::uint8_t* out) {
  const std::size_t n = values.size();
  switch (code) {
    case 8015:
      for (std::size_t g = 0; g < n; g += 4, out += 10) {
        std::memset(out, 0, 10);
        for (std::size_t j = 0; j < 4 && g + j < n; ++j) {
          const std::uint32_t w = SignedWord(values[g + j], 20, 1, 4, 15, true);
          // The exponent goes to its half byte; the 16-bit word keeps sign and fraction.
          const std::uint32_t c = (w >> 15) & 0x0F;
          out[j / 2] |= static_cast<std::uint8_t>(j % 2 == 0 ? c << 4 : c);
          PutBe(out + 2 + 2 * j, (w >> 19 & 1) << 15 | (w & 0x7FFF), 2);
        }
      }
      return true;
    case 8022:
      for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(SignedWord(values[i], 8, 2, 3, 4, true));
      return true;
    case 8024:
      for (std::size_t i = 0; i < n; ++i) PutBe(out + 2 * i, SignedWord(values[i], 16, 2, 3, 12, true), 2);
      return true;
    case 8042:
      for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(SignedWord(values[i], 8, 4, 2, 5, false));
      return true;
    case 8044:
      for (std::size_t i = 0; i < n; ++i) PutBe(out + 2 * i, SignedWord(values[i], 16, 4, 2, 13, false), 2);
      return true;
    case 8036:
    case 9036:
      for (std::size_t i = 0; i < n; ++i) {
        const auto w = static_cast<std::uint32_t>(RoundInt(values[i], -(1 << 23), (1 << 23) - 1)) & 0xFFFFFF;
        code == 8036 ? PutBe(out + 3 * i, w, 3) : PutLe(out + 3 * i, w, 3);
      }
      return true;
    case 8038:
    case 9038:
      for (std::size_t i = 0; i < n; ++i) {
        const auto w = static_cast<std::uint32_t>(RoundInt(values[i], INT32_MIN, INT32_MAX));
        code == 8038 ? PutBe(out + 4 * i, w, 4) : PutLe(out + 4 * i, w, 4);
      }
      return true;
    case 8048:
      for (std::size_t i = 0; i < n; ++i) PutBe(out + 4 * i, Ibm(values[i]), 4);
      return true;
    case 8058:
    case 9058:
      for (std::size_t i = 0; i < n; ++i) {
        const auto w = std::bit_cast<std::uint32_t>(static_cast<float>(values[i]));
        code == 8058 ? PutBe(out + 4 * i, w, 4) : PutLe(out + 4 * i, w, 4);
      }
      return true;
    case 8080:
    case 9080:
      for (std::size_t i = 0; i < n; ++i) {
        const auto w = std::bit_cast<std::uint64_t>(values[i]);
        code == 8080 ? PutBe(out + 8 * i, w, 8) : PutLe(out + 8 * i, w, 8);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace segd::writer
