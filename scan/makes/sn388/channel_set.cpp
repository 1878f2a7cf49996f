#include "scan/makes/sn388/channel_set.h"

#include <string>

#include "scan/makes/sn388/field_table.h"
#include "scan/standard/channel_set_tables.h"
#include "output/report/listing.h"

namespace segd {

namespace {

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
  return NumberText(static_cast<double>(HexValue(TrimBlanks(digits))), 15);
}

// The text is built in a buffer of the field's width (a string of unknown
// length would be copied just as well, but GCC 12 then warns of reads out of
// its bounds).
template <std::size_t W>
void StoreArrayForming(double v, TextField<W>& field) {
  if (v == 1) return field.Store("No Array Forming");
  const std::string_view how = v < 16 ? " Groups Summed, No weighting" : " Groups Summed, Overlapping, summation";
  std::array<char, W> text{};
  const std::string groups = SignedNumberText(v < 16 ? v : v - 15, 15);
  const std::size_t n = groups.copy(text.data(), W);
  field.Store(std::string_view(text.data(), n + how.copy(text.data() + n, W - n)));
}

using R = ChannelSetRecord;
constexpr int kBlockBytes = 32;
// Labels are padded to 29 characters, then ": ".
constexpr std::size_t kLabelColumn = 29;
constexpr std::string_view kTwoMs = " (x 2mS)";

using enum Conversion;
using generic::kChannelSet;
constexpr FieldRow<R> kFields[] = {
    {"Header Byte", "", In(kChannelSet, "scan_type"), Bcd, SEGD_AT(R, ScanTypeNumber)},
    {"Channel Set Number", "", In(kChannelSet, "channel_set"), Bcd, SEGD_AT(R, ChannelSetNumber)},
    {"Channel Set Start Time", "", In(kChannelSet, "start_time_ms"), Binary, SEGD_AT(R, StartTime)},
    {"Channel Set End Time", "", In(kChannelSet, "end_time_ms"), Binary, SEGD_AT(R, EndTime)},
    {"Descale Multiplier", "", In(kChannelSet, "descale_multiplier"), Hex, SEGD_AT(R, DescaleMultiplier)},
    {"Channels in this channel Set", "", In(kChannelSet, "channels"), Bcd, SEGD_AT(R, ChannelCount)},
    {"Channel Type", "", In(kChannelSet, "channel_type"), Bcd, SEGD_AT(R, ChannelType)},
    {"Unused", "", Between(kChannelSet, "channel_type", "subscans_exponent"), Hex, SEGD_AT(R, Unused)},
    {"Number of Sub Scan Exponents", "", In(kChannelSet, "subscans_exponent"), Bcd, SEGD_AT(R, SubscanExponent)},
    {"Channel Gain Control", "", In(kChannelSet, "gain_control"), Bcd, SEGD_AT(R, GainControl)},
    {"Alias Frequency", "", In(kChannelSet, "alias_filter_frequency"), Bcd, SEGD_AT(R, AliasFrequency)},
    {"Alias Slope", "", In(kChannelSet, "alias_filter_slope"), Bcd, SEGD_AT(R, AliasSlope)},
    {"Low Cut Frequency", "", In(kChannelSet, "low_cut_frequency"), Bcd, SEGD_AT(R, LowCutFrequency)},
    {"Low Cut Slope", "", In(kChannelSet, "low_cut_slope"), Bcd, SEGD_AT(R, LowCutSlope)},
    {"First Notch Frequency", "", In(kChannelSet, "notch_1_frequency"), Bcd, SEGD_AT(R, FirstNotch)},
    {"Second Notch Frequency", "", In(kChannelSet, "notch_2_frequency"), Bcd, SEGD_AT(R, SecondNotch)},
    {"Third Notch Frequency", "", In(kChannelSet, "notch_3_frequency"), Bcd, SEGD_AT(R, ThirdNotch)},
    {"Extended Channel Set Number", "", In(kChannelSet, "extended_channel_set"), Binary,
     SEGD_AT(R, ExtendedChannelSetNumber)},
    {"Extended Header Flag", "", In(kChannelSet, "extended_header_flag"), Binary, SEGD_AT(R, ExtendedHeaderFlag)},
    {"Trace Header Extentions", "", In(kChannelSet, "trace_header_extensions"), Binary, SEGD_AT(R, TraceHeaderExtensions)},
    {"Vertical Stacks", "", In(kChannelSet, "vertical_stack"), Binary, SEGD_AT(R, VerticalStack)},
    {"Streamer Number", "", In(kChannelSet, "streamer_number"), Binary, SEGD_AT(R, StreamerNumber)},
    {"Array Forming", "", In(kChannelSet, "array_forming"), Binary, SEGD_AT(R, ArrayForming)},
    // The decoded texts are shown without the blanks that pad their fields.
    {"Channel Set Start Time", "", {}, Number, SEGD_AT(R, StartTimeText), Shown::Trimmed, kTwoMs},
    {"Channel Set End Time", "", {}, Number, SEGD_AT(R, EndTimeText), Shown::Trimmed, kTwoMs},
    {"Channel Type", "", {}, Text, SEGD_AT(R, ChannelTypeText), Shown::Trimmed},
    {"Channel Gain Control", "", {}, Text, SEGD_AT(R, GainControlText), Shown::Trimmed},
    {"Array Forming", "", {}, Text, SEGD_AT(R, ArrayFormingText), Shown::Trimmed},
};
static_assert(TableIsSound(kFields, kBlockBytes, kLabelColumn));

void ListOne(const ChannelSetRecord& record, std::int32_t number, ReportWriter& report) {
  report.WriteLine("Channel Set Header Number " + SignedNumberText(number, 15));
  report.WriteLine("============================");
  ListFields(report, kFields, record, kLabelColumn);
  report.WriteLine("");
}

// Whether the section lists the header: not when its scan type and channel
// set number both read as 0.
bool Listed(const ChannelSetRecord& record) {
  return DigitValue(record.ChannelSetNumber.View()) + DigitValue(record.ScanTypeNumber.View()) != 0;
}

}  // namespace

std::int32_t DecodeChannelSet(ByteSpan bytes, ChannelSetRecord& record) {
  FillFields(FixedBlock<kBlockBytes>(bytes), kFields, record);
  record.StartTimeText.Store(TimeText(record.StartTime.View()));
  record.EndTimeText.Store(TimeText(record.EndTime.View()));
  record.ChannelTypeText.Store(DigitValue(record.ChannelType.View()) == 1 ? "Seis" : "Aux");
  record.GainControlText.Store(GainControlName(DigitValue(record.GainControl.View())));
  StoreArrayForming(DigitValue(record.ArrayForming.View()), record.ArrayFormingText);
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

}  // namespace segd
