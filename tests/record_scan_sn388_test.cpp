// The SN388 record's data (the general decoder with the SN388 make) against
// the report of the same record (the report's own decoder): two readings of
// the same bytes that must agree cell by cell, the data carrying every
// stored digit where the report cuts a column.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "scan/model/record_scan.h"
#include "output/report/trace_columns.h"
#include "shell/main_window_layout.h"
#include "support/fake_host.h"
#include "tools/record_writer.h"
#include "tools/sample_shot.h"

namespace segd {
namespace {

struct Collected final : model::RecordConsumer {
  int begins = 0, ends = 0;
  model::RecordHeaders headers;
  std::vector<model::TraceRow> rows;
  model::Integrity integrity;
  void Begin(const model::RecordHeaders& h) override {
    ++begins;
    headers = h;
  }
  void Row(const model::TraceRow& row) override { rows.push_back(row); }
  void End(const model::RecordHeaders&, const model::Integrity& i, const std::vector<model::Notice>&) override {
    ++ends;
    integrity = i;
  }
  const model::Value& At(std::size_t row, std::string_view column) const {
    for (std::size_t i = 0; i < headers.traceColumns.size(); ++i) {
      if (headers.traceColumns[i].name == column) return rows[row].values[i];
    }
    ADD_FAILURE() << "no column " << column;
    static const model::Value kNone;
    return kNone;
  }
};

std::string Trim(std::string_view text) { return std::string(TrimBlanks(text)); }

// How a report column and a data column of the same bytes agree.
enum class Agree { Number, Near, Label, Flag, TimingWord };
struct Pair {
  std::string_view report, data;
  Agree agree;
};
constexpr Pair kPairs[] = {
    {"su_number", "unit_serial", Agree::Number},
    {"line", "receiver_line", Agree::Number},
    {"point", "receiver_point", Agree::Number},
    {"northing", "receiver_y", Agree::Near},
    {"easting", "receiver_x", Agree::Near},
    {"elevation", "receiver_elevation", Agree::Near},
    {"acq_unit_type", "sn388_unit_type_label", Agree::Label},
    {"chan_set", "channel_set", Agree::Number},
    {"noise_elim_type", "sn388_noise_elimination_type_label", Agree::Label},
    {"process_type", "sn388_process_type_label", Agree::Label},
    {"channel_type", "sn388_channel_type_label", Agree::Label},
    {"timing_word", "first_timing_word_ms", Agree::TimingWord},
    {"trace_edit", "trace_edit_label", Agree::Label},
    {"num_stacks_low", "sn388_stacks_low", Agree::Number},
    {"resistance", "sn388_resistance_ohm", Agree::Number},
    {"ipls_error", "sn388_ipls_error", Agree::Flag},
    {"dead", "sn388_dead", Agree::Flag},
    {"sync_error", "sn388_sync_error", Agree::Flag},
};

TEST(RecordScanSn388, TheDataAgreeWithTheReportOfTheSampleRecord) {
  writer::RecordSpec spec = writer::SampleShot();
  spec.channelSets.at(1).traces.at(3).header.traceEdit = 2;
  spec.channelSets.at(1).traces.at(4).extension1.errorFlags = 0x21;
  testing::FakeHost host;
  host.record = writer::Compose(spec);
  host.SelectAll();
  ASSERT_EQ(host.Run("/data/sample.segd"), kReportWritten);
  const std::vector<std::string> lines = host.ReportLines();

  MemoryByteSource source(host.record);
  Collected data;
  const model::ScanResult result = model::ScanRecord(source, "/data/sample.segd", data, {});
  ASSERT_EQ(result.status, model::ScanStatus::Ok);
  ASSERT_EQ(data.begins, 1);
  ASSERT_EQ(data.ends, 1);
  const model::RecordHeaders& h = data.headers;
  EXPECT_EQ(h.make, "sn388");
  EXPECT_EQ(h.revision, "1.0");
  EXPECT_EQ(h.summary.Find("traces_announced")->value.number, 362);
  EXPECT_EQ(h.summary.Find("date")->value.text, "2006-02-14");
  EXPECT_EQ(h.extendedHeader.Find("total_traces")->value.number, 362);
  EXPECT_EQ(h.extendedHeader.Find("software_version")->value.text, "SN388 V5.21");

  std::size_t heading = 0;
  while (heading < lines.size() && lines[heading].rfind("Seq   ", 0) != 0) ++heading;
  ASSERT_EQ(lines.size(), heading + 2 + 362);
  ASSERT_EQ(data.rows.size(), 362u);
  const writer::RecordLayout layout = writer::LayoutOf(spec);
  for (std::size_t t = 0; t < data.rows.size(); ++t) {
    const std::string& line = lines[heading + 2 + t];
    std::map<std::string_view, std::string> cells;
    std::size_t at = 6;
    for (const TraceColumn& column : kTraceColumnTable) {
      cells[column.name] = Trim(line.substr(at, static_cast<std::size_t>(column.width)));
      at += static_cast<std::size_t>(column.width);
    }
    EXPECT_EQ(data.rows[t].byteOffset, layout.TraceOffset(t));
    for (const Pair& p : kPairs) {
      const std::string& shown = cells.at(p.report);
      const model::Value& v = data.At(t, p.data);
      SCOPED_TRACE("trace " + std::to_string(t + 1) + " " + std::string(p.data) + " shown '" + shown + "'");
      switch (p.agree) {
        case Agree::Number: EXPECT_EQ(v.number, std::stod(shown)); break;
        case Agree::Near: EXPECT_NEAR(v.number, std::stod(shown), 0.01); break;
        case Agree::Label:  // the report cuts a text to its column
          EXPECT_EQ((v.IsNull() ? std::string("Unknown") : v.text).substr(0, shown.size()),
                    shown == "Status Unknown" ? "Unknown" : shown);
          break;
        case Agree::Flag: EXPECT_EQ(v.flag, shown == "Yes"); break;
        case Agree::TimingWord: EXPECT_EQ(std::to_string(static_cast<long>(v.number * 256)), shown); break;
      }
    }
  }
  EXPECT_EQ(data.integrity.tracesAnnounced, 362);
  EXPECT_EQ(data.integrity.tracesListed, 362);
  EXPECT_EQ(data.integrity.bytesAfterLastTrace, 0);
}

TEST(RecordScanSn388, ACutRecordsLastTracesHaveNoValuesAndTheScanStops) {
  writer::RecordSpec spec = writer::SampleShot();
  std::vector<std::uint8_t> bytes = writer::Compose(spec);
  const writer::RecordLayout layout = writer::LayoutOf(spec);
  // Cut inside the samples of trace 300: it and every later trace reach past
  // the end; the headers of 301 on are not in the file.
  bytes.resize(layout.TraceOffset(299) + 100);
  MemoryByteSource source(bytes);
  Collected data;
  const model::ScanResult result = model::ScanRecord(source, "cut.segd", data, {});
  EXPECT_EQ(result.status, model::ScanStatus::Findings);
  ASSERT_EQ(data.rows.size(), 362u);
  EXPECT_FALSE(data.rows[298].pastEnd);
  EXPECT_TRUE(data.rows[299].pastEnd);
  EXPECT_FALSE(data.At(299, "receiver_x").IsNull()) << "its header is in the file";
  EXPECT_TRUE(data.At(361, "receiver_line").IsNull()) << "not zeros read past the end";
  EXPECT_TRUE(data.At(361, "receiver_x").IsNull());
  EXPECT_EQ(data.integrity.tracesPastEnd, 63);
  EXPECT_EQ(data.integrity.firstTracePastEnd, 300);

  std::atomic<bool> cancel{true};
  model::ScanOptions options;
  options.cancel = &cancel;
  MemoryByteSource again(bytes);
  Collected stopped;
  EXPECT_EQ(model::ScanRecord(again, "cut.segd", stopped, options).status, model::ScanStatus::Cancelled);
  EXPECT_EQ(stopped.ends, 1);
}

TEST(TraceColumnTable, WindowLabelsAreTheWindowsCheckBoxTexts) {
  for (int k = 0; k < kTraceColumns; ++k) {
    EXPECT_EQ(kTraceColumnTable[static_cast<std::size_t>(k)].windowLabel,
              kMainWindowControls[static_cast<std::size_t>(k)].text)
        << k;
  }
}

}  // namespace
}  // namespace segd
