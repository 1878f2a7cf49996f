// The number texts of the trace columns come from two paths: exact digits
// straight from the bits (integers, most singles) and the general 40-digit
// conversion; decimal readings likewise take a one-multiplication path for
// short texts. These cases pin both paths to the same rule: round to 7 or 15
// digits, a first dropped digit of exactly 5 rounding to even.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "scan/convert/conversions.h"

namespace segd {
namespace {

std::string Single(float value) {
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
                                 static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
  return BytesToSingleText(bytes);
}

std::string Double(double value) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  std::uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
  return BytesToDoubleText(bytes);
}

TEST(NumberTextPaths, SinglesRoundTheirExactDigitsToSeven) {
  const std::pair<float, const char*> cases[] = {
      {1.0f, "1"},
      {0.5f, ".5"},
      {105.3f, "105.3"},          // 105.300003...
      {0.1f, ".1"},               // .100000001...
      {-2.5f, "-2.5"},
      {1234567.5f, "1234568"},    // dropped 5 after an odd 7: up
      {1234568.5f, "1234568"},    // dropped 5 after an even 8: stays
      {16777215.0f, "1.677722E+7"},
      {16777213.0f, "1.677721E+7"},
      {16777218.0f, "1.677722E+7"},
      {9999999.0f, "9999999"},
      {99999995.0f, "9.999999E+7"},  // held as 99999992: 9999999 and a dropped 2
      {3.0517578125e-05f, "3.051758E-5"},  // 2^-15
      {0.001f, ".001"},           // general path: too many binary places
      {1e-10f, "1E-10"},
      {3.4028235e38f, "3.402823E+38"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(Single(value), text) << value;
}

TEST(NumberTextPaths, DoublesRoundTheirExactDigitsToFifteen) {
  const std::pair<double, const char*> cases[] = {
      {512025.0, "512025"},
      {6543210.5, "6543210.5"},
      {512345.678, "512345.678"},                    // general path
      {0.1, ".1"},                                   // general path
      {123456789012345.0, "123456789012345"},
      {123456789012345.5, "123456789012346"},        // dropped 5 after an odd 5: up
      {123456789012344.5, "123456789012344"},        // dropped 5 after an even 4: stays
      {999999999999999.5, "1E+15"},                  // all nines carry
      {1e15, "1E+15"},
      {9007199254740991.0, "9.00719925474099E+15"},  // 2^53 - 1
      {9007199254740992.0, "9.00719925474099E+15"},  // 2^53
      {9223372036854775808.0, "9.22337203685478E+18"},  // 2^63, the last exact integer path
      {18446744073709551616.0, "1.84467440737096E+19"}, // 2^64, general path
      {-0.25, "-.25"},
      {3.14159265358979, "3.14159265358979"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(Double(value), text) << value;
}

TEST(NumberTextPaths, IntegerValuedDoublesShowAllTheirDigitsUpToFifteen) {
  std::mt19937_64 random(388);
  for (int i = 0; i < 2000; ++i) {
    const std::uint64_t value = random() % 1000000000000000ull;  // below 10^15
    EXPECT_EQ(Double(static_cast<double>(value)), std::to_string(value));
    EXPECT_EQ(Double(-static_cast<double>(value)), value == 0 ? "0" : "-" + std::to_string(value));
  }
}

// The rule spelled out on the digits of the exact value (120 significant
// digits hold every value tried here exactly): keep `n`, round on the first
// dropped digit alone (a 5 rounds to even), drop trailing zeros, and write
// plain notation while the digits fit in `n` places, else d.dddE+x.
std::string RuleText(double x, int n) {
  if (x == 0) return "0";
  char buf[160];
  const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 120);
  const std::string text(buf, r.ptr);
  const std::size_t ePos = text.find('e');
  std::string digits = text.substr(0, 1) + text.substr(2, ePos - 2);
  int exponent = std::stoi(text.substr(ePos + 1));
  const char dropped = digits[static_cast<std::size_t>(n)];
  digits.resize(static_cast<std::size_t>(n));
  if (dropped > '5' || (dropped == '5' && (digits.back() - '0') % 2 == 1)) {
    int i = n - 1;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
      ++digits[static_cast<std::size_t>(i)];
    } else {
      digits[0] = '1';
      ++exponent;
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int m = static_cast<int>(digits.size());
  std::string out = x < 0 ? "-" : "";
  if (exponent + 1 <= n && m - 1 - exponent <= n) {
    if (exponent >= 0) {
      std::string whole = digits.substr(0, std::min<std::size_t>(digits.size(), static_cast<std::size_t>(exponent + 1)));
      whole.resize(static_cast<std::size_t>(exponent + 1), '0');
      out += whole;
      if (m > exponent + 1) out += "." + digits.substr(static_cast<std::size_t>(exponent + 1));
    } else {
      out += "." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    return out;
  }
  out += digits.substr(0, 1);
  if (m > 1) out += "." + digits.substr(1);
  return out + (exponent < 0 ? "E-" : "E+") + std::to_string(std::abs(exponent));
}

TEST(NumberTextPaths, RandomValuesOfEveryMagnitudeFollowTheRule) {
  std::mt19937_64 random(3061);
  for (int i = 0; i < 20000; ++i) {
    // Random mantissas from 2^-60 to 2^70, and short decimals like surveyed
    // coordinates (512043.7) and elevations.
    const double scale = std::ldexp(1.0, static_cast<int>(random() % 131) - 60);
    const double wide = (static_cast<double>(random() >> 11) / 9007199254740992.0) * scale;
    const double survey = static_cast<double>(random() % 100000000) / 10.0 + 500000.0;
    for (double value : {wide, -wide, survey}) {
      EXPECT_EQ(Double(value), RuleText(value, 15)) << value;
      const float single = static_cast<float>(value);
      if (std::isfinite(single)) {
        EXPECT_EQ(Single(single), RuleText(single, 7)) << single;
      }
    }
  }
}

// The general reading: from_chars of the normalised text, as DigitValue does
// for long digit runs.
double FromChars(const std::string& text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

TEST(DigitValuePaths, ShortDecimalsReadExactlyAsTheGeneralReading) {
  std::mt19937 random(14);
  for (int i = 0; i < 20000; ++i) {
    const int digits = 1 + static_cast<int>(random() % 17);  // 16 and 17 take the general path
    std::string mantissa;
    for (int d = 0; d < digits; ++d) mantissa.push_back(static_cast<char>('0' + random() % 10));
    const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 1));
    const int exponent = static_cast<int>(random() % 61) - 30;
    std::string text = mantissa.substr(0, static_cast<std::size_t>(point)) + "." + mantissa.substr(static_cast<std::size_t>(point));
    text += "E" + std::to_string(exponent);
    EXPECT_EQ(DigitValue(text), FromChars(text)) << text;
  }
}

TEST(DigitValuePaths, EdgesOfTheShortPath) {
  const char* texts[] = {"999999999999999",  "9999999999999999", "123456789012345E22", "123456789012345E23",
                         "1E-22",            "1E-23",            ".000000000000000000001", "4.35",
                         "0.1",              "7E22",             "-3D-2",            "  045",
                         "9007199254740993", "1.7976931348623157E308"};
  for (const char* text : texts) {
    std::string normal = text;
    for (char& c : normal) c = (c == 'D') ? 'E' : c;
    while (!normal.empty() && normal.front() == ' ') normal.erase(normal.begin());
    EXPECT_EQ(DigitValue(text), FromChars(normal)) << text;
  }
}

}  // namespace
}  // namespace segd
