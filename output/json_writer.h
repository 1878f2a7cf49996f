#pragma once
// The record as one JSON object, streamed: the headers when the walk begins,
// a row per trace as it comes, the notices and the integrity findings at the
// end. Memory stays constant in the number of traces. Keys (order free):
//   path, size_bytes, file_number, manufacturer_code, manufacturer, revision,
//   format_code, samples_per_trace (a number, or an array when channel sets
//   differ), general_headers {block: {field: {raw, value}}}, channel_sets
//   [{field: {raw, value}}], extended_header {field: {raw, value}},
//   external_header {text, hex, fields}, traces {columns, rows}, notices [{text,
//   caption, kind}], integrity {traces_announced, traces_listed,
//   traces_past_end, first_trace_past_end, file_size, bytes_after_last_trace,
//   trailer_after_last_trace, problems}.
// And the record's facts: schema_version, sample_interval_ms,
// record_length_ms, trace_count, start_time_utc, start_time_source,
// summary {name: value}. A coded trace column's cell is {"code", "label"}
// (its label column is not listed on its own).
// The output is valid JSON (UTF-8) whatever bytes the record holds.
#include "output/output_buffer.h"
#include "scan/model/record_model.h"
#include "scan/model/row_texts.h"

namespace segd::output {

class JsonWriter final : public model::RecordConsumer, public model::RowTexts {
 public:
  explicit JsonWriter(ByteSink& sink) : out_(sink) {}

  void Begin(const model::RecordHeaders& headers) override;
  void Row(const model::TraceRow& row) override;
  void End(const model::RecordHeaders& headers, const model::Integrity& integrity,
           const std::vector<model::Notice>& notices) override;

  std::size_t RowTextCount() const override { return 1; }
  // Each row after a comma; TakeRowText drops the first row's.
  void AppendRowText(std::size_t which, const model::TraceRow& row, std::string& out) const override;
  void TakeRowText(std::size_t which, std::string_view text) override;

  // Flushes and closes the sink; false when any byte did not reach it. A
  // walk that began and never ended is closed without notices or findings,
  // so the output still parses.
  bool Finish();

 private:
  void WriteEnd(const model::Integrity& integrity, const std::vector<model::Notice>& notices);

  OutputBuffer out_;
  std::size_t columns_ = 0;
  std::vector<int> label_;  // per column: its label column, or -1
  std::vector<bool> skip_;  // per column: a label column, given with its code
  struct Cell {
    std::size_t column;
    int label;  // its label column, or -1
  };
  std::vector<Cell> cells_;  // the columns a row lists, in order
  bool begun_ = false;
  bool ended_ = false;
  bool firstRow_ = true;
};

}  // namespace segd::output
