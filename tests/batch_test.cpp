// The batch's pieces: which files are taken as records, rows handed back in
// record order within a bounded window, summaries read back, line QC.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <thread>

#include "app/batch_runner.h"
#include "app/line_qc.h"
#include "app/record_finder.h"
#include "app/summary_io.h"
#include "app/trace_findings.h"

namespace segd::app {
namespace {

std::vector<std::uint8_t> Block(std::initializer_list<std::pair<int, std::uint8_t>> bytes) {
  // Block 1 of an ordinary record: file 1, format 8058, 2006 day 45 09:41:07.
  std::vector<std::uint8_t> b = {0x00, 0x01, 0x80, 0x58, 0, 0, 0, 0, 0, 0, 0x06, 0x20, 0x45, 0x09, 0x41, 0x07,
                                 0x13, 0x03, 0x88, 0, 0, 0, 0x10, 0, 0, 0x80, 0x10, 0x01, 0x02, 0, 0x32, 0x32};
  for (const auto& [at, value] : bytes) b[static_cast<std::size_t>(at)] = value;
  return b;
}

TEST(RecordFinder, TakesAFileByItsFirstBlockAlone) {
  const struct {
    const char* what;
    std::vector<std::uint8_t> block;
    bool taken;
  } cases[] = {
      {"an ordinary block 1", Block({}), true},
      {"the expanded file number escape FFFF", Block({{0, 0xFF}, {1, 0xFF}}), true},
      {"a little-endian format 9058", Block({{2, 0x90}}), true},
      {"an unknown format 8059", Block({{3, 0x59}}), false},
      {"a hexadecimal digit in the file number", Block({{1, 0x0A}}), false},
      {"day 367", Block({{11, 0x23}, {12, 0x67}}), false},
      {"hour 24", Block({{13, 0x24}}), false},
      {"minute 60", Block({{14, 0x60}}), false},
      {"a leap second 60", Block({{15, 0x60}}), true},
      {"31 bytes", [] { auto b = Block({}); b.pop_back(); return b; }(), false},
      {"text", std::vector<std::uint8_t>(32, 'a'), false},
  };
  for (const auto& c : cases) EXPECT_EQ(LooksLikeGeneralHeader(c.block), c.taken) << c.what;
  for (const char* sample : {"su_sercel.segd", "ph5_smartsolo_453005513.2.segd", "ph5_fairfield_3ch.fcnt"}) {
    EXPECT_TRUE(FileLooksLikeRecord(std::string(SEGD_SAMPLES_DIR) + "/" + sample)) << sample;
  }
  EXPECT_FALSE(FileLooksLikeRecord(std::string(SEGD_SAMPLES_DIR) + "/README.md"));
}

TEST(BatchRunner, HandsResultsBackInOrderWithNoMoreThanTheWindowAhead) {
  for (const unsigned jobs : {1u, 3u, 8u}) {
    std::atomic<std::size_t> emitted{0};
    std::atomic<std::size_t> furthestAhead{0};
    std::vector<std::size_t> order;
    OrderedRun<std::size_t> run;
    run.count = 200;
    run.jobs = jobs;
    run.work = [&](std::size_t i) {
      const std::size_t ahead = i - std::min(i, emitted.load());
      for (std::size_t seen = furthestAhead; ahead > seen && !furthestAhead.compare_exchange_weak(seen, ahead);) {
      }
      thread_local std::mt19937 random(static_cast<unsigned>(i));
      std::this_thread::sleep_for(std::chrono::microseconds(random() % 500));
      return i * 10;
    };
    run.emit = [&](std::size_t i, std::size_t&& value) {
      EXPECT_EQ(value, i * 10);
      order.push_back(i);
      ++emitted;
    };
    RunOrdered(run);
    ASSERT_EQ(order.size(), 200u);
    for (std::size_t i = 0; i < order.size(); ++i) ASSERT_EQ(order[i], i) << jobs << " jobs";
    EXPECT_LT(furthestAhead.load(), 2 * jobs) << jobs << " jobs";
  }
}

TEST(SummaryFiles, ReadBackCellsHoldingQuotesCommasAndLineEndsInBothFormats) {
  SummaryRow row;
  row.Set("path", "line 1/a,\"b\".segd");
  row.Set("status", "warning");
  row.Set("problems", "first\nsecond; \xC3\xA9");
  row.Set("file_number", "17");
  row.Set("sample_interval_ms", "0.5");
  for (const SummaryFormat format : {SummaryFormat::Csv, SummaryFormat::JsonLines}) {
    // Two shards concatenated: the second CSV header line is skipped.
    const std::string shard = SummaryHeader(format) + SummaryLine(row, format);
    std::istringstream in(shard + shard);
    std::string error;
    const auto rows = ReadSummary(in, error);
    ASSERT_TRUE(rows) << error;
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[1].cells, row.cells);
  }
  EXPECT_NE(SummaryLine(row, SummaryFormat::JsonLines).find("\"file_number\":17,"), std::string::npos);
  std::istringstream bad("path,status\na,ok,extra\n");
  std::string error;
  EXPECT_FALSE(ReadSummary(bad, error));
  EXPECT_EQ(error, "row 1 does not match the header line");
}

QcRow Row(std::string path, std::string status, std::string file, std::string time,
          std::string layout = "1:2x1024 2:360x1024") {
  QcRow r;
  r.path = std::move(path);
  r.status = std::move(status);
  r.problems = r.status == "failed" ? "empty file (0 bytes)" : "";
  r.fileNumber = std::move(file);
  r.date = r.fileNumber.empty() ? "" : "2006-02-14";
  r.time = std::move(time);
  r.format = "8058";
  r.sampleInterval = "1";
  r.recordLength = "1024";
  r.channelSetLayout = std::move(layout);
  return r;
}

TEST(LineQc, FindsFailedFilesDuplicatesGapsStrayTimesAndOddRecords) {
  std::vector<QcRow> rows = {
      Row("a/1", "ok", "1", "09:01:00"),        Row("a/2", "ok", "2", "09:02:00"),
      Row("a/3", "ok", "3", "09:03:00"),        Row("b/3", "warning", "3", "09:03:30"),
      Row("a/7", "ok", "7", "09:00:00"),        Row("a/9", "ok", "9", "09:09:00", "1:2x50 2:360x50"),
      Row("a/x", "failed", "", "", ""),
  };
  const LineQc qc = CheckLine(rows);
  EXPECT_EQ(QcText(qc),
            "segdreport: QC: 7 records, 6 decoded, file numbers 1 to 9\n"
            "segdreport: QC: not decoded: a/x: empty file (0 bytes)\n"
            "segdreport: QC: file number 3 is held by 2 records: a/3 b/3\n"
            "segdreport: QC: file numbers 4 to 6 are missing\n"
            "segdreport: QC: file number 8 is missing\n"
            "segdreport: QC: recorded out of file number order: a/7 (file 7, 2006-02-14T09:00:00Z)\n"
            "segdreport: QC: record length disagrees with samples x interval: a/9 (file 9, 2006-02-14T09:09:00Z): "
            "record_length_ms 1024, samples 50 x 1 ms = 50 ms\n"
            "segdreport: QC: channel_set_layout differs from the majority (1:2x1024 2:360x1024) in 1 records: a/9 "
            "(1:2x50 2:360x50)\n");
  // The same rows in another order give the same verdicts.
  std::reverse(rows.begin(), rows.end());
  EXPECT_EQ(QcJson(CheckLine(rows)), QcJson(qc));
  EXPECT_EQ(QcText(CheckLine({Row("a/1", "ok", "1", "09:01:00")})),
            "segdreport: QC: 1 records, 1 decoded, file numbers 1 to 1\nsegdreport: QC: no findings\n");
}

TEST(LineQc, JudgesTimesPositionsAndMajoritiesAsACrewWould) {
  // Three records, files 1-3 a minute apart, then one change each.
  const auto line = [](const std::function<void(std::vector<QcRow>&)>& change) {
    std::vector<QcRow> rows = {Row("a/1", "ok", "1", "09:01:00"), Row("a/2", "ok", "2", "09:02:00"),
                               Row("a/3", "ok", "3", "09:03:00")};
    change(rows);
    QcSettings settings;
    settings.nowMicros = std::int64_t{1'700'000'000} * 1'000'000;  // 2023-11-14
    return QcText(CheckLine(rows, settings));
  };
  const struct {
    const char* what;
    std::function<void(std::vector<QcRow>&)> change;
    const char* finding;  // a line of the QC section, "" for none
  } cases[] = {
      {"a sound line", [](auto&) {}, ""},
      {"no value held by more than half",
       [](auto& r) { r[1].sampleInterval = "2", r[2].sampleInterval = "4"; },
       "sample_interval_ms: no common value: 1 ms (1), 2 ms (1), 4 ms (1)"},
      {"a majority of two in three", [](auto& r) { r[2].sampleInterval = "2"; },
       "sample_interval_ms differs from the majority (1 ms) in 1 records: a/3 (2 ms)"},
      {"a day's jump forward", [](auto& r) { r[2].date = "2006-02-15"; },
       "time jumps 1.0 days from a/2 (file 2, 2006-02-14T09:02:00Z) to a/3 (file 3, 2006-02-15T09:03:00Z)"},
      {"the first record years late is the stray one, not the second", [](auto& r) { r[0].date = "2021-02-14"; },
       "recorded out of file number order: a/1 (file 1, 2021-02-14T09:01:00Z)"},
      {"before 1980", [](auto& r) { r[0].date = "1979-02-14"; }, "recorded before 1980: a/1 (file 1, 1979-02-14T09:01:00Z)"},
      {"in the future", [](auto& r) { r[2].date = "2099-02-14"; }, "recorded in the future: a/3 (file 3, 2099-02-14T09:03:00Z)"},
      {"GPS time a second away is within", [](auto& r) { r[0].gpsTime = "2006-02-14T09:01:01Z"; }, ""},
      {"GPS time two seconds away", [](auto& r) { r[0].gpsTime = "2006-02-14T09:01:02Z"; },
       "general header time differs from the record's GPS time 2006-02-14T09:01:02Z by more than 1 s: a/1 (file 1, "
       "2006-02-14T09:01:00Z)"},
      {"one source point shot twice",
       [](auto& r) { r[0].sourceLine = r[2].sourceLine = "3061.0000", r[0].sourcePoint = r[2].sourcePoint = "2025"; },
       "source position line 3061 point 2025 shot by 2 records: a/1 (file 1, 2006-02-14T09:01:00Z) a/3 (file 3, "
       "2006-02-14T09:03:00Z)"},
      {"zero positions are no positions", [](auto& r) { r[0].sourceLine = r[2].sourceLine = r[0].sourcePoint = r[2].sourcePoint = "0"; }, ""},
      {"a record length of samples x interval less one sample",
       [](auto& r) {
         for (QcRow& row : r) row.recordLength = "1023";
       },
       ""},
      {"a record length two samples short",
       [](auto& r) {
         for (QcRow& row : r) row.recordLength = "1022";
       },
       "record length disagrees with samples x interval: a/1 (file 1, 2006-02-14T09:01:00Z): record_length_ms 1022, "
       "samples 1024 x 1 ms = 1024 ms"},
  };
  for (const auto& c : cases) {
    const std::string text = line(c.change);
    if (*c.finding == 0) {
      EXPECT_NE(text.find("no findings"), std::string::npos) << c.what << "\n" << text;
    } else {
      EXPECT_NE(text.find(std::string("segdreport: QC: ") + c.finding + "\n"), std::string::npos) << c.what << "\n" << text;
    }
  }
}

TEST(TraceFindings, RangesAndAllowances) {
  TraceRanges ranges;
  for (const std::int64_t t : {12, 13, 14, 15, 220, 222}) ranges.Add(t);
  EXPECT_EQ(ranges.Text(), "12-15, 220, 222");
  EXPECT_EQ(ranges.Count(), 6);
  std::string error;
  const auto allow = ParseAllowance("dead=2,overscale=1%,past_end=0", error);
  ASSERT_TRUE(allow) << error;
  EXPECT_FALSE(OverAllowance(*allow, "dead_traces", 2, 100));
  EXPECT_TRUE(OverAllowance(*allow, "dead_traces", 3, 100));
  EXPECT_FALSE(OverAllowance(*allow, "sn388_overscale_error", 4, 400));
  EXPECT_TRUE(OverAllowance(*allow, "sn388_overscale_error", 5, 400));
  EXPECT_TRUE(OverAllowance(*allow, "traces_past_end", 1, 400));
  EXPECT_TRUE(OverAllowance(*allow, "sn388_impedance_error", 1, 400));  // not allowed at all
  for (const char* bad : {"dead", "dead=x", "dead=-1", "bogus=1", "dead=1%%"}) EXPECT_FALSE(ParseAllowance(bad, error)) << bad;
  EXPECT_TRUE(GlobMatch("shot_*.segd", "shot_0001.segd"));
  EXPECT_TRUE(GlobMatch("*.[sS][eE][gG][dD]", "a.SEGD"));
  EXPECT_FALSE(GlobMatch("shot_?.segd", "shot_10.segd"));
  EXPECT_TRUE(GlobMatch("[!n]*", "shot"));
  EXPECT_FALSE(GlobMatch("[!n]*", "notes.txt"));
}

}  // namespace
}  // namespace segd::app
