#pragma once
// A record consumer whose rows become bytes that depend on nothing but the
// row: the walk's worker threads then make each row's bytes, and the
// consumer takes them in walk order in place of Row. The CSV and JSON
// writers are such consumers; the others take rows one by one.
#include <cstddef>
#include <string>
#include <string_view>

#include "scan/model/record_model.h"

namespace segd::model {

class RowTexts {
 public:
  virtual ~RowTexts() = default;
  // How many texts each row gives (one per output), once Begin is done; 0
  // when its rows must go through Row.
  virtual std::size_t RowTextCount() const = 0;
  // Appends the bytes of `row` for text `which`. Called on several threads
  // at once: reads only what Begin fixed.
  virtual void AppendRowText(std::size_t which, const TraceRow& row, std::string& out) const = 0;
  // Takes the bytes AppendRowText made for text `which` of consecutive rows,
  // in walk order.
  virtual void TakeRowText(std::size_t which, std::string_view text) = 0;
};

}  // namespace segd::model
