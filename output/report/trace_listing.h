#pragma once
// The trace table, the last section of every report: a two-line heading and
// one line per trace with a fixed-width column for each selected field.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "output/report/report_writer.h"
#include "output/report/trace_columns.h"
#include "output/report/trace_fields.h"
#include "scan/standard/trace_batches.h"

namespace segd {

// The 30 columns in line order, indexed like the selection entries 0-29.
std::span<const TraceColumn, kTraceColumns> TraceColumns();

// Sets the column widths (entries 0-29, whatever is selected) and writes the
// heading: "Seq   " and each selected title padded to its width, then "---   "
// and a run of hyphens as wide as each selected column.
void ListTraceHeading(const OutputSelection& selection, TraceFields& fields, ReportWriter& report);

// Builds the line of trace `traceNumber` into `line` (replacing what it held,
// its capacity kept): the number padded to 6, then each selected column's text
// padded to its width. A text exactly as wide as its column gains a blank and
// shifts the rest of the line, as does a six-digit trace number.
void BuildTraceLine(std::int32_t traceNumber, const OutputSelection& selection, const TraceFields& fields,
                    std::string& line);

// The walk's form of BuildTraceLine: the same line, its cells taken straight
// from the decoded records instead of from 30 copied texts. The selected
// columns and their widths are taken once, from `selection` and the widths
// ListTraceHeading set in `fields`.
class TraceLineBuilder {
 public:
  TraceLineBuilder(const OutputSelection& selection, const TraceFields& fields);
  void Build(std::int32_t traceNumber, const TraceRecords& records, std::string& line) const {
    line.clear();
    Append(traceNumber, records, line);
  }
  // The same line added to the end of `out`.
  void Append(std::int32_t traceNumber, const TraceRecords& records, std::string& out) const;

 private:
  struct Cell {
    std::size_t offset;     // of the field's text in TraceRecords
    std::size_t textWidth;
    std::int32_t width;
    char* (*fixed)(char*, const char*);  // the cell at the table's width, or null
  };
  std::array<Cell, kTraceColumns> cells_{};
  std::size_t count_ = 0;
  std::size_t room_ = 0;  // every cell at its widest
};

// The lines of a batch of traces, each ended by CR LF, made on the walk's
// worker threads.
class TraceLineFormat final : public TraceBatchFormat {
 public:
  explicit TraceLineFormat(const TraceLineBuilder& cells) : cells_(cells) {}
  void Add(std::int32_t sequence, std::int64_t, const TraceRecords& records, const std::uint8_t*,
           TraceBatch& batch) const override {
    cells_.Append(sequence, records, batch.text);
    batch.text += "\r\n";
  }

 private:
  const TraceLineBuilder& cells_;
};

}  // namespace segd
