// The sample record cut short at every byte of its headers and at many
// places in its traces, each scanned with every section and column selected:
// the missing bytes read as zeros, and the run shows exactly the notices and
// writes exactly the report that those zeros call for.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "hardening_common.h"

namespace segd {
namespace {

using hardening::Sample;
using testing::FakeHost;

struct Scan {
  std::int32_t result;
  std::vector<std::string> notices;
  std::vector<std::string> lines;
  std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
  std::vector<std::int32_t> positions;
};

// Scans the sample cut at `cut` with every section selected, and every
// column too unless `columns` is false.
Scan ScanCut(std::size_t cut, bool columns = true) {
  const auto& bytes = Sample().bytes;
  FakeHost host;
  host.record.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(cut, bytes.size())));
  hardening::SelectEverything(host.selection);
  if (!columns) std::fill(host.selection.begin(), host.selection.begin() + kTraceColumns, 0);
  const std::int32_t result = host.Run();
  return {result, hardening::NoticeTexts(host), host.ReportLines(), host.ranges, host.positions};
}

// The big-endian 32-bit value at `offset` of the sample as a record cut at
// `cut` holds it: the bytes from the cut on read as zeros.
std::uint32_t CutValue(std::size_t offset, std::size_t cut) {
  std::uint32_t value = 0;
  for (std::size_t i = offset; i < offset + 4; ++i) value = value << 8 | (i < cut ? Sample().bytes[i] : 0);
  return value;
}

constexpr std::string_view kSectionTitles[] = {"General Headers", "Channel Set Headers (Unused headers not displayed)",
                                               "Extended Header", "External Header"};

// Every section once, the trace count in the preamble and the progress, one
// line per trace.
// The notice of a record whose traces from `first` on reach past its end.
std::string CutShort(std::uint64_t first, std::int32_t traces) {
  const std::string n = std::to_string(first);
  return "The record file ends inside trace " + n + " of " + std::to_string(traces) + "; the traces from " + n +
         " on were read past its end";
}

void ExpectWholeReport(const Scan& scan, std::int32_t traces, std::size_t cut) {
  SCOPED_TRACE("cut at " + std::to_string(cut));
  // Written, and said to be cut short while any announced trace is missing.
  ASSERT_EQ(scan.result, traces > 0 && cut < Sample().bytes.size() ? kReportWrittenRecordCut : kReportWritten);
  ASSERT_GE(scan.lines.size(), 12u);
  EXPECT_EQ(scan.lines[8], "Total Traces   : " + std::to_string(traces));
  for (std::string_view title : kSectionTitles) {
    EXPECT_EQ(std::count(scan.lines.begin(), scan.lines.end(), std::string(title)), 1) << title;
  }
  ASSERT_EQ(scan.ranges, (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, traces}}));
  ASSERT_EQ(scan.positions.size(), static_cast<std::size_t>(traces));
  EXPECT_EQ(scan.positions.empty() ? 0 : scan.positions.back(), traces);
  EXPECT_EQ(scan.lines.size() - hardening::FirstTraceLine(scan.lines), static_cast<std::size_t>(traces));
}

// The headers in parts, so that the sweep spreads over parallel test runs.
enum class HeaderPart { kGeneralHeaders, kChannelSets, kExtendedFirstHalf, kExtendedSecondHalf, kExternal };

std::pair<std::size_t, std::size_t> CutsIn(HeaderPart part) {
  const writer::RecordLayout& layout = Sample().layout;
  const std::size_t extended = layout.extendedHeaderOffset;
  switch (part) {
    case HeaderPart::kGeneralHeaders: return {0, 96};
    case HeaderPart::kChannelSets: return {96, extended};
    case HeaderPart::kExtendedFirstHalf: return {extended, extended + 512};
    case HeaderPart::kExtendedSecondHalf: return {extended + 512, layout.externalHeaderOffset};
    case HeaderPart::kExternal: return {layout.externalHeaderOffset, layout.firstTraceOffset};
  }
  return {0, 0};
}

class TruncatedHeaders : public ::testing::TestWithParam<HeaderPart> {};

TEST_P(TruncatedHeaders, EveryCutGivesTheNoticesAndReportItsZerosCallFor) {
  const std::size_t extended = Sample().layout.extendedHeaderOffset;
  const auto [from, to] = CutsIn(GetParam());
  ASSERT_LT(from, to);
  for (std::size_t cut = from; cut < to; ++cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    const Scan scan = ScanCut(cut, false);
    // Block 1: the format code (bytes 3-4), the sample rate (byte 23) and
    // the record type (byte 26) are checked in that order; each failure ends
    // the run.
    if (cut < 4) {
      EXPECT_EQ(scan.notices, std::vector<std::string>{hardening::FormatComplaint(cut < 3 ? "0000" : "8000")});
    } else if (cut < 23) {
      // An unknown manufacturer (code 00 before byte 17) is overruled by the
      // bad sample rate that follows: one notice, the last complaint.
      EXPECT_EQ(scan.notices, std::vector<std::string>{hardening::kSampleRateComplaint});
    } else if (cut < 26) {
      EXPECT_EQ(scan.notices, std::vector<std::string>{hardening::kRecordTypeComplaint});
    }
    if (cut < 26) {
      EXPECT_EQ(scan.result, kNoReport);
      EXPECT_TRUE(scan.lines.empty());
      EXPECT_TRUE(scan.ranges.empty());
      continue;
    }

    // From here block 1 is accepted. The extended header's aux type (bytes
    // 33-36) is the one checked field that zeros make invalid; the trace
    // count is what is left of bytes 9-12 (none while block 1 byte 31, the
    // extended header length, is missing).
    std::vector<std::string> expected =
        cut < extended + 36 ? std::vector<std::string>{hardening::Complaint("AUX Type Not Correct- should be 2 or 3 but is 0")}
                            : std::vector<std::string>{};
    const std::int32_t traces = cut < 31 ? 0 : static_cast<std::int32_t>(CutValue(extended + 8, cut));
    if (traces > 0) expected.push_back(CutShort(1, traces));
    EXPECT_EQ(scan.notices, expected);
    ExpectWholeReport(scan, traces, cut);
    // Every trace lies beyond the cut: all read as zeros and list alike but
    // for their number.
    const std::size_t first = hardening::FirstTraceLine(scan.lines);
    for (std::size_t i = first; i < scan.lines.size(); ++i) {
      ASSERT_EQ(scan.lines[i].substr(6), scan.lines[first].substr(6)) << "trace " << i - first + 1;
    }
    if (::testing::Test::HasFailure()) return;  // one broken cut tells enough
  }
}

std::string PartName(const ::testing::TestParamInfo<HeaderPart>& info) {
  constexpr const char* kNames[] = {"GeneralHeaders", "ChannelSets", "ExtendedFirstHalf", "ExtendedSecondHalf",
                                    "External"};
  return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Record, TruncatedHeaders,
                         ::testing::Values(HeaderPart::kGeneralHeaders, HeaderPart::kChannelSets,
                                           HeaderPart::kExtendedFirstHalf, HeaderPart::kExtendedSecondHalf,
                                           HeaderPart::kExternal),
                         PartName);

TEST(TruncatedRecord, ACutInTheTracesKeepsTheTracesBeforeItAndListsZerosAfterIt) {
  const writer::RecordLayout& layout = Sample().layout;
  const std::size_t headerBytes = 84;  // trace header and two extensions
  const Scan whole = ScanCut(Sample().bytes.size());
  const Scan none = ScanCut(layout.firstTraceOffset);
  ASSERT_EQ(whole.notices, std::vector<std::string>{});
  const std::size_t firstLine = hardening::FirstTraceLine(whole.lines);
  ASSERT_EQ(whole.lines.size() - firstLine, layout.traceCount);

  // Every byte of the first trace's header blocks; the edges of the blocks
  // of the second and the last trace; the samples; places spread over all.
  std::vector<std::size_t> cuts;
  for (std::size_t at = 0; at <= headerBytes; ++at) cuts.push_back(layout.TraceOffset(0) + at);
  for (std::uint64_t trace : {std::uint64_t{1}, layout.traceCount - 1}) {
    for (std::size_t at : {0u, 1u, 19u, 20u, 21u, 51u, 52u, 53u, 83u, 84u, 85u, 2000u, 4083u}) {
      cuts.push_back(layout.TraceOffset(trace) + at);
    }
  }
  for (std::size_t k = 1; k < 20; ++k) {
    cuts.push_back(layout.firstTraceOffset + k * (Sample().bytes.size() - layout.firstTraceOffset) / 20);
  }

  for (std::size_t cut : cuts) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    const Scan scan = ScanCut(cut);
    EXPECT_EQ(scan.notices, std::vector<std::string>{CutShort((cut - layout.firstTraceOffset) / layout.traceSize + 1,
                                                              static_cast<std::int32_t>(layout.traceCount))});
    ExpectWholeReport(scan, static_cast<std::int32_t>(layout.traceCount), cut);
    ASSERT_EQ(scan.lines.size(), whole.lines.size());
    // The preamble and sections come from the headers, all present.
    EXPECT_TRUE(std::equal(scan.lines.begin(), scan.lines.begin() + static_cast<std::ptrdiff_t>(firstLine), whole.lines.begin()));
    for (std::uint64_t t = 0; t < layout.traceCount; ++t) {
      const std::size_t line = firstLine + t;
      if (layout.TraceOffset(t) + headerBytes <= cut) {
        ASSERT_EQ(scan.lines[line], whole.lines[line]) << "trace " << t + 1 << " lies before the cut";
      } else if (layout.TraceOffset(t) >= cut) {
        ASSERT_EQ(scan.lines[line], none.lines[line]) << "trace " << t + 1 << " lies beyond the cut";
      }
    }
  }
}


// The record file as the scan reads it, cut to `cut` bytes by another
// program the first time the scan reads at or past `trigger`.
class ShrinkingFile final : public FileAccess {
 public:
  ShrinkingFile(std::filesystem::path path, std::uint64_t trigger, std::uint64_t cut)
      : path_(std::move(path)), trigger_(trigger), cut_(cut) {}
  std::unique_ptr<ByteSource> OpenRecord(const std::string&) override {
    return std::make_unique<Source>(*this, FileByteSource::Open(path_.string()));
  }
  std::unique_ptr<ByteSink> CreateReport(const std::string&, const std::string&) override {
    return std::make_unique<Sink>(report);
  }
  std::string report;
  bool shrunk = false;

 private:
  struct Source final : ByteSource {
    Source(ShrinkingFile& owner, std::unique_ptr<FileByteSource> file) : owner(owner), file(std::move(file)) {}
    void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
      if (!owner.shrunk && offset >= owner.trigger_) {
        std::filesystem::resize_file(owner.path_, owner.cut_);
        owner.shrunk = true;
      }
      file->ReadAt(offset, out);
    }
    std::uint64_t Size() const override { return file->Size(); }
    ShrinkingFile& owner;
    std::unique_ptr<FileByteSource> file;
  };
  struct Sink final : ByteSink {
    explicit Sink(std::string& text) : text(text) {}
    bool Write(const char* data, std::size_t size) override { return text.append(data, size), true; }
    bool Close() override { return true; }
    std::string& text;
  };
  std::filesystem::path path_;
  std::uint64_t trigger_;
  std::uint64_t cut_;
};

// The file is read in chunks of about a megabyte, 256 of the sample's traces:
// each cut lies past the chunk in hand when it happens, so the report is the
// one of a record cut before the scan.
TEST(TruncatedRecord, ARecordShrunkDuringTheScanEndsLikeOneCutBeforeIt) {
  const auto& layout = Sample().layout;
  const auto& bytes = Sample().bytes;
  struct Case {
    std::uint64_t trigger, cut;
  };
  const Case cases[] = {
      {32, 40},                                                  // in general header block 2
      {layout.TraceOffset(0), layout.TraceOffset(100) + 10},     // inside a trace header
      {layout.TraceOffset(20), layout.TraceOffset(299) + 1000},  // inside samples, in the second chunk
  };
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("segd-shrinking-" + std::to_string(::getpid()));
  for (const Case& c : cases) {
    SCOPED_TRACE("cut to " + std::to_string(c.cut) + " at the read of " + std::to_string(c.trigger));
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
    ShrinkingFile files(path, c.trigger, c.cut);
    FakeHost host;
    hardening::SelectEverything(host.selection);
    ScanContext context{host, host.selection, host.fields, host, host, host, files, host.folder, host.separator};
    const std::int32_t status = DecodeFile("C:\\Data\\LINE1.SEGD", context);
    EXPECT_TRUE(files.shrunk);

    FakeHost cutBefore;
    hardening::SelectEverything(cutBefore.selection);
    cutBefore.record.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(c.cut));
    EXPECT_EQ(status, cutBefore.Run());
    const std::string want = cutBefore.Report();
    const auto differ = std::mismatch(files.report.begin(), files.report.end(), want.begin(), want.end());
    EXPECT_TRUE(files.report == want) << "first difference at byte " << differ.first - files.report.begin();
    EXPECT_EQ(hardening::NoticeTexts(host), hardening::NoticeTexts(cutBefore));
  }
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace segd
