#include "scan/channel_set.h"

#include <string>

#include "scan/header_image.h"
#include "scan/listing.h"

namespace segd {

namespace {

using R = ChannelSetRecord;

constexpr RawFieldLayout<R> kLayout[] = {
    {SEGD_FIELD(R, ScanTypeNumber), 1, 2},
    {SEGD_FIELD(R, ChannelSetNumber), 3, 4},
    {SEGD_FIELD(R, StartTime), 5, 8},
    {SEGD_FIELD(R, EndTime), 9, 12},
    {SEGD_FIELD(R, DescaleMultiplier), 13, 16},
    {SEGD_FIELD(R, ChannelCount), 17, 20},
    {SEGD_FIELD(R, ChannelType), 21, 21},
    {SEGD_FIELD(R, Unused), 22, 22},
    {SEGD_FIELD(R, SubscanExponent), 23, 23},
    {SEGD_FIELD(R, GainControl), 24, 24},
    {SEGD_FIELD(R, AliasFrequency), 25, 28},
    {SEGD_FIELD(R, AliasSlope), 29, 32},
    {SEGD_FIELD(R, LowCutFrequency), 33, 36},
    {SEGD_FIELD(R, LowCutSlope), 37, 40},
    {SEGD_FIELD(R, FirstNotch), 41, 44},
    {SEGD_FIELD(R, SecondNotch), 45, 48},
    {SEGD_FIELD(R, ThirdNotch), 49, 52},
    {SEGD_FIELD(R, ExtendedChannelSetNumber), 53, 56},
    {SEGD_FIELD(R, ExtendedHeaderFlag), 57, 57},
    {SEGD_FIELD(R, TraceHeaderExtensions), 58, 58},
    {SEGD_FIELD(R, VerticalStack), 59, 60},
    {SEGD_FIELD(R, StreamerNumber), 61, 62},
    {SEGD_FIELD(R, ArrayForming), 63, 64},
};
static_assert(LayoutFits(kLayout, 64));

struct RawLine {
  std::string_view label;
  std::string_view (*value)(const R&);
};
#define SEGD_CS_VALUE(Member) [](const R& r) { return r.Member.View(); }
constexpr RawLine kRawLines[] = {
    {"Header Byte                  : ", SEGD_CS_VALUE(ScanTypeNumber)},
    {"Channel Set Number           : ", SEGD_CS_VALUE(ChannelSetNumber)},
    {"Channel Set Start Time       : ", SEGD_CS_VALUE(StartTime)},
    {"Channel Set End Time         : ", SEGD_CS_VALUE(EndTime)},
    {"Descale Multiplier           : ", SEGD_CS_VALUE(DescaleMultiplier)},
    {"Channels in this channel Set : ", SEGD_CS_VALUE(ChannelCount)},
    {"Channel Type                 : ", SEGD_CS_VALUE(ChannelType)},
    {"Unused                       : ", SEGD_CS_VALUE(Unused)},
    {"Number of Sub Scan Exponents : ", SEGD_CS_VALUE(SubscanExponent)},
    {"Channel Gain Control         : ", SEGD_CS_VALUE(GainControl)},
    {"Alias Frequency              : ", SEGD_CS_VALUE(AliasFrequency)},
    {"Alias Slope                  : ", SEGD_CS_VALUE(AliasSlope)},
    {"Low Cut Frequency            : ", SEGD_CS_VALUE(LowCutFrequency)},
    {"Low Cut Slope                : ", SEGD_CS_VALUE(LowCutSlope)},
    {"First Notch Frequency        : ", SEGD_CS_VALUE(FirstNotch)},
    {"Second Notch Frequency       : ", SEGD_CS_VALUE(SecondNotch)},
    {"Third Notch Frequency        : ", SEGD_CS_VALUE(ThirdNotch)},
    {"Extended Channel Set Number  : ", SEGD_CS_VALUE(ExtendedChannelSetNumber)},
    {"Extended Header Flag         : ", SEGD_CS_VALUE(ExtendedHeaderFlag)},
    {"Trace Header Extentions      : ", SEGD_CS_VALUE(TraceHeaderExtensions)},
    {"Vertical Stacks              : ", SEGD_CS_VALUE(VerticalStack)},
    {"Streamer Number              : ", SEGD_CS_VALUE(StreamerNumber)},
    {"Array Forming                : ", SEGD_CS_VALUE(ArrayForming)},
};

constexpr bool LabelsAre31() {
  for (const RawLine& line : kRawLines) {
    if (line.label.size() != 31) return false;
  }
  return true;
}
static_assert(LabelsAre31());

struct GainControlRow {
  int code;
  std::string_view name;
};
constexpr GainControlRow kGainControls[] = {
    {1, "Individual AGC"}, {2, "Ganged AGC"},          {3, "Fixed Gain"},
    {4, "Programmed Gain"}, {8, "Binary Gain Control"}, {9, "IFP Gain Control"},
};

std::string_view GainControlName(double code) {
  for (const GainControlRow& row : kGainControls) {
    if (code == row.code) return row.name;
  }
  return "Not Defined";
}

// Start and end times are binary counts of 2 ms.
std::string TimeText(std::string_view digits) {
  return NumberText(static_cast<double>(HexValue(TrimBlanks(digits))), 15) + " (x 2mS)";
}

std::string ArrayFormingText(double v) {
  if (v == 1) return "No Array Forming";
  if (v < 16) return SignedNumberText(v, 15) + " Groups Summed, No weighting";
  return SignedNumberText(v - 15, 15) + " Groups Summed, Overlapping, summation";
}

void ListOne(const ChannelSetRecord& record, std::int32_t number, ReportWriter& report) {
  report.WriteLine("Channel Set Header Number " + SignedNumberText(number, 15));
  report.WriteLine("============================");
  for (const RawLine& line : kRawLines) WriteField(report, line.label, line.value(record));
  WriteDecodedFieldsHeading(report);
  WriteField(report, "Channel Set Start Time       : ", TimeText(record.StartTime.View()));
  WriteField(report, "Channel Set End Time         : ", TimeText(record.EndTime.View()));
  WriteField(report, "Channel Type                 : ",
             DigitValue(record.ChannelType.View()) == 1 ? "Seis" : "Aux");
  WriteField(report, "Channel Gain Control         : ", GainControlName(DigitValue(record.GainControl.View())));
  WriteField(report, "Array Forming                : ", ArrayFormingText(DigitValue(record.ArrayForming.View())));
  report.WriteLine("");
}

}  // namespace

std::int32_t DecodeChannelSet(ByteSpan bytes, ChannelSetRecord& record) {
  FillRawFields(BytesToHex(FixedBlock<32>(bytes)), kLayout, record);
  return 0;
}

std::int32_t ListChannelSets(std::span<const ChannelSetRecord> records, std::int32_t lastIndex, ReportWriter& report) {
  WriteBanner(report, "Channel Set Headers (Unused headers not displayed)");
  for (std::int32_t i = 0; i <= lastIndex && static_cast<std::size_t>(i) < records.size(); ++i) {
    const ChannelSetRecord& record = records[static_cast<std::size_t>(i)];
    if (DigitValue(record.ChannelSetNumber.View()) + DigitValue(record.ScanTypeNumber.View()) == 0) continue;
    ListOne(record, i + 1, report);
  }
  WriteBanner(report, "End Of Channel Set Headers");
  report.WriteLine("");
  return 0;
}

}  // namespace segd
