#include "output/csv_writer.h"

#include "output/text_encoding.h"

namespace segd::output {

namespace {

// An empty line reads as no field at all; a lone empty field is quoted.
void EndLine(std::string& text, std::size_t start) {
  if (text.size() == start) text += "\"\"";
  text += '\n';
}

}  // namespace

void CsvWriter::Begin(const model::RecordHeaders& headers) {
  columns_ = headers.traceColumns.size();
  std::string& text = out_.Text();
  const std::size_t start = text.size();
  for (std::size_t i = 0; i < columns_; ++i) {
    if (i) text += ',';
    AppendCsvField(text, headers.traceColumns[i].name, Source::Host);
  }
  EndLine(text, start);
  out_.Commit();
}

void CsvWriter::Row(const model::TraceRow& row) {
  AppendRowText(0, row, out_.Text());
  out_.Commit();
}

void CsvWriter::TakeRowText(std::size_t, std::string_view text) {
  out_.Text().append(text);
  out_.Commit();
}

void CsvWriter::AppendRowText(std::size_t, const model::TraceRow& row, std::string& text) const {
  const std::size_t start = text.size();
  // Exactly one cell per column, so that every row has the header's width.
  for (std::size_t i = 0; i < columns_; ++i) {
    if (i) text += ',';
    if (i >= row.values.size()) continue;
    const model::Value& value = row.values[i];
    switch (value.kind) {
      case model::Value::Kind::Null: break;
      case model::Value::Kind::Bool: text += value.flag ? "true" : "false"; break;
      case model::Value::Kind::Number: AppendCsvField(text, value.text, Source::Host); break;
      case model::Value::Kind::Text: AppendCsvField(text, value.text, Source::Record); break;
    }
  }
  EndLine(text, start);
}

void CsvWriter::End(const model::RecordHeaders&, const model::Integrity&, const std::vector<model::Notice>&) {
  out_.Flush();
}

}  // namespace segd::output
