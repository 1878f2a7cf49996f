// Channel set headers: raw fields and the Channel Set Headers section.
#include <gtest/gtest.h>

#include <vector>

#include "output/report/header_sections.h"
#include "scan/makes/sn388/channel_set.h"
#include "support/blocks.h"

namespace segd {
namespace {

using testing::Block;
using testing::Poke;

// Scan type 01, set `number`, 0 to 3000 (x 2 ms), 96 seismic channels, fixed
// gain, array forming `array`.
Block ChannelSetBlock(std::uint8_t number, std::uint8_t array = 0x01) {
  Block b{};
  Poke(b, 1, {0x01, number, 0x00, 0x00, 0x0B, 0xB8, 0x00, 0x00, 0x00, 0x96, 0x10, 0x03});
  Poke(b, 13, {0x02, 0x00, 0x00, 0x18, 0x00, 0x10, 0x00, 0x06});
  Poke(b, 29, {0x12, 0x01, 0x00, array});
  return b;
}

std::vector<std::string> ListOf(const std::vector<ChannelSetRecord>& records, std::int32_t last) {
  return testing::ListingLines([&](ReportWriter& w) { ListChannelSets(records, last, w); });
}

TEST(DecodeChannelSet, FillsRawFieldsWithTimesInFiveCharacters) {
  ChannelSetRecord r{};
  EXPECT_EQ(DecodeChannelSet(ChannelSetBlock(0x02), r), 0);
  EXPECT_EQ(r.ScanTypeNumber.View(), "01");
  EXPECT_EQ(r.ChannelSetNumber.View(), "02");
  EXPECT_EQ(r.StartTime.View(), "0000 ");
  EXPECT_EQ(r.EndTime.View(), "0BB8 ");
  EXPECT_EQ(r.ChannelCount.View(), "0096");
  EXPECT_EQ(r.ChannelType.View(), "1");
  EXPECT_EQ(r.GainControl.View(), "3");
  EXPECT_EQ(r.TraceHeaderExtensions.View(), "2");
  EXPECT_EQ(r.ArrayForming.View(), "01");
  EXPECT_EQ(r.ErrorInformation.View(), std::string(80, '\0'));
}

TEST(ListChannelSets, WritesOneHeaderToTheByte) {
  std::vector<ChannelSetRecord> records(1);
  DecodeChannelSet(ChannelSetBlock(0x01), records[0]);
  const std::string sep(89, '-');
  const std::vector<std::string> expected = {
      sep, "Channel Set Headers (Unused headers not displayed)", sep,
      "Channel Set Header Number  1",
      "============================",
      "Header Byte                  : 01",
      "Channel Set Number           : 01",
      "Channel Set Start Time       : 0000 ",
      "Channel Set End Time         : 0BB8 ",
      "Descale Multiplier           : 0000",
      "Channels in this channel Set : 0096",
      "Channel Type                 : 1",
      "Unused                       : 0",
      "Number of Sub Scan Exponents : 0",
      "Channel Gain Control         : 3",
      "Alias Frequency              : 0200",
      "Alias Slope                  : 0018",
      "Low Cut Frequency            : 0010",
      "Low Cut Slope                : 0006",
      "First Notch Frequency        : 0000",
      "Second Notch Frequency       : 0000",
      "Third Notch Frequency        : 0000",
      "Extended Channel Set Number  : 0000",
      "Extended Header Flag         : 1",
      "Trace Header Extentions      : 2",
      "Vertical Stacks              : 01",
      "Streamer Number              : 00",
      "Array Forming                : 01",
      "", "Decoded Fields", "--------------",
      "Channel Set Start Time       : 0 (x 2mS)",
      "Channel Set End Time         : 3000 (x 2mS)",
      "Channel Type                 : Seis",
      "Channel Gain Control         : Fixed Gain",
      "Array Forming                : No Array Forming",
      "",
      sep, "End Of Channel Set Headers", sep, "",
  };
  EXPECT_EQ(ListOf(records, 0), expected);
}

TEST(ListChannelSets, LeavesOutUnusedHeadersKeepingTheOthersNumbers) {
  std::vector<ChannelSetRecord> records(3);
  DecodeChannelSet(ChannelSetBlock(0x01), records[0]);
  Block unused{};
  Poke(unused, 1, {0x00, 0x0A});  // 0A reads as 0: unused too
  DecodeChannelSet(unused, records[1]);
  DecodeChannelSet(ChannelSetBlock(0x03), records[2]);
  std::vector<std::string> numbers;
  for (const std::string& line : ListOf(records, 2)) {
    if (line.rfind("Channel Set Header Number", 0) == 0) numbers.push_back(line);
  }
  EXPECT_EQ(numbers, (std::vector<std::string>{"Channel Set Header Number  1", "Channel Set Header Number  3"}));
}

TEST(ListChannelSets, ScanTypeOneAndSetZeroIsListed) {
  std::vector<ChannelSetRecord> records(1);
  Block b{};
  Poke(b, 1, {0x01, 0x00});
  DecodeChannelSet(b, records[0]);
  EXPECT_EQ(ListOf(records, 0)[3], "Channel Set Header Number  1");
}

TEST(ListChannelSets, NoHeadersGivesOpeningAndClosingLinesOnly) {
  const std::string sep(89, '-');
  EXPECT_EQ(ListOf({}, -1), (std::vector<std::string>{sep, "Channel Set Headers (Unused headers not displayed)", sep,
                                                       sep, "End Of Channel Set Headers", sep, ""}));
}

struct DecodedCase {
  std::size_t byte;
  std::uint8_t value;
  std::size_t line;  // index of the decoded line in the listing
  std::string text;
};

TEST(ListChannelSets, DecodesTimesTypeGainAndArrayForming) {
  const DecodedCase cases[] = {
      {3, 0x80, 31, "Channel Set Start Time       : 32768 (x 2mS)"},
      {11, 0x00, 33, "Channel Type                 : Aux"},
      {11, 0x90, 33, "Channel Type                 : Aux"},
      {12, 0x05, 34, "Channel Gain Control         : Not Defined"},
      {12, 0x07, 34, "Channel Gain Control         : Not Defined"},
      {12, 0x08, 34, "Channel Gain Control         : Binary Gain Control"},
      {12, 0x01, 34, "Channel Gain Control         : Individual AGC"},
      {32, 0x00, 35, "Array Forming                :  0 Groups Summed, No weighting"},
      {32, 0x04, 35, "Array Forming                :  4 Groups Summed, No weighting"},
      {32, 0x16, 35, "Array Forming                :  1 Groups Summed, Overlapping, summation"},
      {32, 0x18, 35, "Array Forming                :  3 Groups Summed, Overlapping, summation"},
  };
  for (const DecodedCase& c : cases) {
    Block b = ChannelSetBlock(0x01);
    Poke(b, c.byte, {c.value});
    std::vector<ChannelSetRecord> records(1);
    DecodeChannelSet(b, records[0]);
    EXPECT_EQ(ListOf(records, 0)[c.line], c.text) << "byte " << c.byte << " = " << int(c.value);
  }
}

}  // namespace
}  // namespace segd
