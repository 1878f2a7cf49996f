#pragma once
// Two consumers fed by one walk of a record. Their rows become bytes on the
// walk's threads only when both make them so (model::RowTexts); otherwise
// both take the rows one by one.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "scan/model/record_model.h"
#include "scan/model/row_texts.h"

namespace segd::model {

class BothConsumers final : public RecordConsumer, public RowTexts {
 public:
  BothConsumers(RecordConsumer& first, RecordConsumer& second)
      : first_(first), second_(second), firstTexts_(dynamic_cast<RowTexts*>(&first)),
        secondTexts_(dynamic_cast<RowTexts*>(&second)) {}

  void Begin(const RecordHeaders& headers) override {
    first_.Begin(headers);
    second_.Begin(headers);
  }
  void Row(const TraceRow& row) override {
    first_.Row(row);
    second_.Row(row);
  }
  void End(const RecordHeaders& headers, const Integrity& integrity, const std::vector<Notice>& notices) override {
    first_.End(headers, integrity, notices);
    second_.End(headers, integrity, notices);
  }
  // The columns either reads (empty, every column, when either reads all).
  std::vector<bool> ColumnsRead(const RecordHeaders& headers) const override {
    std::vector<bool> read = first_.ColumnsRead(headers);
    const std::vector<bool> other = second_.ColumnsRead(headers);
    if (read.empty() || other.empty()) return {};
    read.resize(std::max(read.size(), other.size()), false);
    for (std::size_t i = 0; i < other.size(); ++i) read[i] = read[i] || other[i];
    return read;
  }

  std::size_t RowTextCount() const override {
    const std::size_t first = Count(firstTexts_), second = Count(secondTexts_);
    return first > 0 && second > 0 ? first + second : 0;
  }
  void AppendRowText(std::size_t which, const TraceRow& row, std::string& out) const override {
    const std::size_t first = Count(firstTexts_);
    if (which < first) {
      firstTexts_->AppendRowText(which, row, out);
    } else {
      secondTexts_->AppendRowText(which - first, row, out);
    }
  }
  void TakeRowText(std::size_t which, std::string_view text) override {
    const std::size_t first = Count(firstTexts_);
    if (which < first) {
      firstTexts_->TakeRowText(which, text);
    } else {
      secondTexts_->TakeRowText(which - first, text);
    }
  }

 private:
  static std::size_t Count(const RowTexts* texts) { return texts != nullptr ? texts->RowTextCount() : 0; }

  RecordConsumer& first_;
  RecordConsumer& second_;
  RowTexts* firstTexts_;
  RowTexts* secondTexts_;
};

}  // namespace segd::model
