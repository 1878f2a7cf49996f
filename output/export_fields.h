#pragma once
// Where the export writers' header values come from in the decoded record:
// one table (export_fields.cpp) from ExportTrace members to the record's data
// names, in order of preference (the common names first, then the makes'
// own), with the factor that brings each to metres, degrees or hertz. A
// change of names is a change of that table only.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "output/export_trace.h"
#include "scan/model/record_model.h"

namespace segd::output {

class ExportFieldMap {
 public:
  explicit ExportFieldMap(const model::RecordHeaders& headers);

  // The row's values (and the record's and its channel set's) into `trace`;
  // `channelSet` indexes headers.channelSets. Leaves the rest of `trace`.
  void Fill(const model::TraceRow& row, std::size_t channelSet, ExportTrace& trace) const;

  // The record's file number (see kFileNumberName in export_fields.cpp).
  std::optional<std::int64_t> FileNumber() const;

  // Seismic and auxiliary trace counts the channel sets announce.
  void CountTraces(ExportRecord& record) const;

 private:
  struct Found {
    std::size_t column;  // its index in traceColumns
    double factor;       // its name's factor
  };
  const model::RecordHeaders& headers_;
  std::vector<std::vector<Found>> found_;  // per table row: its columns in the record, in order of preference
  std::optional<std::size_t> serial_;
  std::vector<std::size_t> sensors_;  // columns in order of preference
  std::string recordSerial_;
};

// A value as text: texts and numbers as the record gives them ("" for null).
std::string Text(const model::Value& value);

// A number from a value: numbers as they are, texts that read as numbers.
std::optional<double> NumberOf(const model::Value& value);

}  // namespace segd::output
