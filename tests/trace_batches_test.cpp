// The trace walk on both cores gives exactly what the one-by-one walk gives:
// the same report bytes, cut-short notice, status, last column texts and
// data rows, however the traces fall into batches.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "hardening_common.h"
#include "output/csv_writer.h"
#include "output/json_writer.h"
#include "scan/standard/trace_batches.h"
#include "output/report/trace_listing.h"
#include "scan/makes/sn388/trace_walk.h"

namespace segd {
namespace {

// The plain walk's lines over arbitrary bytes, and the batches' lines.
struct Lines {
  std::string text;
  TraceRecords last{};
};

Lines OneByOne(ByteSource& source, const TraceWalkPlan& plan, const TraceLineBuilder& cells) {
  Lines lines;
  std::int64_t position = plan.firstPosition;
  for (std::int32_t i = 1; i <= plan.traces; ++i) {
    ReadTraceRecords(source, plan.samplesPerTrace, position, plan.extensionCount, lines.last);
    cells.Append(i, lines.last, lines.text);
    lines.text += "\r\n";
  }
  return lines;
}

TEST(TraceBatches, GiveTheLinesOfTheOneByOneWalkOverAnyBytes) {
  struct Case {
    const char* what;
    std::size_t bytes;
    TraceWalkPlan plan;
    std::int32_t batchTraces;
  };
  const Case cases[] = {
      {"close traces, many batches", 200000, {10, 2, 3000, 3601}, 7},
      {"one extension, the last ones past the end", 100000, {3, 1, 2500, 1}, 64},
      {"far apart, one read per header", 3000000, {4000, 2, 900, 17}, 50},
      {"a batch larger than the record", 50000, {0, 2, 100, 1}, 4096},
  };
  std::mt19937 random(16);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Random header bytes: every code and its fallback text, no two traces alike.
    std::vector<std::uint8_t> bytes(c.bytes);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    MemoryByteSource source(bytes);
    OutputSelection selection{};
    hardening::SelectEverything(selection);
    TraceFields fields;
    MemoryByteSink sink;
    ReportWriter heading(sink);
    ListTraceHeading(selection, fields, heading);
    const TraceLineBuilder cells(selection, fields);
    const Lines want = OneByOne(source, c.plan, cells);

    const TraceLineFormat format(cells);
    const TraceBatchOptions options{c.batchTraces, 1, 2};
    ASSERT_TRUE(TraceBatchesSuit(source, c.plan, options));
    std::string got;
    std::int32_t next = 1;
    TraceRecords last{};
    RunTraceBatches(source, c.plan, format, [&](TraceBatch& batch) {
      EXPECT_EQ(batch.first, next);
      next += batch.count;
      got += batch.text;
      last = batch.last;
      return true;
    }, options);
    EXPECT_EQ(next, c.plan.traces + 1);
    EXPECT_TRUE(got == want.text);
    EXPECT_EQ(std::memcmp(&last, &want.last, sizeof last), 0);
  }
}

TEST(TraceBatches, StopWhereTheDeliveryAsks) {
  std::vector<std::uint8_t> bytes(100000, 0x11);
  MemoryByteSource source(bytes);
  const TraceWalkPlan plan{1, 2, 5000, 1};
  class Count final : public TraceBatchFormat {
    void Add(std::int32_t, std::int64_t, const TraceRecords&, const std::uint8_t*, TraceBatch& batch) const override {
      batch.text += 'x';
    }
  } format;
  std::int32_t delivered = 0;
  RunTraceBatches(source, plan, format, [&](TraceBatch& batch) {
    delivered += static_cast<std::int32_t>(batch.text.size());
    return delivered < 300;
  }, {100, 1, 2});
  EXPECT_EQ(delivered, 300);
}

// The host's record, or a record file that another program cuts to `cut`
// bytes at the first shared read at or past `trigger`; read on several
// threads only when `shared` (otherwise one by one).
class Files final : public FileAccess {
 public:
  Files(testing::FakeHost& host, bool shared, std::filesystem::path path = {}, std::uint64_t trigger = 0,
        std::uint64_t cut = 0)
      : host_(host), shared_(shared), path_(std::move(path)), trigger_(trigger), cut_(cut) {}
  std::unique_ptr<ByteSource> OpenRecord(const std::string& name) override {
    if (path_.empty()) return std::make_unique<Source>(*this, host_.OpenRecord(name));
    return std::make_unique<Source>(*this, FileByteSource::Open(path_.string()));
  }
  std::unique_ptr<ByteSink> CreateReport(const std::string& report, const std::string& record) override {
    return host_.CreateReport(report, record);
  }
  std::atomic<bool> shrunk{false};

 private:
  struct Source final : ByteSource {
    Source(Files& owner, std::unique_ptr<ByteSource> inner) : owner(owner), inner(std::move(inner)) {}
    void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override { inner->ReadAt(offset, out); }
    std::uint64_t Size() const override { return inner->Size(); }
    bool SharedReads() const override { return owner.shared_; }
    void ReadShared(std::uint64_t offset, std::span<std::uint8_t> out) override {
      if (!owner.path_.empty() && offset >= owner.trigger_ && !owner.shrunk.exchange(true)) {
        std::filesystem::resize_file(owner.path_, owner.cut_);
      }
      inner->ReadShared(offset, out);
    }
    Files& owner;
    std::unique_ptr<ByteSource> inner;
  };
  testing::FakeHost& host_;
  bool shared_;
  std::filesystem::path path_;
  std::uint64_t trigger_, cut_;
};

TEST(TraceBatches, ReportOfAManyTraceRecordIsTheOneByOneWalks) {
  struct Case {
    const char* what;
    writer::ShotShape shape;
    std::uint32_t extensions;
    double keep;  // of the record's bytes
  };
  const Case cases[] = {
      {"whole", {2, 3, 1000, 10}, 2, 1.0},
      {"cut short inside a trace", {2, 3, 1000, 10}, 2, 0.8},
      {"one extension, cut short", {2, 3, 800, 5}, 1, 0.5},
      {"far apart traces, cut short", {2, 3, 700, 2100}, 2, 0.3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writer::RecordSpec spec = writer::ShotRecord(c.shape);
    spec.traceExtensions = c.extensions;
    std::vector<std::uint8_t> bytes = writer::Compose(spec);
    bytes.resize(static_cast<std::size_t>(static_cast<double>(bytes.size()) * c.keep));

    testing::FakeHost both, one;
    for (testing::FakeHost* host : {&both, &one}) {
      host->SelectAll();
      host->record = bytes;
    }
    ScanContext bothContext{both, both.selection, both.fields, both, both, both, both, both.folder, both.separator};
    Files files(one, false);
    ScanContext oneContext{one, one.selection, one.fields, one, one, one, files, one.folder, one.separator};

    EXPECT_EQ(DecodeFile("C:\\Data\\LINE1.SEGD", bothContext), DecodeFile("C:\\Data\\LINE1.SEGD", oneContext));
    EXPECT_GT(both.positions.size(), 2048u);
    EXPECT_EQ(both.positions, one.positions);
    EXPECT_TRUE(both.Report() == one.Report());
    EXPECT_EQ(hardening::NoticeTexts(both), hardening::NoticeTexts(one));
    EXPECT_EQ(both.fields.Text, one.fields.Text);
  }
}

// A record file cut by another program while the workers read it: the scan
// ends like one of a record cut short (which trace is the first past the end
// depends on how far the workers had read), every trace listed, no crash.
TEST(TraceBatches, ARecordShrunkDuringTheWalkEndsCutShort) {
  const writer::RecordSpec spec = writer::ShotRecord({2, 3, 1000, 10});
  const std::vector<std::uint8_t> bytes = writer::Compose(spec);
  const writer::RecordLayout layout = writer::LayoutOf(spec);
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("segd-shrinking-shared-" + std::to_string(::getpid()));
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
  testing::FakeHost host;
  host.SelectAll();
  Files files(host, true, path, layout.TraceOffset(1000), layout.TraceOffset(1500) + 10);
  ScanContext context{host, host.selection, host.fields, host, host, host, files, host.folder, host.separator};
  EXPECT_EQ(DecodeFile("C:\\Data\\LINE1.SEGD", context), kReportWrittenRecordCut);
  EXPECT_TRUE(files.shrunk);
  EXPECT_EQ(host.ReportLines().size() - hardening::FirstTraceLine(host.ReportLines()), 3002u);
  ASSERT_FALSE(host.notices.empty());
  EXPECT_EQ(host.notices.back().caption, kRecordCutShortCaption);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace segd
