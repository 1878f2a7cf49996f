#pragma once
// Channel set descriptors: 32 bytes in rev 1/2, three 32-byte blocks (0x30,
// 0x31, 0x32) in rev 3. Unused descriptors are all zero and still take
// their slot.
#include "scan/standard/field_layout.h"

namespace segd::generic {

inline constexpr int kDescriptorBytes = 32;
inline constexpr int kDescriptorBytesRev3 = 96;

inline constexpr FieldSpec kChannelSet[] = {
    {"scan_type", 1, 0, 2, Conv::Bcd},
    {"channel_set", 2, 0, 2, Conv::Bcd},  // above 99: bytes 27-28
    {"start_time_ms", 3, 0, 2, Conv::Unsigned, 2},  // held in 2 ms steps
    {"end_time_ms", 5, 0, 2, Conv::Unsigned, 2},
    {"descale_multiplier", 7, 0, 2, Conv::Descale},
    {"channels", 9, 0, 4, Conv::Bcd},
    {"channel_type", 11, 0, 1, Conv::Nibble},
    {"subscans_exponent", 12, 0, 1, Conv::Nibble},
    {"gain_control", 12, 1, 1, Conv::Nibble},
    {"alias_filter_frequency", 13, 0, 4, Conv::Bcd},
    {"alias_filter_slope", 15, 0, 4, Conv::Bcd},
    {"low_cut_frequency", 17, 0, 4, Conv::Bcd},
    {"low_cut_slope", 19, 0, 4, Conv::Bcd},
    {"notch_1_frequency", 21, 0, 4, Conv::Bcd, 1, 10},  // 0.1 Hz: 0-999.9 Hz
    {"notch_2_frequency", 23, 0, 4, Conv::Bcd, 1, 10},
    {"notch_3_frequency", 25, 0, 4, Conv::Bcd, 1, 10},
    {"extended_channel_set", 27, 0, 2, Conv::Unsigned},
    {"extended_header_flag", 29, 0, 1, Conv::Nibble},
    {"trace_header_extensions", 29, 1, 1, Conv::Nibble},
    {"vertical_stack", 30, 0, 1, Conv::Unsigned},
    {"streamer_number", 31, 0, 1, Conv::Unsigned},
    {"array_forming", 32, 0, 1, Conv::Unsigned},
};
static_assert(FitsBlock(kChannelSet, kDescriptorBytes));

// Rev 3. The sources disagree on the order of bytes 37-48 and on whether
// the descale multiplier and the filter values are IEEE singles; they are
// read as singles in the reader's order, which is tolerant of either (the
// raw digits are kept).
inline constexpr FieldSpec kChannelSetRev3[] = {
    {"scan_type", 1, 0, 2, Conv::Bcd},
    {"channel_set", 2, 0, 2, Conv::Unsigned},
    {"channel_type", 4, 0, 1, Conv::Unsigned},
    {"start_time", 5, 0, 4, Conv::Unsigned},
    {"end_time", 9, 0, 4, Conv::Unsigned},
    {"samples", 13, 0, 4, Conv::Unsigned},
    {"descale_multiplier", 17, 0, 4, Conv::Float32},
    {"channels", 21, 0, 3, Conv::Unsigned},
    {"sample_interval_us", 24, 0, 3, Conv::Unsigned},
    {"array_forming", 27, 0, 1, Conv::Unsigned},
    {"trace_header_extensions", 28, 0, 1, Conv::Unsigned},
    {"extended_header_flag", 29, 0, 1, Conv::Nibble},
    {"gain_control", 29, 1, 1, Conv::Nibble},
    {"vertical_stack", 30, 0, 1, Conv::Unsigned},
    {"streamer_number", 31, 0, 1, Conv::Unsigned},
    {"block_type_1", 32, 0, 1, Conv::Unsigned},
    {"alias_filter_frequency", 33, 0, 4, Conv::Float32},
    {"low_cut_frequency", 37, 0, 4, Conv::Float32},
    {"alias_filter_slope", 41, 0, 4, Conv::Float32},
    {"low_cut_slope", 45, 0, 4, Conv::Float32},
    {"notch_1_frequency", 49, 0, 4, Conv::Float32},
    {"notch_2_frequency", 53, 0, 4, Conv::Float32},
    {"notch_3_frequency", 57, 0, 4, Conv::Float32},
    {"filter_phase", 61, 0, 1, Conv::Unsigned},
    {"physical_unit", 62, 0, 1, Conv::Unsigned},
    {"block_type_2", 64, 0, 1, Conv::Unsigned},
    {"filter_delay", 65, 0, 4, Conv::Float32},
    {"description", 69, 0, 27, Conv::Ascii},
    {"block_type_3", 96, 0, 1, Conv::Unsigned},
};
static_assert(FitsBlock(kChannelSetRev3, kDescriptorBytesRev3));

}  // namespace segd::generic
