// The SN388 extended header: raw fields, code checks, decoded texts and the
// listing, alone and through a whole decode run.
#include "output/report/header_sections.h"
#include "scan/makes/sn388/extended_header.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "scan/convert/conversions.h"
#include "tests/support/fake_host.h"

namespace segd {
namespace {

using namespace std::string_literals;

using Header = std::array<std::uint8_t, 1024>;

// Big-endian, at a 1-based byte position of the header.
void Put32(std::span<std::uint8_t> bytes, int firstByte, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[static_cast<std::size_t>(firstByte - 1 + i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}
void PutSingle(Header& h, int firstByte, float value) { Put32(h, firstByte, std::bit_cast<std::uint32_t>(value)); }
void PutDouble(Header& h, int firstByte, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  Put32(h, firstByte, static_cast<std::uint32_t>(bits >> 32));
  Put32(h, firstByte + 4, static_cast<std::uint32_t>(bits));
}
void PutText(std::span<std::uint8_t> bytes, int firstByte, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    bytes[static_cast<std::size_t>(firstByte - 1) + i] = static_cast<std::uint8_t>(text[i]);
}
// Bytes first..last each hold the low 8 bits of their own position.
void FillWithPositions(Header& h, int first, int last) {
  for (int p = first; p <= last; ++p) h[static_cast<std::size_t>(p - 1)] = static_cast<std::uint8_t>(p);
}
// The digits FillWithPositions gives to `count` bytes from `first`.
std::string PositionDigits(int first, int count) {
  std::vector<std::uint8_t> bytes;
  for (int p = first; p < first + count; ++p) bytes.push_back(static_cast<std::uint8_t>(p));
  return BytesToHex(bytes);
}

std::string Padded(std::string_view text, std::size_t width) {
  std::string s(text);
  s.resize(width, ' ');
  return s;
}
std::string Label(std::string_view name) { return Padded(name, 37) + ": "; }
std::string Nuls(std::size_t n) { return std::string(n, '\0'); }

// Every code valid: aux type 2, everything else 0.
Header ValidHeader() {
  Header h{};
  Put32(h, 33, 2);
  return h;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> ListingOf(const ExtendedHeaderRecord& record) {
  MemoryByteSink sink;
  ReportWriter report(sink);
  EXPECT_EQ(ListExtendedHeader(record, report), 0);
  report.Finish();
  EXPECT_EQ(sink.Text().substr(sink.Text().size() - 2), "\r\n");
  return SplitLines(sink.Text());
}

struct Decoded {
  std::int32_t status;
  ExtendedHeaderRecord record;
  std::vector<std::string> lines;
};

Decoded Decode(ByteSpan bytes) {
  Decoded d{0, {}, {}};
  d.status = DecodeExtendedHeader(bytes, d.record);
  d.lines = ListingOf(d.record);
  return d;
}

// Line indices of the listing: three banner lines, the 96 raw rows, the
// empty line, "Decoded Fields" and its underline, 11 decoded lines, three
// closing lines.
constexpr std::size_t RawLine(int row) { return 2 + static_cast<std::size_t>(row); }
enum : std::size_t {
  kSourceTypeLine = 102,
  kTestTypeLine,
  kSpreadTypeLine,
  kMachaLine,
  kOpseisLine,
  kShotproLine,
  kNoiseLine,
  kHistoricLine,
  kThresholdLine,
  kProcessLine,
  kErrorLine,
  kListingLines = kErrorLine + 4,
};

const std::string kSeparator(89, '-');

// ---------------------------------------------------------------- raw fields

TEST(ExtendedHeaderRawFields, AcquisitionLengthOf1000IsItsFourDigitsAndOneBlank) {
  Header h = ValidHeader();
  Put32(h, 1, 1000);
  EXPECT_EQ(Decode(h).lines[RawLine(1)], "Acquisition Length                   : 1000 ");
}

TEST(ExtendedHeaderRawFields, DecimalTextIsCutOrPaddedToTheFieldWidth) {
  struct Case {
    const char* what;
    int row, firstByte;
    std::uint32_t value;
    std::string text;
  };
  const Case cases[] = {
      {"zero is 0 and four blanks", 2, 5, 0, "0    "},
      {"bytes 00 00 01 02 are 258, not 513", 3, 9, 0x0102, "258  "},
      {"five digits fill the field", 4, 17, 99999, "99999"},
      {"six digits keep the first five", 11, 49, 123456, "12345"},
      {"the largest value keeps its first five", 16, 69, 4294967295u, "42949"},
      {"the four-character Unused keeps four", 77, 697, 12345, "1234"},
      {"the four-character Unused pads one digit", 77, 697, 7, "7   "},
      {"Slipsweep Mode holds ten digits in fourteen", 91, 785, 4294967295u, "4294967295    "},
      {"Slipsweep Mode zero", 91, 785, 0, "0             "},
  };
  for (const Case& c : cases) {
    Header h = ValidHeader();
    Put32(h, c.firstByte, c.value);
    const std::string line = Decode(h).lines[RawLine(c.row)];
    EXPECT_EQ(line.substr(39), c.text) << c.what;
  }
}

TEST(ExtendedHeaderRawFields, CharacterFieldsKeepNulsAndOnlyTrimmedFieldsLoseBlanks) {
  Header h = ValidHeader();
  PutText(h, 105, "SHOT1001");          // the rest of the 64 bytes stay zero
  PutText(h, 565, " sweep 8-80 Hz  ");  // rest zero
  PutText(h, 705, "   LINE 7       ");  // 16 bytes
  PutText(h, 741, "  V4.1");            // then zero bytes, which are no blanks
  PutText(h, 773, " 2006-02-14 ");
  const Decoded d = Decode(h);
  EXPECT_EQ(d.lines[RawLine(25)], "Synthetic File Name                  : SHOT1001"s + Nuls(56));
  EXPECT_EQ(d.lines[RawLine(63)], Label("Aux Correlation Descriptor") + " sweep 8-80 Hz  " + Nuls(64));
  EXPECT_EQ(d.lines[RawLine(79)], "Tape Label                           : LINE 7          ");
  EXPECT_EQ(d.lines[RawLine(85)], Label("Software Version") + "V4.1" + Nuls(10) + "  ");
  EXPECT_EQ(d.lines[RawLine(90)], Label("Date of Acquisition") + "2006-02-14  ");
}

TEST(ExtendedHeaderRawFields, TablesShowTheirFirst64BytesOnly) {
  Header h = ValidHeader();
  FillWithPositions(h, 305, 560);
  const Decoded d = Decode(h);
  EXPECT_EQ(d.lines[RawLine(60)], Label("Acquisition Table") + PositionDigits(305, 64));
  EXPECT_EQ(d.lines[RawLine(61)], Label("Threshold Type Tables") + PositionDigits(433, 64));
  EXPECT_EQ(d.lines[RawLine(60)].size(), 39u + 128u);
}

TEST(ExtendedHeaderRawFields, LastUnusedLineCarries211DigitsEndingInTheHighHalfOfByte918) {
  Header h = ValidHeader();
  for (int p = 813; p <= 1023; ++p) h[static_cast<std::size_t>(p - 1)] = 0xAB;
  h[917] = 0x5C;   // byte 918
  h[1023] = 0x77;  // byte 1024 belongs to no field
  const Decoded d = Decode(h);
  std::string digits;
  for (int i = 0; i < 105; ++i) digits += "AB";
  EXPECT_EQ(d.lines[RawLine(96)], Label("Unused") + digits + "5");
  EXPECT_EQ(d.lines[RawLine(96)].size(), 39u + 211u);
}

TEST(ExtendedHeaderRawFields, FloatingPointFieldsAreCutToTheirWidth) {
  struct Case {
    const char* what;
    int row, firstByte;
    double value;
    bool isDouble;
    std::string text;
  };
  const Case cases[] = {
      {"1234.5 loses its last digit", 81, 725, 1234.5, false, "1234."},
      {"a negative point", 82, 729, -2.5, false, "-2.5 "},
      {"zero elevation", 95, 809, 0.0, false, "0    "},
      {"a small fraction has no leading 0", 95, 809, 0.25, false, ".25  "},
      {"easting keeps nine characters", 93, 793, 512345.678, true, "512345.67"},
      {"northing", 94, 801, 6789012.5, true, "6789012.5"},
      {"a huge easting in scientific notation", 93, 793, 1e20, true, "1E+20    "},
  };
  for (const Case& c : cases) {
    Header h = ValidHeader();
    if (c.isDouble) {
      PutDouble(h, c.firstByte, c.value);
    } else {
      PutSingle(h, c.firstByte, static_cast<float>(c.value));
    }
    EXPECT_EQ(Decode(h).lines[RawLine(c.row)].substr(39), c.text) << c.what;
  }
}

// Every decimal field holds the number of its own first byte, so a field read
// from the wrong place or listed under the wrong name shows at once.
TEST(ExtendedHeaderRawFields, EveryRowIsListedUnderItsNameAtItsWidth) {
  const std::pair<std::string, std::string> expected[] = {
      {"Acquisition Length", "1    "},
      {"Sample Rate", "5    "},
      {"Total Traces", "9    "},
      {"Number of AUX Traces", "17   "},
      {"Number of Seis Traces", "21   "},
      {"Number of Live Seis Traces", "29   "},
      {"Aux Type", "33   "},
      {"Unused", "37   "},
      {"Source Type", "41   "},
      {"Fire Order Control", "45   "},
      {"Samples Per Trace", "49   "},
      {"Unused", "53   "},
      {"Input Signal", "57   "},
      {"Sig Gen Shape", "61   "},
      {"Sig Gen Level", "65   "},
      {"Shot Number", "69   "},
      {"Unused", "73   "},
      {"Time Break Window", "77   "},
      {"Test Type", "81   "},
      {"Swath First Line", "85   "},
      {"Swath First Number", "89   "},
      {"Spread Number", "93   "},
      {"Spread Type", "97   "},
      {"Receiver Point Step", "101  "},
      {"Synthetic File Name", std::string("FILE0105") + std::string(56, '\0')},
      {"Number of Acq with ITB", "169  "},
      {"Uphole Time", "173  "},
      {"Blaster ID", "177  "},
      {"Blaster Status", "181  "},
      {"SAR Signal Type", "185  "},
      {"SAR Generator Level", "189  "},
      {"SAR Prestack", "193  "},
      {"Timebreak to T0", "197  "},
      {"Number of Radio Retries", "201  "},
      {"Number of Single Sync Errors", "205  "},
      {"Number of Acq WIth Sync Errs", "209  "},
      {"Time of First Sync Error", "213  "},
      {"Total Num Chan with Sync Err", "217  "},
      {"Number of Acq with Sync Err", "221  "},
      {"Time of First Chan Sync Err", "225  "},
      {"Total Num. of Scan Data Errs", "229  "},
      {"Num. of Acq with Scan Data Err", "233  "},
      {"Time of first Scan Data Err", "237  "},
      {"Total Number of TX Errors", "241  "},
      {"Number of Acq With TX Errors", "245  "},
      {"Number of ACQ with Invalid Status", "249  "},
      {"Chan Errors Reported in Trace Header", "253  "},
      {"Noise Elimination Type", "257  "},
      {"Low Trace Percentage", "261  "},
      {"Low Trace Value", "265  "},
      {"Number of Windows", "269  "},
      {"Historic Edit Type", "273  "},
      {"Noisy Trace Percentage", "277  "},
      {"Historic Range", "281  "},
      {"Historic Taper Length", "285  "},
      {"Threshold/Var", "289  "},
      {"Historic Initial Value", "293  "},
      {"Historic Zeroing Length", "297  "},
      {"Type of Process", "301  "},
      {"Acquisition Table", PositionDigits(305, 64)},
      {"Threshold Type Tables", PositionDigits(433, 64)},
      {"Stacking Fold", "561  "},
      {"Aux Correlation Descriptor", Padded(" CORR 565", 80)},
      {"FFT Exponent", "645  "},
      {"Investigation Length", "649  "},
      {"Auto Correlation Time", "653  "},
      {"Source Aux Number", "657  "},
      {"Source 1 Aux Number", "661  "},
      {"Source 2 Aux Number", "665  "},
      {"Pilot Length", "669  "},
      {"Sweep Length", "673  "},
      {"Dump Stack Fold", "677  "},
      {"Extra Dump", "681  "},
      {"Max of Max AUX", "685  "},
      {"Max of Max Seis", "689  "},
      {"Source Number for this Record", "693  "},
      {"Unused", "697 "},
      {"Tape Unit Number", "701  "},
      {"Tape Label", Padded("TAPE 705", 16)},
      {"Tape Number", "721  "},
      {"Source Line", "725.2"},
      {"Source Point", "729  "},
      {"Tape Transport Mode", "733  "},
      {"Number of Trace Header Extentions", "737  "},
      {"Software Version", Padded("V741", 16)},
      {"File Header Checksum", "757  "},
      {"Number of Files Per Tape", "761  "},
      {"File Count", "765  "},
      {"Source Point Index", "769  "},
      {"Date of Acquisition", Padded("07/12/26", 12)},
      {"Slipsweep Mode", "785           "},
      {"Time Break (uS)", "789  "},
      {"Source Easting", "793.125  "},
      {"Source Northing", "8010000.5"},
      {"Source Elevation", "809.5"},
      {"Unused", PositionDigits(813, 105) + "9"},
  };
  static_assert(std::size(expected) == 96);

  Header h{};
  for (int p = 1; p <= 1021; p += 4) Put32(h, p, static_cast<std::uint32_t>(p));
  std::fill(h.begin() + 104, h.begin() + 168, 0);
  PutText(h, 105, "FILE0105");
  FillWithPositions(h, 305, 560);
  PutText(h, 565, Padded(" CORR 565", 80));
  PutText(h, 705, "  TAPE 705      ");
  PutSingle(h, 725, 725.25f);
  PutSingle(h, 729, 729.0f);
  PutText(h, 741, " V741           ");
  PutText(h, 773, "  07/12/26  ");
  PutDouble(h, 793, 793.125);
  PutDouble(h, 801, 8010000.5);
  PutSingle(h, 809, 809.5f);
  FillWithPositions(h, 813, 1024);

  const Decoded d = Decode(h);
  ASSERT_EQ(d.lines.size(), kListingLines);
  EXPECT_EQ(d.lines[0], kSeparator);
  EXPECT_EQ(d.lines[1], "Extended Header");
  EXPECT_EQ(d.lines[2], kSeparator);
  for (int row = 1; row <= 96; ++row) {
    const auto& [name, value] = expected[row - 1];
    EXPECT_EQ(d.lines[RawLine(row)], Label(name) + value) << "row " << row;
  }
  EXPECT_EQ(d.lines[99], "");
  EXPECT_EQ(d.lines[100], "Decoded Fields");
  EXPECT_EQ(d.lines[101], "--------------");
  EXPECT_EQ(d.lines[kErrorLine + 1], kSeparator);
  EXPECT_EQ(d.lines[kErrorLine + 2], "End of Extended Header");
  EXPECT_EQ(d.lines[kErrorLine + 3], kSeparator);
  // The uphole flag (bytes 13-16) and bytes 25-28 are listed nowhere.
  EXPECT_EQ(d.record.UpholeFlag.View(), "13   ");
  for (const std::string& line : d.lines) EXPECT_EQ(line.find(": 25   "), std::string::npos) << line;
}

TEST(ExtendedHeaderRawFields, FieldsTheRunReadsBackHoldTheirStoredTexts) {
  Header h = ValidHeader();
  Put32(h, 1, 6000);
  Put32(h, 9, 480);
  Put32(h, 49, 3001);
  Put32(h, 737, 2);
  Put32(h, 721, 12);
  PutText(h, 705, " TAPE-A         ");
  ExtendedHeaderRecord record{};
  EXPECT_EQ(DecodeExtendedHeader(h, record), 0);
  EXPECT_EQ(record.AcquisitionLength.View(), "6000 ");
  EXPECT_EQ(record.TotalTraces.View(), "480  ");
  EXPECT_EQ(record.SamplesPerTrace.View(), "3001 ");
  EXPECT_EQ(record.TraceHeaderExtensionCount.View(), "2    ");
  EXPECT_EQ(record.TapeNumber.View(), "12   ");
  EXPECT_EQ(record.TapeLabel.View(), Padded("TAPE-A", 16));
}

TEST(ExtendedHeaderRawFields, AHeaderShorterThan1023BytesReadsAsZeroPadded) {
  // 36 bytes: acquisition length and aux type present, the rest missing.
  std::vector<std::uint8_t> shortHeader(36, 0);
  Put32(shortHeader, 1, 1000);
  Put32(shortHeader, 33, 3);
  const Decoded d = Decode(shortHeader);
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.lines[RawLine(1)].substr(39), "1000 ");
  EXPECT_EQ(d.lines[RawLine(7)].substr(39), "3    ");
  EXPECT_EQ(d.lines[RawLine(11)].substr(39), "0    ");
  EXPECT_EQ(d.lines[RawLine(79)].substr(39), Nuls(16));  // zero bytes are characters, not blanks
  EXPECT_EQ(d.lines[RawLine(96)].substr(39), std::string(211, '0'));

  const Decoded empty = Decode(ByteSpan{});
  EXPECT_EQ(empty.status, 3);
  EXPECT_EQ(empty.record.ErrorInformation.View(), Padded("AUX Type Not Correct- should be 2 or 3 but is 0", 80));
}

TEST(ExtendedHeaderRawFields, BytesPastThe1024thChangeNothing) {
  std::vector<std::uint8_t> longHeader(4096, 0xEE);
  const Header valid = ValidHeader();
  std::copy(valid.begin(), valid.end(), longHeader.begin());
  EXPECT_EQ(Decode(longHeader).lines, Decode(valid).lines);
}

TEST(ExtendedHeaderListing, AnUndecodedRecordListsNulsInACompleteSection) {
  const std::vector<std::string> lines = ListingOf(ExtendedHeaderRecord{});
  ASSERT_EQ(lines.size(), kListingLines);
  EXPECT_EQ(lines[1], "Extended Header");
  EXPECT_EQ(lines[RawLine(1)], Label("Acquisition Length") + Nuls(5));
  EXPECT_EQ(lines[RawLine(25)], Label("Synthetic File Name") + Nuls(64));
  EXPECT_EQ(lines[RawLine(77)], Label("Unused") + Nuls(4));
  EXPECT_EQ(lines[RawLine(96)], Label("Unused") + Nuls(211));
  EXPECT_EQ(lines[kSourceTypeLine], Label("Source Type") + Nuls(10));
  EXPECT_EQ(lines[kMachaLine], Label("Blaster Status MACHA") + Nuls(24) + " 0 ");
  EXPECT_EQ(lines[kOpseisLine], Label("Blaster Status OPSEIS") + Nuls(24) + " 0 ");
  EXPECT_EQ(lines[kShotproLine], Label("Blaster Status SHOTPRO") + Nuls(24) + " 0 ");
  EXPECT_EQ(lines[kErrorLine], "Error Information                    : " + Nuls(80));
  EXPECT_EQ(lines[kErrorLine + 2], "End of Extended Header");
}

// ---------------------------------------------------------------- code checks

TEST(ExtendedHeaderChecks, AValidHeaderPassesAndLeavesErrorInformationNul) {
  const Decoded d = Decode(ValidHeader());
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.record.ErrorInformation.View(), Nuls(80));
  EXPECT_EQ(d.lines[kSourceTypeLine], Label("Source Type") + "Impulsive ");
  EXPECT_EQ(d.lines[kTestTypeLine], Label("Test Type") + Padded("None", 40));
  EXPECT_EQ(d.lines[kSpreadTypeLine], Label("Spread Type") + Padded("Generic", 40));
  EXPECT_EQ(d.lines[kNoiseLine], Label("Noise Elimination Type") + Padded("None", 16));
  EXPECT_EQ(d.lines[kHistoricLine], Label("Historic Edit Type") + "Zeroing ");
  EXPECT_EQ(d.lines[kThresholdLine], Label("Threshold/Var") + "Hold");
  EXPECT_EQ(d.lines[kProcessLine], Label("Type of Process") + Padded("No operation", 24));
  EXPECT_EQ(d.lines[kErrorLine], Label("Error Information") + Nuls(80));
}

struct CheckCase {
  const char* field;
  int firstByte;
  std::uint32_t lowest, highest;
  std::int32_t status;
  std::string complaintAboveHighest;  // for the code highest + 1
};
const CheckCase kChecks[] = {
    {"uphole flag", 13, 0, 1, 3, "UH Type Not Correct- should be 0 or 1"},
    {"Aux Type", 33, 2, 3, 3, "AUX Type Not Correct- should be 2 or 3 but is 4"},
    {"Source Type", 41, 0, 1, 3, "Source Type Not Correct- should be 0 or 1"},
    {"Fire Order Control", 45, 0, 5, 2, "FOC Type Not Correct- should be 0 to 5"},
    {"Input Signal", 57, 0, 9, 2, "SIG Type Not Correct- should be 0 to 9"},
    {"Sig Gen Shape", 61, 0, 11, 2, "SSS Type Not Correct- should be 0 to 11"},
    {"Test Type", 81, 0, 14, 2, "TST Type Not Correct- should be 0 to 14"},
    {"Spread Type", 97, 0, 1, 3, "Spread Type Not Correct- should be 0 or 1"},
    {"Blaster Status", 181, 0, 8, 4, "Blaster status code not recognised"},
    {"SAR Signal Type", 185, 0, 5, 10, "SST Error, should be 0 to 5"},
    {"SAR Prestack", 193, 0, 1, 6, "SAR Prestack flag Error, should be 0 or 1 but is 2"},
    {"Noise Elimination Type", 257, 0, 3, 7, "Noise elemination flag Error, should be 0,1,2 or 3 but is 4"},
    {"Historic Edit Type", 273, 0, 1, 8, "Historic Editing flag Error, should be 0 or 1 but is 2"},
    {"Threshold/Var", 289, 0, 1, 9, "Threshold flag Error, should be 0 or 1 but is 2"},
    {"Type of Process", 301, 0, 6, 10, "Process type Error, should be 0 to 6 but is 7"},
    {"Extra Dump", 681, 0, 1, 9, "XDT flag Error, should be 0 or 1 but is 2"},
    {"Tape Transport Mode", 733, 0, 1, 9, "TTM flag Error, should be 0 or 1 but is 2"},
};

TEST(ExtendedHeaderChecks, TheEndsOfEachValidRangePass) {
  for (const CheckCase& c : kChecks) {
    for (std::uint32_t code : {c.lowest, c.highest}) {
      Header h = ValidHeader();
      Put32(h, c.firstByte, code);
      ExtendedHeaderRecord record{};
      EXPECT_EQ(DecodeExtendedHeader(h, record), 0) << c.field << " " << code;
    }
  }
}

TEST(ExtendedHeaderChecks, ACodeAboveTheRangeGivesTheStatusAndComplaintOfItsCheck) {
  for (const CheckCase& c : kChecks) {
    Header h = ValidHeader();
    Put32(h, c.firstByte, c.highest + 1);
    const Decoded d = Decode(h);
    EXPECT_EQ(d.status, c.status) << c.field;
    EXPECT_EQ(d.record.ErrorInformation.View(), Padded(c.complaintAboveHighest, 80)) << c.field;
    EXPECT_EQ(d.lines[kErrorLine], Label("Error Information") + Padded(c.complaintAboveHighest, 80)) << c.field;
  }
}

TEST(ExtendedHeaderChecks, AuxTypeBelowTwoIsNamedInTheComplaint) {
  Header h = ValidHeader();
  Put32(h, 33, 1);
  const Decoded d = Decode(h);
  EXPECT_EQ(d.status, 3);
  EXPECT_EQ(d.record.ErrorInformation.View(), Padded("AUX Type Not Correct- should be 2 or 3 but is 1", 80));
}

TEST(ExtendedHeaderChecks, TheLastFailingCheckDecidesStatusAndComplaint) {
  Header h = ValidHeader();
  Put32(h, 33, 1);   // aux type: status 3
  Put32(h, 301, 9);  // type of process, later in the header: status 10
  const Decoded d = Decode(h);
  EXPECT_EQ(d.status, 10);
  EXPECT_EQ(d.record.ErrorInformation.View(), Padded("Process type Error, should be 0 to 6 but is 9", 80));
  EXPECT_EQ(d.lines[kProcessLine], Label("Type of Process") + Padded("Unknown", 24));

  // A later status lower than an earlier one still wins.
  Put32(h, 733, 5);  // tape transport mode: status 9
  EXPECT_EQ(Decode(h).status, 9);
}

TEST(ExtendedHeaderChecks, ASixDigitCodeIsJudgedAndNamedByItsFirstFiveDigits) {
  Header h = ValidHeader();
  Put32(h, 289, 123456);
  const Decoded d = Decode(h);
  EXPECT_EQ(d.status, 9);
  EXPECT_EQ(d.record.ErrorInformation.View(), Padded("Threshold flag Error, should be 0 or 1 but is 12345", 80));
  EXPECT_EQ(d.lines[kThresholdLine], Label("Threshold/Var") + "Err ");
  // 100000 is held as 10000, which is no valid code either.
  Put32(h, 289, 0);
  Put32(h, 33, 300000);
  EXPECT_EQ(Decode(h).record.ErrorInformation.View(),
            Padded("AUX Type Not Correct- should be 2 or 3 but is 30000", 80));
}

TEST(ExtendedHeaderChecks, NoiseEliminationFourIsUnknownWithStatusSeven) {
  Header h = ValidHeader();
  Put32(h, 257, 4);
  const Decoded d = Decode(h);
  EXPECT_EQ(d.status, 7);
  EXPECT_EQ(d.record.ErrorInformation.View(),
            Padded("Noise elemination flag Error, should be 0,1,2 or 3 but is 4", 80));
  EXPECT_EQ(d.lines[kNoiseLine], "Noise Elimination Type               : Unknown         ");
}

TEST(ExtendedHeaderChecks, SigGenShapeTwelveIsReportedThoughNothingOfItIsDecoded) {
  Header h = ValidHeader();
  const std::vector<std::string> valid = Decode(h).lines;
  Put32(h, 61, 12);
  const Decoded d = Decode(h);
  EXPECT_EQ(d.status, 2);
  EXPECT_EQ(d.record.ErrorInformation.View(), Padded("SSS Type Not Correct- should be 0 to 11", 80));
  for (std::size_t i = kSourceTypeLine; i < kErrorLine; ++i) EXPECT_EQ(d.lines[i], valid[i]) << i;
}

TEST(ExtendedHeaderChecks, BlasterCodeZeroLeavesMachaAndOpseisBlank) {
  const Decoded d = Decode(ValidHeader());
  EXPECT_EQ(d.lines[kMachaLine], "Blaster Status MACHA                 :                          0 ");
  EXPECT_EQ(d.lines[kOpseisLine], "Blaster Status OPSEIS                :                          0 ");
  EXPECT_EQ(d.lines[kShotproLine], "Blaster Status SHOTPRO               : Did Not Fire             0 ");
}

TEST(ExtendedHeaderChecks, EveryBlasterCodeFillsAllThreeMakes) {
  struct Case {
    std::uint32_t code;
    const char *macha, *opseis, *shotpro;
  };
  const Case cases[] = {
      {0, "", "", "Did Not Fire"},
      {1, "Low Battery", "Blaster Ready", "Shot Fired OK"},
      {2, "High Voltage Ready", "Open Cap", "No Status Rx"},
      {3, "", "", "No UH Data"},
      {4, "Fired OK", "UH Error", "Low Battery"},
      {5, "", "", "UH phone resistance err"},
      {6, "", "", "Bad Cap"},
      {7, "", "", "Can't Pick UH Time"},
      {8, "Fire Error", "", ""},
      {9, "Unknown", "Unknown", "Unknown"},
  };
  for (const Case& c : cases) {
    Header h = ValidHeader();
    Put32(h, 181, c.code);
    const Decoded d = Decode(h);
    EXPECT_EQ(d.lines[kMachaLine], Label("Blaster Status MACHA") + Padded(c.macha, 24) + " 0 ") << c.code;
    EXPECT_EQ(d.lines[kOpseisLine], Label("Blaster Status OPSEIS") + Padded(c.opseis, 24) + " 0 ") << c.code;
    EXPECT_EQ(d.lines[kShotproLine], Label("Blaster Status SHOTPRO") + Padded(c.shotpro, 24) + " 0 ") << c.code;
    EXPECT_EQ(d.status, c.code == 9 ? 4 : 0) << c.code;
  }
}

TEST(ExtendedHeaderChecks, EveryCodeDecodesToItsText) {
  struct Case {
    int firstByte;
    std::uint32_t code;
    std::size_t line;
    const char* name;
    std::size_t width;
    const char* text;
  };
  const Case cases[] = {
      {41, 0, kSourceTypeLine, "Source Type", 10, "Impulsive"},
      {41, 1, kSourceTypeLine, "Source Type", 10, "Vibrator"},
      {41, 2, kSourceTypeLine, "Source Type", 10, "Unknown"},
      {81, 0, kTestTypeLine, "Test Type", 40, "None"},
      {81, 1, kTestTypeLine, "Test Type", 40, "SU distortion/dynamic"},
      {81, 2, kTestTypeLine, "Test Type", 40, "SU rms/offset"},
      {81, 3, kTestTypeLine, "Test Type", 40, "SU resistor impulse"},
      {81, 4, kTestTypeLine, "Test Type", 40, "SU crosstalk"},
      {81, 5, kTestTypeLine, "Test Type", 40, "SAR distortion"},
      {81, 6, kTestTypeLine, "Test Type", 40, "SAR noise"},
      {81, 7, kTestTypeLine, "Test Type", 40, "SAR resistor impulse"},
      {81, 8, kTestTypeLine, "Test Type", 40, "SAR crosstalk"},
      {81, 9, kTestTypeLine, "Test Type", 40, "SAR common mode"},
      {81, 10, kTestTypeLine, "Test Type", 40, "Field receiver impulse"},
      {81, 11, kTestTypeLine, "Test Type", 40, "Field receiver impulse model save"},
      {81, 12, kTestTypeLine, "Test Type", 40, "Field noise"},
      {81, 13, kTestTypeLine, "Test Type", 40, "Field crosstalk"},
      {81, 14, kTestTypeLine, "Test Type", 40, "Field leakage"},
      {81, 15, kTestTypeLine, "Test Type", 40, "Unknown"},
      {97, 0, kSpreadTypeLine, "Spread Type", 40, "Generic"},
      {97, 1, kSpreadTypeLine, "Spread Type", 40, "Absolute"},
      {97, 2, kSpreadTypeLine, "Spread Type", 40, "Unknown"},
      {257, 0, kNoiseLine, "Noise Elimination Type", 16, "None"},
      {257, 1, kNoiseLine, "Noise Elimination Type", 16, "Diversity Stack"},
      {257, 2, kNoiseLine, "Noise Elimination Type", 16, "Historic"},
      {257, 3, kNoiseLine, "Noise Elimination Type", 16, "Off"},
      {273, 0, kHistoricLine, "Historic Edit Type", 8, "Zeroing"},
      {273, 1, kHistoricLine, "Historic Edit Type", 8, "Clipping"},
      {273, 2, kHistoricLine, "Historic Edit Type", 8, "Unknown"},
      {289, 0, kThresholdLine, "Threshold/Var", 4, "Hold"},
      {289, 1, kThresholdLine, "Threshold/Var", 4, "Var"},
      {289, 2, kThresholdLine, "Threshold/Var", 4, "Err"},
      {301, 0, kProcessLine, "Type of Process", 24, "No operation"},
      {301, 1, kProcessLine, "Type of Process", 24, "Stack"},
      {301, 2, kProcessLine, "Type of Process", 24, "Correlation After stack"},
      {301, 3, kProcessLine, "Type of Process", 24, "Correlation Before stack"},
      {301, 4, kProcessLine, "Type of Process", 24, "No operation"},
      {301, 5, kProcessLine, "Type of Process", 24, "No operation"},
      {301, 6, kProcessLine, "Type of Process", 24, "No operation"},
      {301, 7, kProcessLine, "Type of Process", 24, "Unknown"},
  };
  for (const Case& c : cases) {
    Header h = ValidHeader();
    Put32(h, c.firstByte, c.code);
    EXPECT_EQ(Decode(h).lines[c.line], Label(c.name) + Padded(c.text, c.width)) << c.name << " " << c.code;
  }
}

// ------------------------------------------------------------ the decode run

struct RecordParts {
  std::uint8_t model = 0;               // block 1 byte 10: general constants 0 name the SN388
  std::uint8_t extendedLength = 0x32;   // block 1 byte 31, two decimal digits or FF
  std::uint16_t extendedBlocks = 0;     // block 2 bytes 6-7, read for FF
  std::uint8_t externalLength = 0xFF;   // block 1 byte 32
  std::uint16_t externalBlocks = 0x21;  // block 2 bytes 8-9, read for FF
  std::vector<std::uint8_t> extended;
  std::vector<std::uint8_t> external;
  std::vector<std::uint8_t> tail;  // where the traces start
};

// General header blocks 1 to 3 of a Sercel SN388 record (format 8058, 2 ms,
// normal record, two additional blocks, one channel set), one zero channel
// set header, then the parts as given.
std::vector<std::uint8_t> Record(const RecordParts& parts) {
  std::vector<std::uint8_t> r(128, 0);
  auto poke = [&r](std::size_t first, std::initializer_list<std::uint8_t> values) {
    for (std::uint8_t v : values) r[first++ - 1] = v;
  };
  auto high = [](std::uint16_t v) { return static_cast<std::uint8_t>(v >> 8); };
  auto low = [](std::uint16_t v) { return static_cast<std::uint8_t>(v); };
  // File 1234, format 8058, general constants ending in the model code.
  poke(1, {0x12, 0x34, 0x80, 0x58, 0, 0, 0, 0, 0, parts.model});
  // 2006 day 045 with two additional blocks, 09:41:07, Sercel.
  poke(11, {0x06, 0x20, 0x45, 0x09, 0x41, 0x07, 0x13});
  // 2 ms, normal record of length 100, one scan type, one channel set, no
  // skew, then the two header lengths.
  poke(23, {0x20, 0, 0, 0x81, 0x00, 0x01, 0x01, 0x00, parts.extendedLength, parts.externalLength});
  poke(32 + 6,
       {high(parts.extendedBlocks), low(parts.extendedBlocks), high(parts.externalBlocks), low(parts.externalBlocks)});
  r.insert(r.end(), parts.extended.begin(), parts.extended.end());
  r.insert(r.end(), parts.external.begin(), parts.external.end());
  r.insert(r.end(), parts.tail.begin(), parts.tail.end());
  return r;
}

// A shot whose preamble values all come from the extended header; its two
// traces are past the end of the record and read as zeros.
Header ShotHeader() {
  Header h = ValidHeader();
  Put32(h, 1, 6000);
  Put32(h, 9, 2);
  PutText(h, 105, "SHOT1001");
  PutText(h, 705, "  TAPE-A        ");
  Put32(h, 721, 12);
  PutText(h, 741, " V4.1           ");
  PutDouble(h, 793, 512345.678);
  PutDouble(h, 801, 6789012.5);
  PutSingle(h, 809, 123.5f);
  return h;
}

// The one notice after the walk of such a record: every trace lies past
// its end.
std::string TracesPastTheEnd(int traces) {
  return "The record file ends inside trace 1 of " + std::to_string(traces) +
         "; the traces from 1 on were read past its end";
}

// 33 blocks: the 1024 bytes shown count 00 to FF four times; the 32 bytes
// beyond them are "A", never shown.
std::vector<std::uint8_t> LongExternalHeader() {
  std::vector<std::uint8_t> bytes(33 * 32, 'A');
  for (std::size_t i = 0; i < 1024; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return bytes;
}

RecordParts ShotParts(const Header& extended) {
  RecordParts parts;
  parts.extended.assign(extended.begin(), extended.end());
  parts.external = LongExternalHeader();
  return parts;
}

std::size_t IndexOf(const std::vector<std::string>& lines, std::string_view line) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == line) return i;
  }
  return lines.size();
}

std::vector<std::string> Slice(const std::vector<std::string>& lines, std::size_t from, std::size_t count) {
  if (from + count > lines.size()) return {};
  return {lines.begin() + static_cast<std::ptrdiff_t>(from), lines.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

TEST(DecodeRunExtendedHeaders, EverySectionSelectedListsBothHeadersAfterTheChannelSets) {
  const Header shot = ShotHeader();
  testing::FakeHost host;
  host.record = Record(ShotParts(shot));
  host.SelectAll();
  host.Run();
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].text, TracesPastTheEnd(2));
  const std::vector<std::string> lines = host.ReportLines();

  const std::size_t extended = IndexOf(lines, "Extended Header") - 1;
  ASSERT_LT(extended + kListingLines, lines.size());
  EXPECT_EQ(lines[extended - 1], "");  // the channel set section ends with an empty line
  Decoded expected = Decode(shot);
  EXPECT_EQ(Slice(lines, extended, kListingLines), expected.lines);
  EXPECT_EQ(lines[extended + RawLine(1)], "Acquisition Length                   : 6000 ");
  EXPECT_EQ(lines[extended + RawLine(25)], Label("Synthetic File Name") + "SHOT1001" + Nuls(56));
  EXPECT_EQ(lines[extended + kErrorLine], Label("Error Information") + Nuls(80));

  const std::size_t external = extended + kListingLines;
  ASSERT_LT(external + 70, lines.size());
  EXPECT_EQ(lines[external], kSeparator);
  EXPECT_EQ(lines[external + 1], "External Header");
  EXPECT_EQ(lines[external + 2], kSeparator);
  EXPECT_EQ(lines[external + 3], "00  000102030405060708090A0B0C0D0E0F      ................");
  EXPECT_EQ(lines[external + 3 + 4], "04  404142434445464748494A4B4C4D4E4F      @ABCDEFGHIJKLMNO");
  EXPECT_EQ(lines[external + 3 + 63], "3F  F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF      ................");
  EXPECT_EQ(lines[external + 67], kSeparator);
  EXPECT_EQ(lines[external + 68], "End of External Header");
  EXPECT_EQ(lines[external + 69], kSeparator);
}

TEST(DecodeRunExtendedHeaders, PreambleTakesVersionTapeLengthTracesAndSourceFromTheExtendedHeader) {
  const Header shot = ShotHeader();
  testing::FakeHost host;
  host.record = Record(ShotParts(shot));
  host.Run();
  const std::vector<std::string> lines = host.ReportLines();
  ASSERT_GT(lines.size(), 11u);
  EXPECT_EQ(lines[3], "Software Ver   : V4.1");
  EXPECT_EQ(lines[4], "Tape           : TAPE-A12");
  EXPECT_EQ(lines[7], "Record Length  : 6000mS");
  EXPECT_EQ(lines[8], "Total Traces   : 2");
  EXPECT_EQ(lines[10], "Source Easting : 512345.67 Source Northing : 6789012.5 Source Elev : 123.5");
  // Neither header section is selected.
  EXPECT_EQ(IndexOf(lines, "Extended Header"), lines.size());
  EXPECT_EQ(IndexOf(lines, "External Header"), lines.size());
}

TEST(DecodeRunExtendedHeaders, AFailingCheckIsShownAsAPlainNoticeAndTheRunGoesOn) {
  Header shot = ShotHeader();
  Put32(shot, 257, 4);
  testing::FakeHost host;
  host.record = Record(ShotParts(shot));
  host.selection[kSelectExtendedHeader] = 1;
  host.Run();
  ASSERT_EQ(host.notices.size(), 2u);
  EXPECT_EQ(host.notices[1].text, TracesPastTheEnd(2));
  const std::string complaint = Padded("Noise elemination flag Error, should be 0,1,2 or 3 but is 4", 80);
  EXPECT_EQ(host.notices[0].text, complaint);
  EXPECT_EQ(host.notices[0].caption, "");
  EXPECT_EQ(host.notices[0].kind, NoticeKind::Plain);
  const std::vector<std::string> lines = host.ReportLines();
  EXPECT_NE(IndexOf(lines, Label("Error Information") + complaint), lines.size());
}

TEST(DecodeRunExtendedHeaders, AnotherRecorderModelLeavesTheExtendedHeaderNul) {
  const Header shot = ShotHeader();
  testing::FakeHost host;
  RecordParts parts = ShotParts(shot);
  parts.model = 1;
  host.record = Record(parts);
  host.SelectAll();
  host.Run();
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].text, "Not a valid SN388 File, Decode will continue, but results may not be valid!!");
  EXPECT_EQ(host.notices[0].caption, "Invalid File");
  EXPECT_EQ(host.notices[0].kind, NoticeKind::Plain);

  const std::vector<std::string> lines = host.ReportLines();
  ASSERT_GT(lines.size(), 11u);
  EXPECT_EQ(lines[3], "Software Ver   : " + Nuls(16));
  EXPECT_EQ(lines[4], "Tape           : " + Nuls(16) + Nuls(5));
  EXPECT_EQ(lines[7], "Record Length  : " + Nuls(5) + "mS");
  EXPECT_EQ(lines[8], "Total Traces   : " + Nuls(5));
  EXPECT_EQ(lines[10], "Source Easting : " + Nuls(9) + " Source Northing : " + Nuls(9) + " Source Elev : " + Nuls(5));
  const std::size_t extended = IndexOf(lines, "Extended Header") - 1;
  EXPECT_EQ(Slice(lines, extended, kListingLines), ListingOf(ExtendedHeaderRecord{}));
  // The external header is decoded whatever the model.
  EXPECT_EQ(lines[extended + kListingLines + 3], "00  000102030405060708090A0B0C0D0E0F      ................");
}

TEST(DecodeRunExtendedHeaders, AShortExtendedHeaderReadsZerosWhereTheExternalHeaderFollows) {
  Header shot = ShotHeader();
  Put32(shot, 9, 480);  // total traces, inside the one block read
  testing::FakeHost host;
  RecordParts parts = ShotParts(shot);
  parts.extendedLength = 0x01;
  parts.extended.resize(32);
  parts.externalLength = 0x01;
  parts.external.assign(32, 0xEE);
  host.record = Record(parts);
  host.selection[kSelectExtendedHeader] = 1;
  host.Run();
  // Aux type (bytes 33-36) lies past the one block: it reads 0.
  ASSERT_EQ(host.notices.size(), 2u);
  EXPECT_EQ(host.notices[1].text, TracesPastTheEnd(480));
  EXPECT_EQ(host.notices[0].text, Padded("AUX Type Not Correct- should be 2 or 3 but is 0", 80));
  const std::vector<std::string> lines = host.ReportLines();
  const std::size_t extended = IndexOf(lines, "Extended Header") - 1;
  ASSERT_LT(extended + kListingLines, lines.size());
  EXPECT_EQ(lines[extended + RawLine(1)].substr(39), "6000 ");
  EXPECT_EQ(lines[extended + RawLine(3)].substr(39), "480  ");
  EXPECT_EQ(lines[extended + RawLine(7)].substr(39), "0    ");
  EXPECT_EQ(lines[extended + RawLine(96)].substr(39), std::string(211, '0'));
  EXPECT_EQ(lines[8], "Total Traces   : 480");
}

TEST(DecodeRunExtendedHeaders, LongHeadersInTheFfFormShowTheirFirst1024BytesAndAreSkippedWhole) {
  // 64 extended blocks: bytes past the 1024th are EE and never decoded.
  std::vector<std::uint8_t> extendedBytes(64 * 32, 0xEE);
  const Header shot = ShotHeader();
  std::copy(shot.begin(), shot.end(), extendedBytes.begin());
  testing::FakeHost host;
  RecordParts parts = ShotParts(shot);
  parts.extendedLength = 0xFF;
  parts.extendedBlocks = 0x0040;
  parts.extended = extendedBytes;
  host.record = Record(parts);
  host.SelectAll();
  host.Run();
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].text, TracesPastTheEnd(2));
  const std::vector<std::string> lines = host.ReportLines();
  const std::size_t extended = IndexOf(lines, "Extended Header") - 1;
  EXPECT_EQ(Slice(lines, extended, kListingLines), Decode(shot).lines);
  // The external header starts right after the 2048 bytes of the extended.
  const std::size_t external = IndexOf(lines, "External Header") - 1;
  ASSERT_LT(external + 70, lines.size());
  EXPECT_EQ(lines[external + 3], "00  000102030405060708090A0B0C0D0E0F      ................");
}

TEST(DecodeRunExtendedHeaders, AShortOrCutExternalHeaderShowsZerosBeyondItsBytes) {
  const Header shot = ShotHeader();
  const std::string zeroLine = "  " + std::string(32, '0') + "      " + std::string(16, '.');
  std::vector<std::uint8_t> twoLines(32);
  for (std::size_t i = 0; i < twoLines.size(); ++i) twoLines[i] = static_cast<std::uint8_t>('a' + i % 26);

  // One block announced, trace bytes after it.
  testing::FakeHost oneBlock;
  RecordParts parts = ShotParts(shot);
  parts.externalLength = 0x01;
  parts.external = twoLines;
  parts.tail.assign(256, 0x41);
  oneBlock.record = Record(parts);
  oneBlock.selection[kSelectExternalHeader] = 1;
  // 33 blocks announced, the file ends after 100 bytes of them.
  testing::FakeHost cut;
  cut.record = Record(ShotParts(shot));
  cut.record.resize(cut.record.size() - 33 * 32 + 100);
  cut.selection[kSelectExternalHeader] = 1;

  oneBlock.Run();
  cut.Run();
  const std::vector<std::string> lines = oneBlock.ReportLines();
  const std::size_t external = IndexOf(lines, "External Header") - 1;
  ASSERT_LT(external + 70, lines.size());
  EXPECT_EQ(lines[external + 3], "00  6162636465666768696A6B6C6D6E6F70      abcdefghijklmnop");
  EXPECT_EQ(lines[external + 4], "01  7172737475767778797A616263646566      qrstuvwxyzabcdef");
  EXPECT_EQ(lines[external + 5], "02" + zeroLine);
  EXPECT_EQ(lines[external + 66], "3F" + zeroLine);

  const std::vector<std::string> cutLines = cut.ReportLines();
  const std::size_t cutExternal = IndexOf(cutLines, "External Header") - 1;
  ASSERT_LT(cutExternal + 70, cutLines.size());
  EXPECT_EQ(cutLines[cutExternal + 3 + 6], "06  60616263" + std::string(24, '0') + "      `abc............");
  EXPECT_EQ(cutLines[cutExternal + 3 + 7], "07" + zeroLine);
}

}  // namespace
}  // namespace segd
