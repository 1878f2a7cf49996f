#pragma once
// The trace columns of the general decoder: where each column's value sits
// (block 0 the 20-byte trace header, block k trace header extension k) and
// its data name. A record's column list is the six fixed columns, then the
// standard columns of its revision, then its make's extension columns; the
// walk fills every row from that list and nothing else.
#include <span>

#include "scan/segd/field_layout.h"

namespace segd::generic {

inline constexpr int kTraceHeaderBytes = 20;
inline constexpr int kExtensionBytes = 32;
// The most extensions any column table reads (Fairfield's ten).
inline constexpr int kMostExtensionsRead = 10;

struct ColumnSpec {
  std::uint8_t block;  // 0: trace header; k: extension k
  FieldSpec field;
  bool flag = false;  // an error flag of the trace (non-zero when set)
  bool dead = false;  // says the trace is dead or edited
};

template <std::size_t N>
constexpr bool ColumnsFit(const ColumnSpec (&columns)[N]) {
  for (const ColumnSpec& c : columns) {
    const int bytes = c.block == 0 ? kTraceHeaderBytes : kExtensionBytes;
    const FieldSpec one[] = {c.field};
    if (!FitsBlock(one, bytes) || c.block > kMostExtensionsRead) return false;
  }
  return true;
}

using enum Conv;

// Trace header fields besides the fixed columns (file_number, channel_set
// and trace_number, which honour their escapes).
inline constexpr ColumnSpec kTraceHeaderColumns[] = {
    {0, {"scan_type", 3, 0, 2, Bcd}},
    {0, {"first_timing_word", 7, 0, 3, Unsigned}},
    {0, {"extension_count", 10, 0, 1, Unsigned}},
    {0, {"sample_skew", 11, 0, 1, Unsigned}},
    {0, {"trace_edit", 12, 0, 1, Unsigned}, false, true},
    {0, {"time_break_window", 13, 0, 3, Unsigned}},
    {0, {"extended_channel_set", 16, 0, 2, Unsigned}},
    {0, {"extended_file_number", 18, 0, 3, Unsigned}},
};
static_assert(ColumnsFit(kTraceHeaderColumns));

// Extension 1, rev 1.0 to 2.1 (bytes 11-21 are undefined in rev 1.0 but
// read alike: Sercel rev 1.0 records fill byte 21).
inline constexpr ColumnSpec kExtension1Columns[] = {
    {1, {"receiver_line", 1, 0, 3, Escaped}},  // FFFFFF: bytes 11-15
    {1, {"receiver_point", 4, 0, 3, Escaped}},  // FFFFFF: bytes 16-20
    {1, {"receiver_point_index", 7, 0, 1, Unsigned}},
    {1, {"samples", 8, 0, 3, Unsigned}},
    {1, {"extended_receiver_line", 11, 0, 5, Fixed}},
    {1, {"extended_receiver_point", 16, 0, 5, Fixed}},
    {1, {"sensor_type", 21, 0, 1, Unsigned}},
};
static_assert(ColumnsFit(kExtension1Columns));

// Extension 1, rev 3 (block type 0x40): the sample count moves to 25-28.
inline constexpr ColumnSpec kExtension1ColumnsRev3[] = {
    {1, {"receiver_line", 1, 0, 3, Escaped}},
    {1, {"receiver_point", 4, 0, 3, Escaped}},
    {1, {"receiver_point_index", 7, 0, 1, Unsigned}},
    {1, {"reshoot_index", 8, 0, 1, Unsigned}},
    {1, {"group_index", 9, 0, 1, Unsigned}},
    {1, {"depth_index", 10, 0, 1, Unsigned}},
    {1, {"extended_receiver_line", 11, 0, 5, Fixed}},
    {1, {"extended_receiver_point", 16, 0, 5, Fixed}},
    {1, {"sensor_type", 21, 0, 1, Unsigned}},
    {1, {"extended_trace_number", 22, 0, 3, Unsigned}},
    {1, {"samples", 25, 0, 4, Unsigned}},
    {1, {"sensor_moving", 29, 0, 1, Unsigned}},
    {1, {"physical_unit", 31, 0, 1, Unsigned}},
};
static_assert(ColumnsFit(kExtension1ColumnsRev3));

// Where the walk itself looks: the sample count of extension 1 and the
// escaped trace number of rev 3.
inline constexpr FieldSpec kTraceFileNumber = {"file_number", 1, 0, 4, Bcd};
inline constexpr FieldSpec kTraceScanType = {"scan_type", 3, 0, 2, Bcd};
inline constexpr FieldSpec kTraceChannelSet = {"channel_set", 4, 0, 2, Bcd};
inline constexpr FieldSpec kTraceNumber = {"trace_number", 5, 0, 4, Bcd};
inline constexpr FieldSpec kTraceExtensionCount = {"extension_count", 10, 0, 1, Unsigned};
inline constexpr FieldSpec kTraceExtendedChannelSet = {"extended_channel_set", 16, 0, 2, Unsigned};
inline constexpr FieldSpec kTraceExtendedFileNumber = {"extended_file_number", 18, 0, 3, Unsigned};
inline constexpr FieldSpec kExtension1Samples = {"samples", 8, 0, 3, Unsigned};
inline constexpr FieldSpec kExtension1SamplesRev3 = {"samples", 25, 0, 4, Unsigned};
inline constexpr FieldSpec kExtension1TraceNumberRev3 = {"extended_trace_number", 22, 0, 3, Unsigned};

// The make's own columns, by manufacturer and revision family; empty for a
// make whose extensions no public source documents.
std::span<const ColumnSpec> MakeColumns(int manufacturerCode, int revisionMajor, int revisionMinor);

}  // namespace segd::generic
