// The general SEG-D decoder on the public records of three makes (Sercel
// rev 1.0, SmartSolo rev 2.1, Fairfield "1.6"), whole and cut or padded:
// each walk ends exactly at the end of the file with the values the records
// hold, and a cut or padded copy says so.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "scan/model/record_scan_makes.h"

namespace segd {
namespace {

using namespace model;

// Keeps what the scan hands over: the headers at End and a few columns of
// every row, by data name.
struct Collector : RecordConsumer {
  RecordHeaders begun, ended;
  std::vector<std::map<std::string, std::string>> rows;
  void Begin(const RecordHeaders& h) override { begun = h; }
  void Row(const TraceRow& row) override {
    std::map<std::string, std::string>& out = rows.emplace_back();
    for (std::size_t i = 0; i < row.values.size() && i < begun.traceColumns.size(); ++i)
      out[begun.traceColumns[i].name] = row.values[i].text;
  }
  void End(const RecordHeaders& h, const Integrity&, const std::vector<Notice>&) override { ended = h; }

  std::string Field(const std::vector<Block>& blocks, std::string_view block, std::string_view field) const {
    for (const Block& b : blocks) {
      if (b.name == block) return b.Find(field) != nullptr ? b.Find(field)->value.text : "(no field)";
    }
    return "(no block)";
  }
  std::string Summary(std::string_view name) const {
    const model::Field* f = ended.summary.Find(name);
    return f != nullptr ? f->value.text : "(none)";
  }
};

std::vector<std::uint8_t> ReadSample(const std::string& name) {
  std::ifstream in(std::filesystem::path(SEGD_SAMPLES_DIR) / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Scan {
  Collector out;
  ScanResult result;
  explicit Scan(const std::vector<std::uint8_t>& bytes) {
    MemoryByteSource source(bytes);
    result = ScanGenericRecord(source, "record", out, {});
  }
};

struct SampleCase {
  std::string file;
  std::string revision;
  int manufacturer;
  std::string maker;
  std::int64_t traces;
  std::vector<std::int64_t> samples;
  std::uint64_t firstTrace;
  // {block, field, value} in the headers and {trace, column, value} in rows.
  std::vector<std::array<std::string, 3>> headerValues;
  std::vector<std::array<std::string, 3>> rowValues;
};

const SampleCase kSamples[] = {
    {"su_sercel.segd",
     "1.0",
     13,
     "Sercel",
     86,
     {2001, 2001},
     5728,
     {{{"general_header_1", "external_blocks", ""}},
      {{"general_header_2", "external_header_blocks", "128"}},
      {{"general_header_3", "source_point", "100.0"}},
      {{"scan_type_1_channel_set_1", "channel_type", "9"}},
      {{"scan_type_1_channel_set_2", "channels", "84"}},
      {{"scan_type_1_channel_set_2", "descale_multiplier", "-11.8564453125"}},
      {{"summary", "unused_channel_sets", "14"}},
      {{"summary", "record_length_ms", "2000"}},
      {{"summary", "sample_interval_ms", "1.0"}}},
     {{{"1", "file_number", "100"}},
      {{"1", "extension_count", "7"}},
      {{"3", "channel_set", "2"}},
      {{"3", "trace_number", "1"}},
      {{"86", "trace_number", "84"}},
      {{"3", "sercel_analog_low_cut", "3.0"}}}},
    {"ph5_smartsolo_453005513.2.segd",
     "2.1",
     61,
     "SmartSolo",
     359,
     {251},
     2656,
     {{{"general_header_1", "julian_day", "128"}},
      {{"scan_type_1_channel_set_1", "channels", "359"}},
      {{"extended_header", "samples_per_trace", "251"}},
      {{"summary", "traces_announced", "359"}},
      {{"summary", "date", "2021-05-08"}},
      {{"summary", "time", "20:06:00"}},
      {{"summary", "unused_channel_sets", "15"}},
      {{"summary", "sample_interval_ms", "4.0"}}},
     {{{"1", "smartsolo_time_break_gps_us", "1304539578000000"}},
      {{"2", "smartsolo_extended_trace_number", "2"}},
      {{"1", "unit_serial", "453005513"}},
      {{"1", "extended_receiver_line", "1.0"}},
      {{"1", "receiver_longitude", "-155.2911834716797"}},
      {{"1", "receiver_line", ""}},
      {{"359", "trace_number", "359"}}}},
    {"ph5_fairfield_3ch.fcnt",
     "1.6",
     20,
     "Fairfield",
     6,
     {15000, 15000, 15000},
     288,
     {{{"general_header_2", "extended_record_length", "30000"}},
      {{"scan_type_1_channel_set_3", "extended_channel_set", "3"}},
      {{"external_header", "receiver_point", "500"}},
      {{"summary", "channel_sets", "3"}},
      {{"summary", "sample_interval_ms", "2.0"}}},
     {{{"1", "receiver_line", "3"}},
      {{"1", "receiver_point", "500"}},
      {{"6", "channel_set", "3"}},
      {{"6", "extension_count", "10"}},
      {{"1", "fairfield_preamp_gain_db", "24"}},
      {{"1", "fairfield_record_type", "8"}},
      {{"1", "receiver_y", "5280707.8"}},  // stored times 10
      {{"1", "unit_serial", "2240"}}}},  // continuous recording: extension 2 bytes 1-4
};

class PublicRecords : public ::testing::TestWithParam<SampleCase> {};

TEST_P(PublicRecords, EachWalkEndsExactlyAtTheEndOfTheFileWithTheRecordsValues) {
  const SampleCase& c = GetParam();
  const std::vector<std::uint8_t> bytes = ReadSample(c.file);
  ASSERT_FALSE(bytes.empty()) << c.file;
  Scan scan(bytes);
  for (const Notice& n : scan.result.notices) ADD_FAILURE() << n.text;
  EXPECT_EQ(scan.result.status, ScanStatus::Ok);
  const Integrity& integrity = scan.result.integrity;
  EXPECT_EQ(integrity.tracesListed, c.traces);
  EXPECT_EQ(integrity.bytesAfterLastTrace, 0);
  EXPECT_EQ(integrity.tracesPastEnd, 0);
  EXPECT_TRUE(integrity.problems.empty());
  const RecordHeaders& h = scan.out.ended;
  EXPECT_EQ(h.revision, c.revision);
  EXPECT_EQ(h.manufacturerCode, c.manufacturer);
  EXPECT_EQ(h.manufacturer, c.maker);
  EXPECT_EQ(h.formatCode, 8058);
  EXPECT_EQ(h.samplesPerTrace, c.samples);
  EXPECT_EQ(scan.out.begun.samplesPerTrace, c.samples) << "predicted before the walk";
  ASSERT_EQ(scan.out.rows.size(), static_cast<std::size_t>(c.traces));
  EXPECT_EQ(scan.out.rows.front().at("byte_offset"), std::to_string(c.firstTrace));
  for (const auto& [block, field, value] : c.headerValues) {
    const std::string got = block == "summary"               ? scan.out.Summary(field)
                            : block.starts_with("scan_type") ? scan.out.Field(h.channelSets, block, field)
                            : block == "extended_header"     ? scan.out.Field({h.extendedHeader}, block, field)
                            : block == "external_header"     ? scan.out.Field({h.externalHeader}, block, field)
                                                             : scan.out.Field(h.generalHeaders, block, field);
    EXPECT_EQ(got, value) << block << " " << field;
  }
  for (const auto& [trace, column, value] : c.rowValues) {
    EXPECT_EQ(scan.out.rows.at(std::stoul(trace) - 1).at(column), value) << "trace " << trace << " " << column;
  }
}

TEST_P(PublicRecords, ACutCopyIsReportedCutAndAPaddedCopyHasItsBytesLeftOver) {
  const SampleCase& c = GetParam();
  std::vector<std::uint8_t> bytes = ReadSample(c.file);
  const std::size_t whole = bytes.size();

  // Cut in the middle of the last trace's samples.
  bytes.resize(whole - 100);
  Scan cut(bytes);
  EXPECT_EQ(cut.result.status, ScanStatus::Findings);
  EXPECT_EQ(cut.result.integrity.bytesAfterLastTrace, -100);
  EXPECT_EQ(cut.result.integrity.firstTracePastEnd, c.traces);
  EXPECT_EQ(cut.result.integrity.tracesPastEnd, 1);
  EXPECT_EQ(cut.out.rows.back().at("past_end"), "true");
  EXPECT_EQ(cut.out.rows.front().at("past_end"), "false");
  ASSERT_EQ(cut.result.integrity.problems.size(), 1u);

  // Cut inside the first trace: every trace is past the end.
  bytes.resize(c.firstTrace + 10);
  Scan early(bytes);
  EXPECT_EQ(early.result.integrity.firstTracePastEnd, 1);
  EXPECT_EQ(early.result.integrity.tracesListed, 1) << "bounded by what the file can hold";

  // Padded with bytes that are no general trailer.
  bytes = ReadSample(c.file);
  bytes.resize(whole + 40, 0);
  Scan padded(bytes);
  EXPECT_EQ(padded.result.status, ScanStatus::Findings);
  EXPECT_EQ(padded.result.integrity.bytesAfterLastTrace, 40);
  EXPECT_FALSE(padded.result.integrity.trailerAfterLastTrace);
  ASSERT_EQ(padded.result.integrity.problems.size(), 1u);
  EXPECT_EQ(padded.result.integrity.problems[0],
            "40 bytes are left over after the last trace (the record announces no general trailer).");
}

INSTANTIATE_TEST_SUITE_P(Samples, PublicRecords, ::testing::ValuesIn(kSamples),
                         [](const auto& info) { return std::to_string(info.index); });

}  // namespace
}  // namespace segd
