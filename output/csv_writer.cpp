#include "output/csv_writer.h"

#include <algorithm>

#include "output/row_cursor.h"
#include "output/text_encoding.h"

namespace segd::output {

namespace {

// An empty line reads as no field at all; a lone empty field is quoted.
void EndLine(std::string& text, std::size_t start) {
  if (text.size() == start) text += "\"\"";
  text += '\n';
}

// How a text cell goes out: as it is (ASCII without NUL, comma, quote, CR
// or LF), quoted as it is (a comma, CR or LF but no quote), or through
// the general conversion (a quote, NUL or a byte above 0x7F), as
// AppendCsvField would write it.
enum class CellText { kAsIs, kQuoted, kConvert };

CellText Classify(std::string_view text) {
  bool quote = false, convert = false;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    quote |= c == ',' || c == '\r' || c == '\n';
    convert |= c == '"' || c == 0 || c >= 0x80;
  }
  return convert ? CellText::kConvert : quote ? CellText::kQuoted : CellText::kAsIs;
}

// A cell's text as AppendCsvField writes it.
void PutCell(RowCursor& out, std::string_view text, Source source) {
  switch (Classify(text)) {
    case CellText::kAsIs: out.Put(text); return;
    case CellText::kQuoted:
      out.Put('"');
      out.Put(text);
      out.Put('"');
      return;
    case CellText::kConvert: out.Through([&](std::string& s) { AppendCsvField(s, text, source); }); return;
  }
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
  out_.Append(text);
}

void CsvWriter::AppendRowText(std::size_t, const model::TraceRow& row, std::string& text) const {
  const std::size_t cells = std::min(columns_, row.values.size());
  // The row's cells held in a local: the bytes put through a char pointer
  // could otherwise be any object's, the vector read anew after each.
  const model::Value* const values = row.values.data();
  RowCursor out(text);
  // Exactly one cell per column, so that every row has the header's width.
  for (std::size_t i = 0; i < columns_; ++i) {
    // Room for the comma and the cell as it is, quoted, or "false".
    out.Room(i < cells ? values[i].text.size() + 8 : 1);
    if (i) out.Put(',');
    if (i >= cells) continue;
    const model::Value& value = values[i];
    switch (value.kind) {
      case model::Value::Kind::Null: break;
      case model::Value::Kind::Bool: out.Put(value.flag ? std::string_view("true") : std::string_view("false")); break;
      case model::Value::Kind::Number: PutCell(out, value.text, Source::Host); break;
      case model::Value::Kind::Text: PutCell(out, value.text, Source::Record); break;
    }
  }
  // An empty line reads as no field at all; a lone empty field is quoted.
  out.Room(3);
  if (out.Written() == 0) out.Put("\"\"");
  out.Put('\n');
  out.Done();
}

void CsvWriter::End(const model::RecordHeaders&, const model::Integrity&, const std::vector<model::Notice>&) {
  out_.Flush();
}

}  // namespace segd::output
