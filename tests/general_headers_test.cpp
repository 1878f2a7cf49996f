// General header blocks 1-3: raw fields, code tables, statuses and the
// General Headers section.
#include <gtest/gtest.h>

#include "scan/makes/sn388/general_header1.h"
#include "scan/makes/sn388/general_header23.h"
#include "output/report/header_sections.h"
#include "support/blocks.h"

namespace segd {
namespace {

using testing::Block;
using testing::Poke;
using testing::Sn388Block1;

std::string Nul(std::size_t n) { return std::string(n, '\0'); }

TEST(GeneralHeader1, TakesRawFieldsFromTheImageDigits) {
  GeneralHeader1Record r{};
  ASSERT_EQ(DecodeGeneralHeader1(Sn388Block1(), r), 0);
  EXPECT_EQ(r.FileNumber.View(), "1234");
  EXPECT_EQ(r.FormatCode.View(), "8058");
  EXPECT_EQ(r.Year.View(), "06");
  EXPECT_EQ(r.AdditionalBlocks.View(), "2");
  EXPECT_EQ(r.JulianDay.View(), "045");
  EXPECT_EQ(r.ManufacturerSerial.View(), "0123");
  EXPECT_EQ(r.RecordType.View(), "8");
  EXPECT_EQ(r.RecordLength.View(), "600");
  EXPECT_EQ(r.ChannelSets.View(), "01");
  EXPECT_EQ(r.ExtendedHeaderLength.View(), "32");
  EXPECT_EQ(r.DateText.View(), "2006-02-14");
  EXPECT_EQ(r.TimeText.View(), "09:41:07");
  EXPECT_EQ(r.FormatText.View(), "32 Bit IEEE DeMUX   ");
  EXPECT_EQ(r.ManufacturerText.View(), "Sercel              ");
  EXPECT_EQ(r.SystemTypeText.View(), "SN388" + std::string(25, ' '));
  EXPECT_EQ(r.SampleRateText.View(), "1   ");
  EXPECT_EQ(r.RecordTypeText.View(), "Normal    ");
  EXPECT_EQ(r.RecordLengthText.View(), "600" + std::string(17, ' '));
  EXPECT_EQ(r.ExtendedHeaderBytesText.View(), "1024        ");
  EXPECT_EQ(r.ExternalHeaderBytesText.View(), "0           ");
  EXPECT_EQ(r.ErrorInformation.View(), Nul(80));
}

struct StatusCase {
  const char* what;
  std::size_t byte;
  std::initializer_list<std::uint8_t> values;
  std::int32_t status;
  const char* complaint;
};

TEST(GeneralHeader1, ChecksCodesAndReturnsTheLastStatus) {
  const StatusCase cases[] = {
      {"format 1234", 3, {0x12, 0x34}, -1, "1234 is an invalid SEGD Format Code. This is not a SEG D File."},
      {"format 8765", 3, {0x87, 0x65}, 1, "Non Fatal Error - VQC88 file"},
      {"manufacturer 41", 17, {0x41}, 2, "The Manufacturer code is not recognised"},
      {"manufacturer 0A", 17, {0x0A}, 2, "The Manufacturer code is not recognised"},
      {"sample rate 30", 23, {0x30}, -3, "Invalid Sample Rate Code - the code to indicate sample rate is not correct"},
      {"record type 3", 26, {0x36}, -4, "Invalid Record Type Code - The code indicating record type should be 2 or 8"},
  };
  for (const StatusCase& c : cases) {
    Block b = Sn388Block1();
    Poke(b, c.byte, c.values);
    GeneralHeader1Record r{};
    EXPECT_EQ(DecodeGeneralHeader1(b, r), c.status) << c.what;
    std::string complaint = c.complaint;
    complaint.resize(80, ' ');
    EXPECT_EQ(r.ErrorInformation.View(), complaint) << c.what;
  }
}

TEST(GeneralHeader1, UnknownManufacturerThenBadSampleRateGivesTheSampleRateComplaint) {
  Block b = Sn388Block1();
  Poke(b, 17, {0x41});
  Poke(b, 23, {0x03});
  GeneralHeader1Record r{};
  EXPECT_EQ(DecodeGeneralHeader1(b, r), -3);
  EXPECT_EQ(r.ManufacturerText.View(), "Unknown Manufacturer");
  EXPECT_EQ(r.SampleRateText.View(), "0   ");
  EXPECT_EQ(r.RecordTypeText.View(), Nul(10));
}

TEST(GeneralHeader1, UnknownManufacturerStillDecodesTheRest) {
  Block b = Sn388Block1();
  Poke(b, 17, {0x41});
  GeneralHeader1Record r{};
  EXPECT_EQ(DecodeGeneralHeader1(b, r), 2);
  EXPECT_EQ(r.SampleRateText.View(), "1   ");
  EXPECT_EQ(r.RecordTypeText.View(), "Normal    ");
  EXPECT_EQ(r.ExtendedHeaderBytesText.View(), "1024        ");
  EXPECT_EQ(r.SystemTypeText.View(), Nul(30));
}

TEST(GeneralHeader1, Vqc88StopsAfterTheFormat) {
  Block b = Sn388Block1();
  Poke(b, 3, {0x87, 0x65});
  GeneralHeader1Record r{};
  EXPECT_EQ(DecodeGeneralHeader1(b, r), 1);
  EXPECT_EQ(r.FormatText.View(), "Sercel VQC-88       ");
  EXPECT_EQ(r.ManufacturerText.View(), "Sercel              ");
  EXPECT_EQ(r.DateText.View(), Nul(10));
  EXPECT_EQ(r.SampleRateText.View(), Nul(4));
}

struct TableCase {
  std::size_t byte;
  std::initializer_list<std::uint8_t> values;
  std::string_view (*field)(const GeneralHeader1Record&);
  std::string expected;
};

TEST(GeneralHeader1, LooksUpTheCodeTables) {
  auto format = [](const GeneralHeader1Record& r) { return r.FormatText.View(); };
  auto maker = [](const GeneralHeader1Record& r) { return r.ManufacturerText.View(); };
  auto model = [](const GeneralHeader1Record& r) { return r.SystemTypeText.View(); };
  auto rate = [](const GeneralHeader1Record& r) { return r.SampleRateText.View(); };
  auto type = [](const GeneralHeader1Record& r) { return r.RecordTypeText.View(); };
  auto length = [](const GeneralHeader1Record& r) { return r.RecordLengthText.View(); };
  auto extended = [](const GeneralHeader1Record& r) { return r.ExtendedHeaderBytesText.View(); };
  const TableCase cases[] = {
      {3, {0x00, 0x36}, format, "24 Bit 2's Comp Inte"},
      {3, {0x80, 0x36}, format, "24 Bit 2's Comp Inte"},
      {3, {0x80, 0x24}, format, "16 Bit Qauternary De"},
      {17, {0x21}, maker, std::string(20, ' ')},
      {17, {0x02}, maker, "Applied Magnetics Co"},
      {17, {0x40}, maker, "Geo-X               "},
      {10, {0x01}, model, "SN408UL CM408" + std::string(17, ' ')},
      {10, {0x03}, model, "SN408UL CM408XL" + std::string(15, ' ')},
      {10, {0x04}, model, "Unknown" + std::string(23, ' ')},
      {23, {0x04}, rate, "0.25"},
      {23, {0x08}, rate, "0.5 "},
      {23, {0x40}, rate, "4   "},
      {26, {0x26}, type, "Test      "},
      {26, {0x8F, 0xFF}, length, "Ext Rec Len Used    "},
      {31, {0xFF}, extended, "From GH2    "},
      {31, {0x05}, extended, "160         "},
  };
  for (const TableCase& c : cases) {
    Block b = Sn388Block1();
    Poke(b, c.byte, c.values);
    GeneralHeader1Record r{};
    DecodeGeneralHeader1(b, r);
    EXPECT_EQ(c.field(r), c.expected) << "byte " << c.byte;
  }
}

TEST(GeneralHeader1, LeapDayOfANonLeapYearIsTheLastOfDecember) {
  Block b = Sn388Block1();
  Poke(b, 11, {0x05, 0x23, 0x66});
  GeneralHeader1Record r{};
  DecodeGeneralHeader1(b, r);
  EXPECT_EQ(r.DateText.View(), "2005-12-31");
  Poke(b, 12, {0x20, 0x60});
  GeneralHeader1Record shortDate{};
  DecodeGeneralHeader1(b, shortDate);
  EXPECT_EQ(shortDate.DateText.View(), "2005-03-1 ");
}

struct DateCase {
  std::initializer_list<std::uint8_t> bytes11to13;  // year, additional blocks and day
  const char* date;
};

TEST(GeneralHeader1, DateFromYearAndDayDigits) {
  const DateCase cases[] = {
      {{0x06, 0x20, 0x45}, "2006-02-14"},
      {{0x06, 0x20, 0x00}, "2006-01-0 "},
      {{0x70, 0x20, 0x01}, "2070-01-1 "},
      {{0x85, 0x23, 0x65}, "1985-12-31"},
      {{0x04, 0x20, 0x60}, "2004-02-29"},
      // Day digits with an exponent letter read as large numbers: still the
      // last day of the year, never a negative day.
      {{0x06, 0x24, 0xE4}, "2006-12-31"},  // 4E4 = 40000
      {{0x06, 0x21, 0xE5}, "2006-12-31"},  // 1E5 = 100000
      {{0x06, 0x21, 0xD9}, "2006-12-31"},  // 1D9 = 1000000000
  };
  for (const DateCase& c : cases) {
    Block b = Sn388Block1();
    Poke(b, 11, c.bytes11to13);
    GeneralHeader1Record r{};
    EXPECT_EQ(DecodeGeneralHeader1(b, r), 0);
    EXPECT_EQ(r.DateText.View(), c.date) << r.Year.View() << " " << r.JulianDay.View();
  }
}

TEST(GeneralHeader2And3, DecodeCountsRevisionAndSourcePosition) {
  Block b2{};
  Poke(b2, 1, {0x00, 0x01, 0x00, 0x00, 0x02, 0x00, 0x20, 0x00, 0x0A, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x0F, 0xA0, 0x00, 0x02});
  GeneralHeader2Record r2{};
  EXPECT_EQ(DecodeGeneralHeader2(b2, r2), 0);
  EXPECT_EQ(r2.ExpandedFileNumber.View(), "000100");
  EXPECT_EQ(r2.ExtendedHeaderBlocks.View(), "0020");
  EXPECT_EQ(r2.ExternalHeaderBlocks.View(), "000A");
  EXPECT_EQ(r2.ExpandedFileNumberText.View(), "256       ");
  EXPECT_EQ(r2.RevisionText.View(), "1.0   ");
  EXPECT_EQ(r2.ExtendedRecordLengthText.View(), "4000  ");
  EXPECT_EQ(r2.ErrorInformation.View(), Nul(80));

  Block b3{};
  Poke(b3, 4, {0x00, 0x00, 0x7B, 0x25, 0x00, 0x00, 0x01, 0xC8, 0x50, 0x00, 0x03});
  GeneralHeader3Record r3{};
  EXPECT_EQ(DecodeGeneralHeader3(b3, r3), 0);
  EXPECT_EQ(r3.SourceLineNumber.View(), "00007B2500");
  EXPECT_EQ(r3.SourceLineText.View(), "123.2500  ");
  EXPECT_EQ(r3.SourcePointText.View(), "456.5000  ");
  EXPECT_EQ(r3.SourcePointIndexText.View(), "3  ");
}

TEST(GeneralHeader3, EightDigitLineKeepsOneFractionDigit) {
  Block b3{};
  Poke(b3, 4, {0x05, 0xF5, 0xE1, 0x00, 0x00});  // 99999999 cannot fit; 0x05F5E1 is 390625
  Poke(b3, 4, {0x98, 0x96, 0x80, 0x12, 0x34});  // 10000000.1234
  GeneralHeader3Record r3{};
  DecodeGeneralHeader3(b3, r3);
  EXPECT_EQ(r3.SourceLineText.View(), "10000000.1");
}

TEST(ListGeneralHeaders, WritesTheSectionToTheByte) {
  GeneralHeader1Record r1{};
  GeneralHeader2Record r2{};
  GeneralHeader3Record r3{};  // not decoded: its lines carry NUL characters
  DecodeGeneralHeader1(Sn388Block1(), r1);
  Block b2{};
  Poke(b2, 11, {0x01, 0x00});
  DecodeGeneralHeader2(b2, r2);
  const auto lines = testing::ListingLines([&](ReportWriter& w) { ListGeneralHeaders(r1, r2, r3, w); });
  const std::string sep(89, '-');
  const std::vector<std::string> expected = {
      sep, "General Headers", sep,
      "General Header Block 1", "======================",
      "Recorded File Number             : 1234",
      "SEG Format Code                  : 8058",
      "General Constants                : 000000000000",
      "Year                             : 06",
      "Additional Data Blocks           : 2",
      "Julian Day                       : 045",
      "Hour                             : 09",
      "Minute                           : 41",
      "Second                           : 07",
      "Manufacturer's Code              : 13",
      "Manufacturer's Serial #          : 0123",
      "Bytes per Scan                   : 000000",
      "Sample Rate                      : 10",
      "Polarity                         : 0",
      "Unused                           : 000",
      "Record Type                      : 8",
      "Record Length                    : 600",
      "Scan Type                        : 01",
      "Numer of Channel Sets            : 01",
      "Number of Sample Skew Extentions : 00",
      "Extended Header Length           : 32",
      "External Header Length           : 00",
      "", "Decoded Fields", "--------------",
      "SEG Format                       : 32 Bit IEEE DeMUX   ",
      "Date                             : 2006-02-14",
      "Time                             : 09:41:07",
      "Manufacturer                     : Sercel              ",
      "System Type                      : SN388" + std::string(25, ' '),
      "Sample Rate                      : 1mS",
      "Record Type                      : Normal    ",
      "Record Length                    : 600" + std::string(17, ' '),
      "Extended Header Length           : 1024 Bytes",
      "External Header Length           : 0 Bytes",
      "", "General Header Block 2", "======================",
      "Expanded File Number             : 000000",
      "Extended Channel Sets            : 0000",
      "Extended Header Blocks           : 0000",
      "External Header Blocks           : 0000",
      "Unused                           : 00",
      "SEG D Revision Number            : 0100",
      "Blocks in General Trailer        : 0000",
      "Extended Record Length           : 000000",
      "Unused                           : 00",
      "General Header Block Number      : 00",
      "Unused                           : " + std::string(26, '0'),
      "", "Decoded Fields", "--------------",
      "Expanded File Number             : 0         ",
      "SEG D Revision Number            : 1.0   ",
      "Extended Record Length           : 0     ",
      "", "General Header Block 3", "======================",
      "Expanded File Number             : " + Nul(6),
      "Source Line Number               : " + Nul(10),
      "Source Point Number              : " + Nul(10),
      "Source Point Index               : " + Nul(2),
      "Phase Control                    : " + Nul(2),
      "Vibrator Type                    : " + Nul(2),
      "Phase Angle                      : " + Nul(4),
      "General Header Block Number      : " + Nul(2),
      "Source Set Number                : " + Nul(2),
      "Unused                           : " + Nul(24),
      "", "Decoded Fields", "--------------",
      "Source Line Number               : " + Nul(10),
      "Source Point Number              : " + Nul(10),
      "Source Point Index               : " + Nul(3),
      "", sep, "End Of General Headers", sep, "",
  };
  EXPECT_EQ(lines, expected);
}

TEST(ListGeneralHeaders, EarlyReturnLeavesDecodedLinesAsNulCharacters) {
  Block b = Sn388Block1();
  Poke(b, 3, {0x12, 0x34});
  GeneralHeader1Record r1{};
  GeneralHeader2Record r2{};
  GeneralHeader3Record r3{};
  DecodeGeneralHeader1(b, r1);
  const auto lines = testing::ListingLines([&](ReportWriter& w) { ListGeneralHeaders(r1, r2, r3, w); });
  EXPECT_EQ(lines[30], "SEG Format                       : Unknown" + std::string(13, ' '));
  EXPECT_EQ(lines[31], "Date                             : " + Nul(10));
  EXPECT_EQ(lines[35], "Sample Rate                      : " + Nul(4) + "mS");
  EXPECT_EQ(lines[38], "Extended Header Length           : " + Nul(12) + " Bytes");
}

}  // namespace
}  // namespace segd
