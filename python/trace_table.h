#pragma once
// The trace table of one record gathered into typed column buffers while the
// walk runs (no Python object is touched then, so the walk runs without the
// interpreter lock), and made into one numpy structured array at the end.
#include <pybind11/numpy.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scan/model/record_model.h"

namespace segd::python {

class TraceTable final : public model::RecordConsumer {
 public:
  // keepRows false: the rows are counted, not kept (memory constant in the
  // record's size, for a record opened to stream its samples).
  explicit TraceTable(bool keepRows = true) : keepRows_(keepRows) {}
  void Begin(const model::RecordHeaders& headers) override;
  void Row(const model::TraceRow& row) override;
  void End(const model::RecordHeaders& headers, const model::Integrity& integrity,
           const std::vector<model::Notice>& notices) override;

  bool Begun() const { return begun_; }
  const model::RecordHeaders& Headers() const { return headers_; }
  std::int64_t Rows() const { return rows_; }

  // One field per column, named as the column. Integer columns are int64 and
  // bool columns bool; a column in which some trace holds nothing becomes
  // float64 with NaN there, as a CSV reader makes it. Real columns are
  // float64, text columns fixed-width unicode ("" for nothing). Called with
  // the interpreter lock held; the buffers are released as they are copied.
  pybind11::array TakeArray();

 private:
  struct Column {
    model::ValueType type = model::ValueType::Text;
    bool anyNull = false;
    std::vector<std::int64_t> integers;
    std::vector<double> reals;
    std::vector<std::uint8_t> flags;
    std::vector<std::uint8_t> nulls;  // 1 where the trace held nothing
    std::string textBytes;            // the texts one after another
    std::vector<std::uint64_t> textEnds;
    std::size_t widest = 0;
  };
  void Append(Column& column, const model::Value& value);
  static void WriteCell(const Column& column, std::size_t row, char* out, std::uint64_t& textStart,
                        std::u32string& scratch);

  bool keepRows_;
  bool begun_ = false;
  model::RecordHeaders headers_;
  std::vector<Column> columns_;
  std::int64_t rows_ = 0;
};

}  // namespace segd::python
