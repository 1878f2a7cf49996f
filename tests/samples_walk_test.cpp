// The samples walk over whole records: written records of every format and
// revision read back exactly with their rows; a cut record gives NaN past
// the end; scaling, start times and leap seconds; the public records'
// samples against their raw bytes, decoded here on their own; an SN388
// record; multiplexed and unknown formats give their notice.
#include <array>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "scan/samples/trace_samples.h"
#include "tools/record_writer.h"
#include "tools/sample_shot.h"
#include "tools/segd_record.h"

namespace segd::samples {
namespace {

namespace w = writer::general;

struct Kept {
  std::vector<float> samples;
  std::map<std::string, std::string> row;
  std::int64_t inFile = 0;
  bool cut = false;
  std::string start;
  TimeSource source = TimeSource::kNone;
  double intervalUs = 0, scaleFactor = 0;
};

struct Keep : TraceSampleConsumer {
  std::vector<std::string> columns;
  std::string units;
  std::vector<Kept> traces;
  void Begin(const SampleRecord& r) override {
    for (const model::Column& c : r.headers.traceColumns) columns.push_back(c.name);
    units = r.units;
  }
  void Trace(const TraceSamples& t) override {
    Kept& k = traces.emplace_back();
    k.samples.assign(t.samples.begin(), t.samples.end());
    for (std::size_t i = 0; i < t.row.values.size() && i < columns.size(); ++i) k.row[columns[i]] = t.row.values[i].text;
    k.inFile = t.samplesInFile;
    k.cut = t.cut;
    k.start = StartTimeText(t.startUnixMicros);
    k.source = t.timeSource;
    k.intervalUs = t.set.intervalUs;
    k.scaleFactor = t.set.scaleFactor;
  }
};

model::ScanResult Walk(const std::vector<std::uint8_t>& bytes, Keep& keep, const SampleOptions& options = {}) {
  MemoryByteSource source(bytes);
  return WalkTraceSamples(source, "record", keep, options);
}

// A value every format holds exactly: an integer in -15..15.
double ValueAt(std::uint64_t trace, std::size_t i) { return static_cast<double>((trace * 7 + i) % 31) - 15; }

w::GeneralRecord Written(std::uint32_t code, w::Revision revision, std::uint32_t traces = 6, std::uint32_t samples = 7) {
  w::GeneralRecord r = w::PresetRecord(w::Make::kOther, revision, code, traces, samples);
  r.sampleValues = [](const w::TracePlace& p, std::span<double> values) {
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = ValueAt(p.index, i);
  };
  return r;
}

TEST(SamplesWalk, EveryFormatAndRevisionReadsBackWithItsRows) {
  for (std::uint32_t code : {8015, 8022, 8024, 8036, 8038, 8042, 8044, 8048, 8058, 8080, 9036, 9038, 9058, 9080}) {
    for (const w::Revision revision : {w::Revision{1, 0}, w::Revision{2, 1}, w::Revision{3, 0}}) {
      SCOPED_TRACE(std::to_string(code) + " rev " + std::to_string(revision.major));
      const w::GeneralRecord r = Written(code, revision);
      Keep keep;
      const model::ScanResult result = Walk(w::ComposeGeneral(r), keep);
      EXPECT_EQ(result.status, model::ScanStatus::Ok);
      ASSERT_EQ(keep.traces.size(), 6u);
      std::uint64_t index = 0;
      w::ForEachTrace(r, [&](const w::TracePlace& p) {
        const Kept& t = keep.traces[index];
        EXPECT_EQ(t.row.at("trace_number"), std::to_string(p.channel));
        EXPECT_EQ(t.row.at("channel_set"), std::to_string(p.channelSet));
        ASSERT_EQ(t.samples.size(), p.samples);
        for (std::size_t i = 0; i < t.samples.size(); ++i) EXPECT_EQ(t.samples[i], ValueAt(index, i)) << i;
        EXPECT_FALSE(t.cut);
        EXPECT_EQ(t.intervalUs, r.baseScanInterval * 1000.0 / 16);
        EXPECT_FLOAT_EQ(t.scaleFactor, std::exp2(-1036.0 / 1024));  // every set's MP (rev 3: 2^MP)
        ++index;
      });
    }
  }
}

TEST(SamplesWalk, ACutTraceHasNaNPastTheEnd) {
  w::GeneralRecord r = Written(8024, {2, 1}, 4, 100);
  r.cutAt = w::LayoutOfGeneral(r).tracesEnd - 60;  // 30 samples short
  Keep keep;
  const model::ScanResult result = Walk(w::ComposeGeneral(r), keep);
  EXPECT_EQ(result.status, model::ScanStatus::Findings);
  EXPECT_FALSE(result.integrity.problems.empty());
  ASSERT_EQ(keep.traces.size(), 4u);
  EXPECT_FALSE(keep.traces[2].cut);
  const Kept& last = keep.traces[3];
  EXPECT_TRUE(last.cut);
  EXPECT_EQ(last.inFile, 70);
  ASSERT_EQ(last.samples.size(), 100u);
  EXPECT_EQ(last.samples[69], ValueAt(3, 69));
  for (std::size_t i = 70; i < 100; ++i) EXPECT_TRUE(std::isnan(last.samples[i])) << i;
}

TEST(SamplesWalk, ScaledSamplesAreMillivoltsAndOneTraceCanBeRead) {
  w::GeneralRecord r = Written(8036, {2, 1});
  r.scanTypes[0].sets[0].descale = 0x840C;  // MP = -(4·256 + 12)/1024
  const auto bytes = w::ComposeGeneral(r);
  Keep keep;
  SampleOptions options;
  options.scaled = true;
  options.firstTrace = options.lastTrace = 2;
  Walk(bytes, keep, options);
  ASSERT_EQ(keep.traces.size(), 1u);
  EXPECT_EQ(keep.units, "mV");
  const double factor = std::exp2(-1036.0 / 1024.0);
  EXPECT_EQ(keep.traces[0].scaleFactor, factor);
  EXPECT_EQ(keep.traces[0].row.at("trace"), "2");
  for (std::size_t i = 0; i < keep.traces[0].samples.size(); ++i)
    EXPECT_EQ(keep.traces[0].samples[i], static_cast<float>(ValueAt(1, i) * factor));
}

TEST(SamplesWalk, StartTimesComeFromTheBestSourceTheRecordHas) {
  struct Case {
    w::Revision revision;
    std::uint32_t startTime;  // the channel set's, 2 ms units (rev 3: µs)
    std::string start;
    TimeSource source;
  };
  // Block 1 writes 2021 day 128 20:06:00; rev 3 block 3 the GPS time
  // 1304539578000000 µs, the same instant after 18 leap seconds.
  const Case cases[] = {
      {{2, 1}, 0, "2021-05-08T20:06:00.000000Z", TimeSource::kGeneralHeader},
      {{2, 1}, 5, "2021-05-08T20:06:00.010000Z", TimeSource::kGeneralHeader},
      {{3, 0}, 0, "2021-05-08T20:06:00.000000Z", TimeSource::kRev3TimeZero},
      {{3, 0}, 250, "2021-05-08T20:06:00.000250Z", TimeSource::kRev3TimeZero},
  };
  for (const Case& c : cases) {
    w::GeneralRecord r = Written(8058, c.revision, 1);
    r.scanTypes[0].sets[0].startTime = c.startTime;
    Keep keep;
    Walk(w::ComposeGeneral(r), keep);
    ASSERT_FALSE(keep.traces.empty());
    EXPECT_EQ(keep.traces[0].start, c.start);
    EXPECT_EQ(keep.traces[0].source, c.source);
  }
}

TEST(SamplesWalk, LeapSecondsBuiltInOrFromAFile) {
  const LeapSeconds& leap = LeapSeconds::BuiltIn();
  // 1160299817 s after the GPS epoch, less 17 leap seconds (2016).
  EXPECT_EQ(FormatUtc(leap.GpsToUnixMicros(1160299817000000)), "2016-10-12T09:30:00.000000Z");
  EXPECT_EQ(leap.GpsMinusUtcAt(*UnixSeconds(2017, 1, 1, 0, 0, 0)), 18);
  EXPECT_EQ(leap.GpsMinusUtcAt(*UnixSeconds(2016, 12, 31, 23, 59, 59)), 17);
  EXPECT_EQ(FormatUtc(leap.GpsToUnixMicros(0)), "1980-01-06T00:00:00.000000Z");
  // Days of the year across leap years and before 1970 (SEG-Y's 157-166).
  for (const auto& [year, month, day, yearDay] : {std::array{2016, 12, 31, 366}, std::array{2100, 3, 1, 60},
                                                  std::array{2000, 3, 1, 61}, std::array{1969, 12, 31, 365}}) {
    const CivilTime t = CivilOf(*UnixSeconds(year, month, day, 23, 59, 59) * 1000000 + 999999);
    EXPECT_EQ((std::array{int(t.year), t.month, t.day, t.yearDay, t.second, int(t.micros)}),
              (std::array{year, month, day, yearDay, 59, 999999}));
  }
  // A file that adds a leap second at 2016-07-01 (NTP 3676406400): one second earlier.
  const auto file = LeapSeconds::FromText("# test\n2272060800 10 # 1972\n3692217600 37\n3676406400 38\n");
  EXPECT_FALSE(file.has_value());  // out of time order
  const auto ordered = LeapSeconds::FromText("# test\n2272060800\t10\t# 1 Jan 1972\n3676406400\t37\n");
  ASSERT_TRUE(ordered.has_value());
  EXPECT_EQ(FormatUtc(ordered->GpsToUnixMicros(1160299817000000)), "2016-10-12T09:29:59.000000Z");
  std::string reason;
  EXPECT_FALSE(LeapSeconds::FromText("nothing here", &reason).has_value());
  EXPECT_FALSE(reason.empty());
}

std::vector<std::uint8_t> ReadPublic(const std::string& name) {
  std::ifstream in(std::filesystem::path(SEGD_SAMPLES_DIR) / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The public records (8058): every trace's samples as the raw big-endian
// singles at the place their layout gives (header bytes, then traces of
// 20 + 32 × extensions + 4 × samples bytes), decoded here.
TEST(SamplesWalk, PublicRecordsMatchTheirRawBytes) {
  struct Case {
    std::string file;
    std::size_t traces, samples, headerBytes, extensions;
    std::string firstStart;
    TimeSource source;
    std::size_t nanTrace;  // 0: none
  };
  const Case cases[] = {
      {"su_sercel.segd", 86, 2001, 5728, 7, "", TimeSource::kGeneralHeader, 2},
      {"ph5_smartsolo_453005513.2.segd", 359, 251, 2656, 7, "2021-05-08T20:06:00.000000Z", TimeSource::kMakeGps, 0},
      {"ph5_fairfield_3ch.fcnt", 6, 15000, 288, 10, "", TimeSource::kMakeEpoch, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const auto bytes = ReadPublic(c.file);
    Keep keep;
    const model::ScanResult result = Walk(bytes, keep);
    EXPECT_TRUE(result.integrity.problems.empty());
    ASSERT_EQ(keep.traces.size(), c.traces);
    const std::size_t traceBytes = 20 + 32 * c.extensions + 4 * c.samples;
    std::size_t finite = 0;
    for (std::size_t k = 0; k < c.traces; ++k) {
      const Kept& t = keep.traces[k];
      ASSERT_EQ(t.samples.size(), c.samples);
      const std::uint8_t* raw = bytes.data() + c.headerBytes + k * traceBytes + 20 + 32 * c.extensions;
      for (std::size_t i = 0; i < c.samples; ++i, raw += 4) {
        const auto word = static_cast<std::uint32_t>(raw[0] << 24 | raw[1] << 16 | raw[2] << 8 | raw[3]);
        const float expected = std::bit_cast<float>(word);
        ASSERT_TRUE(std::isnan(expected) ? std::isnan(t.samples[i]) : t.samples[i] == expected) << k << " " << i;
        finite += std::isfinite(t.samples[i]);
      }
      EXPECT_EQ(t.source, c.source);
      if (k + 1 == c.nanTrace) {
        EXPECT_TRUE(std::all_of(t.samples.begin(), t.samples.end(), [](float v) { return std::isnan(v); }));
      }
    }
    EXPECT_EQ(finite, (c.traces - (c.nanTrace ? 1 : 0)) * c.samples);
    if (!c.firstStart.empty()) {
      EXPECT_EQ(keep.traces[0].start, c.firstStart);
    }
    EXPECT_FALSE(keep.traces[0].start.empty());
  }
}

TEST(SamplesWalk, Sn388RecordsReadThroughTheGeneralDecoder) {
  writer::RecordSpec spec = writer::SampleShot();
  spec.samplesPerTrace = 50;
  spec.channelSets[0].traces[0].samples = {1.5f, -2.25f, 1e-30f};
  Keep keep;
  const model::ScanResult result = Walk(writer::Compose(spec), keep);
  EXPECT_TRUE(result.integrity.problems.empty());
  ASSERT_EQ(keep.traces.size(), writer::LayoutOf(spec).traceCount);
  EXPECT_EQ(keep.traces[0].samples[0], 1.5f);
  EXPECT_EQ(keep.traces[0].samples[1], -2.25f);
  EXPECT_EQ(keep.traces[0].samples[2], 1e-30f);
  for (const Kept& t : keep.traces) {
    ASSERT_EQ(t.samples.size(), 50u);
    EXPECT_TRUE(std::all_of(t.samples.begin(), t.samples.end(), [](float v) { return std::isfinite(v); }));
  }
}

TEST(SamplesWalk, MultiplexedAndUnknownFormatsGiveANotice) {
  for (const auto& [digits, text] : {std::pair{std::array<std::uint8_t, 2>{0x00, 0x58}, "format 0058 is multiplexed"},
                                     std::pair{std::array<std::uint8_t, 2>{0x80, 0x59}, "format 8059 is not a sample format"}}) {
    auto bytes = w::ComposeGeneral(Written(8058, {2, 1}));
    bytes[2] = digits[0];
    bytes[3] = digits[1];
    Keep keep;
    const model::ScanResult result = Walk(bytes, keep);
    bool found = false;
    for (const model::Notice& n : result.notices) found = found || n.text.find(text) != std::string::npos;
    EXPECT_TRUE(found) << text;
    for (const Kept& t : keep.traces) EXPECT_TRUE(t.samples.empty());
  }
}

}  // namespace
}  // namespace segd::samples
