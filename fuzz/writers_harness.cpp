// The data writers on any record model: the input's bytes become the texts,
// counts and kinds of a hand-made model, which goes through the CSV and the
// JSON writer. Every output must parse (a strict RFC 4180 reader here,
// nlohmann::json for JSON) and give back every value, converted to UTF-8.
#include <nlohmann/json.hpp>

#include "fuzz/harness.h"
#include "output/csv_writer.h"
#include "output/json_writer.h"
#include "output/text_encoding.h"

namespace segd::fuzz {

namespace {

using model::Value;
using nlohmann::json;

// Hands out the input's bytes; zero once they run out.
class Bytes {
 public:
  explicit Bytes(Input input) : input_(input) {}
  std::uint8_t Byte() { return at_ < input_.size() ? input_[at_++] : 0; }
  std::string Text() {
    // The length byte is taken before what is left is counted (the order in
    // which a call's arguments are read is the compiler's).
    const std::size_t wanted = Byte() % 32;
    const std::size_t n = std::min<std::size_t>(wanted, input_.size() - at_);
    std::string text(reinterpret_cast<const char*>(input_.data() + at_), n);
    at_ += n;
    return text;
  }
  Value MakeValue() {
    Value v;
    v.kind = static_cast<Value::Kind>(Byte() % 4);
    v.flag = v.kind == Value::Kind::Bool && Byte() % 2;
    if (v.kind == Value::Kind::Number || v.kind == Value::Kind::Text) v.text = Text();
    return v;
  }
  model::Block MakeBlock() {
    model::Block block{Text(), {}};
    for (int n = Byte() % 5; n > 0; --n) block.fields.push_back({Text(), Text(), MakeValue()});
    return block;
  }

 private:
  Input input_;
  std::size_t at_ = 0;
};

std::string Record(std::string_view bytes) {
  std::string out;
  output::AppendRecordText(out, bytes);
  return out;
}

std::string Host(std::string_view text) {
  std::string out;
  output::AppendHostText(out, text);
  return out;
}

// RFC 4180 with LF line ends, strictly: false on a quote or CR in an
// unquoted field, anything but a separator after a closing quote, an open
// quote at the end, or a last line without its LF.
bool ReadCsv(std::string_view text, std::vector<std::vector<std::string>>& rows) {
  std::size_t at = 0;
  while (at < text.size()) {
    std::vector<std::string>& row = rows.emplace_back();
    for (bool lineEnded = false; !lineEnded;) {
      std::string& field = row.emplace_back();
      if (at < text.size() && text[at] == '"') {
        for (++at;; ++at) {
          if (at >= text.size()) return false;
          if (text[at] == '"') {
            if (at + 1 >= text.size() || text[at + 1] != '"') break;
            ++at;
          }
          field += text[at];
        }
        ++at;
      } else {
        for (; at < text.size() && text[at] != ',' && text[at] != '\n'; ++at) {
          if (text[at] == '"' || text[at] == '\r') return false;
          field += text[at];
        }
      }
      if (at >= text.size() || (text[at] != ',' && text[at] != '\n')) return false;
      lineEnded = text[at++] == '\n';
    }
  }
  return true;
}

std::string CsvCell(const Value& v) {
  switch (v.kind) {
    case Value::Kind::Null: return {};
    case Value::Kind::Bool: return v.flag ? "true" : "false";
    case Value::Kind::Number: return Host(v.text);
    case Value::Kind::Text: return Record(v.text);
  }
  return {};
}

json JsonValue(const Value& v) {
  switch (v.kind) {
    case Value::Kind::Null: return nullptr;
    case Value::Kind::Bool: return v.flag;
    case Value::Kind::Number: return output::IsJsonNumber(v.text) ? json::parse(v.text) : json(Host(v.text));
    case Value::Kind::Text: return Record(v.text);
  }
  return nullptr;
}

}  // namespace

std::string CheckWriters(Input input) {
  Bytes in(input);
  model::RecordHeaders h;
  for (int n = 1 + in.Byte() % 10; n > 0; --n) h.traceColumns.push_back({in.Text()});
  h.path = in.Text();
  h.manufacturer = in.Text();
  if (in.Byte() % 2) h.revision = in.Text();
  h.fileNumber = in.MakeValue();
  for (int n = in.Byte() % 4; n > 0; --n) h.samplesPerTrace.push_back(in.Byte());
  for (int n = in.Byte() % 3; n > 0; --n) h.generalHeaders.push_back(in.MakeBlock());
  for (int n = in.Byte() % 3; n > 0; --n) h.channelSets.push_back(in.MakeBlock());
  h.extendedHeader = in.MakeBlock();
  h.externalText = in.Text();
  const std::string external = in.Text();
  h.externalBytes.assign(external.begin(), external.end());

  std::vector<model::TraceRow> rows(in.Byte() % 16);
  for (model::TraceRow& row : rows) {
    // One value fewer or more than the columns now and then.
    for (std::size_t n = h.traceColumns.size() + in.Byte() % 3; n > 1; --n) row.values.push_back(in.MakeValue());
  }
  std::vector<model::Notice> notices(in.Byte() % 3);
  for (model::Notice& notice : notices) notice = {in.Text(), in.Text(), model::NoticeLevel::Warning};
  model::Integrity integrity;
  for (int n = in.Byte() % 3; n > 0; --n) integrity.problems.push_back(in.Text());
  const bool ended = in.Byte() % 2 == 0;

  MemoryByteSink csvSink, jsonSink;
  output::CsvWriter csv(csvSink);
  output::JsonWriter jsonWriter(jsonSink);
  for (model::RecordConsumer* writer : {static_cast<model::RecordConsumer*>(&csv), static_cast<model::RecordConsumer*>(&jsonWriter)}) {
    writer->Begin(h);
    for (const model::TraceRow& row : rows) writer->Row(row);
    if (ended) writer->End(h, integrity, notices);
  }
  if (!csv.Finish() || !jsonWriter.Finish()) return "a writer lost bytes on a memory sink";

  const std::size_t columns = h.traceColumns.size();
  std::vector<std::vector<std::string>> table;
  if (!ReadCsv(csvSink.Text(), table)) return "the CSV is not RFC 4180 with LF line ends";
  if (Host(csvSink.Text()) != csvSink.Text()) return "the CSV is not UTF-8 without NUL bytes";
  if (table.size() != rows.size() + 1) return "the CSV has not one line per trace after its header";
  for (std::size_t c = 0; c < columns; ++c) {
    if (table[0].size() != columns || table[0][c] != Host(h.traceColumns[c].name)) return "a CSV column name changed";
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const std::string expected = c < rows[r].values.size() ? CsvCell(rows[r].values[c]) : "";
      if (table[r + 1].size() != columns || table[r + 1][c] != expected) return "a CSV cell does not read back";
    }
  }

  const json doc = json::parse(jsonSink.Text(), nullptr, false);
  if (doc.is_discarded()) return "the JSON does not parse";
  const json& jsonRows = doc["traces"]["rows"];
  if (jsonRows.size() != rows.size()) return "the JSON has not one row per trace";
  for (std::size_t c = 0; c < columns; ++c) {
    if (doc["traces"]["columns"][c] != Host(h.traceColumns[c].name)) return "a JSON column name changed";
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const json expected = c < rows[r].values.size() ? JsonValue(rows[r].values[c]) : json(nullptr);
      if (jsonRows[r].size() != columns || jsonRows[r][c] != expected) return "a JSON row value does not read back";
    }
  }
  if (doc["general_headers"].size() != h.generalHeaders.size() || doc["channel_sets"].size() != h.channelSets.size()) {
    return "the JSON lost or added header blocks";
  }
  for (std::size_t i = 0; i < h.channelSets.size(); ++i) {
    if (doc["channel_sets"][i].size() != h.channelSets[i].fields.size()) return "the JSON lost a channel set field";
  }
  if (doc["external_header"]["text"] != Record(h.externalText)) return "the JSON external text does not read back";
  if (doc["notices"].size() != (ended ? notices.size() : 0)) return "the JSON lost notices";
  if (ended && doc["integrity"]["problems"].size() != integrity.problems.size()) return "the JSON lost problems";
  return {};
}

}  // namespace segd::fuzz
