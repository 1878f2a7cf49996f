// Whole records exported as the command line exports them (app/export_files.h)
// and read back by the field's own libraries against the sample decoder's
// view of the same record: the public records and one record of each make
// from the record writer. SEG-Y rev 1 through segyio, rev 2 through the
// bytes, miniSEED through libmseed's ms_readtracelist. Two rev 3 records
// carry GPS times zero: the worked example (17 leap seconds) and one after
// 2017 (18).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "app/export_files.h"
#include "app/record_walk.h"
#include "output/writers.h"
#include "scan/samples/trace_samples.h"
#include "support/segy_rev2.h"
#include "tools/segd_record.h"
#ifdef SEGD_HAVE_MSEED
#include <libmseed.h>
#endif

namespace segd {
namespace {

using nlohmann::json;
namespace general = writer::general;

// The decoder's view of every trace.
struct Decoded : samples::TraceSampleConsumer {
  struct One {
    std::vector<float> samples;
    std::optional<std::int64_t> start;
    samples::TimeSource source;
    std::int64_t fileNumber, traceNumber, channelSet;
    int channelType;
    double delayMs, intervalUs;
    bool dead;
    std::optional<double> receiverX, receiverY;  // the common names (arc seconds where geographic)
  };
  std::vector<One> traces;
  std::optional<double> sourceX, sourceY;
  std::size_t deadColumn = 0, xColumn = 0, yColumn = 0, longitudeColumn = 0, latitudeColumn = 0;
  void Begin(const samples::SampleRecord& r) override {
    for (std::size_t i = 0; i < r.headers.traceColumns.size(); ++i) {
      const model::Column& c = r.headers.traceColumns[i];
      if (c.dead) deadColumn = i;
      if (c.name == "receiver_x") xColumn = i;
      if (c.name == "receiver_y") yColumn = i;
      if (c.name == "receiver_longitude") longitudeColumn = i;
      if (c.name == "receiver_latitude") latitudeColumn = i;
    }
    auto summary = [&](const char* name) -> std::optional<double> {
      const model::Field* f = r.headers.summary.Find(name);
      return f && f->value.kind == model::Value::Kind::Number ? std::optional(f->value.number) : std::nullopt;
    };
    sourceX = summary("source_x");
    sourceY = summary("source_y");
  }
  void Trace(const samples::TraceSamples& t) override {
    auto number = [&](std::size_t column) { return static_cast<std::int64_t>(t.row.values[column].number); };
    auto real = [&](std::size_t column) {
      const model::Value& v = t.row.values[column];
      return column && v.kind == model::Value::Kind::Number ? std::optional(v.number) : std::nullopt;
    };
    // Latitude and longitude where no easting and northing are given (0, 0).
    auto x = real(xColumn), y = real(yColumn);
    if (x.value_or(0) == 0 && y.value_or(0) == 0 && real(longitudeColumn)) {
      x = *real(longitudeColumn) * 3600, y = real(latitudeColumn).value_or(0) * 3600;
    }
    traces.push_back({{t.samples.begin(), t.samples.end()}, t.startUnixMicros, t.timeSource, number(1), number(3),
                      number(2), t.set.channelType, t.set.startTimeMs, t.set.intervalUs,
                      deadColumn > 0 && number(deadColumn) != 0, x, y});
  }
};

// A SEG-Y coordinate with its scalar applied.
double Unscaled(const json& value, const json& scalar) {
  const double v = value.get<double>(), s = scalar.get<double>();
  return s < 0 ? v / -s : s > 0 ? v * s : v;
}

struct Case {
  std::string name;
  std::string path;  // the record
  std::optional<std::int64_t> timeZero;  // expected UTC time zero, µs since 1970
  std::optional<std::int64_t> fileNumber;  // expected where the trace headers hold another
  std::map<std::int64_t, std::string> channels;  // expected SEED channel per channel set
  json firstTrace = json::object();  // segyio's values of the first trace header
};

std::vector<Case> Cases() {
  std::vector<Case> cases;
  const std::string dir = SEGD_SAMPLES_DIR "/";
  // Sercel's seismic sensor is a hydrophone (sensor type 1), Fairfield's 3C
  // unit records its components (3 in-line, 4 cross-line, 2 vertical); both
  // with the standard's byte. Fairfield stores metres times 10.
  cases.push_back({"su_sercel", dir + "su_sercel.segd", {}, {}, {{1, "GYX"}, {2, "GDH"}}});
  // SmartSolo gives latitude and longitude (easting and northing 0).
  cases.push_back({"smartsolo", dir + "ph5_smartsolo_453005513.2.segd", {}, {}, {{1, "DPZ"}},
                   {{"receiver_x", -559048260}, {"receiver_y", 69915015}, {"coordinate_units", 2}, {"receiver_point", 1}}});
  cases.push_back({"fairfield_3ch", dir + "ph5_fairfield_3ch.fcnt", {}, {}, {{1, "DP1"}, {2, "DP2"}, {3, "DPZ"}},
                   {{"receiver_x", 4695672}, {"receiver_y", 52807078}, {"coordinate_scalar", -10}}});
  struct Made {
    const char* name;
    general::Make make;
    general::Revision revision;
    std::uint32_t format;
    std::optional<std::uint64_t> gpsMicros;  // rev 3 time zero
    std::optional<std::int64_t> utc;
  };
  const Made made[] = {
      {"made_sercel", general::Make::kSercel, {2, 1}, 8058, {}, {}},
      {"made_smartsolo", general::Make::kSmartSolo, {2, 1}, 8058, {}, {}},
      {"made_fairfield", general::Make::kFairfield, {1, 6}, 8058, {}, {}},
      {"other_8036", general::Make::kOther, {2, 1}, 8036, {}, {}},
      // 2016-10-12T09:30:00Z: GPS - UTC was 17 s.
      {"gps_2016", general::Make::kOther, {3, 0}, 8058, 1160299817000000, 1476264600000000},
      // 2021-05-08T20:06:00.25Z: 18 s.
      {"gps_2021", general::Make::kOther, {3, 0}, 8058, 1304539578250000, 1620504360250000},
  };
  for (const Made& m : made) {
    general::GeneralRecord r = general::PresetRecord(m.make, m.revision, m.format, 9, 700);
    r.sampleValues = [](const general::TracePlace& p, std::span<double> v) {
      for (std::size_t i = 0; i < v.size(); ++i) v[i] = std::round(1000 * std::sin(0.05 * double(i * (p.index + 1))));
    };
    if (m.gpsMicros) r.timestamp = *m.gpsMicros;
    const std::string path = SEGD_BINARY_DIR "/export_records_" + std::string(m.name) + ".segd";
    EXPECT_TRUE(general::WriteGeneralFile(r, path));
    cases.push_back({m.name, path, m.utc, {}, {}});
  }
  // SmartSolo's general and trace headers hold file number 0, its external
  // header the file's number (bytes 5-8) and the source in centimetres.
  general::GeneralRecord solo = general::PresetRecord(general::Make::kSmartSolo, {2, 1}, 8058, 3, 100);
  solo.fileNumber = 0;
  solo.externalHeader = writer::Bytes(1024);
  const std::uint8_t external[] = {0, 0, 0, 0, 0, 0, 0x10, 0xE1, 0x02, 0xFA, 0xF0, 0x81, 0x04, 0x2C, 0x1D, 0x8B};
  std::copy(std::begin(external), std::end(external), solo.externalHeader->begin());
  const std::string soloPath = SEGD_BINARY_DIR "/export_records_solo_file.segd";
  EXPECT_TRUE(general::WriteGeneralFile(solo, soloPath));
  cases.push_back({"solo_file", soloPath, {}, 4321, {}, {{"file_number", 4321}, {"coordinate_scalar", -100},
                                                          {"source_x", 50000001}, {"source_y", 70000011}}});
  // Past 65,535 samples: revision 2 alone, with trace header extension 1.
  general::GeneralRecord r = general::PresetRecord(general::Make::kSmartSolo, {2, 1}, 8058, 2, 70000);
  r.sampleValues = [](const general::TracePlace& p, std::span<double> v) {
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = double(i % 5000) - double(p.index);
  };
  const std::string path = SEGD_BINARY_DIR "/export_records_long_70000.segd";
  EXPECT_TRUE(general::WriteGeneralFile(r, path));
  cases.push_back({"long_70000", path, {}, {}, {}});
  return cases;
}

json ReadWithSegyio(const std::string& path) {
  const std::string command = "/usr/bin/python3 " SEGD_SOURCE_DIR "/tests/support/segy_read.py " + path;
  std::FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[1 << 16];
  for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  EXPECT_TRUE(pipe && pclose(pipe) == 0) << command;
  return json::parse(out);
}

int TraceId(int channelType, bool dead) {
  if (dead) return 2;
  switch (channelType) {
    case 1: return 1;
    case 2: return 4;
    case 3: return 5;
    case 4: return 8;
    case 5: return 7;
    default: return 3;
  }
}

TEST(ExportRecords, EveryRecordExportsBothWaysAndReadsBackAsTheDecoderReadsIt) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    Decoded decoded;
    samples::WalkTraceSamplesFile(c.path, decoded);
    ASSERT_FALSE(decoded.traces.empty());
    const std::string base = SEGD_BINARY_DIR "/export_records_out_" + c.name;
    const bool rev1 = decoded.traces[0].samples.size() <= 32767;
    std::vector<model::Notice> notices;
    app::ExportRequest request;
    request.segy = base + (rev1 ? ".sgy" : ".rev2.sgy");
    request.segyOptions.revision = rev1 ? 1 : 2;
    request.mseed = base + ".mseed";
    request.mseedOptions.station = "{seq}";
    request.mseedOptions.recordLength = c.name.size() % 2 ? 512 : 4096;
    ASSERT_TRUE(app::WriteExportFiles(c.path, request, notices).written) << (notices.empty() ? "" : notices.back().text);

    // SEG-Y rev 1, through segyio (never past 32,767 samples).
    const json back = rev1 ? ReadWithSegyio(*request.segy) : json{{"tracecount", decoded.traces.size()}};
    ASSERT_EQ(back["tracecount"], decoded.traces.size());
    EXPECT_EQ(back.value("format", 5), 5);
    EXPECT_EQ(back.value("interval", 0ll), rev1 ? std::llround(decoded.traces[0].intervalUs) : 0);
    for (std::size_t i = 0; rev1 && i < decoded.traces.size(); ++i) {
      SCOPED_TRACE(i);
      const Decoded::One& d = decoded.traces[i];
      const json& t = back["traces"][i];
      EXPECT_EQ(t["file_number"], c.fileNumber.value_or(d.fileNumber));
      // The common names, scaled, in 73-88.
      const std::pair<const char*, std::optional<double>> coordinates[] = {
          {"receiver_x", d.receiverX}, {"receiver_y", d.receiverY}, {"source_x", decoded.sourceX},
          {"source_y", decoded.sourceY}};
      for (const auto& [name, value] : coordinates) {
        EXPECT_NEAR(Unscaled(t[name], t["coordinate_scalar"]), value.value_or(0), 1e-6 * std::fabs(value.value_or(0)))
            << name;
      }
      if (i == 0) {
        for (const auto& [name, value] : c.firstTrace.items()) EXPECT_EQ(t[name], value) << name;
      }
      EXPECT_EQ(t["trace_number"], d.traceNumber);
      EXPECT_EQ(t["channel_set"], d.channelSet);
      EXPECT_EQ(t["trace_id"], TraceId(d.channelType, d.dead));
      EXPECT_EQ(t["delay"], std::llround(d.delayMs));
      EXPECT_EQ(t["samples"], d.samples.size());
      ASSERT_TRUE(d.start.has_value());
      const std::int64_t zero = *d.start - std::llround(d.delayMs) * 1000;
      if (c.timeZero) {
        EXPECT_EQ(zero, *c.timeZero);
      }
      const std::time_t seconds = static_cast<std::time_t>(zero / 1000000);
      std::tm utc{};
      gmtime_r(&seconds, &utc);
      EXPECT_EQ(t["year"], utc.tm_year + 1900);
      EXPECT_EQ(t["day"], utc.tm_yday + 1);
      EXPECT_EQ(t["hour"], utc.tm_hour);
      EXPECT_EQ(t["minute"], utc.tm_min);
      EXPECT_EQ(t["second"], utc.tm_sec);
      EXPECT_EQ(t["time_basis"], d.source == samples::TimeSource::kGeneralHeader ? 1 : 4);
      const json& data = t["data"];
      ASSERT_EQ(data.size(), d.samples.size());
      for (std::size_t k = 0; k < data.size(); ++k) {
        ASSERT_EQ(data[k], std::bit_cast<std::uint32_t>(d.samples[k])) << k;
      }
    }

    // SEG-Y rev 2, through the project's rev 2 reader.
    if (rev1) {
      request.segyOptions.revision = 2;
      request.mseed.reset();
      request.segy = base + ".rev2.sgy";
      ASSERT_TRUE(app::WriteExportFiles(c.path, request, notices).written);
    }
    const test::SegyRev2 f = test::ReadSegyRev2(*request.segy);
    EXPECT_EQ(f.File(3501, 2), 0x0200u);
    EXPECT_EQ(std::bit_cast<double>(f.File(3273, 8)), double(std::llround(decoded.traces[0].intervalUs)));
    ASSERT_EQ(f.traces.size(), decoded.traces.size());
    for (std::size_t i = 0; i < decoded.traces.size(); ++i) {
      const Decoded::One& d = decoded.traces[i];
      EXPECT_EQ(f.Big(f.traces[i].at, 9, 4), std::uint64_t(c.fileNumber.value_or(d.fileNumber)));
      ASSERT_EQ(f.traces[i].samples, d.samples.size());
      for (std::size_t k = 0; k < d.samples.size(); ++k) {
        ASSERT_EQ(f.SampleBits(i, k), std::bit_cast<std::uint32_t>(d.samples[k]));
      }
    }

#ifdef SEGD_HAVE_MSEED
    // miniSEED, through libmseed: one segment per trace (station = sequence).
    MSTraceList* list = nullptr;
    ASSERT_EQ(ms_readtracelist(&list, (base + ".mseed").c_str(), 0, -1.0, -1.0, 0, 1, 1, 0), MS_NOERROR);
    ASSERT_EQ(list->numtraces, static_cast<std::int32_t>(decoded.traces.size()));
    for (MSTraceID* id = list->traces; id; id = id->next) {
      const std::size_t i = std::stoul(id->station) - 1;
      ASSERT_LT(i, decoded.traces.size());
      const Decoded::One& d = decoded.traces[i];
      EXPECT_EQ(id->numsegments, 1);
      EXPECT_STREQ(id->network, "XX");
      if (!c.channels.empty()) {
        EXPECT_EQ(id->channel, c.channels.at(d.channelSet)) << id->srcname;
      }
      EXPECT_EQ(id->first->starttime, *d.start) << id->srcname;
      ASSERT_EQ(id->first->numsamples, static_cast<std::int64_t>(d.samples.size()));
      const auto* values = static_cast<const float*>(id->first->datasamples);
      for (std::size_t k = 0; k < d.samples.size(); ++k) {
        ASSERT_EQ(std::bit_cast<std::uint32_t>(values[k]), std::bit_cast<std::uint32_t>(d.samples[k])) << k;
      }
    }
    mstl_free(&list, 1);
#endif
  }
}

// The CSV as text, and the bytes a walk reads (one walk: each byte once,
// give or take its read window's overlaps).
struct Text final : ByteSink {
  bool Write(const char* data, std::size_t size) override { return text.append(data, size), true; }
  bool Close() override { return true; }
  std::string text;
};
struct Counting final : ByteSource {
  explicit Counting(const std::string& path) : file(FileByteSource::Open(path)) {}
  void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override { read += out.size(), file->ReadAt(offset, out); }
  std::uint64_t Size() const override { return file->Size(); }
  std::unique_ptr<FileByteSource> file;
  std::uint64_t read = 0;
};
std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A record whose headers announce samples no file holds (here 2,000 traces
// of 2,000,000 samples cut to 20 KB): no matrix or export of gigabytes of
// padding, but a notice saying why, and no file.
TEST(ExportRecords, CountsNoFileHoldsAreToldNotPadded) {
  general::GeneralRecord r = general::PresetRecord(general::Make::kOther, {2, 1}, 8058, 2000, 2000000);
  r.cutAt = 20000;
  const std::string path = SEGD_BINARY_DIR "/export_records_unbounded.segd";
  ASSERT_TRUE(general::WriteGeneralFile(r, path));
  app::ExportRequest request;
  request.segyOptions.revision = 2;
  request.segy = SEGD_BINARY_DIR "/export_unbounded.sgy";
  const std::string matrix = SEGD_BINARY_DIR "/export_unbounded.f32";
  std::vector<model::Notice> notices;
  EXPECT_FALSE(app::WriteExportFiles(path, request, notices).written);
  EXPECT_FALSE(app::WriteSamplesFiles(path, matrix, false, notices).written);
  EXPECT_EQ(std::count_if(notices.begin(), notices.end(),
                          [](const model::Notice& n) { return n.text.find("The samples are not read") != std::string::npos; }),
            2);
  for (const std::string& left : {*request.segy, matrix, matrix + ".json"}) EXPECT_FALSE(std::filesystem::exists(left));

  // A trace stating 5,000,000 samples just before the end of the file, and
  // the traces past the end that take its count: cut to their channel set's
  // count, so the export is as long as the whole record's (give or take the
  // sample the set's times add to the 100 the traces state).
  const general::GeneralRecord small = general::PresetRecord(general::Make::kOther, {2, 1}, 8058, 12, 100);
  std::vector<std::uint8_t> bytes = general::ComposeGeneral(small);
  const std::string whole = SEGD_BINARY_DIR "/export_records_whole.segd", damaged = whole + ".damaged";
  std::ofstream(whole, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
  const std::uint64_t second = general::LayoutOfGeneral(small).headerBytes + 20 + 2 * 32 + 100 * 4;
  for (int k = 0; k < 3; ++k) bytes[second + 20 + 7 + k] = static_cast<std::uint8_t>(0x4C4B40 >> (16 - 8 * k));  // extension 1 bytes 8-10
  bytes.resize(second + 20 + 2 * 32 + 40);
  std::ofstream(damaged, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
  std::uint64_t sizes[2] = {};
  for (int k = 0; k < 2; ++k) {
    request.segy = SEGD_BINARY_DIR "/export_padded.sgy";
    app::WriteExportFiles(k == 0 ? whole : damaged, request, notices);
    sizes[k] = std::filesystem::file_size(*request.segy);
  }
  EXPECT_LE(sizes[1], sizes[0] + 12 * 4);
}

// One walk feeds the CSV, the scaled samples and the export as recorded:
// each output byte for byte as its own run writes it, the record read once.
TEST(ExportRecords, OneWalkFeedsEveryOutputAsItsOwnRunWritesIt) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    const std::string alone = SEGD_BINARY_DIR "/one_walk_" + c.name, joined = alone + "_joined";
    app::ExportRequest request;
    request.segyOptions.revision = 2;  // the long records too
    request.segy = alone + ".sgy";
#ifdef SEGD_HAVE_MSEED
    request.mseed = alone + ".mseed";
#endif
    request.mseedOptions.station = "{seq}";
    std::vector<model::Notice> notices;
    Counting exportAlone(c.path);
    ASSERT_TRUE(app::WriteExportFiles(c.path, request, notices).written);
    ASSERT_TRUE(app::WriteSamplesFiles(c.path, alone + ".f32", true, notices).written);
    Text csvAlone;
    std::unique_ptr<output::RowWriter> csv = output::FindWriter("csv")->make(csvAlone);
    model::ScanRecordFile(c.path, *csv, {});
    csv->Finish();

    request.segy = joined + ".sgy";
    if (request.mseed) request.mseed = joined + ".mseed";
    app::SamplesFiles samples(joined + ".f32", notices);
    app::ExportFiles exports(request, notices);
    Text csvJoined;
    csv = output::FindWriter("csv")->make(csvJoined);
    Counting once(c.path);
    const app::WalkResults walked = app::WalkRecord(once, c.path, {csv.get(), &samples, true, &exports, {}});
    EXPECT_TRUE(samples.Finish(walked.walk, notices).written && exports.Finish(walked.walk, notices).written);
    csv->Finish();
    EXPECT_EQ(csvJoined.text, csvAlone.text);
    for (const char* ext : {".sgy", ".mseed", ".f32", ".f32.json"}) EXPECT_EQ(Slurp(joined + ext), Slurp(alone + ext)) << ext;
    app::ExportFiles again(request, notices);
    app::WalkRecord(exportAlone, c.path, {nullptr, nullptr, false, &again, {}});
    EXPECT_EQ(once.read, exportAlone.read + 32);  // + the first block's look, whether it is a record
  }
}

// The refusals leave no file: rev 1 past 32,767 samples (the message names
// --segy-revision 2), a station code longer than five characters.
TEST(ExportRecords, RefusalsNameTheWayOutAndLeaveNoFile) {
  general::GeneralRecord r = general::PresetRecord(general::Make::kSmartSolo, {2, 1}, 8058, 2, 40000);
  const std::string path = SEGD_BINARY_DIR "/export_records_long.segd";
  ASSERT_TRUE(general::WriteGeneralFile(r, path));
  struct Refusal {
    std::optional<std::string> segy, mseed;
    std::string station;
    const char* says;
  };
  const Refusal refusals[] = {
      {SEGD_BINARY_DIR "/export_refused.sgy", {}, "{point}", "--segy-revision 2"},
#ifdef SEGD_HAVE_MSEED
      {{}, SEGD_BINARY_DIR "/export_refused.mseed", "123456", "longer than 5 characters"},
#endif
  };
  for (const Refusal& refusal : refusals) {
    app::ExportRequest request;
    request.segy = refusal.segy;
    request.mseed = refusal.mseed;
    request.mseedOptions.station = refusal.station;
    std::vector<model::Notice> notices;
    EXPECT_FALSE(app::WriteExportFiles(path, request, notices).written);
    ASSERT_FALSE(notices.empty());
    EXPECT_NE(notices.back().text.find(refusal.says), std::string::npos) << notices.back().text;
    EXPECT_FALSE(std::filesystem::exists(refusal.segy.value_or(refusal.mseed.value_or(""))));
  }
  std::size_t left = 0;  // no temporary file either
  for (const auto& entry : std::filesystem::directory_iterator(SEGD_BINARY_DIR)) {
    left += entry.path().filename().string().starts_with("export_refused");
  }
  EXPECT_EQ(left, 0u);
}

}  // namespace
}  // namespace segd
