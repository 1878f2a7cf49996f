// The batch's pieces: which files are taken as records, rows handed back in
// record order within a bounded window, summaries read back, line QC.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "app/batch_runner.h"
#include "app/line_qc.h"
#include "app/record_finder.h"
#include "app/summary_io.h"

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

QcRow Row(std::string path, std::string status, std::string file, std::string time, std::string layout = "1:2 2:360") {
  return {std::move(path), std::move(status), std::move(file), "2006-02-14", std::move(time), "8058", "1", "1024",
          std::move(layout)};
}

TEST(LineQc, FindsDuplicatesGapsTimesOutOfOrderAndOddRecords) {
  std::vector<QcRow> rows = {
      Row("a/1", "ok", "1", "09:01:00"),        Row("a/2", "ok", "2", "09:02:00"),
      Row("a/3", "ok", "3", "09:03:00"),        Row("b/3", "warning", "3", "09:03:30"),
      Row("a/7", "ok", "7", "09:00:00"),        Row("a/9", "ok", "9", "09:09:00", "1:2 2:359"),
      Row("a/x", "failed", "", "", ""),
  };
  const LineQc qc = CheckLine(rows);
  EXPECT_EQ(QcText(qc),
            "segdreport: QC: 7 records, 6 decoded, file numbers 1 to 9\n"
            "segdreport: QC: file number 3 is held by 2 records: a/3 b/3\n"
            "segdreport: QC: file numbers 4 to 6 are missing\n"
            "segdreport: QC: file number 8 is missing\n"
            "segdreport: QC: recorded before the record of a lower file number: a/7 (7 2006-02-14 09:00:00) after b/3 "
            "(3 2006-02-14 09:03:30)\n"
            "segdreport: QC: channel_set_layout differs from the majority (1:2 2:360) in 1 records: a/9 (1:2 2:359)\n");
  // The same rows in another order give the same verdicts.
  std::reverse(rows.begin(), rows.end());
  const LineQc reversed = CheckLine(rows);
  EXPECT_EQ(reversed.gaps.size(), 2u);
  EXPECT_EQ(reversed.oddRecords.size(), 1u);
  EXPECT_EQ(reversed.duplicates.size(), 1u);
  EXPECT_EQ(QcText(CheckLine({Row("a/1", "ok", "1", "09:01:00")})),
            "segdreport: QC: 1 records, 1 decoded, file numbers 1 to 1\nsegdreport: QC: no findings\n");
}

}  // namespace
}  // namespace segd::app
