// The trace table through a whole scan: records composed by the record
// writer with K = 2, 1, 0 and 3, every column selection (all, none, the
// Line/Point/Chan Set/Edited example, random ones), a record that ends inside
// its last trace, no traces at all, and a sparse record beyond 4 GiB.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "scan/io/byte_source.h"
#include "output/report/decode_file.h"
#include "support/fake_host.h"
#include "tools/record_writer.h"
#include "tools/sample_shot.h"

namespace segd {
namespace {

using testing::FakeHost;
using namespace segd::writer;

constexpr std::int32_t kWidths[kTraceColumns] = {10, 10, 10, 14, 14, 10, 15, 10, 10, 20, 22, 40, 15, 15, 30,
                                                 20, 20, 20, 20, 20, 12, 12, 10, 10, 10, 10, 10, 10, 10, 10};

// The cell of a column: the text with blanks trimmed, cut to the width, or
// padded to it with at least one blank.
std::string Cell(std::string text, std::int32_t width) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  while (!text.empty() && text.front() == ' ') text.erase(text.begin());
  const std::size_t w = static_cast<std::size_t>(width);
  if (text.size() > w) return text.substr(0, w);
  text.resize(text.size() < w ? w : w + 1, ' ');
  return text;
}

using Texts = std::array<std::string, kTraceColumns>;

// One trace of the test record: the values written and the texts each column
// must show for them (the second extension's three as they show when K = 2).
struct TraceCase {
  std::uint64_t channelSet;
  TraceSpec spec;
  Texts texts;
};

TraceSpec Trace(std::uint64_t line, std::uint64_t point, std::uint64_t su) {
  TraceSpec t;
  t.extension1.receiverLine = line;
  t.extension1.receiverPoint = point;
  t.extension1.suNumber = su;
  return t;
}

std::vector<TraceCase> TraceCases() {
  std::vector<TraceCase> cases;
  {
    TraceSpec t = Trace(0, 0, 900);  // the filtered signature at the recorder
    t.extension1.unitType = 1;
    t.extension1.channelType = 9;
    t.extension1.receiverType = 2;
    t.extension2 = {513525.0, 6543500.0, 105.3f, std::nullopt};
    cases.push_back({1, t, {"900", "0", "0", "6543500", "513525", "105.3", "SAR4 or SAR6", "01", "0  dB", "None",
                            "No Noise Elimination", "None (raw data)", "1", "2", "Signature, Filtered(Aux)", "0",
                            "No edit applied", "0", "0", "0", "0", "0", "No", "No", "No", "No", "No", "No", "No", "No"}});
  }
  {
    TraceSpec t = Trace(2010, 5001, 41000);
    t.header.timingWord = 12345;
    t.header.timeBreakWindow = 1000000;
    t.extension1.filter = 2;
    t.extension1.gain = 12;
    t.extension1.noiseElimination = 0x11;
    t.extension1.processType = 0x22;
    t.extension1.errorFlags = kIplsErrorFlag | kSyncErrorFlag;
    t.extension1.stacksLow = 3;
    t.extension1.stacksNoisy = 4;
    t.extension1.resistance = 345;
    t.extension1.sim = 97;
    t.extension1.receiverType = 1;
    t.extension1.conversionFactor = 0.5f;
    t.extension2 = {512025.5, 6543200.0, 98.25f, std::nullopt};
    cases.push_back({2, t, {"41000", "2010", "5001", "6543200", "512025.5", "98.25", "SU1 or SU6", "02", "12 dB",
                            "Min Phase 0.8 Fn", "Historic/Clipping", "Correlation after stack", ".5", "1", "Seis",
                            "1234", "No edit applied", "100000", "3", "4", "345", "97", "Yes", "No", "No", "No", "No",
                            "No", "No", "Yes"}});
  }
  {
    TraceSpec t = Trace(1000000, 123, 16777215);
    t.header.traceEdit = 2;
    t.extension1.filter = 55;
    t.extension1.gain = 120;
    t.extension1.unitType = 2;
    t.extension1.channelType = 3;
    t.extension1.noiseElimination = 0x20;
    t.extension1.processType = 0x42;
    t.extension1.errorFlags = kDeadErrorFlag;
    t.extension1.stacksLow = 255;
    t.extension1.resistance = 65535;
    t.extension1.sim = 65535;
    t.extension1.receiverType = 255;
    t.extension1.conversionFactor = 0.0f;
    t.extension2 = {6543210.12345, -12.5, 1234.567f, std::nullopt};
    cases.push_back({2, t, {"167772", "100000", "123", "-12.5", "6543210.12", "1234.5", "Unknown", "02", "12 dB",
                            "SAR Filter", "Diversity Stack", "Positive time correlation after stack", "1", "255",
                            "Uphole", "0", "Muted or dead prior to acquisition", "0", "25", "0", "6553", "65535", "No",
                            "No", "Yes", "No", "No", "No", "No", "No"}});
  }
  {
    TraceSpec t = Trace(2020, 5002, 41100);
    t.header.traceEdit = 3;
    t.extension1.filter = 7;
    t.extension1.gain = 6;
    t.extension1.channelType = 2;
    t.extension1.noiseElimination = 0x0A;
    t.extension1.processType = 0x20;
    t.extension1.errorFlags = 0xFF;
    t.extension1.conversionFactor = 0.001f;
    t.extension2 = {0.0, 0.0, 0.0f, std::nullopt};
    cases.push_back({11, t, {"41100", "2020", "5002", "0", "0", "0", "SU1 or SU6", "11", "6  dB", "Unknown", "Unknown",
                             "Unknown", ".001", "0", "Unknown", "0", "Edited by acquisition system", "0", "0", "0", "0",
                             "0", "Yes", "Yes", "Yes", "Yes", "Yes", "Yes", "Yes", "Yes"}});
  }
  {
    TraceSpec t = Trace(2020, 5003, 41100);
    t.header.traceEdit = 200;
    t.extension1.filter = 120;
    t.extension1.processType = 0x31;
    t.extension1.errorFlags = kOverrunErrorFlag | kDataErrorFlag;
    t.extension1.conversionFactor = 12345678.0f;
    t.extension2 = {512345.678, 6543210.5, -3.5f, std::nullopt};
    cases.push_back({11, t, {"41100", "2020", "5003", "6543210.5", "512345.678", "-3.5", "SU1 or SU6", "11", "0  dB",
                             "Min Phase 0.5 Fn", "No Noise Elimination", "Negative time correlation before stack",
                             "1.234568E+7", "0", "Seis", "0", "Status Unknown", "0", "0", "0", "0", "0", "No", "No",
                             "No", "No", "Yes", "No", "Yes", "No"}});
  }
  return cases;
}

// A small SN388 shot holding the cases, one channel set per channel set
// number they name. `written` extension blocks are written per trace; the
// extended header announces `announced`.
struct Composed {
  Bytes bytes;
  RecordLayout layout;
};

Composed ComposeCases(const std::vector<TraceCase>& cases, std::uint32_t written, std::uint32_t announced,
                      std::uint32_t samples = 25) {
  RecordSpec spec = ShotRecord(ShotShape{1, 1, 1, samples});
  spec.channelSets.clear();
  for (const TraceCase& c : cases) {
    if (spec.channelSets.empty() || spec.channelSets.back().header.channelSetNumber != c.channelSet) {
      ChannelSetSpec set;
      set.header.channelSetNumber = c.channelSet;
      spec.channelSets.push_back(set);
    }
    spec.channelSets.back().traces.push_back(c.spec);
  }
  spec.samplesPerTrace = samples;
  spec.traceExtensions = written;
  spec.sampleFill = SampleFill::kByte;
  spec.fillByte = 0xA5;  // samples that would show if they were ever read
  Composed out{Compose(spec), LayoutOf(spec)};
  // The extension count of the extended header: bytes 737-740.
  const std::size_t at = static_cast<std::size_t>(out.layout.extendedHeaderOffset) + 736;
  out.bytes.at(at + 3) = static_cast<std::uint8_t>(announced);
  return out;
}

// The lines that follow the trace table's heading.
std::vector<std::string> TraceLines(const FakeHost& host, std::string* heading = nullptr) {
  const std::vector<std::string> lines = host.ReportLines();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("Seq   ", 0) == 0) {
      if (heading) *heading = lines[i];
      return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(i) + 2, lines.end());
    }
  }
  ADD_FAILURE() << "no trace table heading";
  return {};
}

std::string ExpectedLine(std::int32_t number, const Texts& texts, const OutputSelection& selection) {
  std::string line = Cell(std::to_string(number), 6);
  for (int i = 0; i < kTraceColumns; ++i) {
    if (selection[static_cast<std::size_t>(i)] == 1) line += Cell(texts[static_cast<std::size_t>(i)], kWidths[i]);
  }
  return line;
}

std::vector<OutputSelection> Selections() {
  std::vector<OutputSelection> selections;
  OutputSelection all{};
  for (int i = 0; i < kTraceColumns; ++i) all[static_cast<std::size_t>(i)] = 1;
  selections.push_back(all);
  selections.push_back(OutputSelection{});
  OutputSelection example{};
  for (int i : {1, 2, 7, 16}) example[static_cast<std::size_t>(i)] = 1;
  selections.push_back(example);
  std::mt19937 random(20060214);
  for (int n = 0; n < 12; ++n) {
    OutputSelection s{};
    // Mostly 0 and 1, now and then a value that counts as not selected.
    for (int i = 0; i < kSelectionEntries; ++i) {
      const unsigned draw = random() % 10;
      s[static_cast<std::size_t>(i)] = draw < 5 ? 1 : (draw < 9 ? 0 : (draw == 9 && i % 2 ? 2 : -1));
    }
    s[kSelectViewReport] = 0;
    selections.push_back(s);
  }
  return selections;
}

TEST(TraceTable, LinesMatchTheFieldsForEveryExtensionCountAndSelection) {
  const std::vector<TraceCase> cases = TraceCases();
  struct Walk {
    std::uint32_t written;
    std::uint32_t announced;
  };
  // Any count but 2 is walked as one extension, so the records of K = 0 and
  // K = 3 carry one extension block per trace.
  for (const Walk walk : {Walk{2, 2}, Walk{1, 1}, Walk{1, 0}, Walk{1, 3}}) {
    const Composed record = ComposeCases(cases, walk.written, walk.announced);
    for (const OutputSelection& selection : Selections()) {
      FakeHost host;
      host.record = record.bytes;
      host.selection = selection;
      ASSERT_EQ(host.Run(), kReportWritten);
      std::string heading;
      const std::vector<std::string> lines = TraceLines(host, &heading);
      ASSERT_EQ(lines.size(), cases.size()) << "K " << walk.announced;
      std::size_t headingWidth = 6;
      for (int i = 0; i < kTraceColumns; ++i) headingWidth += selection[static_cast<std::size_t>(i)] == 1 ? kWidths[i] : 0;
      EXPECT_EQ(heading.size(), headingWidth);
      for (std::size_t t = 0; t < cases.size(); ++t) {
        Texts texts = cases[t].texts;
        if (walk.announced != 2) {
          texts[3] = std::string(10, '\0');
          texts[4] = std::string(10, '\0');
          texts[5] = std::string(6, '\0');
        }
        EXPECT_EQ(lines[t], ExpectedLine(static_cast<std::int32_t>(t + 1), texts, selection))
            << "K " << walk.announced << ", trace " << t + 1;
      }
      EXPECT_EQ(host.ranges, (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 5}}));
      EXPECT_EQ(host.positions, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
    }
  }
}

TEST(TraceTable, ExampleSelectionGivesTheDocumentedLine) {
  std::vector<TraceCase> cases = TraceCases();
  cases.resize(2);
  cases[0].spec = Trace(1001, 2001, 1);
  const Composed record = ComposeCases(cases, 2, 2);
  FakeHost host;
  host.record = record.bytes;
  for (int i : {1, 2, 7, 16}) host.selection[static_cast<std::size_t>(i)] = 1;
  ASSERT_EQ(host.Run(), kReportWritten);
  std::string heading;
  const std::vector<std::string> lines = TraceLines(host, &heading);
  EXPECT_EQ(heading, "Seq   Line      Point     Chan Set  Edited              ");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "1     1001      2001      01        No edit applied     ");
}

TEST(TraceTable, ARecordEndingInsideItsLastTraceListsTheMissingBytesAsZeros) {
  const std::vector<TraceCase> cases = TraceCases();
  Composed record = ComposeCases(cases, 2, 2);
  // Keep the last trace's header and the first three bytes of its first
  // extension (its receiver line, 2020).
  record.bytes.resize(static_cast<std::size_t>(record.layout.TraceOffset(cases.size() - 1)) + 20 + 3);
  FakeHost host;
  host.record = record.bytes;
  for (int i = 0; i < kTraceColumns; ++i) host.selection[static_cast<std::size_t>(i)] = 1;
  ASSERT_EQ(host.Run(), kReportWrittenRecordCut);
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].text, "The record file ends inside trace 5 of 5; the traces from 5 on were read past its end");
  const std::vector<std::string> lines = TraceLines(host);
  ASSERT_EQ(lines.size(), cases.size());
  for (std::size_t t = 0; t + 1 < cases.size(); ++t) {
    EXPECT_EQ(lines[t], ExpectedLine(static_cast<std::int32_t>(t + 1), cases[t].texts, host.selection)) << t + 1;
  }
  const Texts zeros = {"0", "2020", "0", "0", "0", "0", "SU1 or SU6", "11", "0  dB", "None", "No Noise Elimination",
                       "None (raw data)", "1", "0", "Unused", "0", "Status Unknown", "0", "0", "0", "0", "0", "No",
                       "No", "No", "No", "No", "No", "No", "No"};
  EXPECT_EQ(lines.back(), ExpectedLine(5, zeros, host.selection));
}

TEST(TraceTable, NoTracesGivesTheHeadingAlone) {
  const Composed record = ComposeCases({}, 2, 2);
  FakeHost host;
  host.record = record.bytes;
  host.selection[1] = 1;
  ASSERT_EQ(host.Run(), kReportWritten);
  const std::vector<std::string> lines = host.ReportLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "Seq   Line      ");
  EXPECT_EQ(lines.back(), "---   ----------");
  EXPECT_EQ(host.ranges, (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 0}}));
  EXPECT_TRUE(host.positions.empty());
}

// Opens the record from disk (the real file source) and keeps the report in
// memory.
class DiskRecordMemoryReport final : public FileAccess {
 public:
  std::unique_ptr<ByteSource> OpenRecord(const std::string& path) override { return FileByteSource::Open(path); }
  std::unique_ptr<ByteSink> CreateReport(const std::string&, const std::string&) override {
    return std::make_unique<Sink>(report);
  }
  std::string report;

 private:
  class Sink final : public ByteSink {
   public:
    explicit Sink(std::string& out) : out_(out) {}
    bool Write(const char* data, std::size_t size) override {
      out_.append(data, size);
      return true;
    }
    bool Close() override { return true; }

   private:
    std::string& out_;
  };
};

TEST(TraceTable, ASparseRecordBeyondFourGibibytesIsListedTraceByTrace) {
  // The largest counts the five-digit fields hold: 99999 traces of 99999
  // samples, two extensions, about 40 GB.
  constexpr std::uint32_t kAux = 9, kLines = 10, kChannels = 9999, kSamples = 99999;
  const RecordSpec spec = ShotRecord(ShotShape{kAux, kLines, kChannels, kSamples});
  const RecordLayout layout = LayoutOf(spec);
  ASSERT_EQ(layout.traceCount, 99999u);
  ASSERT_GT(layout.totalSize, std::uint64_t{40'000'000'000});

  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("segd_trace_run_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path path = folder / "large.segd";
  ASSERT_TRUE(WriteRecordFile(spec, path, FileMode::kSparse));
  ASSERT_EQ(std::filesystem::file_size(path), layout.totalSize);

  FakeHost host;
  host.selection[1] = host.selection[2] = host.selection[7] = 1;
  DiskRecordMemoryReport files;
  TraceFields fields;
  ScanContext context{host, host.selection, fields, host, host, host, files, "/tmp", '/'};
  const std::int32_t result = DecodeFile(path.string(), context);
  std::filesystem::remove_all(folder);
  ASSERT_EQ(result, kReportWritten);

  // Lines in order: the auxiliary traces, then each receiver line's channels.
  std::vector<std::string> lines;
  std::size_t start = files.report.find("Seq   Line      Point     Chan Set  \r\n");
  ASSERT_NE(start, std::string::npos);
  start = files.report.find("\r\n", files.report.find("\r\n", start) + 2) + 2;
  std::size_t mismatches = 0;
  std::int32_t number = 0;
  auto expect = [&](std::uint64_t line, std::uint64_t point, std::uint64_t set) {
    ++number;
    std::string cells = Cell(std::to_string(number), 6) + Cell(std::to_string(line), 10) + Cell(std::to_string(point), 10) +
                        Cell((set < 10 ? "0" : "") + std::to_string(set), 10) + "\r\n";
    if (files.report.compare(start, cells.size(), cells) != 0 && ++mismatches <= 3) {
      ADD_FAILURE() << "trace " << number << ": expected " << cells << " got "
                    << files.report.substr(start, cells.size());
    }
    start += cells.size();
  };
  for (std::uint32_t a = 0; a < kAux; ++a) expect(0, 0, 1);
  for (std::uint32_t l = 0; l < kLines; ++l) {
    for (std::uint32_t c = 0; c < kChannels; ++c) expect(2010 + 10 * l, 5001 + c, 2 + l);
  }
  EXPECT_EQ(mismatches, 0u);
  EXPECT_EQ(start, files.report.size());
  EXPECT_EQ(host.ranges, (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 99999}}));
  ASSERT_EQ(host.positions.size(), 99999u);
  EXPECT_EQ(host.positions.back(), 99999);
}

}  // namespace
}  // namespace segd
