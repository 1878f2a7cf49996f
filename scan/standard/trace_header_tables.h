#pragma once
// The trace columns of the general decoder: where each column's value sits
// (block 0 the 20-byte trace header, block k trace header extension k) and
// its data name. A record's column list is the six fixed columns, then the
// standard columns of its revision, then its make's extension columns; the
// walk fills every row from that list and nothing else.
#include <span>

#include "scan/standard/field_layout.h"

namespace segd::generic {

inline constexpr int kTraceHeaderBytes = 20;
inline constexpr int kExtensionBytes = 32;
// The most extensions any column table reads (Fairfield's ten).
inline constexpr int kMostExtensionsRead = 10;

// The meanings of a coded field's values: its label column's data name and
// one row per code. A code no row has gets no label (null).
struct CodeLabel {
  int code;
  std::string_view text;
};
struct CodeLabels {
  std::string_view column;  // "trace_edit_label"
  std::span<const CodeLabel> rows;
  std::string_view Find(std::int64_t code) const {
    for (const CodeLabel& r : rows) {
      if (r.code == code) return r.text;
    }
    return {};
  }
};

// A column no block of the record holds (a common quantity the make does
// not store): always null.
inline constexpr std::uint8_t kAbsentBlock = 0xFF;

struct ColumnSpec {
  std::uint8_t block;  // 0: trace header; k: extension k; kAbsentBlock: none
  FieldSpec field;
  bool flag = false;  // an error flag of the trace (non-zero when set)
  bool dead = false;  // says the trace is dead or edited
  const CodeLabels* labels = nullptr;  // a coded field: its label column follows it
  bool label = false;                  // the label column of the coded field before it
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

// Byte 12 of the trace header.
inline constexpr CodeLabel kTraceEditRows[] = {
    {0, "No edit applied"},
    {2, "Muted or dead prior to acquisition"},
    {3, "Edited by acquisition system"},
};
inline constexpr CodeLabels kTraceEditLabels{"trace_edit_label", kTraceEditRows};

// Trace header fields besides the fixed columns (file_number, channel_set
// and trace_number, which honour their escapes).
inline constexpr ColumnSpec kTraceHeaderColumns[] = {
    {0, {"scan_type", 3, 0, 2, Bcd}},
    {0, {"first_timing_word_ms", 7, 0, 3, Unsigned, 1, 256}},  // bytes 7-8 ms, byte 9 a binary fraction
    {0, {"extension_count", 10, 0, 1, Unsigned}},
    {0, {"sample_skew", 11, 0, 1, Unsigned}},
    {0, {"trace_edit", 12, 0, 1, Unsigned}, false, true, &kTraceEditLabels},
    {0, {"time_break_window_ms", 13, 0, 3, Unsigned, 1, 256}},  // as the first timing word
    {0, {"extended_channel_set", 16, 0, 2, Unsigned}},
    {0, {"extended_file_number", 18, 0, 3, Unsigned}},
};
static_assert(ColumnsFit(kTraceHeaderColumns));

// Extension 1, rev 1.0 to 2.1 (bytes 11-21 are undefined in rev 1.0 but
// read alike: Sercel rev 1.0 records fill byte 21).
inline constexpr ColumnSpec kExtension1Columns[] = {
    {1, {"receiver_line", 1, 0, 3, Escaped}},  // FFFFFF: bytes 11-15
    {1, {"receiver_point", 4, 0, 3, Escaped}},  // FFFFFF: bytes 16-20
    {1, {"receiver_point_index", 7, 0, 1, Signed}},
    {1, {"samples", 8, 0, 3, Unsigned}},
};
static_assert(ColumnsFit(kExtension1Columns));

// Extension 1 bytes 11-21 of rev 2.x (and of rev 1.0 records that fill
// them alike), unless the make uses those bytes for its own fields.
inline constexpr ColumnSpec kExtension1TailColumns[] = {
    {1, {"extended_receiver_line", 11, 0, 5, Fixed}},
    {1, {"extended_receiver_point", 16, 0, 5, Fixed}},
    {1, {"sensor_type", 21, 0, 1, Unsigned}},
};
static_assert(ColumnsFit(kExtension1TailColumns));

// Extension 1, rev 3 (block type 0x40): the sample count moves to 25-28.
inline constexpr ColumnSpec kExtension1ColumnsRev3[] = {
    {1, {"receiver_line", 1, 0, 3, Escaped}},
    {1, {"receiver_point", 4, 0, 3, Escaped}},
    {1, {"receiver_point_index", 7, 0, 1, Signed}},
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

// Quantities several makes store each in their own place: every record has
// these columns, in metres or degrees, null where its make does not store
// them. A make's table gives its row under the same name.
inline constexpr ColumnSpec kCommonColumns[] = {
    {kAbsentBlock, {"receiver_x", 1, 0, 8, Float64}},
    {kAbsentBlock, {"receiver_y", 1, 0, 8, Float64}},
    {kAbsentBlock, {"receiver_elevation", 1, 0, 8, Float64}},
    {kAbsentBlock, {"receiver_latitude", 1, 0, 8, Float64}},
    {kAbsentBlock, {"receiver_longitude", 1, 0, 8, Float64}},
    {kAbsentBlock, {"unit_serial", 1, 0, 4, Unsigned}},
};

}  // namespace segd::generic
