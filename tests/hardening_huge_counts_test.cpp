// The largest counts the headers can hold: 99 channel sets, extended and
// external headers of 65535 blocks, 99999 traces of 99999 samples and a
// trace header extension count of 99999. The run walks them all to a 40 GB
// position in a record of a few megabytes, in bounded time and memory.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>

#include "hardening_common.h"
#include "support/blocks.h"

#if defined(__SANITIZE_ADDRESS__)
#define SEGD_HEAP_FROM_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SEGD_HEAP_FROM_ASAN 1
#endif
#endif
#ifdef SEGD_HEAP_FROM_ASAN
// The sanitizer runtime's count (GCC ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace segd {
namespace {

namespace fs = std::filesystem;
using writer::Bytes;

// Bytes of the heap in use now.
std::size_t HeapInUse() {
#ifdef SEGD_HEAP_FROM_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

constexpr std::uint64_t kBlocks = 65535;
constexpr std::uint32_t kCount = 99999;
constexpr std::uint64_t kExtendedOffset = 96 + 99 * 32;
constexpr std::uint64_t kFirstTrace = kExtendedOffset + 2 * kBlocks * 32;  // past both headers
constexpr std::uint64_t kTraceBytes = 52 + 4 * std::uint64_t{kCount};      // K = 99999 walks one extension

void Put(Bytes& out, std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  if (out.size() < offset + bytes.size()) out.resize(offset + bytes.size());
  std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(offset));
}

// General headers with 99 channel sets and both header lengths as FF with
// 65535 blocks in block 2; 99 channel sets numbered 1 to 99; an extended
// header of 99999 traces, samples and extensions; and two traces, of
// channel sets 7 and 8 on receiver lines 2010 and 2020. All else is missing.
Bytes HugeRecord() {
  writer::GeneralHeader1 g1;
  g1.channelSets = 99;
  g1.extendedHeaderLength = writer::kAllF;
  g1.externalHeaderLength = writer::kAllF;
  writer::GeneralHeader2 g2;
  g2.extendedHeaderBlocks = kBlocks;
  g2.externalHeaderBlocks = kBlocks;
  Bytes record;
  Put(record, 0, writer::EncodeGeneralHeader1(g1));
  Put(record, 32, writer::EncodeGeneralHeader2(g2));
  Put(record, 64, writer::EncodeGeneralHeader3({}));
  for (std::uint64_t i = 0; i < 99; ++i) {
    writer::ChannelSetHeader set;
    set.channelSetNumber = i + 1;
    Put(record, 96 + 32 * i, writer::EncodeChannelSet(set));
  }
  writer::Sn388ExtendedHeader extended;
  extended.totalTraces = kCount;
  extended.samplesPerTrace = kCount;
  extended.traceHeaderExtensions = kCount;
  Put(record, kExtendedOffset, writer::EncodeExtendedHeader(extended));
  for (std::uint64_t t = 0; t < 2; ++t) {
    writer::TraceHeader header;
    header.channelSetNumber = 7 + t;
    writer::TraceExtension1 extension;
    extension.receiverLine = 2010 + 10 * t;
    extension.receiverPoint = 5001;
    Put(record, kFirstTrace + t * kTraceBytes, writer::EncodeTraceHeader(header));
    Put(record, kFirstTrace + t * kTraceBytes + 20, writer::EncodeTraceExtension1(extension));
  }
  return record;
}

// A host that keeps the report's first megabyte and counts the rest, and
// notes the most heap in use at every read and every trace.
class MeasuringHost final : public NoticeSink, public ProgressSink, public ReportViewer, public OutputNameSource, public FileAccess {
 public:
  explicit MeasuringHost(const Bytes& record) : record_(record) {
    head.reserve(kHeadBytes);
    baseline_ = HeapInUse();
  }

  std::vector<std::string> notices;
  std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
  std::int32_t lastPosition = 0;
  std::size_t positions = 0;
  static constexpr std::size_t kHeadBytes = std::size_t{1} << 20;
  std::string head;            // the report's first megabyte
  std::uint64_t reportBytes = 0;
  std::size_t peakGrowth = 0;  // most heap in use beyond what the test holds

  void Sample() { peakGrowth = std::max(peakGrowth, HeapInUse() - std::min(HeapInUse(), baseline_)); }

  void ShowNotice(std::string_view text, std::string_view, NoticeKind) override { notices.emplace_back(text); }
  void SetRange(std::int32_t lowest, std::int32_t highest) override { ranges.emplace_back(lowest, highest); }
  void SetPosition(std::int32_t value) override {
    lastPosition = value;
    ++positions;
    Sample();
  }
  void ViewReport(const std::string&) override {}
  std::string OutputName() override { return "huge"; }
  std::unique_ptr<ByteSource> OpenRecord(const std::string&) override { return std::make_unique<Source>(*this); }
  std::unique_ptr<ByteSink> CreateReport(const std::string&, const std::string&) override {
    return std::make_unique<Sink>(*this);
  }

 private:
  class Source final : public ByteSource {
   public:
    explicit Source(MeasuringHost& host) : host_(host), memory_(host.record_) {}
    void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
      host_.Sample();
      memory_.ReadAt(offset, out);
    }
    std::uint64_t Size() const override { return memory_.Size(); }

   private:
    MeasuringHost& host_;
    MemoryByteSource memory_;
  };
  class Sink final : public ByteSink {
   public:
    explicit Sink(MeasuringHost& host) : host_(host) {}
    bool Write(const char* data, std::size_t size) override {
      const std::size_t keep = std::min(size, kHeadBytes - std::min(host_.head.size(), kHeadBytes));
      host_.head.append(data, keep);
      host_.reportBytes += size;
      host_.Sample();
      return true;
    }
    bool Close() override { return true; }

   private:
    MeasuringHost& host_;
  };

  const Bytes& record_;
  std::size_t baseline_ = 0;
};

TEST(HugeCounts, TheLargestCountsAreWalkedInBoundedTimeAndMemory) {
  const Bytes record = HugeRecord();
  MeasuringHost host(record);
  OutputSelection selection{};
  hardening::SelectEverything(selection);
  TraceFields fields;
  ScanContext context{host, selection, fields, host, host, host, host, "/data", '/'};

  const auto start = std::chrono::steady_clock::now();
  // Its traces lie past its end (told once, after the walk).
  ASSERT_EQ(DecodeFile("/data/huge.segd", context), kReportWrittenRecordCut);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  EXPECT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.ranges, (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 99999}}));
  EXPECT_EQ(host.positions, 99999u);
  EXPECT_EQ(host.lastPosition, 99999);
  const std::vector<std::string> lines = testing::Lines(host.head);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Channel Set Header Number  99"), lines.end());
  EXPECT_EQ(lines[8], "Total Traces   : 99999");

  // Trace 2 lies 52 + 4 x 99999 bytes after trace 1 (K = 99999 is walked as
  // one extension); trace 3 and the rest lie beyond the record's end. The
  // receiver line column follows the 6 of "Seq" and the 10 of "SU Number".
  const std::size_t first = hardening::FirstTraceLine(lines);
  ASSERT_LT(first + 3, lines.size());
  EXPECT_EQ(lines[first].substr(16, 10), "2010      ");
  EXPECT_EQ(lines[first + 1].substr(16, 10), "2020      ");
  EXPECT_EQ(lines[first + 2].substr(16, 10), "0         ");

  // Memory: the report goes out through a 64 KiB buffer, and nothing grows
  // with a count; a megabyte of slack covers the records and the sanitizers.
  EXPECT_LT(host.peakGrowth, std::size_t{1} << 20) << "peak heap growth " << host.peakGrowth << " bytes";
  // Time: well over a hundred thousand traces a second even in a sanitized
  // debug build; a system call or an allocation per sample would not do.
  EXPECT_LT(seconds, 60.0);
  RecordProperty("walk_seconds", std::to_string(seconds));
  RecordProperty("report_bytes", std::to_string(host.reportBytes));
  RecordProperty("peak_heap_growth", std::to_string(host.peakGrowth));
}

// The same record as a file: reads past its end cost nothing, so the walk
// to the 40 GB position is as quick as in memory.
TEST(HugeCounts, AWalkFarPastTheEndOfARealFileIsQuick) {
  const fs::path folder = fs::temp_directory_path() / ("segd-huge-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const Bytes record = HugeRecord();
  {
    std::ofstream out(folder / "huge.segd", std::ios::binary);
    out.write(reinterpret_cast<const char*>(record.data()), static_cast<std::streamsize>(record.size()));
  }
  testing::FakeHost sinks;
  sinks.name = "huge";
  for (int i = kSelectGeneralHeaders; i <= kSelectExternalHeader; ++i) sinks.selection[static_cast<std::size_t>(i)] = 1;
  DiskFileAccess disk;
  ScanContext context{sinks, sinks.selection, sinks.fields, sinks, sinks, sinks, disk, folder.string(), '/'};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(DecodeFile((folder / "huge.segd").string(), context), kReportWrittenRecordCut);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 60.0);
  EXPECT_EQ(sinks.positions.size(), 99999u);
  EXPECT_EQ(fs::file_size(folder / "Huge.Txt") > 99999u * 8, true);
  fs::remove_all(folder);
}

// Bytes the file gains after it was opened are past its end as the scan
// saw it: they read as zeros, which shows that such reads never reach the
// system.
TEST(HugeCounts, ReadsPastTheEndSeenAtOpeningNeverAskTheSystem) {
  const fs::path file = fs::temp_directory_path() / ("segd-grows-" + std::to_string(::getpid()));
  { std::ofstream(file, std::ios::binary) << std::string(100, 'a'); }
  auto source = FileByteSource::Open(file.string());
  ASSERT_NE(source, nullptr);
  { std::ofstream(file, std::ios::binary | std::ios::app) << std::string(100, 'b'); }
  std::array<std::uint8_t, 8> bytes{};
  source->ReadAt(96, bytes);
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 8>{'a', 'a', 'a', 'a', 0, 0, 0, 0}));
  source->ReadAt(150, bytes);
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 8>{}));
  source.reset();
  fs::remove(file);
}

}  // namespace
}  // namespace segd
