#pragma once
// The headers in front of each trace's samples: the 20-byte trace header and
// the two 32-byte trace header extensions of the SN388 recorder, each decoded
// into a record of fixed-width text fields for the trace table.
#include <cstddef>
#include <type_traits>

#include "scan/convert/conversions.h"
#include "scan/convert/text_field.h"

namespace segd {

inline constexpr std::size_t kTraceHeaderBytes = 20;
inline constexpr std::size_t kTraceExtensionBytes = 32;

struct TraceHeaderRecord {
  TextField<2> ChannelSet;       // byte 4, two hexadecimal digits
  TextField<4> TimingWord;       // bytes 7-9
  TextField<2> TraceEditCode;    // byte 12
  TextField<6> TimeBreakWindow;  // bytes 13-15
  TextField<40> TraceEditText;
};

struct TraceExtension1Record {
  TextField<6> ReceiverLine;       // bytes 1-3
  TextField<6> ReceiverPoint;      // bytes 4-6
  TextField<6> SuNumber;           // bytes 11-13
  TextField<1> FilterCode;         // byte 14, its first decimal digit
  TextField<2> GainCode;           // byte 15
  TextField<2> StacksLow;          // byte 20
  TextField<2> StacksNoisy;        // byte 21
  TextField<4> Resistance;         // bytes 22-23
  TextField<5> Sim;                // bytes 24-25
  TextField<3> ReceiverTypeCode;   // byte 26
  TextField<15> ConversionFactor;  // bytes 27-30
  TextField<20> FilterText;
  TextField<6> GainText;
  TextField<12> UnitTypeText;      // byte 16, high half
  TextField<24> ChannelTypeText;   // byte 16, low half
  TextField<20> NoiseEliminationText;  // byte 17
  TextField<40> ProcessTypeText;       // byte 18
  TextField<3> IplsError;          // byte 19, one flag bit each
  TextField<3> ImpedanceError;
  TextField<3> DeadError;
  TextField<3> UnderrunError;
  TextField<3> OverrunError;
  TextField<3> OverscaleError;
  TextField<3> DataError;
  TextField<3> SyncError;
  TextField<20> ReceiverType;
};

struct TraceExtension2Record {
  TextField<10> Easting;    // bytes 1-8
  TextField<10> Northing;   // bytes 9-16
  TextField<6> Elevation;   // bytes 17-20
};

// The three decoded records of one trace side by side: the report's columns name
// their fields by their places in here (plain offsets keep the per-trace loop free of
// indirect calls).
struct TraceRecords {
  TraceHeaderRecord header{};
  TraceExtension1Record extension1{};
  TraceExtension2Record extension2{};
};
// The records are runs of characters: a field's text lies at its offset.
static_assert(std::is_standard_layout_v<TraceRecords>);
static_assert(sizeof(TraceRecords) ==
              sizeof(TraceHeaderRecord) + sizeof(TraceExtension1Record) + sizeof(TraceExtension2Record));

// Each decoder fills every field of its record from the block's bytes (a
// shorter block reads as if zero-padded). A code outside its table shows as
// the table's fallback text; nothing is reported.
void DecodeTraceHeader(ByteSpan block, TraceHeaderRecord& record);
void DecodeTraceExtension1(ByteSpan block, TraceExtension1Record& record);
void DecodeTraceExtension2(ByteSpan block, TraceExtension2Record& record);

}  // namespace segd
