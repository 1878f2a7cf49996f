// The CSV and JSON writers read back by real parsers (Python's csv module,
// nlohmann::json): a hand-built record whose texts hold quotes, commas, line
// ends, NUL bytes and bytes above 0x7F comes back field by field.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include "output/csv_writer.h"
#include "support/python_json.h"
#include "output/json_writer.h"
#include "output/text_encoding.h"

namespace segd {
namespace {

using model::Value;
using nlohmann::json;

Value Make(Value::Kind kind, std::string text, bool flag = false) {
  Value v;
  v.kind = kind;
  v.text = std::move(text);
  v.flag = flag;
  return v;
}
Value Num(std::string text) { return Make(Value::Kind::Number, std::move(text)); }
Value Text(std::string text) { return Make(Value::Kind::Text, std::move(text)); }
Value Flag(bool flag) { return Make(Value::Kind::Bool, flag ? "true" : "false", flag); }

// Record bytes and the UTF-8 they must come out as; one trace each.
struct TextCase {
  std::string bytes, utf8;
};
const TextCase kTexts[] = {
    {"plain", "plain"},
    {"a \"quoted\", word", "a \"quoted\", word"},
    {"two\nlines\rand\\ctl\t\x01\x1f", "two\nlines\rand\\ctl\t\x01\x1f"},
    {std::string("n\0u\0l", 5), "nul"},
    {"\x80\x81\x8d\x8f\x90\x9d\x9f\xa0\xe9\xff", "\u20ac\u0081\u008d\u008f\u0090\u009d\u0178\u00a0\u00e9\u00ff"},
    {"", ""},
};
constexpr std::size_t kRows = std::size(kTexts);

// Columns after the fixed six: a text, a number (null on odd traces), a flag,
// and a number whose text is no JSON number (it must stay a string).
model::RecordHeaders Headers() {
  model::RecordHeaders h;
  h.path = "/d/r\xc3\xa9\xe9\".segd";  // UTF-8 kept, the stray byte read as Windows-1252
  h.sizeBytes = 1000;
  h.fileNumber = Num("1234");
  h.manufacturerCode = 13;
  h.manufacturer = "Sercel";
  h.revision = "2.1";
  h.formatCode = 8058;
  h.samplesPerTrace = {1000, 2000};
  h.generalHeaders = {{"general_header_1",
                       {{"file_number", "1234", Num("1234")},
                        {"reserved", "0\xe9", Text(kTexts[1].bytes)},
                        {"reserved", "00", Value{}}}},
                      {"general_header_2", {{"revision", "0201", Num("2.1")}}}};
  h.channelSets = {{"channel_set_1", {{"samples", "03E8", Num("1000")}}}, {"channel_set_2", {}}};
  h.extendedHeader = {"extended_header", {{"comment", kTexts[4].bytes, Text(kTexts[4].bytes)}}};
  h.externalText = std::string("ext\0\xe9", 5);
  h.externalBytes = {0x00, 0xab, 0xff};
  for (std::string_view name : model::kFixedColumns) h.traceColumns.push_back({std::string(name)});
  for (const char* name : {"line", "point", "dead", "odd_number"}) h.traceColumns.push_back({name});
  return h;
}

model::TraceRow Row(std::size_t i) {
  const auto n = std::to_string(i + 1);
  const bool last = i + 1 == kRows;
  return {static_cast<std::int64_t>(i + 1), 500 + i, last,
          {Num(n), Num("1234"), Num("1"), Num(n), Num(std::to_string(500 + i)), Flag(last), Text(kTexts[i].bytes),
           i % 2 ? Value{} : Num("-12.5E+3"), Flag(i == 2), Num("nan")}};
}

// Feeds the record to `writer` and returns what reached the sink.
std::string Write(model::RecordConsumer& writer, bool (*finish)(model::RecordConsumer&), MemoryByteSink& sink) {
  const model::RecordHeaders h = Headers();
  writer.Begin(h);
  for (std::size_t i = 0; i < kRows; ++i) writer.Row(Row(i));
  writer.End(h, {kRows, kRows, 1, kRows, 1000, -40, false, {"cut \"short\""}},
             {{"Text \"q\"\n", "Caption", model::NoticeLevel::Warning}, {"plain", "", model::NoticeLevel::Plain}});
  EXPECT_TRUE(finish(writer));
  return sink.Text();
}

std::string CsvOf() {
  MemoryByteSink sink;
  output::CsvWriter writer(sink);
  return Write(writer, [](model::RecordConsumer& w) { return static_cast<output::CsvWriter&>(w).Finish(); }, sink);
}

std::string JsonOf() {
  MemoryByteSink sink;
  output::JsonWriter writer(sink);
  return Write(writer, [](model::RecordConsumer& w) { return static_cast<output::JsonWriter&>(w).Finish(); }, sink);
}

// Runs tests/support/read_back.py and parses its answer.
json ReadBack(const std::string& args) { return segd::test::RunSupportScript("read_back.py", args); }

TEST(OutputWriters, CsvReadsBackWithPythonFieldByFieldWithOneRowPerTrace) {
  const std::string path = SEGD_BINARY_DIR "/output_writers_test.csv";
  std::ofstream(path, std::ios::binary) << CsvOf();
  const json back = ReadBack("csv " + path);
  EXPECT_FALSE(back["crlf"]);
  EXPECT_TRUE(back["ends_with_lf"]);
  const json& rows = back["rows"];
  ASSERT_EQ(rows.size(), kRows + 1);
  EXPECT_EQ(rows[0], json({"trace", "file_number", "channel_set", "trace_number", "byte_offset", "past_end", "line",
                           "point", "dead", "odd_number"}));
  for (std::size_t i = 0; i < kRows; ++i) {
    const auto n = std::to_string(i + 1);
    EXPECT_EQ(rows[i + 1], json({n, "1234", "1", n, std::to_string(500 + i), i + 1 == kRows ? "true" : "false",
                                 kTexts[i].utf8, i % 2 ? "" : "-12.5E+3", i == 2 ? "true" : "false", "nan"}))
        << "trace " << n;
  }
}

TEST(OutputWriters, JsonParsesWithEveryHeaderFieldNoticeAndFindingAndOneRowPerTrace) {
  const json doc = json::parse(JsonOf());
  EXPECT_EQ(doc["path"], "/d/r\u00e9\u00e9\".segd");
  EXPECT_EQ(doc["size_bytes"], 1000);
  EXPECT_EQ(doc["file_number"], 1234);
  EXPECT_EQ(doc["manufacturer_code"], 13);
  EXPECT_EQ(doc["revision"], "2.1");
  EXPECT_EQ(doc["format_code"], 8058);
  EXPECT_EQ(doc["samples_per_trace"], json({1000, 2000}));
  const json& g1 = doc["general_headers"]["general_header_1"];
  EXPECT_EQ(g1["file_number"], json({{"raw", "1234"}, {"value", 1234}}));
  EXPECT_EQ(g1["reserved"], json({{"raw", "0\u00e9"}, {"value", kTexts[1].utf8}}));
  EXPECT_EQ(g1["reserved_2"], json({{"raw", "00"}, {"value", nullptr}}));
  EXPECT_EQ(doc["general_headers"]["general_header_2"]["revision"]["value"], 2.1);
  EXPECT_EQ(doc["channel_sets"], json::parse(R"([{"samples":{"raw":"03E8","value":1000}},{}])"));
  EXPECT_EQ(doc["extended_header"]["comment"]["value"], kTexts[4].utf8);
  EXPECT_EQ(doc["external_header"], json({{"text", "ext\u00e9"}, {"hex", "00ABFF"}, {"fields", json::object()}}));
  EXPECT_EQ(doc["schema_version"], std::string(model::kSchemaVersion));
  EXPECT_EQ(doc["notices"], json::parse(R"([{"text":"Text \"q\"\n","caption":"Caption","kind":"warning"},
                                             {"text":"plain","caption":"","kind":"plain"}])"));
  EXPECT_EQ(doc["integrity"], json::parse(R"({"traces_announced":6,"traces_listed":6,"traces_past_end":1,
      "first_trace_past_end":6,"file_size":1000,"bytes_after_last_trace":-40,"trailer_after_last_trace":false,
      "problems":["cut \"short\""]})"));
  const json& rows = doc["traces"]["rows"];
  ASSERT_EQ(rows.size(), kRows);
  EXPECT_EQ(doc["traces"]["columns"].size(), 10u);
  for (std::size_t i = 0; i < kRows; ++i) {
    EXPECT_EQ(rows[i], json({i + 1, 1234, 1, i + 1, 500 + i, i + 1 == kRows, kTexts[i].utf8,
                             i % 2 ? json(nullptr) : json(-12500.0), i == 2, "nan"}))
        << "trace " << i + 1;
  }
}

TEST(OutputWriters, EveryByteAbove0x7FComesOutAsItsWindows1252Character) {
  const json expected = ReadBack("cp1252");
  for (int b = 1; b < 256; ++b) {
    std::string out;
    output::AppendRecordText(out, std::string(1, static_cast<char>(b)));
    EXPECT_EQ(out, expected[b - 1].get<std::string>()) << "byte " << b;
  }
}

class FailingSink final : public ByteSink {
 public:
  bool Write(const char*, std::size_t) override { return false; }
  bool Close() override { return true; }
};

TEST(OutputWriters, ALostByteIsReportedAndAWalkThatNeverEndedStillGivesValidJson) {
  FailingSink failing;
  output::CsvWriter csv(failing);
  csv.Begin(Headers());
  EXPECT_FALSE(csv.Finish());
  MemoryByteSink sink;
  output::JsonWriter writer(sink);
  writer.Begin(Headers());
  writer.Row(Row(0));
  EXPECT_TRUE(writer.Finish());
  EXPECT_EQ(json::parse(sink.Text())["traces"]["rows"].size(), 1u);
}

}  // namespace
}  // namespace segd
