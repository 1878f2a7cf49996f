#pragma once
// The trace table as CSV (RFC 4180, LF line ends, UTF-8): a header row of the
// column names, then one row per trace. Numbers as the report shows them
// without padding, texts as UTF-8, nothing for a field that holds nothing.
#include "output/output_buffer.h"
#include "scan/model/record_model.h"
#include "scan/model/row_texts.h"

namespace segd::output {

class CsvWriter final : public model::RecordConsumer, public model::RowTexts {
 public:
  explicit CsvWriter(ByteSink& sink) : out_(sink) {}

  void Begin(const model::RecordHeaders& headers) override;
  void Row(const model::TraceRow& row) override;
  void End(const model::RecordHeaders& headers, const model::Integrity& integrity,
           const std::vector<model::Notice>& notices) override;

  std::size_t RowTextCount() const override { return 1; }
  void AppendRowText(std::size_t which, const model::TraceRow& row, std::string& out) const override;
  void TakeRowText(std::size_t which, std::string_view text) override;

  // Flushes and closes the sink; false when any byte did not reach it.
  bool Finish() { return out_.Finish(); }

 private:
  OutputBuffer out_;
  std::size_t columns_ = 0;
};

}  // namespace segd::output
