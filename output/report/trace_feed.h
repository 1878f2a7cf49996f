#pragma once
// The report's trace table fed by the general decoder's walk of the record
// (app/record_walk.h), so that a report written beside the data outputs
// reads the record once. The report keeps its own places: trace N lies at
// TracePosition(plan, N), whatever the channel sets say. Where the walk's
// row N was read from that place, with the extensions the report reads, its
// line is made from the row's bytes; otherwise the feed reads the bytes at
// the report's place itself. Either way the line is made from the bytes the
// report's own walk reads, so the two walks give the same report.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/report/report_writer.h"
#include "output/report/trace_listing.h"
#include "scan/io/byte_source.h"
#include "scan/model/record_model.h"
#include "scan/model/row_texts.h"
#include "scan/standard/trace_batches.h"

namespace segd {

class TraceFeed final : public model::RecordConsumer, public model::RowTexts {
 public:
  TraceFeed(ByteSource& record, const TraceWalkPlan& plan, const TraceLineBuilder& cells, ReportWriter& report);

  void Begin(const model::RecordHeaders&) override {}
  // The report reads the rows' header bytes, none of their cells.
  std::vector<bool> ColumnsRead(const model::RecordHeaders& headers) const override {
    return std::vector<bool>(headers.traceColumns.size(), false);
  }
  void Row(const model::TraceRow& row) override;
  void End(const model::RecordHeaders&, const model::Integrity& integrity,
           const std::vector<model::Notice>&) override {
    fed_ = integrity.tracesListed;
  }

  // Rows become lines on the walk's threads when each trace's place can be
  // worked out on its own (places that go forward); otherwise through Row.
  std::size_t RowTextCount() const override { return forward_ ? 1 : 0; }
  void AppendRowText(std::size_t, const model::TraceRow& row, std::string& out) const override;
  void TakeRowText(std::size_t, std::string_view text) override { report_.Write(text); }

  // Lists, from its own reads, the traces the walk did not reach (all of
  // them when the walk refused the record), and leaves in `last` the
  // records of the last trace.
  void ListRest(TraceRecords& last);

 private:
  // The records of the trace at 1-based `position`: from the row's bytes
  // when it was read there, otherwise read there (from several threads at
  // once when `shared`).
  void Decode(std::int64_t position, const model::TraceRow* row, bool shared, TraceRecords& records) const;

  ByteSource& record_;
  const TraceWalkPlan plan_;
  const TraceLineBuilder& cells_;
  ReportWriter& report_;
  const bool forward_;
  std::int64_t fed_ = 0;  // rows the walk handed over (listed when within the plan)
  std::int64_t next_;     // the place of trace fed_ + 1, kept by Row
  std::string line_;
};

}  // namespace segd
