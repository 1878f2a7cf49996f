#include "scan/trace_walk.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string_view>
#include <type_traits>

#include "scan/trace_header.h"

namespace segd {

namespace {

constexpr std::size_t kOneExtension = kTraceHeaderBytes + kTraceExtensionBytes;   // 52
constexpr std::size_t kTwoExtensions = kOneExtension + kTraceExtensionBytes;      // 84
constexpr std::int64_t kSampleBytes = 4;
// Far beyond any file: keeps a walk over absurd counts from overflowing. Reads
// out there give zeros like any read past the end.
constexpr std::int64_t kPositionLimit = std::int64_t{1} << 62;

struct TraceRecords {
  TraceHeaderRecord header{};
  TraceExtension1Record extension1{};
  TraceExtension2Record extension2{};
};

// Where each column of the trace table takes its text from: a field of one
// of the three records, named by its place in TraceRecords (plain offsets
// rather than accessor functions keep the per-trace loop free of indirect
// calls).
struct ColumnSource {
  std::size_t offset;
  std::size_t width;
};
#define SEGD_COLUMN(Member, Record, Field) \
  ColumnSource { offsetof(TraceRecords, Member) + offsetof(Record, Field), decltype(Record::Field)::kWidth }
constexpr ColumnSource kColumnSources[] = {
    SEGD_COLUMN(extension1, TraceExtension1Record, SuNumber),              // 0  SU Number
    SEGD_COLUMN(extension1, TraceExtension1Record, ReceiverLine),          // 1  Line
    SEGD_COLUMN(extension1, TraceExtension1Record, ReceiverPoint),         // 2  Point
    SEGD_COLUMN(extension2, TraceExtension2Record, Northing),              // 3  Northing
    SEGD_COLUMN(extension2, TraceExtension2Record, Easting),               // 4  Easting
    SEGD_COLUMN(extension2, TraceExtension2Record, Elevation),             // 5  Elevation
    SEGD_COLUMN(extension1, TraceExtension1Record, UnitTypeText),          // 6  Acq Unit Type
    SEGD_COLUMN(header, TraceHeaderRecord, ChannelSet),                    // 7  Chan Set
    SEGD_COLUMN(extension1, TraceExtension1Record, GainText),              // 8  Gain
    SEGD_COLUMN(extension1, TraceExtension1Record, FilterText),            // 9  Filter
    SEGD_COLUMN(extension1, TraceExtension1Record, NoiseEliminationText),  // 10 Noise Elim Type
    SEGD_COLUMN(extension1, TraceExtension1Record, ProcessTypeText),       // 11 Process Type
    SEGD_COLUMN(extension1, TraceExtension1Record, ConversionFactor),      // 12 Conv Fact
    SEGD_COLUMN(extension1, TraceExtension1Record, ReceiverType),          // 13 Rcvr Type
    SEGD_COLUMN(extension1, TraceExtension1Record, ChannelTypeText),       // 14 Chan Type
    SEGD_COLUMN(header, TraceHeaderRecord, TimingWord),                    // 15 Timing Word
    SEGD_COLUMN(header, TraceHeaderRecord, TraceEditText),                 // 16 Edited
    SEGD_COLUMN(header, TraceHeaderRecord, TimeBreakWindow),               // 17 TB to TBW
    SEGD_COLUMN(extension1, TraceExtension1Record, StacksLow),             // 18 Num Stks Low
    SEGD_COLUMN(extension1, TraceExtension1Record, StacksNoisy),           // 19 Num Stks Noisy
    SEGD_COLUMN(extension1, TraceExtension1Record, Resistance),            // 20 Res
    SEGD_COLUMN(extension1, TraceExtension1Record, Sim),                   // 21 SIM
    SEGD_COLUMN(extension1, TraceExtension1Record, IplsError),             // 22 IPLS Err
    SEGD_COLUMN(extension1, TraceExtension1Record, ImpedanceError),        // 23 IMPD Err
    SEGD_COLUMN(extension1, TraceExtension1Record, DeadError),             // 24 Dead Err
    SEGD_COLUMN(extension1, TraceExtension1Record, UnderrunError),         // 25 UDR Err
    SEGD_COLUMN(extension1, TraceExtension1Record, OverrunError),          // 26 OVR Err
    SEGD_COLUMN(extension1, TraceExtension1Record, OverscaleError),        // 27 OVS Err
    SEGD_COLUMN(extension1, TraceExtension1Record, DataError),             // 28 Data Err
    SEGD_COLUMN(extension1, TraceExtension1Record, SyncError),             // 29 Sync Err
};
#undef SEGD_COLUMN
static_assert(std::size(kColumnSources) == kTraceColumns);
// The records are runs of characters: a field's text lies at its offset.
static_assert(std::is_standard_layout_v<TraceRecords>);
static_assert(sizeof(TraceRecords) ==
              sizeof(TraceHeaderRecord) + sizeof(TraceExtension1Record) + sizeof(TraceExtension2Record));

}  // namespace

std::int32_t ReadTrace(ByteSource& record, std::int32_t samplesPerTrace, std::int64_t& position,
                       std::int32_t extensionCount, TraceFields& fields) {
  TraceRecords records;  // every character NUL, afresh for each trace
  const bool secondExtension = extensionCount == 2;
  const std::size_t headerBytes = secondExtension ? kTwoExtensions : kOneExtension;

  // All header blocks of the trace in one read; the samples are never read.
  // A position before the first byte (only a negative sample count leads
  // there) reads as zeros, like one past the end.
  std::array<std::uint8_t, kTwoExtensions> bytes{};
  const std::span<std::uint8_t> blocks(bytes.data(), headerBytes);
  if (position >= 1) record.ReadAt(static_cast<std::uint64_t>(position - 1), blocks);
  position = std::clamp(position + static_cast<std::int64_t>(headerBytes) + kSampleBytes * samplesPerTrace,
                        -kPositionLimit, kPositionLimit);

  const ByteSpan all(bytes);
  if (secondExtension) DecodeTraceExtension2(all.subspan(kOneExtension, kTraceExtensionBytes), records.extension2);
  DecodeTraceHeader(all.first(kTraceHeaderBytes), records.header);
  DecodeTraceExtension1(all.subspan(kTraceHeaderBytes, kTraceExtensionBytes), records.extension1);

  const char* const texts = reinterpret_cast<const char*>(&records);
  for (std::size_t i = 0; i < kTraceColumns; ++i) {
    fields.Text[i].assign(texts + kColumnSources[i].offset, kColumnSources[i].width);
  }
  return 0;
}

}  // namespace segd
