// The conversions shared by every decoder, against the examples and edge
// cases the recorder's documentation gives.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "scan/convert/conversions.h"

namespace segd {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(BytesToHex, WritesTwoUpperCaseDigitsPerByteKeepingLeadingZeros) {
  EXPECT_EQ(BytesToHex(Bytes{0x0A, 0xFF, 0x00}), "0AFF00");
  EXPECT_EQ(BytesToHex(Bytes{0x05}), "05");
  EXPECT_EQ(BytesToHex(Bytes{}), "");
}

struct DigitCase {
  const char* text;
  double value;
};

TEST(DigitValue, ReadsTheLeadingDecimalNumber) {
  const DigitCase cases[] = {
      {"045", 45},   {"0A", 0},     {"1F", 1},       {"A5", 0},     {"1E02", 100},  {"  12", 12},
      {"", 0},       {"3D1", 30},   {"\t\n7", 7},    {"-12", -12},  {"+3.5", 3.5},  {".5", 0.5},
      {"1.2.3", 1.2}, {"1E", 1},    {"1E+", 1},      {"2e-1", 0.2}, {"FF", 0},      {"0000", 0},
      {"99999", 99999}, {"1d3x", 1000}, {".", 0},    {"-", 0},      {"12 34", 12},
  };
  for (const DigitCase& c : cases) EXPECT_DOUBLE_EQ(DigitValue(c.text), c.value) << '"' << c.text << '"';
  EXPECT_EQ(DigitValue(std::string(5, '\0')), 0);
}

TEST(DigitValue, SaturatesInsteadOfOverflowing) {
  EXPECT_TRUE(std::isinf(DigitValue("1E999999999999999999")));
  EXPECT_EQ(DigitValue("1E-999999999999"), 0);
  EXPECT_TRUE(std::isinf(DigitValue(std::string(400, '9'))));
  EXPECT_DOUBLE_EQ(DigitValue("0." + std::string(300, '0') + "1"), 1e-301);
}

TEST(SaturatedCount, RoundsHalfToEvenAndClampsToThirtyTwoBits) {
  EXPECT_EQ(SaturatedCount(2.5), 2);
  EXPECT_EQ(SaturatedCount(3.5), 4);
  EXPECT_EQ(SaturatedCount(1.4), 1);
  EXPECT_EQ(SaturatedCount(1e300), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(SaturatedCount(-1e300), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(SaturatedCount(std::numeric_limits<double>::infinity()), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(SaturatedCount(std::nan("")), 0);
}

TEST(HexValue, ReadsUnsignedHexDigitsUpToTheFirstOther) {
  EXPECT_EQ(HexValue("00FF"), 255u);
  EXPECT_EQ(HexValue("8000 "), 32768u);
  EXPECT_EQ(HexValue("0BB8 "), 3000u);
  EXPECT_EQ(HexValue("0020"), 32u);
  EXPECT_EQ(HexValue("ff"), 255u);
  EXPECT_EQ(HexValue(""), 0u);
  EXPECT_EQ(HexValue("G1"), 0u);
  EXPECT_EQ(HexValue(std::string(40, 'F')), std::numeric_limits<std::uint64_t>::max());
}

struct NumberCase {
  double value;
  int digits;
  const char* text;
};

TEST(NumberText, WritesPlainOrScientificNotation) {
  const NumberCase cases[] = {
      {0, 7, "0"},
      {0.25, 7, ".25"},
      {0.5, 7, ".5"},
      {-0.25, 7, "-.25"},
      {2.5, 7, "2.5"},
      {3.0, 7, "3"},
      {12345678, 7, "1.234568E+7"},
      {10000000, 7, "1E+7"},
      {0.00000001, 7, "1E-8"},
      {0.00012345, 7, "1.2345E-4"},
      {0.0000001, 7, ".0000001"},
      {1234567, 7, "1234567"},
      {4294967295.0, 15, "4294967295"},
      {1e15, 15, "1E+15"},
      {999999999999999.0, 15, "999999999999999"},
      {3.14159265358979323846, 15, "3.14159265358979"},
      {-3, 15, "-3"},
      // A dropped 5 rounds the last kept digit to even, whatever follows.
      {1234565, 6, "1.23456E+6"},
      {1234575, 6, "1.23458E+6"},
      {0.125, 2, ".12"},
      {0.375, 2, ".38"},
      {0.1250001, 2, ".12"},
      {2.5, 1, "2"},
      {3.5, 1, "4"},
      {0.1234565, 6, ".123456"},  // held as 0.12345649999...
      {9999999.5, 7, "1E+7"},
  };
  for (const NumberCase& c : cases) EXPECT_EQ(NumberText(c.value, c.digits), c.text) << c.value;
}

TEST(SignedNumberText, PutsABlankBeforeZeroAndPositiveNumbers) {
  EXPECT_EQ(SignedNumberText(3, 15), " 3");
  EXPECT_EQ(SignedNumberText(-3, 15), "-3");
  EXPECT_EQ(SignedNumberText(0, 15), " 0");
}

TEST(BytesToDecimal, ReadsUnsignedBigEndianIntegers) {
  EXPECT_EQ(BytesToDecimal(Bytes{0x00, 0x01, 0x00}), "256");
  EXPECT_EQ(BytesToDecimal(Bytes{0xFF, 0xFF, 0xFF, 0xFF}), "4294967295");
  EXPECT_EQ(BytesToDecimal(Bytes{0x80, 0x00, 0x00, 0x00}), "2147483648");
  EXPECT_EQ(BytesToDecimal(Bytes{0x00}), "0");
  EXPECT_EQ(BytesToDecimal(Bytes(10, 0x01)), "Too Big");
  EXPECT_EQ(BytesToDecimal(Bytes(9, 0xFF)), "4.72236648286964E+21");
  EXPECT_EQ(BytesToDecimal(Bytes(8, 0xFF)), "1.84467440737096E+19");
}

TEST(BytesToFixedPoint, WritesIntegerPartAndFourHalfByteDigits) {
  EXPECT_EQ(BytesToFixedPoint(Bytes{0x00, 0x00, 0x7B, 0x25, 0x00}), "123.2500");
  EXPECT_EQ(BytesToFixedPoint(Bytes{0x00, 0x00, 0x01, 0x0A, 0x0B}), "1.010011");
  EXPECT_EQ(BytesToFixedPoint(Bytes{0x00, 0x00, 0x00, 0x00, 0x00}), "0.0000");
  EXPECT_EQ(BytesToFixedPoint(Bytes(10, 0)), "");
}

TEST(BytesToRevision, JoinsMajorAndMinorWithAPoint) {
  EXPECT_EQ(BytesToRevision(Bytes{0x01, 0x00}), "1.0");
  EXPECT_EQ(BytesToRevision(Bytes{0x02, 0x0A}), "2.10");
}

TEST(BytesToSingleText, WritesSevenSignificantDigits) {
  EXPECT_EQ(BytesToSingleText(Bytes{0x3F, 0x80, 0x00, 0x00}), "1");
  EXPECT_EQ(BytesToSingleText(Bytes{0x3F, 0x00, 0x00, 0x00}), ".5");
  EXPECT_EQ(BytesToSingleText(Bytes{0xC0, 0x20, 0x00, 0x00}), "-2.5");
  EXPECT_EQ(BytesToSingleText(Bytes{0x3A, 0x83, 0x12, 0x6F}), ".001");
  EXPECT_EQ(BytesToSingleText(Bytes{0x44, 0x9A, 0x52, 0x25}), "1234.567");
  EXPECT_EQ(BytesToSingleText(Bytes{0x00, 0x00, 0x00, 0x00}), "0");
  EXPECT_EQ(BytesToSingleText(Bytes{0x7F, 0x80, 0x00, 0x00}), "Inf");
  EXPECT_EQ(BytesToSingleText(Bytes{0x7F, 0xC0, 0x00, 0x00}), "NaN");
}

TEST(BytesToDoubleText, WritesFifteenSignificantDigits) {
  EXPECT_EQ(BytesToDoubleText(Bytes{0x40, 0x09, 0x21, 0xFB, 0x54, 0x44, 0x2D, 0x18}), "3.14159265358979");
  EXPECT_EQ(BytesToDoubleText(Bytes{0x41, 0x1F, 0x45, 0x66, 0xB6, 0x45, 0xA1, 0xCB}), "512345.678");
  EXPECT_EQ(BytesToDoubleText(Bytes{0x41, 0x58, 0xF5, 0xDA, 0x87, 0xE6, 0x9A, 0xD4}), "6543210.12345");
}

struct DateCase {
  std::int16_t year;
  std::int16_t day;
  const char* text;
};

TEST(YearDayToDate, CountsMonthsAndCenturies) {
  const DateCase cases[] = {
      {6, 45, "2006-02-14"},  {4, 60, "2004-02-29"},  {5, 60, "2005-03-1"},  {85, 365, "1985-12-31"},
      {5, 400, "2005-12-31"}, {6, 0, "2006-01-0"},    {71, 1, "1971-01-1"},  {0, 366, "2000-12-31"},
      {1, 366, "2001-12-31"}, {70, 1, "2070-01-1"},   {99, 32, "1999-02-1"}, {5, -3, "2005-01--3"},
  };
  for (const DateCase& c : cases) EXPECT_EQ(YearDayToDate(c.year, c.day), c.text) << c.year << " " << c.day;
}

}  // namespace
}  // namespace segd
