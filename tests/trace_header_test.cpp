// The trace header and its two SN388 extensions: every field at its bytes,
// every code table with its fallback, the cut of each text to its width.
#include "scan/makes/sn388/trace_header.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace segd {
namespace {

using namespace std::string_literals;

// A block of N zero bytes with values poked at 1-based byte positions.
template <std::size_t N>
std::array<std::uint8_t, N> Block(std::initializer_list<std::pair<std::size_t, std::initializer_list<std::uint8_t>>> pokes) {
  std::array<std::uint8_t, N> block{};
  for (const auto& [first, values] : pokes) {
    std::size_t at = first - 1;
    for (std::uint8_t v : values) block.at(at++) = v;
  }
  return block;
}

template <std::size_t N>
void PutBigEndian(std::array<std::uint8_t, N>& block, std::size_t first, std::uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) {
    block.at(first - 1 + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(value & 0xFF);
    value >>= 8;
  }
}

// A text padded with blanks to a field's width.
std::string Padded(std::string text, std::size_t width) {
  text.resize(width, ' ');
  return text;
}

TraceHeaderRecord Header(const std::array<std::uint8_t, 20>& block) {
  TraceHeaderRecord record{};
  DecodeTraceHeader(block, record);
  return record;
}

TraceExtension1Record Extension1(const std::array<std::uint8_t, 32>& block) {
  TraceExtension1Record record{};
  DecodeTraceExtension1(block, record);
  return record;
}

TraceExtension1Record Extension1Byte(std::size_t position, std::uint8_t value) {
  return Extension1(Block<32>({{position, {value}}}));
}

TraceExtension2Record Extension2(double easting, double northing, float elevation) {
  std::array<std::uint8_t, 32> block{};
  PutBigEndian(block, 1, std::bit_cast<std::uint64_t>(easting), 8);
  PutBigEndian(block, 9, std::bit_cast<std::uint64_t>(northing), 8);
  PutBigEndian(block, 17, std::bit_cast<std::uint32_t>(elevation), 4);
  TraceExtension2Record record{};
  DecodeTraceExtension2(block, record);
  return record;
}

// ---- trace header ----------------------------------------------------------

TEST(TraceHeader, ChannelSetIsTheHexDigitsOfByte4WithItsLeadingZero) {
  const std::pair<std::uint8_t, std::string> cases[] = {{0x01, "01"}, {0x1A, "1A"}, {0x00, "00"}, {0xFF, "FF"}};
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(Header(Block<20>({{4, {value}}})).ChannelSet.Text(), text) << int{value};
  }
}

TEST(TraceHeader, NumbersKeepTheirFirstDigitsWhenLongerThanTheirField) {
  struct Case {
    const char* what;
    std::array<std::uint8_t, 20> block;
    std::string timingWord;
    std::string timeBreakWindow;
  };
  const Case cases[] = {
      {"zero", Block<20>({}), "0   ", "0     "},
      {"12345 in bytes 7-9 keeps 1234", Block<20>({{7, {0x00, 0x30, 0x39}}}), "1234", "0     "},
      {"1000000 in bytes 13-15 keeps 100000", Block<20>({{13, {0x0F, 0x42, 0x40}}}), "0   ", "100000"},
      {"byte order is big-endian", Block<20>({{7, {0x00, 0x01, 0x02}}, {13, {0x00, 0x02, 0x01}}}), "258 ", "513   "},
      {"all ones", Block<20>({{7, {0xFF, 0xFF, 0xFF}}, {13, {0xFF, 0xFF, 0xFF}}}), "1677", "167772"},
      {"unused bytes are ignored", Block<20>({{1, {0xFF, 0xFF, 0xFF}}, {5, {0xFF, 0xFF}}, {10, {0xFF, 0xFF}}, {16, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}}),
       "0   ", "0     "},
  };
  for (const Case& c : cases) {
    const TraceHeaderRecord r = Header(c.block);
    EXPECT_EQ(r.TimingWord.Text(), c.timingWord) << c.what;
    EXPECT_EQ(r.TimeBreakWindow.Text(), c.timeBreakWindow) << c.what;
  }
}

TEST(TraceHeader, TraceEditCodeIsLookedUpAsItsTwoCharacterText) {
  const std::pair<std::uint8_t, const char*> cases[] = {
      {0, "No edit applied"},
      {1, "Status Unknown"},
      {2, "Muted or dead prior to acquisition"},
      {3, "Edited by acquisition system"},
      {4, "Status Unknown"},
      {20, "Status Unknown"},
      {30, "Status Unknown"},
      {200, "Status Unknown"},  // held as 20
      {255, "Status Unknown"},
  };
  for (const auto& [code, text] : cases) {
    const TraceHeaderRecord r = Header(Block<20>({{12, {code}}}));
    EXPECT_EQ(r.TraceEditText.Text(), Padded(text, 40)) << int{code};
  }
  EXPECT_EQ(Header(Block<20>({{12, {200}}})).TraceEditCode.Text(), "20");
  EXPECT_EQ(Header(Block<20>({{12, {2}}})).TraceEditCode.Text(), "2 ");
}

// ---- trace header extension 1 ----------------------------------------------

TEST(TraceExtension1, AllZeroBytesDecodeToTheDefaultsOfAnEmptyExtension) {
  const TraceExtension1Record r = Extension1(Block<32>({}));
  EXPECT_EQ(r.ReceiverLine.Text(), "0     ");
  EXPECT_EQ(r.ReceiverPoint.Text(), "0     ");
  EXPECT_EQ(r.SuNumber.Text(), "0     ");
  EXPECT_EQ(r.FilterText.Text(), Padded("None", 20));
  EXPECT_EQ(r.GainText.Text(), "0  dB ");
  EXPECT_EQ(r.UnitTypeText.Text(), Padded("SU1 or SU6", 12));
  EXPECT_EQ(r.ChannelTypeText.Text(), Padded("Unused", 24));
  EXPECT_EQ(r.NoiseEliminationText.Text(), Padded("No Noise Elimination", 20));
  EXPECT_EQ(r.ProcessTypeText.Text(), Padded("None (raw data)", 40));
  for (const auto* flag : {&r.IplsError, &r.ImpedanceError, &r.DeadError, &r.UnderrunError, &r.OverrunError,
                           &r.OverscaleError, &r.DataError, &r.SyncError}) {
    EXPECT_EQ(flag->Text(), "No ");
  }
  EXPECT_EQ(r.StacksLow.Text(), "0 ");
  EXPECT_EQ(r.StacksNoisy.Text(), "0 ");
  EXPECT_EQ(r.Resistance.Text(), "0   ");
  EXPECT_EQ(r.Sim.Text(), "0    ");
  EXPECT_EQ(r.ReceiverType.Text(), Padded("0", 20));
  EXPECT_EQ(r.ConversionFactor.Text(), Padded("1", 15));
}

TEST(TraceExtension1, BinaryNumbersSitAtTheirBytes) {
  std::array<std::uint8_t, 32> block{};
  PutBigEndian(block, 1, 1001, 3);      // line
  PutBigEndian(block, 4, 2002, 3);      // point
  PutBigEndian(block, 7, 0xFFFFFFFF, 4);  // point index and samples: not shown
  PutBigEndian(block, 11, 123456, 3);   // SU number
  block[19] = 7;                        // stacks low (byte 20)
  block[20] = 13;                       // stacks noisy (byte 21)
  PutBigEndian(block, 22, 4321, 2);     // resistance
  PutBigEndian(block, 24, 54321, 2);    // SIM
  block[25] = 7;                        // receiver type (byte 26)
  block[30] = block[31] = 0xFF;         // bytes 31-32: not shown
  const TraceExtension1Record r = Extension1(block);
  EXPECT_EQ(r.ReceiverLine.Text(), "1001  ");
  EXPECT_EQ(r.ReceiverPoint.Text(), "2002  ");
  EXPECT_EQ(r.SuNumber.Text(), "123456");
  EXPECT_EQ(r.StacksLow.Text(), "7 ");
  EXPECT_EQ(r.StacksNoisy.Text(), "13");
  EXPECT_EQ(r.Resistance.Text(), "4321");
  EXPECT_EQ(r.Sim.Text(), "54321");
  EXPECT_EQ(r.ReceiverTypeCode.Text(), "7  ");
  EXPECT_EQ(r.ReceiverType.Text(), Padded("7", 20));
}

TEST(TraceExtension1, NumbersWiderThanTheirFieldKeepTheirFirstDigits) {
  const TraceExtension1Record r =
      Extension1(Block<32>({{1, {0xFF, 0xFF, 0xFF}}, {4, {0x0F, 0x42, 0x40}}, {11, {0xFF, 0xFF, 0xFF}},
                            {20, {255, 100}}, {22, {0xFF, 0xFF, 0xFF, 0xFF}}, {26, {255}}}));
  EXPECT_EQ(r.ReceiverLine.Text(), "167772");  // 16777215
  EXPECT_EQ(r.ReceiverPoint.Text(), "100000");  // 1000000
  EXPECT_EQ(r.SuNumber.Text(), "167772");
  EXPECT_EQ(r.StacksLow.Text(), "25");
  EXPECT_EQ(r.StacksNoisy.Text(), "10");
  EXPECT_EQ(r.Resistance.Text(), "6553");  // 65535
  EXPECT_EQ(r.Sim.Text(), "65535");
  EXPECT_EQ(r.ReceiverType.Text(), Padded("255", 20));
}

TEST(TraceExtension1, FilterTableReadsTheFirstDigitOfByte14) {
  const std::pair<std::uint8_t, const char*> cases[] = {
      {0, "None"},          {1, "Min Phase 0.5 Fn"}, {2, "Min Phase 0.8 Fn"}, {3, "Lin Phase 0.5 Fn"},
      {4, "Min Phase 0.8 Fn"}, {5, "SAR Filter"},    {6, "Unknown"},          {7, "Unknown"},
      {9, "Unknown"},       {12, "Min Phase 0.5 Fn"}, {19, "Min Phase 0.5 Fn"}, {20, "Min Phase 0.8 Fn"},
      {55, "SAR Filter"},   {60, "Unknown"},         {120, "Min Phase 0.5 Fn"}, {200, "Min Phase 0.8 Fn"},
      {255, "Min Phase 0.8 Fn"},
  };
  for (const auto& [code, text] : cases) {
    const TraceExtension1Record r = Extension1Byte(14, code);
    EXPECT_EQ(r.FilterText.Text(), Padded(text, 20)) << int{code};
    EXPECT_EQ(r.FilterCode.Text(), std::to_string(code).substr(0, 1)) << int{code};
  }
}

TEST(TraceExtension1, GainKeepsTheBlankOfAOneDigitCode) {
  const std::pair<std::uint8_t, std::string> cases[] = {
      {0, "0  dB "}, {5, "5  dB "}, {12, "12 dB "}, {24, "24 dB "}, {120, "12 dB "}, {255, "25 dB "},
  };
  for (const auto& [code, text] : cases) {
    EXPECT_EQ(Extension1Byte(15, code).GainText.Text(), text) << int{code};
  }
}

TEST(TraceExtension1, Byte16HoldsTheUnitTypeHighAndTheChannelTypeLow) {
  struct Case {
    std::uint8_t value;
    const char* unit;
    const char* channel;
  };
  const Case cases[] = {
      {0x00, "SU1 or SU6", "Unused"},
      {0x01, "SU1 or SU6", "Seis"},
      {0x02, "SU1 or SU6", "Unknown"},
      {0x13, "SAR4 or SAR6", "Uphole"},
      {0x19, "SAR4 or SAR6", "Signature, Filtered(Aux)"},
      {0x29, "Unknown", "Signature, Filtered(Aux)"},
      {0xF1, "Unknown", "Seis"},
      {0x1F, "SAR4 or SAR6", "Unknown"},
      {0x10, "SAR4 or SAR6", "Unused"},
  };
  for (const Case& c : cases) {
    const TraceExtension1Record r = Extension1Byte(16, c.value);
    EXPECT_EQ(r.UnitTypeText.Text(), Padded(c.unit, 12)) << int{c.value};
    EXPECT_EQ(r.ChannelTypeText.Text(), Padded(c.channel, 24)) << int{c.value};
  }
}

TEST(TraceExtension1, NoiseEliminationAndProcessTypeUseTheWholeByte) {
  const std::pair<std::uint8_t, const char*> noise[] = {
      {0x00, "No Noise Elimination"}, {0x10, "Historic/Zeroing"}, {0x11, "Historic/Clipping"},
      {0x20, "Diversity Stack"},      {0x0A, "Unknown"},          {0x01, "Unknown"},
      {0x12, "Unknown"},              {0xFF, "Unknown"},
  };
  for (const auto& [code, text] : noise) {
    EXPECT_EQ(Extension1Byte(17, code).NoiseEliminationText.Text(), Padded(text, 20)) << int{code};
  }
  const std::pair<std::uint8_t, const char*> process[] = {
      {0x00, "None (raw data)"},
      {0x10, "Stack"},
      {0x21, "Correlation before stack"},
      {0x22, "Correlation after stack"},
      {0x31, "Negative time correlation before stack"},
      {0x32, "Negative time correlation after stack"},
      {0x41, "Positive time correlation before stack"},
      {0x42, "Positive time correlation after stack"},
      {0x20, "Unknown"},
      {0x01, "Unknown"},
      {0x43, "Unknown"},
      {0xFF, "Unknown"},
  };
  for (const auto& [code, text] : process) {
    EXPECT_EQ(Extension1Byte(18, code).ProcessTypeText.Text(), Padded(text, 40)) << int{code};
  }
}

TEST(TraceExtension1, EachErrorFlagIsOneBitOfByte19) {
  auto flags = [](std::uint8_t value) {
    const TraceExtension1Record r = Extension1Byte(19, value);
    std::string out;
    for (const auto* flag : {&r.IplsError, &r.ImpedanceError, &r.DeadError, &r.UnderrunError, &r.OverrunError,
                             &r.OverscaleError, &r.DataError, &r.SyncError}) {
      out += flag->Text() + "|";
    }
    return out;
  };
  EXPECT_EQ(flags(0x81), "Yes|No |No |No |No |No |No |Yes|");
  EXPECT_EQ(flags(0x00), "No |No |No |No |No |No |No |No |");
  EXPECT_EQ(flags(0xFF), "Yes|Yes|Yes|Yes|Yes|Yes|Yes|Yes|");
  for (int bit = 0; bit < 8; ++bit) {
    std::string expected;
    for (int column = 0; column < 8; ++column) expected += (column == 7 - bit) ? "Yes|" : "No |";
    EXPECT_EQ(flags(static_cast<std::uint8_t>(1 << bit)), expected) << "bit " << bit;
  }
}

TEST(TraceExtension1, ConversionFactorOfZeroReadsAsOne) {
  const std::pair<std::array<std::uint8_t, 4>, const char*> cases[] = {
      {{0x00, 0x00, 0x00, 0x00}, "1"},
      {{0x80, 0x00, 0x00, 0x00}, "1"},  // minus zero
      {{0x3F, 0x80, 0x00, 0x00}, "1"},
      {{0x3F, 0x00, 0x00, 0x00}, ".5"},
      {{0x3A, 0x83, 0x12, 0x6F}, ".001"},
      {{0xC0, 0x20, 0x00, 0x00}, "-2.5"},
      {{0x4B, 0x3C, 0x61, 0x4E}, "1.234568E+7"},  // 12345678
  };
  for (const auto& [bytes, text] : cases) {
    const TraceExtension1Record r = Extension1(Block<32>({{27, {bytes[0], bytes[1], bytes[2], bytes[3]}}}));
    EXPECT_EQ(r.ConversionFactor.Text(), Padded(text, 15)) << text;
  }
}

TEST(TraceExtension1, AShortBlockReadsAsIfZeroPadded) {
  const std::array<std::uint8_t, 2> bytes{0x03, 0xE9};
  TraceExtension1Record r{};
  DecodeTraceExtension1(bytes, r);
  EXPECT_EQ(r.ReceiverLine.Text(), "256256");  // 0x03E900 = 256256
  EXPECT_EQ(r.ConversionFactor.Text(), Padded("1", 15));
}

// ---- trace header extension 2 ----------------------------------------------

TEST(TraceExtension2, CoordinatesAreCutToTheirFieldWidths) {
  struct Case {
    double easting;
    double northing;
    float elevation;
    const char* eastingText;
    const char* northingText;
    const char* elevationText;
  };
  const Case cases[] = {
      {512345.678, 6543210.12345, 1234.567f, "512345.678", "6543210.12", "1234.5"},
      {0, 0, 0, "0", "0", "0"},
      {-12.5, 0.25, -3.5f, "-12.5", ".25", "-3.5"},
      {123456789012.0, 1e20, 1e-3f, "1234567890", "1E+20", ".001"},
  };
  for (const Case& c : cases) {
    const TraceExtension2Record r = Extension2(c.easting, c.northing, c.elevation);
    EXPECT_EQ(r.Easting.Text(), Padded(c.eastingText, 10)) << c.easting;
    EXPECT_EQ(r.Northing.Text(), Padded(c.northingText, 10)) << c.northing;
    EXPECT_EQ(r.Elevation.Text(), Padded(c.elevationText, 6)) << c.elevation;
  }
}

TEST(TraceExtension2, BytesBeyond20AreNotUsed) {
  std::array<std::uint8_t, 32> block{};
  for (std::size_t i = 20; i < 32; ++i) block[i] = 0x41;
  TraceExtension2Record r{};
  DecodeTraceExtension2(block, r);
  EXPECT_EQ(r.Easting.Text(), Padded("0", 10));
  EXPECT_EQ(r.Northing.Text(), Padded("0", 10));
  EXPECT_EQ(r.Elevation.Text(), Padded("0", 6));
}

}  // namespace
}  // namespace segd
