// The general decoder on hand-built records of rev 2.1 and rev 3.1 in which
// every escape of block 1 is used (FF, FFF, FFFF and rev 3's F), with two
// channel sets of unlike sample counts and extension counts, a skew block, a
// general trailer, and trace headers that escape their file, channel set and
// trace numbers. Each mutation of one byte gives exactly its finding.
#include <gtest/gtest.h>

#include <functional>

#include "scan/model/record_scan_makes.h"
#include "tools/record_writer.h"
#include "tools/sample_shot.h"

namespace segd {
namespace {

using namespace model;
using Bytes = std::vector<std::uint8_t>;

void PutU(Bytes& b, std::size_t at1, int width, std::uint64_t v) {
  for (int i = width - 1; i >= 0; --i, v >>= 8) b[at1 - 1 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v);
}
void PutFF(Bytes& b, std::size_t at1, int width) { PutU(b, at1, width, ~std::uint64_t{0}); }

constexpr std::uint32_t kFile = 70000;

// Rev 3.1: set 1 of 2 traces x 10 samples, 2 extensions; set 300 of 1 trace
// x 5 samples, 1 extension; format 8036. Rev 2.1: the same in 32-byte
// descriptors, format 8015 (10 samples in 30 bytes, 5 in 20).
Bytes Record(bool rev3, std::vector<std::size_t>* starts = nullptr) {
  const std::size_t descriptor = rev3 ? 96 : 32;
  Bytes b(32 * 3 + 2 * descriptor + 32 + 32 + 64, 0);
  // Block 1: every count escaped.
  PutFF(b, 1, 2);
  PutU(b, 3, 2, rev3 ? 0x8036 : 0x8015);
  b[11] = rev3 ? 0xF0 : 0x20;  // additional blocks: rev 3 F (block 2 bytes 23-24), else 2
  b[16] = 0x61;
  b[22] = rev3 ? 0xFF : 8;  // rev 3: the channel sets give the interval; else 0.5 ms
  b[25] = 0x8F;
  b[26] = 0xFF;  // record length FFF
  b[27] = 0x01;
  PutFF(b, 29, 1);
  b[29] = rev3 ? 0xFF : 0x01;  // skew blocks (rev 1/2 has no escape for them)
  PutFF(b, 31, 1);
  PutFF(b, 32, 1);
  // Block 2.
  PutU(b, 33, 3, kFile);
  PutU(b, 36, 2, 2);             // channel sets
  PutU(b, 38, rev3 ? 3 : 2, 1);  // extended blocks
  if (rev3) {
    PutU(b, 41, 2, 1);  // skew
    b[42] = 3, b[43] = 1;
    PutU(b, 45, 4, 1);  // trailer
    PutU(b, 49, 4, 5);
    PutU(b, 55, 2, 2);  // additional blocks
    PutU(b, 57, 3, 500);
    PutU(b, 60, 3, 2);  // external blocks
    b[63] = 0x02;
    b[95] = 0x03;
  } else {
    PutU(b, 40, 2, 2);  // external blocks
    b[42] = 2, b[43] = 1;
    PutU(b, 45, 2, 1);  // trailer
    PutU(b, 47, 3, 5);
    b[50] = 2;
    b[74] = 1;  // source point 1.0 in block 3
  }
  const std::size_t d = 96;
  const int samples[] = {10, 5}, extensions[] = {2, 1}, channels[] = {2, 1};
  for (int s = 0; s < 2; ++s) {
    const std::size_t at = d + s * descriptor + 1;
    b[at - 1] = 0x01;
    if (rev3) {
      PutU(b, at + 1, 2, s == 0 ? 1 : 300);
      b[at + 2] = 1;
      PutU(b, at + 12, 4, static_cast<std::uint64_t>(samples[s]));
      PutU(b, at + 20, 3, static_cast<std::uint64_t>(channels[s]));
      PutU(b, at + 23, 3, 500);
      b[at + 26] = static_cast<std::uint8_t>(extensions[s]);
      b[at + 30] = 0x30, b[at + 62] = 0x31, b[at + 94] = 0x32;
    } else {
      if (s == 0) {
        b[at] = 0x01;
      } else {
        b[at] = 0xFF;
        PutU(b, at + 26, 2, 300);
      }
      PutU(b, at + 4, 2, static_cast<std::uint64_t>(s == 0 ? 2 : 1));  // end time in 2 ms steps
      b[at + 8] = static_cast<std::uint8_t>(channels[s]);
      b[at + 9] = 0x10;
      b[at + 27] = static_cast<std::uint8_t>(extensions[s]);
    }
  }
  for (int s = 0, trace = 0; s < 2; ++s) {
    for (int c = 1; c <= channels[s]; ++c, ++trace) {
      Bytes t(20 + 32 * static_cast<std::size_t>(extensions[s]), 0);
      PutFF(t, 1, 2);
      PutU(t, 18, 3, kFile);
      t[2] = 0x01;
      t[3] = s == 0 ? 0x01 : 0xFF;
      PutU(t, 16, 2, s == 0 ? 1 : 300);
      if (rev3) {
        PutFF(t, 5, 2);
        PutU(t, 20 + 22, 3, static_cast<std::uint64_t>(c));
        PutU(t, 20 + 25, 4, static_cast<std::uint64_t>(samples[s]));
        t[20 + 31] = 0x40;
      } else {
        t[5] = static_cast<std::uint8_t>(c);
        PutU(t, 20 + 8, 3, static_cast<std::uint64_t>(samples[s]));
      }
      // The second trace leaves its count to the channel set.
      t[9] = trace == 1 ? 0 : static_cast<std::uint8_t>(extensions[s]);
      if (starts != nullptr) starts->push_back(b.size());
      b.insert(b.end(), t.begin(), t.end());
      b.resize(b.size() + (rev3 ? 3 * static_cast<std::size_t>(samples[s]) : samples[s] == 10 ? 30 : 20), 0x5A);
    }
  }
  Bytes trailer(32, 0);
  trailer[31] = 0x70;
  b.insert(b.end(), trailer.begin(), trailer.end());
  return b;
}

struct Keep : RecordConsumer {
  RecordHeaders headers;
  std::vector<std::vector<std::string>> rows;
  void Begin(const RecordHeaders&) override {}
  void Row(const TraceRow& row) override {
    auto& out = rows.emplace_back();
    for (const Value& v : row.values) out.push_back(v.text);
  }
  void End(const RecordHeaders& h, const Integrity&, const std::vector<Notice>&) override { headers = h; }
};

struct Mutation {
  std::string name;
  std::function<void(Bytes&, bool, const std::vector<std::size_t>&)> apply;
  std::vector<std::string> findings;  // notices, in order
};

const Mutation kMutations[] = {
    {"none", [](Bytes&, bool, const auto&) {}, {}},
    {"a trace number off",
     [](Bytes& b, bool rev3, const auto& at) { b[at[2] + (rev3 ? 43 : 5)] = 9; },
     {"1 trace header(s) give a trace number other than the walk's position in the channel set (first: trace 3)."}},
    {"a file number off",
     [](Bytes& b, bool, const auto& at) { b[at[0] + 19] = 7; },
     {"1 trace header(s) give a file number other than the record's 70000 (first: trace 1)."}},
    {"two trailer blocks announced",
     [](Bytes& b, bool rev3, const auto&) { b[rev3 ? 47 : 45] = 2; },
     {"32 bytes are left over after the last trace; the general trailer announces 64 bytes."}},
    {"an unknown revision", [](Bytes& b, bool rev3, const auto&) { rev3 ? b[42] = 4 : b[43] = 7; }, {}},
    {"an unknown format",
     [](Bytes& b, bool, const auto&) { b[3] = 0x99; },
     {"Unknown format code 8099: samples are taken as 4 bytes each to walk the traces."}},
};

class Layouts : public ::testing::TestWithParam<std::tuple<bool, int>> {};

TEST_P(Layouts, EveryEscapeIsHonouredAndEachFaultGivesItsFinding) {
  const auto [rev3, which] = GetParam();
  const Mutation& m = kMutations[which];
  std::vector<std::size_t> starts;
  Bytes bytes = Record(rev3, &starts);
  m.apply(bytes, rev3, starts);
  MemoryByteSource source(bytes);
  Keep keep;
  const ScanResult result = ScanGenericRecord(source, "r", keep, {});
  std::vector<std::string> notices;
  for (const Notice& n : result.notices) notices.push_back(n.text);
  if (m.name == "an unknown format") {
    // The walk goes on at 4 bytes a sample and finds the record's shape wrong.
    ASSERT_GE(notices.size(), 2u);
    EXPECT_EQ(notices[0], m.findings[0]);
    EXPECT_EQ(result.status, ScanStatus::Findings);
    return;
  }
  const bool odd = m.name == "an unknown revision";
  const std::string revision = odd ? (rev3 ? "4.1" : "2.7") : (rev3 ? "3.1" : "2.1");
  if (odd) {
    // The best walk the standard fields allow: rev 3 layouts from major 3 on.
    EXPECT_EQ(notices, std::vector<std::string>{"Unknown SEG-D revision " + revision +
                                                " in general header block 2 bytes 11-12; read with the rev " +
                                                (rev3 ? "3" : "1/2") + " layouts."});
  } else {
    EXPECT_EQ(notices, m.findings);
  }
  EXPECT_EQ(result.status, m.findings.empty() && !odd ? ScanStatus::Ok : ScanStatus::Findings);
  EXPECT_EQ(keep.headers.revision, revision);
  EXPECT_EQ(keep.headers.fileNumber.text, "70000");
  EXPECT_EQ(keep.headers.samplesPerTrace, (std::vector<std::int64_t>{10, 5}));
  ASSERT_EQ(keep.rows.size(), 3u);
  EXPECT_EQ(result.integrity.bytesAfterLastTrace, 32 * (m.name == "two trailer blocks announced" ? 1 : 1));
  EXPECT_EQ(result.integrity.trailerAfterLastTrace, m.name != "two trailer blocks announced");
  // trace, file_number, channel_set, trace_number of each row.
  const std::vector<std::vector<std::string>> fixed = {
      {"1", "70000", "1", "1"}, {"2", "70000", "1", "2"}, {"3", "70000", "300", "1"}};
  for (std::size_t r = 0; r < 3; ++r) {
    if (m.name == "none" || odd) {
      EXPECT_EQ(std::vector<std::string>(keep.rows[r].begin(), keep.rows[r].begin() + 4), fixed[r]);
    }
  }
  EXPECT_EQ(keep.rows[1][6 + 2], "0") << "the second trace's own extension count";
  const auto Summary = [&](std::string_view name) { return keep.headers.summary.Find(name)->value.text; };
  EXPECT_EQ(Summary("sample_interval_ms"), "0.5");
  EXPECT_EQ(Summary("record_length_ms"), "5");
  EXPECT_EQ(Summary("channel_sets"), "2");
  if (!rev3) {
    EXPECT_EQ(Summary("source_point"), "1.0");
  }
  const Block& trailer = keep.headers.generalHeaders.back();
  if (m.name == "none") {
    EXPECT_EQ(trailer.name, "general_trailer_1");
  }
  const Block& skew = keep.headers.channelSets.back();
  EXPECT_EQ(skew.name, "scan_type_1_skew");
}

INSTANTIATE_TEST_SUITE_P(RevisionsAndFaults, Layouts,
                         ::testing::Combine(::testing::Bool(),
                                            ::testing::Range(0, static_cast<int>(std::size(kMutations)))),
                         [](const auto& info) {
                           std::string name = std::string(std::get<0>(info.param) ? "rev3_" : "rev21_") +
                                              kMutations[std::get<1>(info.param)].name;
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

}  // namespace
}  // namespace segd

namespace segd {
namespace {

TEST(GeneralDecoderBounds, AbsurdCountsInAFewBytesAreWalkedInBoundedTimeAndReported) {
  // 99 scan types of 65535 channel sets (FF, block 2) of 9999 channels each,
  // in a file of 96 bytes plus one descriptor.
  Bytes b(96 + 32, 0);
  b[2] = 0x80, b[3] = 0x58, b[11] = 0x10, b[27] = 0x99, b[28] = 0xFF;
  b[35] = 0xFF, b[36] = 0xFF, b[42] = 2, b[43] = 1;
  b[64] = 0x01, b[65] = 0x01, b[72] = 0x99, b[73] = 0x99, b[74] = 0x10;
  MemoryByteSource source(b);
  Keep keep;
  const ScanResult result = ScanGenericRecord(source, "r", keep, {});
  EXPECT_EQ(result.status, ScanStatus::Findings);
  EXPECT_EQ(keep.rows.size(), 1u) << "no more traces than the file can hold";
  EXPECT_EQ(result.integrity.firstTracePastEnd, 1);
}

TEST(GeneralDecoderBounds, TheSn388SampleWalksExactlyThroughTheGeneralDecoderToo) {
  const Bytes bytes = writer::Compose(writer::SampleShot());
  MemoryByteSource source(bytes);
  Keep keep;
  const ScanResult result = ScanGenericRecord(source, "r", keep, {});
  EXPECT_EQ(result.status, ScanStatus::Ok);
  EXPECT_EQ(result.integrity.tracesListed, 362);
  EXPECT_EQ(result.integrity.bytesAfterLastTrace, 0);
}

}  // namespace
}  // namespace segd
