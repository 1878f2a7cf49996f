#include "scan/channel_set.h"

#include <string>

#include "scan/header_image.h"
#include "scan/listing.h"
#include "scan/model_values.h"

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

using model::Reading;

// A raw field's line: its label, field, data name and how it reads.
struct RawLine {
  std::string_view label;
  std::string_view (*value)(const R&);
  std::string_view name;
  Reading reading;
};
#define SEGD_CS_VALUE(Member) [](const R& r) { return r.Member.View(); }
constexpr RawLine kRawLines[] = {
    {"Header Byte                  : ", SEGD_CS_VALUE(ScanTypeNumber), "scan_type", Reading::Bcd},
    {"Channel Set Number           : ", SEGD_CS_VALUE(ChannelSetNumber), "channel_set_number", Reading::Bcd},
    {"Channel Set Start Time       : ", SEGD_CS_VALUE(StartTime), "start_time", Reading::Binary},
    {"Channel Set End Time         : ", SEGD_CS_VALUE(EndTime), "end_time", Reading::Binary},
    {"Descale Multiplier           : ", SEGD_CS_VALUE(DescaleMultiplier), "descale_multiplier", Reading::Text},
    {"Channels in this channel Set : ", SEGD_CS_VALUE(ChannelCount), "channel_count", Reading::Bcd},
    {"Channel Type                 : ", SEGD_CS_VALUE(ChannelType), "channel_type_code", Reading::Bcd},
    {"Unused                       : ", SEGD_CS_VALUE(Unused), "unused", Reading::Text},
    {"Number of Sub Scan Exponents : ", SEGD_CS_VALUE(SubscanExponent), "subscan_exponent", Reading::Bcd},
    {"Channel Gain Control         : ", SEGD_CS_VALUE(GainControl), "gain_control_code", Reading::Bcd},
    {"Alias Frequency              : ", SEGD_CS_VALUE(AliasFrequency), "alias_frequency", Reading::Bcd},
    {"Alias Slope                  : ", SEGD_CS_VALUE(AliasSlope), "alias_slope", Reading::Bcd},
    {"Low Cut Frequency            : ", SEGD_CS_VALUE(LowCutFrequency), "low_cut_frequency", Reading::Bcd},
    {"Low Cut Slope                : ", SEGD_CS_VALUE(LowCutSlope), "low_cut_slope", Reading::Bcd},
    {"First Notch Frequency        : ", SEGD_CS_VALUE(FirstNotch), "first_notch", Reading::Bcd},
    {"Second Notch Frequency       : ", SEGD_CS_VALUE(SecondNotch), "second_notch", Reading::Bcd},
    {"Third Notch Frequency        : ", SEGD_CS_VALUE(ThirdNotch), "third_notch", Reading::Bcd},
    {"Extended Channel Set Number  : ", SEGD_CS_VALUE(ExtendedChannelSetNumber), "extended_channel_set_number", Reading::Binary},
    {"Extended Header Flag         : ", SEGD_CS_VALUE(ExtendedHeaderFlag), "extended_header_flag", Reading::Binary},
    {"Trace Header Extentions      : ", SEGD_CS_VALUE(TraceHeaderExtensions), "trace_header_extensions", Reading::Binary},
    {"Vertical Stacks              : ", SEGD_CS_VALUE(VerticalStack), "vertical_stack", Reading::Binary},
    {"Streamer Number              : ", SEGD_CS_VALUE(StreamerNumber), "streamer_number", Reading::Binary},
    {"Array Forming                : ", SEGD_CS_VALUE(ArrayForming), "array_forming_code", Reading::Binary},
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

// A decoded field's line: the value is the shown text without `unit`.
struct DecodedLine {
  std::string_view label;
  std::string (*shown)(const R&);
  std::string_view name;
  Reading reading;
  std::string_view unit;
};
constexpr std::string_view kTimeUnit = " (x 2mS)";
constexpr DecodedLine kDecodedLines[] = {
    {"Channel Set Start Time       : ", [](const R& r) { return TimeText(r.StartTime.View()); }, "start_time_2ms",
     Reading::Number, kTimeUnit},
    {"Channel Set End Time         : ", [](const R& r) { return TimeText(r.EndTime.View()); }, "end_time_2ms",
     Reading::Number, kTimeUnit},
    {"Channel Type                 : ",
     [](const R& r) { return std::string(DigitValue(r.ChannelType.View()) == 1 ? "Seis" : "Aux"); }, "channel_type",
     Reading::Text, ""},
    {"Channel Gain Control         : ",
     [](const R& r) { return std::string(GainControlName(DigitValue(r.GainControl.View()))); }, "gain_control",
     Reading::Text, ""},
    {"Array Forming                : ", [](const R& r) { return ArrayFormingText(DigitValue(r.ArrayForming.View())); },
     "array_forming", Reading::Text, ""},
};

constexpr bool NamesDistinct() {
  constexpr std::size_t n = std::size(kRawLines), m = std::size(kDecodedLines);
  for (std::size_t i = 0; i < n + m; ++i) {
    const std::string_view a = i < n ? kRawLines[i].name : kDecodedLines[i - n].name;
    for (std::size_t j = 0; j < i; ++j) {
      if (a == (j < n ? kRawLines[j].name : kDecodedLines[j - n].name)) return false;
    }
  }
  return true;
}
static_assert(NamesDistinct());

void ListOne(const ChannelSetRecord& record, std::int32_t number, ReportWriter& report) {
  report.WriteLine("Channel Set Header Number " + SignedNumberText(number, 15));
  report.WriteLine("============================");
  for (const RawLine& line : kRawLines) WriteField(report, line.label, line.value(record));
  WriteDecodedFieldsHeading(report);
  for (const DecodedLine& line : kDecodedLines) WriteField(report, line.label, line.shown(record));
  report.WriteLine("");
}

// Whether the section lists the header: not when its scan type and channel
// set number both read as 0.
bool Listed(const ChannelSetRecord& record) {
  return DigitValue(record.ChannelSetNumber.View()) + DigitValue(record.ScanTypeNumber.View()) != 0;
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
    if (Listed(record)) ListOne(record, i + 1, report);
  }
  WriteBanner(report, "End Of Channel Set Headers");
  report.WriteLine("");
  return 0;
}

void AddChannelSetBlock(const ChannelSetRecord& record, std::int32_t number, std::vector<model::Block>& blocks) {
  model::Block& block = blocks.emplace_back();
  block.name = "channel_set_" + std::to_string(number);
  auto add = [&block](std::string_view name, std::string_view shown, std::string_view valueText, Reading reading) {
    model::Field& field = block.fields.emplace_back();
    field.name = name;
    model::AppendWithoutNul(field.raw, shown);
    model::SetValue(field.value, valueText, reading);
  };
  for (const RawLine& line : kRawLines) add(line.name, line.value(record), line.value(record), line.reading);
  for (const DecodedLine& line : kDecodedLines) {
    const std::string shown = line.shown(record);
    std::string_view value = shown;
    if (!line.unit.empty() && value.ends_with(line.unit)) value.remove_suffix(line.unit.size());
    add(line.name, shown, value, line.reading);
  }
}

bool IsListedChannelSet(const ChannelSetRecord& record) { return Listed(record); }

}  // namespace segd
