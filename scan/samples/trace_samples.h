#pragma once
// A record's samples, trace by trace in file order, through the ByteSource
// seam: the general decoder's walk (every revision and make, SN388 records
// included) hands each trace's row to this walk, which reads and decodes
// that trace's samples into one reused buffer, so memory stays that of one
// trace whatever the record's size.
//
//   class Gather : public TraceSampleConsumer {
//     void Trace(const TraceSamples& t) override { ... t.samples ... }
//   };
//   Gather g;
//   model::ScanResult r = WalkTraceSamplesFile(path, g);
//
// A trace cut by the end of the file has NaN past the end (`cut` set, the
// walk's integrity says the record is cut). A multiplexed or unknown format
// gives a notice (SampleFormatNotice) and traces without samples.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scan/io/byte_source.h"
#include "scan/model/record_model.h"
#include "scan/model/record_scan.h"
#include "scan/samples/sample_formats.h"
#include "scan/samples/utc_time.h"

namespace segd::samples {

// Where a trace's start time comes from.
enum class TimeSource : std::uint8_t {
  kNone,           // the record holds no date and time
  kMakeGps,        // the make's GPS time break (SmartSolo trace extension 2)
  kMakeEpoch,      // the make's Unix epoch in µs (Fairfield trace extension 3)
  kRev3TimeZero,   // rev 3 general header block 3 time zero (GPS µs)
  kGeneralHeader,  // general header block 1 date and time: whole seconds, local or unknown zone
};
// "make GPS time", "make epoch", "general header 3 GPS time", "general
// header (local or unknown)", "none".
std::string_view TimeSourceName(TimeSource source);

// Which values a trace's samples are handed as.
enum class SampleType : std::uint8_t {
  kFloat32,  // `samples` (the default)
  kNative,   // the format's native type: int32, float32 or float64
  kFloat64,  // `doubles`
};

// One channel set as the samples see it.
struct ChannelSetSamples {
  std::int64_t scanType = 0;
  std::int64_t number = 0;
  int channelType = 0;
  double intervalUs = 0;    // sample interval (base scan interval / 2^J; rev 3: the set's own)
  std::int64_t samples = 0;  // per trace, as its first trace states
  double startTimeMs = 0;    // the set's start time (the delay of its first sample after time zero)
  // Rev 1/2: the MP exponent (×2^MP gives mV at the system input); rev 3:
  // the descale multiplier (an IEEE single; its meaning is not confirmed).
  double descale = 0;
  double scaleFactor = 1;  // what `scaled` multiplies by: 2^MP, or the rev 3 multiplier (1 when 0)
};

struct SampleOptions {
  bool scaled = false;  // × scaleFactor: millivolts (rev 1/2) instead of the values as recorded
  SampleType type = SampleType::kFloat32;
  bool readSamples = true;                      // false: the rows and times only
  const LeapSeconds* leapSeconds = nullptr;     // nullptr: LeapSeconds::BuiltIn()
  std::int64_t firstTrace = 1;                  // samples only of the traces first..last (walk
  std::int64_t lastTrace = std::numeric_limits<std::int64_t>::max();  // sequence, from 1); the walk stops after last
  model::ScanOptions scan;                      // progress and cancel
  // Also fed by the same walk, as ScanRecord feeds a consumer (every trace:
  // leave firstTrace and lastTrace alone), so that the trace-row writers
  // need no walk of their own; `rowsResult` gets the header walk's result,
  // without the samples' notices.
  model::RecordConsumer* rows = nullptr;
  model::ScanResult* rowsResult = nullptr;
};

// The record, before its first trace.
struct SampleRecord {
  const model::RecordHeaders& headers;  // the general decoder's headers
  const SampleFormat* format;           // nullptr: the samples are not read (see notices)
  std::vector<ChannelSetSamples> sets;  // one per channel set walked (row.channelSetIndex), in walk order
  SampleType type;                      // as asked (valueType says what kNative became)
  NativeType valueType;                 // what the trace spans hold
  bool scaled;
  std::string_view units;               // "mV" when scaled, else "as recorded"
};

struct TraceSamples {
  const model::TraceRow& row;   // values per headers.traceColumns (what the CSV gets)
  const ChannelSetSamples& set;
  std::size_t setIndex = 0;
  std::int64_t sampleCount = 0;     // as the trace states (bounded by the file's size)
  // The values: `samples` for float32, `doubles` for float64, `integers`
  // for int32 (past the end of a cut file NaN, int32 0).
  std::span<const float> samples{};
  std::span<const double> doubles{};
  std::span<const std::int32_t> integers{};
  std::int64_t samplesInFile = 0;   // values read from the file
  bool cut = false;                 // the file ends before the trace's last sample
  std::size_t inexact = 0;          // float32 values that round the recorded ones
  std::optional<std::int64_t> startUnixMicros{};  // UTC of the first sample, µs since 1970
  TimeSource timeSource = TimeSource::kNone;
};

class TraceSampleConsumer {
 public:
  virtual ~TraceSampleConsumer() = default;
  virtual void Begin(const SampleRecord&) {}
  // Traces options.firstTrace..lastTrace in file order; the spans live until
  // the call returns.
  virtual void Trace(const TraceSamples& trace) = 0;
  virtual void End(const model::RecordHeaders&, const model::Integrity&, const std::vector<model::Notice>&) {}
  // The row columns (by index into headers.traceColumns) Trace reads, asked
  // after Begin; the others may stay Null, sparing their conversion. Empty:
  // every column.
  virtual std::vector<bool> ColumnsRead(const model::RecordHeaders&) const { return {}; }
};

// The walk; its status and notices are those of the header walk plus the
// samples' (format notices, inexact values).
model::ScanResult WalkTraceSamples(ByteSource& source, const std::string& path, TraceSampleConsumer& consumer,
                                   const SampleOptions& options = {});
// Opens `path` read-only (CannotOpen with the system's reason otherwise).
model::ScanResult WalkTraceSamplesFile(const std::string& path, TraceSampleConsumer& consumer,
                                       const SampleOptions& options = {});

// One trace's samples read at `offset` (the row's samplesOffset) and decoded
// into `out` (its size the sample count; past the end of the file NaN, for
// int32 0), each × `factor` unless 1 (not for int32). `scratch` holds the
// bytes between calls. Returns the samples the file holds; adds to
// `inexact` (when given) the float32 values that round the recorded ones.
// Used by the walk and by readers that know where the traces lie.
std::size_t ReadSamplesAt(ByteSource& source, const SampleFormat& format, std::uint64_t offset, std::span<float> out,
                          double factor, std::vector<std::uint8_t>& scratch, std::size_t* inexact = nullptr);
std::size_t ReadSamplesAt(ByteSource& source, const SampleFormat& format, std::uint64_t offset, std::span<double> out,
                          double factor, std::vector<std::uint8_t>& scratch);
std::size_t ReadSamplesAt(ByteSource& source, const SampleFormat& format, std::uint64_t offset,
                          std::span<std::int32_t> out, std::vector<std::uint8_t>& scratch);

// "2021-05-08T20:06:00.000000Z", or "" for none.
std::string StartTimeText(const std::optional<std::int64_t>& unixMicros);

}  // namespace segd::samples
