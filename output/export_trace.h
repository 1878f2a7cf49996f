#pragma once
// What the export writers (SEG-Y, miniSEED) need of a record and of each
// trace, as plain values: the writers know nothing of SEG-D bytes or column
// names. scan/ fills these (output/export_fields.h holds the one table that
// maps the record's data names to them); tests build them by hand.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace segd::output {

// Where a time of the first sample comes from: UTC from a make's GPS or
// epoch field, or the general header's date and time (often local time).
enum class TimeBasis : std::uint8_t { Unknown, Utc, GeneralHeader };

// A time: microseconds since 1970-01-01T00:00:00Z (or, for a general-header
// time, since that date read as if it were UTC).
struct StartTime {
  std::int64_t microseconds = 0;
  TimeBasis basis = TimeBasis::Unknown;
  std::string source;  // "SmartSolo GPS time break", "general header 1", ...
};

// The record as a whole, for the file headers.
struct ExportRecord {
  std::string path;
  std::uint64_t sizeBytes = 0;
  std::string revision;      // "2.1", or "" without general header block 2
  std::string manufacturer;  // "Sercel", or the code as a number
  int formatCode = 0;
  std::optional<std::int64_t> fileNumber;
  std::optional<StartTime> start;  // time zero (the first trace's first sample less its delay)
  std::int64_t intervalUs = 0;     // of the first channel set exported
  std::int64_t samplesPerTrace = 0;  // the longest trace
  std::int64_t seismicTraces = 0;
  std::int64_t auxiliaryTraces = 0;
  std::string scaling = "none";  // "none", "2^MP (mV)", "descale multiplier"
  std::string units = "as stored";
  std::string toolVersion;
};

// SEG-D channel types (channel set descriptor byte 11, high nibble).
inline constexpr int kSeismicChannel = 1;

// One trace. Absent values leave their SEG-Y bytes zero.
struct ExportTrace {
  std::int64_t sequence = 0;  // in the record, from 1
  std::optional<std::int64_t> fileNumber;
  std::int64_t channelSet = 0;
  std::int64_t traceNumber = 0;  // within its channel set
  int channelType = kSeismicChannel;
  bool dead = false;

  std::optional<double> sourceLine, sourcePoint;
  std::optional<double> receiverLine, receiverPoint;
  std::optional<double> sourceX, sourceY, sourceElevation;
  std::optional<double> receiverX, receiverY, receiverElevation;
  bool geographic = false;  // x/y are longitude/latitude in degrees

  std::int64_t delayMs = 0;  // the channel set's start time
  std::int64_t intervalUs = 0;
  std::optional<double> gainDb;
  std::optional<double> aliasHz, aliasSlope, lowCutHz, lowCutSlope;
  std::optional<StartTime> start;  // of the first sample (time zero + delay)

  int sensorType = 0;     // trace header extension 1 byte 21 (2 vertical geophone...)
  std::string serial;     // the recording unit's serial, where the make records it

  std::span<const float> samples;  // NaN past the end of a cut record
};

// True for a trace that is not seismic data (time break, uphole, ...).
inline bool IsAuxiliary(const ExportTrace& t) { return t.channelType != kSeismicChannel; }

}  // namespace segd::output
