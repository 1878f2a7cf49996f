// The quick conversion of 7 and 15 significant digits against the general one, byte for byte.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <type_traits>

#include "scan/convert/conversions.h"

namespace segd {
namespace {

void Compare(const std::string& quick, double x, int n, bool blank) {
  static int failures = 0;  // the first 20 are shown
  if (const std::string general = GeneralNumberText(x, n, blank); quick != general && ++failures <= 20)
    ADD_FAILURE() << std::hexfloat << x << " to " << n << " digits: " << quick << " not " << general;
}

// A double (15 digits) or a single (7) through its byte image, as the trace walk reads it; the other count too.
template <typename T>
void Check(T x) {
  const auto bits = std::bit_cast<std::conditional_t<sizeof(T) == 8, std::uint64_t, std::uint32_t>>(x);
  std::uint8_t b[sizeof(T)];
  for (std::size_t i = 0; i < sizeof(T); ++i) b[i] = static_cast<std::uint8_t>(bits >> (8 * (sizeof(T) - 1 - i)));
  constexpr int n = sizeof(T) == 8 ? 15 : 7;
  Compare(n == 15 ? BytesToDoubleText(b) : BytesToSingleText(b), x, n, false);
  Compare(SignedNumberText(x, 22 - n), x, 22 - n, true);
}
// The double nearest to `text`, the single nearest to that and, for `neighbours`, the values either side.
void CheckText(const std::string& text, bool neighbours = false) {
  const double d = std::strtod(text.c_str(), nullptr);
  const auto f = static_cast<float>(d);
  Check(d), Check(f);
  if (neighbours) Check(std::nextafter(d, 0.0)), Check(std::nextafter(d, HUGE_VAL));
  if (neighbours) Check(std::nextafter(f, 0.0f)), Check(std::nextafter(f, HUGE_VALF));
}

TEST(QuickNumberText, WritesTheSameBytesAsTheGeneralConversion) {
  std::mt19937_64 random(20240517);
  for (int i = 0; i < 120000; ++i) {
    const std::uint64_t r = random();
    if (i % 8 == 0) Check(std::bit_cast<double>(r));           // every exponent, NaN, Inf, subnormal
    Check(std::bit_cast<float>(static_cast<std::uint32_t>(r)));  // every single exponent
    const double mantissa = std::bit_cast<double>((r & 0x800FFFFFFFFFFFFFu) | 0x3FF0000000000000u);
    Check(std::ldexp(mantissa, static_cast<int>(r >> 52 & 0xFF) % 160 - 80));  // around the quick range
    // Coordinates and elevations as recorded: k / 100 and k / 1000 from 1E2 to 1E8.
    const double k = static_cast<double>(r % static_cast<std::uint64_t>(std::pow(10.0, 5 + (r >> 58) % 7)));
    for (double x : {k / 100, k / 1000}) Check(x), Check(static_cast<float>(x));
  }
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t r = random();
    // Exact ties: m / 2^j, m odd, has the n + 1 digits m x 5^j: the first dropped is a 5, nothing after it.
    for (const auto& [n, j] : {std::pair{15, 1 + i % 22}, std::pair{7, 1 + i % 11}}) {
      const auto low = static_cast<std::uint64_t>(std::pow(10.0, n) / std::pow(5.0, j)) + 1;
      const double tie = std::ldexp(static_cast<double>((low + r % (9 * low)) | 1), -j);
      n == 15 ? Check(tie) : Check(static_cast<float>(tie));
    }
    // Near ties: n digits, a 5, then more digits or none.
    const std::string head = std::to_string(r % 9000000000000000u + 1000000000000000u);
    for (const std::string& digits : {head, std::string(15, '9'), head.substr(0, 8) + "000000" + head.substr(14)}) {
      const std::string tail = std::string("5").append(head, 0, i % 3 ? i % 16 : 0) + "e" + std::to_string(i % 60 - 30);
      CheckText(digits.substr(0, 15) + tail), CheckText(digits.substr(0, 7) + tail);
    }
  }
  for (int p = -45; p <= 38; ++p) CheckText("1e" + std::to_string(p), true);  // powers of ten
}

}  // namespace
}  // namespace segd
