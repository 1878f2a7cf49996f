#include "app/record_writers.h"

#include <nlohmann/json.hpp>

#include "app/text_out.h"

namespace segd::app {

namespace {

using J = nlohmann::ordered_json;

std::string Dump(const J& j) { return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace); }

J JsonValue(const model::Value& v) {
  switch (v.kind) {
    case model::Value::Kind::Null: return nullptr;
    case model::Value::Kind::Bool: return v.flag;
    case model::Value::Kind::Number: {
      J n = J::parse(v.text, nullptr, false);
      return n.is_number() ? n : J(v.number);
    }
    case model::Value::Kind::Text: return RecordTextToUtf8(v.text);
  }
  return nullptr;
}

class CsvWriter final : public model::RecordConsumer {
 public:
  explicit CsvWriter(SafeFile& file) : file_(file) {}
  void Begin(const model::RecordHeaders& h) override {
    std::string line;
    for (const model::Column& c : h.traceColumns) {
      if (!line.empty()) line += ',';
      AppendCsvCell(line, c.name);
    }
    file_.Write(line + '\n');
  }
  void Row(const model::TraceRow& row) override {
    line_.clear();
    for (std::size_t i = 0; i < row.values.size(); ++i) {
      if (i > 0) line_ += ',';
      AppendCsvCell(line_, RecordTextToUtf8(row.values[i].text));
    }
    line_ += '\n';
    file_.Write(line_);
  }
  void End(const model::RecordHeaders&, const model::Integrity&, const std::vector<model::Notice>&) override {}

 private:
  SafeFile& file_;
  std::string line_;
};

// Streams "traces": rows are written as they come, the closing parts at End.
class JsonWriter final : public model::RecordConsumer {
 public:
  explicit JsonWriter(SafeFile& file) : file_(file) {}
  void Begin(const model::RecordHeaders& h) override {
    J head;
    head["path"] = RecordTextToUtf8(h.path);
    head["size_bytes"] = h.sizeBytes;
    head["file_number"] = JsonValue(h.fileNumber);
    head["manufacturer_code"] = h.manufacturerCode;
    head["revision"] = h.revision ? J(*h.revision) : J();
    head["format_code"] = h.formatCode;
    J columns = J::array();
    for (const model::Column& c : h.traceColumns) columns.push_back(c.name);
    const std::string text = Dump(head);
    file_.Write(text.substr(0, text.size() - 1) + ",\"traces\":{\"columns\":" + Dump(columns) + ",\"rows\":[");
  }
  void Row(const model::TraceRow& row) override {
    J values = J::array();
    for (const model::Value& v : row.values) values.push_back(JsonValue(v));
    file_.Write((first_ ? "\n" : ",\n") + Dump(values));
    first_ = false;
  }
  void End(const model::RecordHeaders&, const model::Integrity& in, const std::vector<model::Notice>& notices) override {
    J tail;
    J list = J::array();
    for (const model::Notice& n : notices) {
      list.push_back({{"text", RecordTextToUtf8(n.text)}, {"caption", RecordTextToUtf8(n.caption)},
                      {"kind", n.level == model::NoticeLevel::Warning ? "warning" : "plain"}});
    }
    tail["notices"] = list;
    tail["integrity"] = {{"traces_announced", in.tracesAnnounced ? J(*in.tracesAnnounced) : J()},
                         {"traces_listed", in.tracesListed},
                         {"traces_past_end", in.tracesPastEnd},
                         {"first_trace_past_end", in.firstTracePastEnd ? J(*in.firstTracePastEnd) : J()},
                         {"file_size", in.fileSize},
                         {"bytes_after_last_trace", in.bytesAfterLastTrace}};
    const std::string text = Dump(tail);
    file_.Write("]}," + text.substr(1) + "\n");
  }

 private:
  SafeFile& file_;
  bool first_ = true;
};

}  // namespace

std::unique_ptr<model::RecordConsumer> MakeRecordWriter(RecordWriterKind kind, SafeFile& file) {
  if (kind == RecordWriterKind::Csv) return std::make_unique<CsvWriter>(file);
  return std::make_unique<JsonWriter>(file);
}

}  // namespace segd::app
