#pragma once
// The decoded record: what every writer (the text report, CSV, JSON, the
// summary row, the Python arrays) consumes. Decoders fill it; writers never
// look at record bytes. The headers are decoded once and held whole (a few
// kilobytes); the traces are handed over one row at a time, so memory stays
// constant in the number of traces.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace segd::model {

// A decoded value. A number keeps the decimal text the report shows, brought
// to a plain number (no padding, no plus sign, no leading zeros, "0.5" not
// ".5"), so that CSV and JSON print every digit shown and nothing more;
// `number` holds the same value for arithmetic. A text holds the record's own
// bytes (0x80-0xFF are Windows-1252 characters; writers convert), blanks
// trimmed, NUL bytes dropped.
struct Value {
  enum class Kind : std::uint8_t { Null, Number, Text, Bool };
  Kind kind = Kind::Null;
  std::string text;  // Number: "-12.5"; Text: the text; Bool: "true"/"false"; Null: ""
  double number = 0;
  bool flag = false;

  bool IsNull() const { return kind == Kind::Null; }
};

// The value types a column or field holds, so that typed outputs (numpy)
// choose a dtype before they see a row.
enum class ValueType : std::uint8_t { Integer, Real, Text, Bool };

// One decoded field of a header block: its data name (snake_case), the raw
// digits or bytes it came from (hexadecimal digits as the header holds them),
// and its value.
struct Field {
  std::string name;
  std::string raw;
  Value value;
};

// One header block (a general header block, a channel set descriptor, the
// extended header): a name and its fields in block order.
struct Block {
  std::string name;
  std::vector<Field> fields;

  const Field* Find(std::string_view fieldName) const {
    for (const Field& f : fields) {
      if (f.name == fieldName) return &f;
    }
    return nullptr;
  }
};

enum class NoticeLevel : std::uint8_t { Plain, Warning };

// A notice of the run, as the front ends show it.
struct Notice {
  std::string text;
  std::string caption;
  NoticeLevel level = NoticeLevel::Plain;
};

// One column of the trace table: its data name and what its values are.
// `flag` marks a trace error flag (a summary counts the traces that have it
// set); `dead` marks the column that says a trace is dead.
// `labelOf` marks the label column of a coded column (its index; -1 for
// any other column): CSV and Python give both columns, JSON one
// {"code", "label"} object.
struct Column {
  std::string name;
  ValueType type = ValueType::Text;
  bool flag = false;
  bool dead = false;
  int labelOf = -1;
};

// The first six columns of every trace table, in this order, for every make.
inline constexpr std::string_view kFixedColumns[] = {"trace",        "file_number", "channel_set",
                                                     "trace_number", "byte_offset", "past_end"};

// One trace: a value per column of RecordHeaders::traceColumns, in that order
// (the six fixed columns first). A writer must not keep references past the
// call: the walk reuses the row for the next trace.
struct TraceRow {
  std::int64_t trace = 0;        // the walk's sequence number, from 1
  std::uint64_t byteOffset = 0;  // of the trace header in the record
  bool pastEnd = false;          // header or samples reach past the end of the file
  std::vector<Value> values;
  // Where its samples lie, for the sample readers (scan/samples/): the
  // general decoder fills these; SN388 rows leave them as they are.
  std::uint64_t samplesOffset = 0;
  std::int64_t samples = 0;
  std::int32_t channelSetIndex = -1;  // the channel set walked, from 0 (the descriptors of channelSets)
  // The trace header and the extensions the walk read, as the record holds
  // them at byteOffset (zeros past its end); valid while the row is handed
  // over, not kept.
  std::span<const std::uint8_t> headerBytes{};
};

// What the walk found about the record's shape, for every make.
struct Integrity {
  std::optional<std::int64_t> tracesAnnounced;  // where the make announces a count
  std::int64_t tracesListed = 0;
  std::int64_t tracesPastEnd = 0;
  std::optional<std::int64_t> firstTracePastEnd;
  std::uint64_t fileSize = 0;
  std::int64_t bytesAfterLastTrace = 0;  // negative when the record is cut
  bool trailerAfterLastTrace = false;     // the bytes left over are a general trailer
  std::vector<std::string> problems;      // short texts, one per finding
};

// Everything decoded before the walk, plus the columns the walk will fill.
struct RecordHeaders {
  std::string path;
  std::uint64_t sizeBytes = 0;
  Value fileNumber;
  std::int32_t manufacturerCode = -1;
  std::string manufacturer;         // name from the code table, or ""
  std::string make;                 // the make whose own headers were decoded ("sn388", "sercel", ...), or ""
  std::optional<std::string> revision;  // "2.1"; none without general header block 2
  std::int32_t formatCode = -1;     // as its four decimal digits read, e.g. 8058
  std::vector<std::int64_t> samplesPerTrace;  // one per channel set walked (all equal for most records)

  std::vector<Block> generalHeaders;
  std::vector<Block> channelSets;
  Block extendedHeader;
  Block externalHeader;  // the general decoder's external header fields (SN388: empty)
  std::string externalText;                  // bytes as text, NUL dropped
  std::vector<std::uint8_t> externalBytes;   // the first bytes of the external header (at most 1024)

  // Record-level facts for summaries, by data name (date, time,
  // sample_interval_ms, record_length_ms, source_line, source_point,
  // source_easting, source_northing, source_elevation, traces_announced, ...);
  // a make that does not hold one leaves it out.
  Block summary;

  std::vector<Column> traceColumns;  // kFixedColumns first

  // The record's facts every make gives, in one place for every output
  // (null where the record does not hold one).
  Value sampleIntervalMs;
  Value recordLengthMs;
  Value traceCount;      // the traces its channel sets announce
  Value startTimeUtc;    // ISO 8601 with microseconds: "2021-05-08T20:06:00.000000Z"
  Value startTimeSource;  // "gps" (the make's GPS time) or "general_header" (may be local time)
};

// The version of the data outputs' vocabulary (docs/schema.md): raised on
// every change of a name, type or unit.
inline constexpr std::string_view kSchemaVersion = "2.0";

// A writer of a decoded record. The scan calls Begin once, Row once per
// trace in walk order, then End once with what the walk found.
class RecordConsumer {
 public:
  virtual ~RecordConsumer() = default;
  virtual void Begin(const RecordHeaders& headers) = 0;
  virtual void Row(const TraceRow& row) = 0;
  virtual void End(const RecordHeaders& headers, const Integrity& integrity, const std::vector<Notice>& notices) = 0;
  // The trace columns (by index into headers.traceColumns) this consumer
  // reads, asked once after Begin; the walk may leave the others Null in its
  // rows, sparing their conversion. Empty: every column.
  virtual std::vector<bool> ColumnsRead(const RecordHeaders&) const { return {}; }
};

}  // namespace segd::model
