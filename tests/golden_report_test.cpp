// Whole reports compared byte for byte with the files in tests/golden/: the
// sample record under four selections, and a record in which every header
// byte differs from its neighbours, so that a field read from the wrong
// place, a label or column moved or a width changed shows at once.
//
// The same record's JSON is held too: every header field's data name, raw
// text and value, which readers of the data outputs depend on.
//
// To regenerate the files on purpose (after a change of the report that is
// meant), run the test with SEGD_UPDATE_GOLDEN=1 in the environment:
//   SEGD_UPDATE_GOLDEN=1 build/tests/segd_tests --gtest_filter='GoldenReport*'
// and review the difference with git diff before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/options.h"
#include "output/json_writer.h"
#include "scan/io/byte_source.h"
#include "scan/model/record_scan.h"
#include "support/fake_host.h"
#include "tools/record_writer.h"
#include "tools/sample_shot.h"

namespace segd {
namespace {

// A byte of header block `seed` at 1-based position `p`: neighbours differ,
// and so do the same places of different blocks.
std::uint8_t Pattern(int seed, int p) { return static_cast<std::uint8_t>((seed * 53 + p * 11 + 7) & 0xFF); }

template <std::size_t N>
std::array<std::uint8_t, N> PatternBlock(int seed) {
  std::array<std::uint8_t, N> block{};
  for (std::size_t i = 0; i < N; ++i) block[i] = Pattern(seed, static_cast<int>(i) + 1);
  return block;
}

void PutU32(writer::Bytes& bytes, std::size_t first, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[first - 1 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// An SN388 record of three traces whose general header fields all hold
// distinct values, and whose block 2 and 3, channel set header, extended
// header (but for the counts the walk needs), external header and trace
// header blocks are distinct byte patterns.
writer::Bytes DistinctRecord() {
  writer::ShotShape shape;
  shape.auxTraces = 1;
  shape.receiverLines = 1;
  shape.channelsPerLine = 2;
  shape.samplesPerTrace = 10;
  writer::RecordSpec spec = writer::ShotRecord(shape);
  spec.fileNumber = 4821;
  auto& g1 = spec.general1;
  g1.generalConstants = 0;  // the SN388 model, whose extended header is decoded
  g1.year = 7;
  g1.julianDay = 123;
  g1.hour = 14;
  g1.minute = 25;
  g1.second = 36;
  g1.manufacturerSerial = 4321;
  g1.bytesPerScan = 654321;
  g1.polarity = 3;
  g1.unused1 = 0x5A9;
  g1.scanTypes = 1;
  g1.skewBlocks = 0;
  spec.general2.raw = PatternBlock<32>(2);
  spec.general3.raw = PatternBlock<32>(3);
  int seed = 10;
  for (writer::ChannelSetSpec& set : spec.channelSets) {
    writer::Block32 raw = PatternBlock<32>(seed++);
    raw[0] = 0x01;  // listed
    set.header.raw = raw;
    for (writer::TraceSpec& trace : set.traces) {
      writer::Block20 header{};
      for (std::size_t i = 0; i < header.size(); ++i) header[i] = Pattern(seed, static_cast<int>(i) + 1);
      trace.header.raw = header;
      trace.extension1.raw = PatternBlock<32>(seed + 1);
      trace.extension2.raw = PatternBlock<32>(seed + 2);
      seed += 3;
    }
  }
  writer::Bytes extended(1024);
  for (std::size_t i = 0; i < extended.size(); ++i) extended[i] = Pattern(7, static_cast<int>(i) + 1);
  PutU32(extended, 9, 3);     // total traces
  PutU32(extended, 49, 10);   // samples per trace
  PutU32(extended, 737, 2);   // trace header extensions
  spec.rawExtendedHeader = extended;
  spec.externalHeader.resize(256);
  for (std::size_t i = 0; i < 256; ++i) spec.externalHeader[i] = static_cast<std::uint8_t>(i);
  return writer::Compose(spec);
}

struct GoldenCase {
  const char* file;
  const char* selection;
  bool distinct;
};

constexpr GoldenCase kCases[] = {
    {"sample_all.txt", "all", false},
    {"sample_none.txt", "none", false},
    {"sample_mixed_a.txt", "0,3,5,7,12,15,24,29,30,32", false},
    {"sample_mixed_b.txt", "1-2,4,6,8-11,13-14,16-23,25-28,31,33", false},
    {"distinct_all.txt", "all", true},
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(GoldenReport, EveryReportIsByteForByteItsGoldenFile) {
  const std::filesystem::path folder = std::filesystem::path(SEGD_SOURCE_DIR) / "tests" / "golden";
  const bool update = std::getenv("SEGD_UPDATE_GOLDEN") != nullptr;
  const writer::Bytes sample = writer::Compose(writer::SampleShot());
  const writer::Bytes distinct = DistinctRecord();
  for (const GoldenCase& c : kCases) {
    SCOPED_TRACE(c.file);
    testing::FakeHost host;
    host.record = c.distinct ? distinct : sample;
    std::string error;
    const auto selection = cli::ParseSelection(c.selection, error);
    ASSERT_TRUE(selection) << error;
    host.selection = *selection;
    ASSERT_EQ(host.Run("C:\\Data\\LINE1.SEGD"), kReportWritten);
    const std::string report = host.Report();
    if (update) {
      std::ofstream(folder / c.file, std::ios::binary) << report;
      continue;
    }
    const std::string golden = ReadFile(folder / c.file);
    ASSERT_FALSE(golden.empty()) << "missing golden file";
    EXPECT_TRUE(report == golden) << "the report differs from tests/golden/" << c.file;
  }
}

TEST(GoldenReport, TheDistinctRecordsJsonIsItsGoldenFile) {
  const std::filesystem::path file = std::filesystem::path(SEGD_SOURCE_DIR) / "tests" / "golden" / "distinct.json";
  const writer::Bytes distinct = DistinctRecord();
  MemoryByteSource source(distinct);
  MemoryByteSink sink;
  output::JsonWriter json(sink);
  model::ScanRecord(source, "distinct.segd", json, {});  // its notices are in the file
  ASSERT_TRUE(json.Finish());
  if (std::getenv("SEGD_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(file, std::ios::binary) << sink.Text();
    return;
  }
  EXPECT_TRUE(sink.Text() == ReadFile(file)) << "the JSON differs from tests/golden/distinct.json";
}

}  // namespace
}  // namespace segd
