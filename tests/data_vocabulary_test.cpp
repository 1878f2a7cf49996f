// The data outputs of an SN388 record made by the record writer, read back
// by a real parser: every stored digit of a coordinate comes out, coded
// fields give code and label, and the traces past the end of a cut record
// have empty cells (null in JSON), not zeros.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "output/csv_writer.h"
#include "output/json_writer.h"
#include "scan/io/byte_source.h"
#include "scan/model/record_scan.h"
#include "output/report/report_writer.h"
#include "output/schema_doc.h"
#include "tools/record_writer.h"
#include "tools/sample_shot.h"

namespace segd {
namespace {

using nlohmann::json;

json JsonOf(const std::vector<std::uint8_t>& bytes) {
  MemoryByteSource source(bytes);
  MemoryByteSink sink;
  output::JsonWriter writer(sink);
  model::ScanRecord(source, "made.segd", writer);
  writer.Finish();
  return json::parse(sink.Text());
}

// Column name -> cell of each trace row.
std::map<std::string, json> Row(const json& record, std::size_t i) {
  std::map<std::string, json> row;
  const json& columns = record["traces"]["columns"];
  for (std::size_t c = 0; c < columns.size(); ++c) row[columns[c]] = record["traces"]["rows"][i][c];
  return row;
}

TEST(DataVocabulary, Sn388CoordinatesKeepEveryStoredDigit) {
  writer::RecordSpec spec = writer::ShotRecord({2, 1, 4, 10});
  // Doubles of 15 and more significant digits, and a single.
  const double xs[] = {513568.7654321, 6543518.12345678, 0.1, -1234567.89012345};
  writer::TraceSpec& first = spec.channelSets.at(1).traces.at(0);
  first.extension2.easting = xs[0], first.extension2.northing = xs[1], first.extension2.elevation = 105.3f;
  writer::TraceSpec& second = spec.channelSets.at(1).traces.at(1);
  second.extension2.easting = xs[2], second.extension2.northing = xs[3];
  const json record = JsonOf(writer::Compose(spec));
  ASSERT_EQ(record["make"], "sn388");
  const auto a = Row(record, 2), b = Row(record, 3);
  EXPECT_EQ(a.at("receiver_x").get<double>(), xs[0]);
  EXPECT_EQ(a.at("receiver_y").get<double>(), xs[1]);
  EXPECT_EQ(a.at("receiver_elevation").dump(), "105.3");  // the single's shortest text
  EXPECT_EQ(b.at("receiver_x").get<double>(), xs[2]);
  EXPECT_EQ(b.at("receiver_y").get<double>(), xs[3]);

  const std::vector<std::uint8_t> bytes = writer::Compose(spec);
  MemoryByteSource source(bytes);
  MemoryByteSink sink;
  output::CsvWriter csv(sink);
  model::ScanRecord(source, "made.segd", csv);
  EXPECT_NE(sink.Text().find(",513568.7654321,6543518.12345678,105.3,"), std::string::npos);
}

TEST(DataVocabulary, CodedFieldsGiveCodeAndLabel) {
  writer::RecordSpec spec = writer::ShotRecord({2, 1, 4, 10});
  spec.channelSets.at(1).traces.at(0).header.traceEdit = 2;
  spec.channelSets.at(1).traces.at(1).header.traceEdit = 7;  // no label
  const json record = JsonOf(writer::Compose(spec));
  EXPECT_EQ(Row(record, 2).at("trace_edit"), json({{"code", 2}, {"label", "Muted or dead prior to acquisition"}}));
  EXPECT_EQ(Row(record, 3).at("trace_edit"), json({{"code", 7}, {"label", nullptr}}));
  EXPECT_EQ(Row(record, 0).at("sn388_channel_type"), json({{"code", 9}, {"label", "Signature, Filtered(Aux)"}}));
  for (const json& name : record["traces"]["columns"]) EXPECT_EQ(name.get<std::string>().find("_label"), std::string::npos);
}

TEST(DataVocabulary, TracesPastTheEndHaveNoValues) {
  writer::RecordSpec spec = writer::ShotRecord({2, 1, 4, 10});
  std::vector<std::uint8_t> bytes = writer::Compose(spec);
  // Each trace takes 20 + 2 x 32 + 10 x 4 bytes: the sixth lies wholly past
  // the end, the fifth loses its last samples.
  bytes.resize(bytes.size() - 124 - 20);
  const json record = JsonOf(bytes);
  const json& rows = record["traces"]["rows"];
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_FALSE(Row(record, 4).at("receiver_x").is_null()) << "a header in the file keeps its values";
  EXPECT_TRUE(Row(record, 4).at("past_end").get<bool>());
  const auto last = Row(record, 5);
  EXPECT_TRUE(last.at("past_end").get<bool>());
  for (const char* name : {"file_number", "trace_number", "receiver_line", "receiver_x", "unit_serial", "trace_edit"})
    EXPECT_TRUE(last.at(name).is_null()) << name;
  EXPECT_EQ(last.at("trace"), 6);
}

TEST(DataVocabulary, RecordFactsAtTheTop) {
  const json record = JsonOf(writer::Compose(writer::ShotRecord({2, 1, 4, 10})));
  EXPECT_EQ(record["schema_version"], std::string(model::kSchemaVersion));
  EXPECT_EQ(record["sample_interval_ms"], 1);
  EXPECT_EQ(record["record_length_ms"], 10);
  EXPECT_EQ(record["trace_count"], 6);
  EXPECT_EQ(record["samples_per_trace"], 10);
  EXPECT_EQ(record["start_time_source"], "general_header");
  EXPECT_EQ(record["start_time_utc"].get<std::string>().size(), std::string("2006-02-14T09:41:07.000000Z").size());
}

// docs/schema.md is what the tables make (cmake --build build --target
// schema_doc rewrites it).
TEST(DataVocabulary, TheSchemaDocumentIsInStepWithTheTables) {
  std::ifstream file(SEGD_SOURCE_DIR "/docs/schema.md", std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_TRUE(text.str() == generic::SchemaMarkdown()) << "docs/schema.md is out of step: run the schema_doc target";
}

}  // namespace
}  // namespace segd
