// The export writers read back by the field's own libraries: SEG-Y rev 1 by
// Debian's segyio (tests/support/segy_read.py), SEG-Y rev 2 by a small reader
// here with byte checks of its fields, miniSEED by libmseed's
// ms_readtracelist. Hand-built traces carry the awkward values: NaN, -0,
// denormals, infinities, the float extremes, decimals in coordinates, a
// start time with microseconds, auxiliary and dead traces.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <tuple>
#include <nlohmann/json.hpp>

#include "output/segy_writer.h"
#include "support/python_json.h"
#include "support/segy_rev2.h"
#ifdef SEGD_HAVE_MSEED
#include <libmseed.h>

#include "output/mseed_writer.h"
#endif

namespace segd {
namespace {

using nlohmann::json;
using output::ExportRecord;
using output::ExportTrace;

// 2016-10-12T09:30:00.123456Z, the worked example's time plus microseconds.
constexpr std::int64_t kStart = 1476264600LL * 1000000 + 123456;

struct Synthetic {
  ExportRecord record;
  std::vector<ExportTrace> traces;
  std::vector<std::vector<float>> samples;
};

// Channel type, dead, sensor type per trace: two auxiliary traces (time
// break, signature), four seismic, one of them dead.
struct TraceKind {
  int channelType;
  bool dead;
  int sensor;
};
constexpr TraceKind kKinds[] = {{2, false, 0}, {9, false, 0}, {1, false, 2}, {1, true, 2}, {1, false, 3}, {1, false, 4}};

Synthetic Make(std::int64_t samples = 1001, std::int64_t intervalUs = 500) {
  Synthetic s;
  s.record.path = "/field/line 7/00001234.segd";
  s.record.sizeBytes = 123456;
  s.record.revision = "2.1";
  s.record.manufacturer = "SmartSolo";
  s.record.formatCode = 8058;
  s.record.fileNumber = 1234;
  s.record.start = output::StartTime{kStart, output::TimeBasis::Utc, "SmartSolo GPS time break"};
  s.record.intervalUs = intervalUs;
  s.record.samplesPerTrace = samples;
  s.record.seismicTraces = 4;
  s.record.auxiliaryTraces = 2;
  s.record.toolVersion = "test";
  const float special[] = {std::numeric_limits<float>::quiet_NaN(), -0.0f, std::numeric_limits<float>::denorm_min(),
                           std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::min(), 1.5e-3f, -7.25f};
  for (std::size_t i = 0; i < std::size(kKinds); ++i) {
    std::vector<float> v(static_cast<std::size_t>(samples));
    for (std::size_t k = 0; k < v.size(); ++k) v[k] = std::sin(0.01f * float(k * (i + 1))) * 1000.0f;
    for (std::size_t k = 0; k < std::size(special) && k < v.size(); ++k) v[k + 1] = special[k];
    s.samples.push_back(std::move(v));
  }
  for (std::size_t i = 0; i < std::size(kKinds); ++i) {
    ExportTrace t;
    t.sequence = std::int64_t(i) + 1;
    t.fileNumber = 1234;
    t.channelSet = i < 2 ? 1 : 2;
    t.traceNumber = i < 2 ? std::int64_t(i) + 1 : std::int64_t(i) - 1;
    t.channelType = kKinds[i].channelType;
    t.dead = kKinds[i].dead;
    t.sensorType = kKinds[i].sensor;
    t.receiverLine = 7;
    if (i >= 2) t.receiverPoint = 1000 + double(i);  // auxiliary traces have none
    t.receiverX = 512345.67 + double(i);
    t.receiverY = 6543210.5;
    t.sourcePoint = 2001.5;
    t.delayMs = i < 2 ? 0 : 100;
    t.intervalUs = intervalUs;
    t.start = s.record.start;
    t.start->microseconds += t.delayMs * 1000;  // the first sample
    t.serial = "453005513";
    t.samples = s.samples[i];
    s.traces.push_back(t);
  }
  return s;
}

std::string Temp(const std::string& name) { return SEGD_BINARY_DIR "/export_writers_test_" + name; }

void Save(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string Segy(const Synthetic& s, output::SegyOptions options) {
  MemoryByteSink sink;
  output::SegyWriter writer(sink, options);
  std::string error;
  EXPECT_TRUE(writer.Begin(s.record, error)) << error;
  for (const ExportTrace& t : s.traces) writer.Trace(t);
  EXPECT_TRUE(writer.Finish());
  return sink.Text();
}

std::uint32_t Bits(float v) { return std::bit_cast<std::uint32_t>(v); }

json ReadWithSegyio(const std::string& path) { return segd::test::RunSupportScript("segy_read.py", path); }

// SEG-Y trace identification expected for each kind.
constexpr int kTraceIds[] = {4, 3, 1, 2, 1, 1};

TEST(ExportWriters, SegyRev1ReopensInSegyioWithEveryFieldAndSampleBitForBit) {
  for (const bool seismicOnly : {false, true}) {
    const Synthetic s = Make();
    const std::string path = Temp(seismicOnly ? "seismic.sgy" : "rev1.sgy");
    Save(path, Segy(s, {1, seismicOnly}));
    const json back = ReadWithSegyio(path);
    const std::size_t first = seismicOnly ? 2 : 0;
    ASSERT_EQ(back["tracecount"], s.traces.size() - first);
    EXPECT_EQ(back["samples"], 1001);
    EXPECT_EQ(back["interval"], 500);
    EXPECT_EQ(back["format"], 5);
    EXPECT_EQ(back["revision"], 0x0100);
    EXPECT_EQ(back["fixed"], 1);
    const std::string text = back["text"];
    EXPECT_EQ(text.substr(38 * 80, 14), "C39 SEG Y REV1");
    EXPECT_EQ(text.substr(39 * 80, 22), "C40 END TEXTUAL HEADER");
    EXPECT_NE(text.find("2016-10-12T09:30:00.123456Z"), std::string::npos) << text;
    EXPECT_NE(text.find("File number 1234"), std::string::npos);
    for (std::size_t i = first; i < s.traces.size(); ++i) {
      const json& t = back["traces"][i - first];
      SCOPED_TRACE(i);
      EXPECT_EQ(t["sequence"], i - first + 1);
      EXPECT_EQ(t["file_number"], 1234);
      EXPECT_EQ(t["trace_number"], s.traces[i].traceNumber);
      EXPECT_EQ(t["channel_set"], s.traces[i].channelSet);
      EXPECT_EQ(t["trace_id"], kTraceIds[i]);
      EXPECT_EQ(t["delay"], s.traces[i].delayMs);
      EXPECT_EQ(t["samples"], 1001);
      EXPECT_EQ(t["interval"], 500);
      EXPECT_EQ(t["year"], 2016);
      EXPECT_EQ(t["day"], 286);
      EXPECT_EQ(t["hour"], 9);
      EXPECT_EQ(t["minute"], 30);
      EXPECT_EQ(t["second"], 0);
      EXPECT_EQ(t["time_basis"], 4);
      EXPECT_EQ(t["coordinate_scalar"], -100);
      EXPECT_EQ(t["receiver_x"], std::llround((512345.67 + double(i)) * 100));
      EXPECT_EQ(t["receiver_y"], 654321050);
      EXPECT_EQ(t["receiver_line"], 7);
      EXPECT_EQ(t["receiver_point"], i < 2 ? 0 : 1000 + i);
      EXPECT_EQ(t["source_point"], 2002);
      const auto& data = t["data"];
      ASSERT_EQ(data.size(), s.samples[i].size());
      for (std::size_t k = 0; k < data.size(); ++k) ASSERT_EQ(data[k], Bits(s.samples[i][k])) << k;
    }
  }
}

// Revision 2 through the project's reader: up to 65,535 samples in the
// standard header alone, past it trace header extension 1 after each.
TEST(ExportWriters, SegyRev2HoldsLongTracesWithItsFieldsAndSamplesRoundTrip) {
  for (const std::int64_t samples : {40000, 70000}) {
    SCOPED_TRACE(samples);
    const Synthetic s = Make(samples, 250);
    std::string refusal;
    output::SegyWriter refusing(*std::make_unique<MemoryByteSink>(), {1, false});
    EXPECT_FALSE(refusing.Begin(s.record, refusal));
    EXPECT_NE(refusal.find("--segy-revision 2"), std::string::npos) << refusal;

    const std::string path = Temp("rev2.sgy");
    Save(path, Segy(s, {2, false}));
    const test::SegyRev2 f = test::ReadSegyRev2(path);
    const bool extended = samples > 65535;
    const std::uint64_t standard = extended ? 0 : std::uint64_t(samples);
    EXPECT_EQ(static_cast<unsigned char>(f.bytes[38 * 80]), static_cast<unsigned char>(output::ToEbcdic('C')));
    struct Field {
      std::size_t at;
      int width;
      std::uint64_t value;
    };
    const Field binary[] = {{3502, 1, 0}, {3503, 2, 1}, {3225, 2, 5}, {3221, 2, standard}, {3261, 4, 4},
                            {3265, 4, 2}, {3269, 4, std::uint64_t(samples)}, {3507, 4, extended ? 1u : 0u}};
    for (const Field& b : binary) EXPECT_EQ(f.File(b.at, b.width), b.value) << b.at;
    EXPECT_EQ(std::bit_cast<double>(f.File(3273, 8)), 250.0);
    ASSERT_EQ(f.traces.size(), s.traces.size());
    for (std::size_t i = 0; i < s.traces.size(); ++i) {
      const auto& t = f.traces[i];
      EXPECT_EQ(t.headers, extended ? 2u : 1u);
      EXPECT_EQ(f.Big(t.at, 115, 2), standard);
      EXPECT_EQ(f.Big(t.at, 29, 2), std::uint64_t(kTraceIds[i]));
      if (extended) {
        EXPECT_EQ(f.Big(t.at + 240, 9, 8), i + 1);
        EXPECT_EQ(f.Big(t.at + 240, 17, 8), 1234u);
        EXPECT_EQ(f.Big(t.at + 240, 137, 4), std::uint64_t(samples));
      }
      ASSERT_EQ(t.samples, std::uint64_t(samples));
      for (std::size_t k = 0; k < t.samples; ++k) ASSERT_EQ(f.SampleBits(i, k), Bits(s.samples[i][k])) << i << " " << k;
    }
  }
}

#ifdef SEGD_HAVE_MSEED
struct Mseed {
  std::string bytes, error;
};
Mseed WriteMseed(const Synthetic& s, const output::MseedOptions& options) {
  MemoryByteSink sink;
  output::MseedWriter writer(sink, options);
  Mseed out;
  for (const ExportTrace& t : s.traces) {
    if (!writer.Trace(t, out.error)) return out;
  }
  EXPECT_TRUE(writer.Finish());
  out.bytes = sink.Text();
  return out;
}

TEST(ExportWriters, MiniseedReadsBackInLibmseedOneSegmentPerTraceExactToTheMicrosecond) {
  struct Case {
    int recordLength;
    bool steim2;
    std::string station;
    std::vector<std::string> stations;  // expected, per trace
  };
  const Case cases[] = {
      {512, false, "{point}", {"AUX1", "AUX2", "1002", "1003", "1004", "1005"}},
      {4096, false, "{line}{trace}", {"71", "72", "71", "72", "73", "74"}},
      {4096, true, "S{seq}", {"S1", "S2", "S3", "S4", "S5", "S6"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.station);
    Synthetic s = Make(2000, 500);
    if (c.steim2) {  // whole counts of 0.25 mV
      for (auto& v : s.samples) {
        for (float& x : v) x = std::isfinite(x) ? std::round(std::fmod(x, 1.0e6f)) * 0.25f : 3.0f;
      }
    }
    output::MseedOptions options;
    options.network = "ZZ";
    options.station = c.station;
    options.location = "00";
    options.recordLength = c.recordLength;
    options.steim2 = c.steim2;
    options.bitWeight = 0.25;
    const Mseed m = WriteMseed(s, options);
    ASSERT_EQ(m.error, "");
    ASSERT_EQ(m.bytes.size() % std::size_t(c.recordLength), 0u);
    const std::string path = Temp("out.mseed");
    Save(path, m.bytes);

    MSTraceList* list = nullptr;
    ASSERT_EQ(ms_readtracelist(&list, path.c_str(), 0, -1.0, -1.0, 0, 1, 1, 0), MS_NOERROR);
    const char* channels[] = {"GYX", "GYX", "GPZ", "GPZ", "GP1", "GP2"};
    std::size_t found = 0;
    for (MSTraceID* id = list->traces; id; id = id->next) {
      std::size_t i = 0;
      while (i < s.traces.size() && "ZZ_" + c.stations[i] + "_00_" + channels[i] != id->srcname) ++i;
      ASSERT_LT(i, s.traces.size()) << id->srcname;
      const ExportTrace& t = s.traces[i];
      ++found;
      EXPECT_EQ(id->numsegments, 1) << id->srcname;
      const MSTraceSeg* seg = id->first;
      EXPECT_EQ(seg->starttime, kStart + t.delayMs * 1000);
      EXPECT_EQ(seg->samprate, 2000.0);
      ASSERT_EQ(seg->numsamples, std::int64_t(t.samples.size()));
      for (std::size_t k = 0; k < t.samples.size(); ++k) {
        const float back = c.steim2 ? float(static_cast<const std::int32_t*>(seg->datasamples)[k] * 0.25)
                                    : static_cast<const float*>(seg->datasamples)[k];
        if (c.steim2) ASSERT_EQ(back, t.samples[k]) << k;  // counts hold no -0
        else ASSERT_EQ(Bits(back), Bits(t.samples[k])) << k;
      }
    }
    EXPECT_EQ(found, s.traces.size());
    mstl_free(&list, 1);
  }
}

TEST(ExportWriters, MiniseedRefusesCodesTooLongAndValuesSteim2WouldRound) {
  struct Case {
    std::string network, station, location, channel;
    bool steim2;
    const char* says;
  };
  const Case cases[] = {
      {"XX", "{serial}", "", "", false, "\"453005513\" is longer than 5"},
      {"XYZ", "{point}", "", "", false, "network code \"XYZ\""},
      {"XX", "{point}", "ABC", "", false, "location code \"ABC\""},
      {"XX", "{point}", "", "GPZZ", false, "channel code \"GPZZ\""},
      {"XX", "{depth}", "", "", false, "unknown field {depth}"},
      {"XX", "{point}", "", "", true, "is not a Steim2 count at bit weight"},
  };
  for (const Case& c : cases) {
    output::MseedOptions options;
    options.network = c.network;
    options.station = c.station;
    options.location = c.location;
    if (!c.channel.empty()) options.channel = c.channel;
    options.steim2 = c.steim2;
    options.bitWeight = 0.25;
    const Mseed m = WriteMseed(Make(), options);
    EXPECT_NE(m.error.find(c.says), std::string::npos) << m.error;
    EXPECT_EQ(m.bytes, "");
  }
}

// Channels past the public records' sensors (tests/export_records_test.cpp):
// accelerometers, a code past the list, --instrument over the sensor's.
TEST(ExportWriters, SeedChannelFollowsTheSensor) {
  const std::tuple<int, std::optional<char>, const char*> cases[] = {
      {6, {}, "GNZ"}, {9, {}, "GN3"}, {200, {}, "GPZ"}, {7, 'L', "GL1"}};
  for (const auto& [sensor, instrument, channel] : cases) {
    Synthetic s = Make(10, 500);
    s.traces[2].sensorType = sensor;
    output::MseedOptions options;
    options.instrument = instrument;
    std::string error;
    EXPECT_EQ(output::SeedCodesFor(s.traces[2], options, error).value().channel, channel) << error;
  }
}
#endif

}  // namespace
}  // namespace segd
