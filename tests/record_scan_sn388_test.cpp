// The SN388 record model against the report of the same record: every
// header field and every trace cell the model holds is the report's text,
// trimmed and with numbers in plain form; cut records mark their rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "scan/model_values.h"
#include "scan/record_scan.h"
#include "scan/record_scan_makes.h"
#include "scan/trace_columns.h"
#include "shell/main_window_layout.h"
#include "support/blocks.h"
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
  std::vector<model::Notice> notices;
  void Begin(const model::RecordHeaders& h) override {
    ++begins;
    headers = h;
  }
  void Row(const model::TraceRow& row) override { rows.push_back(row); }
  void End(const model::RecordHeaders&, const model::Integrity& i, const std::vector<model::Notice>& n) override {
    ++ends;
    integrity = i;
    notices = n;
  }
};

std::string Trim(std::string_view text) { return std::string(TrimBlanks(text)); }

// What the model holds for a shown text of a value of `type`.
std::string Expected(std::string_view shown, model::ValueType type) {
  model::Value value;
  model::SetValue(value, shown, model::ReadingOf(type));
  return value.text;
}

// The lines "label : value" of the report between two banner titles, as
// their values.
std::vector<std::string> SectionValues(const std::vector<std::string>& lines, std::string_view from,
                                       std::string_view to) {
  std::vector<std::string> values;
  bool inside = false;
  for (const std::string& line : lines) {
    if (line == from) inside = true;
    if (line == to) break;
    const std::size_t colon = line.find(": ");
    if (inside && colon != std::string::npos && colon >= 28 && line.compare(0, 26, "Channel Set Header Number ") != 0) {
      values.push_back(line.substr(colon + 2));
    }
  }
  return values;
}

std::vector<std::string> Raws(const std::vector<model::Block>& blocks) {
  std::vector<std::string> raws;
  for (const model::Block& block : blocks) {
    for (const model::Field& field : block.fields) raws.push_back(field.raw);
  }
  return raws;
}

TEST(RecordScanSn388, HoldsTheReportsTextsOfTheSampleRecord) {
  const writer::RecordSpec spec = writer::SampleShot();
  testing::FakeHost host;
  host.record = writer::Compose(spec);
  host.SelectAll();
  ASSERT_EQ(host.Run("/data/sample.segd"), kReportWritten);
  const std::vector<std::string> lines = host.ReportLines();

  MemoryByteSource source(host.record);
  Collected model;
  const model::ScanResult result = model::ScanRecord(source, "/data/sample.segd", model, {});
  ASSERT_EQ(result.status, model::ScanStatus::Ok);
  ASSERT_EQ(model.begins, 1);
  ASSERT_EQ(model.ends, 1);
  const model::RecordHeaders& h = model.headers;
  EXPECT_EQ(h.sizeBytes, host.record.size());
  EXPECT_EQ(h.fileNumber.text, "4217");
  EXPECT_EQ(h.manufacturerCode, 13);
  EXPECT_EQ(h.formatCode, 8058);
  EXPECT_EQ(h.revision, "1.0");
  EXPECT_EQ(h.summary.Find("traces_announced")->value.number, 362);
  EXPECT_EQ(h.summary.Find("source_line")->value.text, "3061.0000");

  // Header fields: the report's values in order, NUL bytes dropped.
  EXPECT_EQ(Raws(h.generalHeaders), SectionValues(lines, "General Headers", "End Of General Headers"));
  EXPECT_EQ(Raws(h.channelSets), SectionValues(lines, "Channel Set Headers (Unused headers not displayed)",
                                               "End Of Channel Set Headers"));
  std::vector<std::string> extended = SectionValues(lines, "Extended Header", "End of Extended Header");
  for (std::string& text : extended) text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  EXPECT_EQ(Raws({h.extendedHeader}), extended);
  EXPECT_EQ(h.extendedHeader.Find("total_traces")->value.number, 362);
  EXPECT_EQ(h.extendedHeader.Find("source_type_text")->value.text, "Impulsive");

  // Trace cells: the report's column texts, trimmed, numbers in plain form.
  ASSERT_EQ(h.traceColumns.size(), 36u);
  ASSERT_EQ(model.rows.size(), 362u);
  std::size_t heading = 0;
  while (heading < lines.size() && lines[heading].rfind("Seq   ", 0) != 0) ++heading;
  ASSERT_EQ(lines.size(), heading + 2 + 362);
  const writer::RecordLayout layout = writer::LayoutOf(spec);
  for (std::size_t t = 0; t < model.rows.size(); ++t) {
    const model::TraceRow& row = model.rows[t];
    const std::string& line = lines[heading + 2 + t];
    EXPECT_EQ(row.trace, static_cast<std::int64_t>(t + 1));
    EXPECT_EQ(row.byteOffset, layout.TraceOffset(t));
    EXPECT_FALSE(row.pastEnd);
    EXPECT_EQ(row.values[0].text, Trim(line.substr(0, 6)));
    EXPECT_EQ(row.values[1].text, "4217");
    EXPECT_EQ(row.values[2].text, row.values[6 + 7].text) << "the trace header's channel set";
    std::size_t at = 6;
    for (std::size_t c = 0; c < kTraceColumns; ++c) {
      const TraceColumn& column = kTraceColumnTable[c];
      const std::string cell = line.substr(at, static_cast<std::size_t>(column.width));
      // A text wider than its column is cut in the report, whole in the model.
      const std::string& held = row.values[6 + c].text;
      EXPECT_EQ(held.size() > cell.size() ? Trim(held.substr(0, cell.size())) : held, Expected(cell, column.type))
          << "trace " << t + 1 << " " << column.name;
      at += static_cast<std::size_t>(column.width);
    }
  }
  EXPECT_EQ(model.rows[34].values[3].text, "33");  // trace number within the second line's set
  EXPECT_EQ(model.integrity.tracesAnnounced, 362);
  EXPECT_EQ(model.integrity.tracesListed, 362);
  EXPECT_EQ(model.integrity.bytesAfterLastTrace, 0);
  EXPECT_TRUE(model.integrity.problems.empty());
}

TEST(RecordScanSn388, MarksTheTracesOfACutRecordPastTheEnd) {
  writer::RecordSpec spec = writer::SampleShot();
  std::vector<std::uint8_t> bytes = writer::Compose(spec);
  const writer::RecordLayout layout = writer::LayoutOf(spec);
  // Cut inside the samples of trace 300: it and every later trace reach past
  // the end.
  bytes.resize(layout.TraceOffset(299) + 100);
  MemoryByteSource source(bytes);
  Collected model;
  std::vector<std::int64_t> progress;
  model::ScanOptions options;
  options.progress = [&progress](std::int64_t done, std::int64_t total) { progress.push_back(done * 1000 + total); };
  const model::ScanResult result = model::ScanRecord(source, "cut.segd", model, options);
  EXPECT_EQ(result.status, model::ScanStatus::Findings);
  ASSERT_EQ(model.rows.size(), 362u);
  EXPECT_FALSE(model.rows[298].pastEnd);
  EXPECT_TRUE(model.rows[299].pastEnd);
  EXPECT_EQ(model.rows[299].values[5].text, "true");
  EXPECT_EQ(model.rows[361].values[6 + 1].text, "0") << "zeros past the end read as line 0";
  EXPECT_EQ(model.integrity.tracesPastEnd, 63);
  EXPECT_EQ(model.integrity.firstTracePastEnd, 300);
  EXPECT_EQ(model.integrity.bytesAfterLastTrace,
            static_cast<std::int64_t>(bytes.size()) - static_cast<std::int64_t>(layout.totalSize));
  EXPECT_EQ(progress, std::vector<std::int64_t>{362362});
}

TEST(RecordScanSn388, LeavesOtherRecordsAndStopsWhenCancelled) {
  std::vector<std::uint8_t> bytes = writer::Compose(writer::SampleShot());
  bytes[16] = 0x20;  // manufacturer code 20: not the SN388's
  MemoryByteSource other(bytes);
  Collected untouched;
  EXPECT_FALSE(model::ScanSn388Record(other, "x", untouched, {}).has_value());
  EXPECT_EQ(untouched.begins, 0);

  bytes[16] = 0x13;
  MemoryByteSource sn388(bytes);
  std::atomic<bool> cancel{true};
  model::ScanOptions options;
  options.cancel = &cancel;
  Collected model;
  const auto result = model::ScanSn388Record(sn388, "x", model, options);
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->status, model::ScanStatus::Cancelled);
  EXPECT_EQ(model.begins, 1);
  EXPECT_EQ(model.ends, 1);
  EXPECT_TRUE(model.rows.empty());
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
