#pragma once
// The field table of a channel set header: each row the field's label in the
// Channel Set Headers section, the general decoder's row whose digits it
// shows and the record field it fills; then the decoded texts.
#include <string_view>

#include "scan/makes/sn388/channel_set.h"
#include "scan/makes/sn388/field_table.h"
#include "scan/standard/channel_set_tables.h"

namespace segd::channel_set_fields {

using R = ChannelSetRecord;
inline constexpr int kBlockBytes = 32;
// Labels are padded to 29 characters, then ": ".
inline constexpr std::size_t kLabelColumn = 29;
inline constexpr std::string_view kTwoMs = " (x 2mS)";

using enum Conversion;
using generic::kChannelSet;

inline constexpr FieldRow<R> kFields[] = {
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

}  // namespace segd::channel_set_fields
