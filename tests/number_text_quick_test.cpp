// The quick conversion of 7 and 15 significant digits (the trace walk's
// doubles and singles) against the general one, byte for byte, over values of
// every kind: random bit patterns of every exponent, coordinate-like decimals,
// exact and near ties of the first dropped digit, powers of ten and their
// neighbours, runs of 9s that round up a place.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "scan/conversions.h"

namespace segd {
namespace {

int failures = 0;

void Compare(const std::string& quick, double x, int n, bool blank) {
  const std::string general = GeneralNumberText(x, n, blank);
  if (quick != general && ++failures <= 20) {
    ADD_FAILURE() << std::hexfloat << x << " to " << n << " digits: " << quick << " against " << general;
  }
}

// Through the byte images, as the trace walk reads them, and the text calls.
void Check(double x) {
  std::uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(std::bit_cast<std::uint64_t>(x) >> (56 - 8 * i));
  Compare(BytesToDoubleText(b), x, 15, false);
  Compare(SignedNumberText(x, 7), x, 7, true);
}
void Check(float f) {
  std::uint8_t b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(std::bit_cast<std::uint32_t>(f) >> (24 - 8 * i));
  Compare(BytesToSingleText(b), f, 7, false);
  Compare(SignedNumberText(f, 15), f, 15, true);
}
template <typename T>
T Parse(const std::string& text) {
  T value{};
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

TEST(QuickNumberText, WritesTheSameBytesAsTheGeneralConversion) {
  std::mt19937_64 random(20240517);
  for (int i = 0; i < 160000; ++i) {
    const std::uint64_t r = random();
    if (i % 8 == 0) Check(std::bit_cast<double>(r));           // every exponent, NaN, Inf, subnormal
    Check(std::bit_cast<float>(static_cast<std::uint32_t>(r)));  // every single exponent
    const double mantissa = std::bit_cast<double>((r & 0x800FFFFFFFFFFFFFu) | 0x3FF0000000000000u);
    Check(std::ldexp(mantissa, static_cast<int>(r >> 52 & 0xFF) % 160 - 80));  // around the quick range
    // Coordinates and elevations as recorded: k / 100 and k / 1000 from 1E2 to 1E8.
    const double k = static_cast<double>(r % static_cast<std::uint64_t>(std::pow(10.0, 5 + (r >> 58) % 7)));
    Check(k / 100);
    Check(k / 1000);
    Check(static_cast<float>(k / 1000));
  }
  for (int i = 0; i < 32000; ++i) {
    const std::uint64_t r = random();
    // Exact ties: m / 2^j with m odd has the digits m x 5^j, the last a 5;
    // with n + 1 of them, the first dropped digit is 5 and nothing follows.
    for (const auto& [n, j] : {std::pair{15, 1 + i % 22}, std::pair{7, 1 + i % 11}}) {
      const auto p = static_cast<std::uint64_t>(std::pow(5.0, j)), low = static_cast<std::uint64_t>(std::pow(10.0, n)) / p + 1;
      const double tie = std::ldexp(static_cast<double>((low + r % (9 * low)) | 1), -j);
      n == 15 ? Check(tie) : Check(static_cast<float>(tie));
    }
    // Near ties, runs of 9s and of inner 0s: n digits, a 5, then more digits or none.
    const std::string head = std::to_string(r % 9000000000000000u + 1000000000000000u);
    for (const std::string& digits : {head, std::string(15, '9'), head.substr(0, 8) + "000000" + head.substr(14)}) {
      const std::string tail = "5" + std::string(i % 3 == 0 ? "" : head.substr(0, i % 16)) + "e" + std::to_string(i % 60 - 30);
      Check(Parse<double>(digits.substr(0, 15) + tail));
      Check(Parse<float>(digits.substr(0, 7) + tail));
    }
  }
  for (int p = -45; p <= 40; ++p) {  // powers of ten and one unit of the last place either side
    const double d = Parse<double>("1e" + std::to_string(p));
    const float f = Parse<float>("1e" + std::to_string(p));
    for (double x : {d, std::nextafter(d, 0.0), std::nextafter(d, 1e300)}) Check(x);
    for (float x : {f, std::nextafter(f, 0.0f), std::nextafter(f, 1e30f)}) Check(x);
  }
  EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace segd
