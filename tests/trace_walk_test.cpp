// The trace walk: where each trace lies for every extension count, what it
// reads (the header bytes, in one read, never the samples), what it leaves in
// the column texts, and records that end early or lie beyond 4 GiB.
#include "output/report/trace_texts.h"
#include "scan/makes/sn388/trace_walk.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "scan/io/byte_source.h"

namespace segd {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The header blocks of one trace, built from a few distinct values so that a
// trace read from the wrong place shows at once.
struct TraceValues {
  std::uint8_t channelSet = 1;
  std::uint32_t line = 0;
  std::uint32_t point = 0;
  std::uint8_t edit = 0;
  double easting = 0;
};

void PutBigEndian(Bytes& out, std::size_t at, std::uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) {
    out.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(value & 0xFF);
    value >>= 8;
  }
}

// The 20 + 32 (+ 32 when `withSecond`) header bytes of a trace.
Bytes TraceHeaderBytes(const TraceValues& v, bool withSecond) {
  Bytes b(withSecond ? 84 : 52, 0);
  b[3] = v.channelSet;            // trace header byte 4
  b[11] = v.edit;                 // trace header byte 12
  PutBigEndian(b, 20, v.line, 3);   // extension 1 bytes 1-3
  PutBigEndian(b, 23, v.point, 3);  // extension 1 bytes 4-6
  b[20 + 15] = 0x01;              // extension 1 byte 16: seismic channel
  if (withSecond) PutBigEndian(b, 52, std::bit_cast<std::uint64_t>(v.easting), 8);
  return b;
}

// A record: `lead` bytes of headers (0xEE), then the traces, each followed by
// its samples filled with 0xAB so that reading them would show.
Bytes Record(std::size_t lead, const std::vector<TraceValues>& traces, int samples, int extensions) {
  Bytes record(lead, 0xEE);
  for (const TraceValues& v : traces) {
    const Bytes headers = TraceHeaderBytes(v, extensions >= 2);
    record.insert(record.end(), headers.begin(), headers.end());
    // Extension blocks beyond the second, when the recorder writes them.
    for (int k = 3; k <= extensions; ++k) record.insert(record.end(), 32, 0xCD);
    record.insert(record.end(), static_cast<std::size_t>(4 * samples), 0xAB);
  }
  return record;
}

// Logs every read a walk makes.
class LoggingSource final : public ByteSource {
 public:
  explicit LoggingSource(ByteSource& inner) : inner_(inner) {}
  void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
    reads.emplace_back(offset, out.size());
    inner_.ReadAt(offset, out);
  }
  std::uint64_t Size() const override { return inner_.Size(); }
  std::vector<std::pair<std::uint64_t, std::size_t>> reads;

 private:
  ByteSource& inner_;
};

std::string Nuls(std::size_t n) { return std::string(n, '\0'); }

TEST(ReadTrace, TraceLengthFollowsTheExtensionCountAndSampleCount) {
  struct Case {
    int extensions;
    int samples;
    std::int64_t traceBytes;
  };
  const Case cases[] = {
      {2, 1000, 4084}, {1, 1000, 4052}, {0, 1000, 4052}, {3, 1000, 4052}, {-1, 1000, 4052},
      {2, 0, 84},      {1, 0, 52},      {0, 0, 52},      {2, 1, 88},      {4, 250, 1052},
  };
  for (const Case& c : cases) {
    const Bytes zeros(4 * 4200, 0);
    MemoryByteSource memory(zeros);
    LoggingSource source(memory);
    TraceFields fields;
    std::int64_t position = 97;
    for (int trace = 0; trace < 3; ++trace) {
      ReadTrace(source, c.samples, position, c.extensions, fields);
      EXPECT_EQ(position, 97 + (trace + 1) * c.traceBytes) << "K " << c.extensions << " S " << c.samples;
    }
    // One read per trace, of the header blocks only, at the trace's start.
    ASSERT_EQ(source.reads.size(), 3u);
    for (std::size_t trace = 0; trace < 3; ++trace) {
      EXPECT_EQ(source.reads[trace].first, 96 + trace * static_cast<std::uint64_t>(c.traceBytes));
      EXPECT_EQ(source.reads[trace].second, c.extensions == 2 ? 84u : 52u);
    }
  }
}

TEST(ReadTrace, SecondTraceIsReadFromWhereTheFirstEnds) {
  for (int extensions : {0, 1, 2, 3}) {
    const Bytes bytes = Record(1152, {{0x01, 1001, 2001, 0, 512345.678}, {0x1A, 1002, 2002, 2, 512370.5}}, 1000, extensions);
    MemoryByteSource source(bytes);
    TraceFields fields;
    std::int64_t position = 1153;
    ReadTrace(source, 1000, position, extensions, fields);
    EXPECT_EQ(fields.Text[1], "1001  ");
    EXPECT_EQ(fields.Text[7], "01");
    // Three extensions are walked as one: the next trace is looked for 64
    // bytes early, among the first trace's samples (0xAB).
    ReadTrace(source, 1000, position, extensions, fields);
    if (extensions == 3) {
      EXPECT_EQ(fields.Text[7], "AB") << "K 3";
      continue;
    }
    EXPECT_EQ(fields.Text[1], "1002  ") << "K " << extensions;
    EXPECT_EQ(fields.Text[2], "2002  ");
    EXPECT_EQ(fields.Text[7], "1A");
    EXPECT_EQ(fields.Text[16], "Muted or dead prior to acquisition      ");
    EXPECT_EQ(fields.Text[4], extensions == 2 ? "512370.5  " : Nuls(10));
  }
}

TEST(ReadTrace, WithoutASecondExtensionTheCoordinatesStayNul) {
  const Bytes bytes = Record(96, {{}, {}}, 10, 1);
  MemoryByteSource source(bytes);
  TraceFields fields;
  std::int64_t position = 97;
  for (int trace = 0; trace < 2; ++trace) {
    ReadTrace(source, 10, position, 1, fields);
    EXPECT_EQ(fields.Text[3], Nuls(10));
    EXPECT_EQ(fields.Text[4], Nuls(10));
    EXPECT_EQ(fields.Text[5], Nuls(6));
  }
}

TEST(ReadTrace, NothingIsCarriedFromOneTraceToTheNext) {
  // A trace with a second extension, then the same walk state asked for a
  // trace without one: the coordinates go back to NUL.
  const Bytes bytes = Record(96, {{0x01, 1, 1, 0, 42.0}}, 0, 2);
  MemoryByteSource source(bytes);
  TraceFields fields;
  std::int64_t position = 97;
  ReadTrace(source, 0, position, 2, fields);
  EXPECT_EQ(fields.Text[4], "42        ");
  position = 97;
  ReadTrace(source, 0, position, 1, fields);
  EXPECT_EQ(fields.Text[4], Nuls(10));
}

TEST(ReadTrace, EntriesThirtyToThirtyFiveAreLeftAlone) {
  const Bytes bytes = Record(96, {{}}, 0, 2);
  MemoryByteSource source(bytes);
  TraceFields fields;
  for (std::size_t i = 30; i < 36; ++i) fields.Text[i] = "kept " + std::to_string(i);
  std::int64_t position = 97;
  ReadTrace(source, 0, position, 2, fields);
  for (std::size_t i = 30; i < 36; ++i) EXPECT_EQ(fields.Text[i], "kept " + std::to_string(i));
}

TEST(ReadTrace, EveryColumnTakesItsOwnFieldAtFullWidth) {
  Bytes b(84, 0);
  b[3] = 0x07;                          // channel set
  PutBigEndian(b, 6, 4321, 3);          // timing word
  b[11] = 3;                            // trace edit
  PutBigEndian(b, 12, 98765, 3);        // time break window
  PutBigEndian(b, 20, 1111, 3);         // line
  PutBigEndian(b, 23, 2222, 3);         // point
  PutBigEndian(b, 30, 333333, 3);       // SU number
  b[33] = 5;                            // filter
  b[34] = 24;                           // gain
  b[35] = 0x13;                         // SAR, uphole
  b[36] = 0x11;                         // historic clipping
  b[37] = 0x42;                         // process type
  b[38] = 0xA5;                         // flags 1010 0101
  b[39] = 44;                           // stacks low
  b[40] = 55;                           // stacks noisy
  PutBigEndian(b, 41, 6666, 2);         // resistance
  PutBigEndian(b, 43, 7777, 2);         // SIM
  b[45] = 88;                           // receiver type
  PutBigEndian(b, 46, std::bit_cast<std::uint32_t>(0.5f), 4);  // conversion factor
  PutBigEndian(b, 52, std::bit_cast<std::uint64_t>(512345.678), 8);
  PutBigEndian(b, 60, std::bit_cast<std::uint64_t>(6543210.5), 8);
  PutBigEndian(b, 68, std::bit_cast<std::uint32_t>(123.25f), 4);
  MemoryByteSource source(b);
  TraceFields fields;
  std::int64_t position = 1;
  ReadTrace(source, 0, position, 2, fields);

  const std::array<std::string, 30> expected = {
      "333333", "1111  ", "2222  ", "6543210.5 ", "512345.678", "123.25",
      "SAR4 or SAR6", "07", "24 dB ", "SAR Filter          ", "Historic/Clipping   ",
      "Positive time correlation after stack   ", ".5             ", "88                  ",
      "Uphole                  ", "4321", "Edited by acquisition system            ", "98765 ",
      "44", "55", "6666", "7777 ", "Yes", "No ", "Yes", "No ", "No ", "Yes", "No ", "Yes",
  };
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(fields.Text[i], expected[i]) << "entry " << i;
}

TEST(ReadTrace, ARecordThatEndsInsideTheLastTraceReadsZerosForTheMissingBytes) {
  Bytes bytes = Record(96, {{0x02, 1001, 2001, 0, 0}, {0x03, 0x010203, 0x040506, 3, 0}}, 4, 1);
  // Cut the second trace after the first two bytes of its receiver line.
  bytes.resize(96 + 52 + 16 + 20 + 2);
  MemoryByteSource source(bytes);
  TraceFields fields;
  std::int64_t position = 97;
  ReadTrace(source, 4, position, 1, fields);
  ReadTrace(source, 4, position, 1, fields);
  EXPECT_EQ(position, 97 + 2 * 68);
  EXPECT_EQ(fields.Text[7], "03");
  EXPECT_EQ(fields.Text[16], "Edited by acquisition system            ");
  EXPECT_EQ(fields.Text[1], "66048 ");  // 01 02 then a zero byte
  EXPECT_EQ(fields.Text[2], "0     ");
  EXPECT_EQ(fields.Text[14], "Unused                  ");

  // A trace wholly beyond the end decodes from zero bytes.
  ReadTrace(source, 4, position, 2, fields);
  const std::array<std::string, 30> zeros = {
      "0     ", "0     ", "0     ", "0         ", "0         ", "0     ", "SU1 or SU6  ", "00", "0  dB ",
      "None                ", "No Noise Elimination", "None (raw data)                         ",
      "1              ", "0                   ", "Unused                  ", "0   ",
      "No edit applied                         ", "0     ", "0 ", "0 ", "0   ", "0    ",
      "No ", "No ", "No ", "No ", "No ", "No ", "No ", "No ",
  };
  for (std::size_t i = 0; i < zeros.size(); ++i) EXPECT_EQ(fields.Text[i], zeros[i]) << "entry " << i;
}

// A record of any size that holds a few header blocks at given offsets and
// zeros everywhere else.
class ScatteredSource final : public ByteSource {
 public:
  explicit ScatteredSource(std::uint64_t size) : size_(size) {}
  void Put(std::uint64_t offset, const Bytes& bytes) { chunks_[offset] = bytes; }
  void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    for (const auto& [at, bytes] : chunks_) {
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint64_t o = at + i;
        if (o >= offset && o < offset + out.size() && o < size_) out[o - offset] = bytes[i];
      }
    }
  }
  std::uint64_t Size() const override { return size_; }

 private:
  std::uint64_t size_;
  std::map<std::uint64_t, Bytes> chunks_;
};

// The largest counts the five-digit fields of the extended header can give.
constexpr std::int32_t kMaxTraces = 99999;
constexpr std::int32_t kMaxSamples = 99999;
constexpr std::int64_t kMaxTraceBytes = 84 + 4 * static_cast<std::int64_t>(kMaxSamples);  // 400080
constexpr std::uint64_t kFirstTrace = 1152;

TEST(ReadTrace, PositionsBeyondFourGibibytesAreExact) {
  const std::uint64_t size = kFirstTrace + static_cast<std::uint64_t>(kMaxTraces) * kMaxTraceBytes;
  ScatteredSource source(size);
  // Traces whose start lies just past 2 GiB, just past 4 GiB, and the last.
  const std::int64_t past2GiB = ((std::int64_t{1} << 31) - static_cast<std::int64_t>(kFirstTrace)) / kMaxTraceBytes + 1;
  const std::int64_t past4GiB = ((std::int64_t{1} << 32) - static_cast<std::int64_t>(kFirstTrace)) / kMaxTraceBytes + 1;
  const std::int64_t marked[] = {0, past2GiB, past4GiB, kMaxTraces - 1};
  for (std::int64_t index : marked) {
    source.Put(kFirstTrace + static_cast<std::uint64_t>(index * kMaxTraceBytes),
               TraceHeaderBytes({0x01, static_cast<std::uint32_t>(index), 7, 0, 0}, true));
  }
  TraceFields fields;
  std::int64_t position = static_cast<std::int64_t>(kFirstTrace) + 1;
  std::size_t seen = 0;
  for (std::int64_t index = 0; index < kMaxTraces; ++index) {
    ReadTrace(source, kMaxSamples, position, 2, fields);
    if (fields.Text[2] != "7     ") continue;  // an unmarked trace reads as zeros
    ASSERT_LT(seen, std::size(marked));
    EXPECT_EQ(index, marked[seen]);
    EXPECT_EQ(fields.Text[1].substr(0, std::to_string(index).size()), std::to_string(index));
    ++seen;
  }
  EXPECT_EQ(seen, std::size(marked));
  EXPECT_EQ(position, static_cast<std::int64_t>(size) + 1);
  EXPECT_GT(size, std::uint64_t{40'000'000'000});
}

TEST(ReadTrace, ASparseRecordFileLargerThanFourGibibytesIsWalkedWithCorrectPositions) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("segd_trace_walk_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                                        std::to_string(reinterpret_cast<std::uintptr_t>(&folder)));
  std::filesystem::create_directories(folder);
  const std::filesystem::path path = folder / "sparse.segd";
  const std::uint64_t size = kFirstTrace + static_cast<std::uint64_t>(kMaxTraces) * kMaxTraceBytes;
  const std::int64_t past4GiB = ((std::int64_t{1} << 32) - static_cast<std::int64_t>(kFirstTrace)) / kMaxTraceBytes + 1;
  const std::int64_t marked[] = {0, past4GiB - 1, past4GiB, kMaxTraces - 1};
  {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    for (std::size_t i = 0; i < std::size(marked); ++i) {
      const std::int64_t index = marked[i];
      const Bytes headers = TraceHeaderBytes({static_cast<std::uint8_t>(0x10 + i), static_cast<std::uint32_t>(index), 7, 0, 0}, true);
      ASSERT_EQ(fseeko(file, static_cast<off_t>(kFirstTrace + static_cast<std::uint64_t>(index * kMaxTraceBytes)), SEEK_SET), 0);
      ASSERT_EQ(std::fwrite(headers.data(), 1, headers.size(), file), headers.size());
    }
    std::fclose(file);
    std::filesystem::resize_file(path, size);
  }
  {
    auto source = FileByteSource::Open(path.string());
    ASSERT_NE(source, nullptr);
    ASSERT_EQ(source->Size(), size);
    TraceFields fields;
    std::int64_t position = static_cast<std::int64_t>(kFirstTrace) + 1;
    std::vector<std::pair<std::int64_t, std::string>> found;
    for (std::int64_t index = 0; index < kMaxTraces; ++index) {
      ReadTrace(*source, kMaxSamples, position, 2, fields);
      if (fields.Text[2] == "7     ") found.emplace_back(index, fields.Text[7] + " " + fields.Text[1]);
    }
    EXPECT_EQ(position, static_cast<std::int64_t>(size) + 1);
    ASSERT_EQ(found.size(), 4u);
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].first, marked[i]);
      std::string line = std::to_string(marked[i]);
      line.resize(6, ' ');
      EXPECT_EQ(found[i].second, std::string("1") + static_cast<char>('0' + i) + " " + line);
    }
  }
  std::filesystem::remove_all(folder);
}

TEST(ReadTrace, AbsurdCountsNeitherOverflowNorReadBeforeTheRecord) {
  const Bytes bytes = Record(96, {{0x05, 1, 1, 0, 0}}, 0, 1);
  MemoryByteSource memory(bytes);
  LoggingSource source(memory);
  TraceFields fields;
  std::int64_t position = 97;
  for (int i = 0; i < 4; ++i) ReadTrace(source, INT32_MAX, position, 1, fields);
  EXPECT_EQ(position, 97 + 4 * (52 + 4 * static_cast<std::int64_t>(INT32_MAX)));
  position = 97;
  ReadTrace(source, INT32_MIN, position, 1, fields);
  EXPECT_LT(position, 0);
  const std::size_t readsBefore = source.reads.size();
  ReadTrace(source, 0, position, 1, fields);  // before the first byte: zeros, no read
  EXPECT_EQ(source.reads.size(), readsBefore);
  EXPECT_EQ(fields.Text[7], "00");
}

}  // namespace
}  // namespace segd
