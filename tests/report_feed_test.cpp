// The report's trace table fed by the data outputs' walk gives the report
// its own walk gives, byte for byte, whatever the record: the report's
// places and the channel sets' agree (rows taken as read), differ (the feed
// reads at the report's places) or the walk refuses the record.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <random>

#include "app/record_walk.h"
#include "hardening_common.h"
#include "output/writers.h"

namespace segd {
namespace {

// Memory that counts the bytes read, from any thread.
struct Counting final : ByteSource {
  explicit Counting(const std::vector<std::uint8_t>& bytes) : memory(bytes) {}
  void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
    read += out.size();
    memory.ReadAt(offset, out);
  }
  std::uint64_t Size() const override { return memory.Size(); }
  bool SharedReads() const override { return true; }
  void ReadShared(std::uint64_t offset, std::span<std::uint8_t> out) override { ReadAt(offset, out); }
  MemoryByteSource memory;
  std::atomic<std::uint64_t> read{0};
};

struct Text final : ByteSink {
  bool Write(const char* data, std::size_t size) override { return text.append(data, size), true; }
  bool Close() override { return true; }
  std::string text;
};

std::vector<std::uint8_t> Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ReportFeed, GivesTheReportOfTheReportsOwnWalkAndReadsTheRecordOnce) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    bool placesAgree;  // every trace the report lists is a row read where the report reads it
  };
  std::vector<Case> cases;
  const std::vector<std::uint8_t> many = writer::Compose(writer::ShotRecord({2, 3, 1000, 10}));
  cases.push_back({"many traces, on both cores", many, true});
  cases.push_back({"the sample record", hardening::Sample().bytes, true});
  cases.push_back({"cut short inside a trace", {many.begin(), many.begin() + many.size() * 4 / 5}, false});
  writer::RecordSpec one = writer::ShotRecord({2, 3, 800, 5});
  one.traceExtensions = 1;
  cases.push_back({"one extension", writer::Compose(one), true});
  cases.push_back({"another make", Slurp(SEGD_SOURCE_DIR "/tests/data/public/su_sercel.segd"), false});
  cases.push_back({"not SEG-D", std::vector<std::uint8_t>(5000, 0x41), false});
  // The walk follows what trace 2 states, the report its own places.
  const writer::RecordLayout& layout = hardening::Sample().layout;
  std::vector<std::uint8_t> moved = hardening::Sample().bytes;
  moved[layout.TraceOffset(1) + 20 + 8] = 0x02;  // extension 1 bytes 8-10: 500 + 512 samples
  cases.push_back({"a trace stating another sample count", moved, false});
  moved = hardening::Sample().bytes;
  moved[layout.TraceOffset(1) + 9] = 1;  // trace header byte 10: one extension
  cases.push_back({"a trace stating one extension", moved, false});
  std::mt19937 random(21);
  for (int k = 0; k < 24; ++k) {
    std::vector<std::uint8_t> bytes = k % 2 ? many : hardening::Sample().bytes;
    const std::uint64_t headers = layout.TraceOffset(k % 3);
    for (int n = 0; n < 1 + k % 6; ++n) bytes[random() % headers] = static_cast<std::uint8_t>(random());
    if (k % 4 == 0) bytes.resize(random() % bytes.size());
    cases.push_back({"header bytes changed", bytes, false});
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = "C:\\Data\\LINE1.SEGD";
    testing::FakeHost alone, fed;
    for (testing::FakeHost* host : {&alone, &fed}) {
      host->SelectAll();
      host->record = c.bytes;
    }
    const std::int32_t outcome = alone.Run(path);
    Counting csvRecord(c.bytes);
    Text csvAlone;
    std::unique_ptr<output::RowWriter> csv = output::FindWriter("csv")->make(csvAlone);
    model::ScanRecord(csvRecord, path, *csv);
    csv->Finish();

    Counting record(c.bytes);
    ScanContext context{fed, fed.selection, fed.fields, fed, fed, fed, fed, fed.folder, fed.separator};
    ReportRun run(path, context);
    Text csvFed;
    csv = output::FindWriter("csv")->make(csvFed);
    app::WalkOutputs outputs;
    outputs.rows = csv.get();
    if (run.Start(record)) outputs.report = &run.Traces();
    app::WalkRecord(record, path, outputs);
    csv->Finish();

    EXPECT_EQ(run.Finish(), outcome);
    EXPECT_TRUE(fed.Report() == alone.Report());
    EXPECT_EQ(hardening::NoticeTexts(fed), hardening::NoticeTexts(alone));
    EXPECT_EQ(fed.fields.Text, alone.fields.Text);
    EXPECT_TRUE(csvFed.text == csvAlone.text);
    // The report's headers are all it reads beside the walk.
    if (c.placesAgree) {
      EXPECT_LE(record.read, csvRecord.read + 4096);
    }
  }
}

}  // namespace
}  // namespace segd
