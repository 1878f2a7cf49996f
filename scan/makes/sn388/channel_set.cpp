#include "scan/makes/sn388/channel_set.h"

#include <string>

#include "scan/makes/sn388/channel_set_fields.h"

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

using namespace channel_set_fields;

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

}  // namespace segd
