// General SEG-D records written field by field (tools/segd_record.h), of
// every revision, make and sample format, read back through the scan entry:
// every header and trace field comes back as written and the walk ends
// exactly at the end of the record; cut and padded copies are found out.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "scan/byte_source.h"
#include "scan/record_scan.h"
#include "tools/segd_record.h"

namespace segd {
namespace {

using namespace writer::general;
using writer::Bytes;

class Collector final : public model::RecordConsumer {
 public:
  model::RecordHeaders headers;
  std::vector<model::TraceRow> rows;
  model::Integrity integrity;
  int begun = 0, ended = 0;

  void Begin(const model::RecordHeaders& h) override {
    headers = h;
    ++begun;
  }
  void Row(const model::TraceRow& row) override { rows.push_back(row); }
  void End(const model::RecordHeaders&, const model::Integrity& i, const std::vector<model::Notice>&) override {
    integrity = i;
    ++ended;
  }

  const model::Value* Cell(const model::TraceRow& row, std::string_view column) const {
    for (std::size_t c = 0; c < headers.traceColumns.size() && c < row.values.size(); ++c) {
      if (headers.traceColumns[c].name == column) return &row.values[c];
    }
    return nullptr;
  }
};

struct Scanned {
  Collector out;
  model::ScanResult result;
};

std::unique_ptr<Scanned> Scan(const Bytes& bytes) {
  auto s = std::make_unique<Scanned>();
  MemoryByteSource source(bytes);
  s->result = model::ScanRecord(source, "written.segd", s->out);
  return s;
}

std::string RevisionText(Revision r) { return std::to_string(r.major) + "." + std::to_string(r.minor); }

// The values a trace row must hold, by column, for the trace at `p`.
std::vector<std::pair<std::string, double>> ExpectedCells(const GeneralRecord& r, const TracePlace& p) {
  const TraceValues v = TraceValuesAt(r, p);
  std::vector<std::pair<std::string, double>> cells = {
      {"file_number", r.fileNumber},
      {"scan_type", p.scanType},
      {"channel_set", p.channelSet},
      {"trace_number", p.channel},
      {"first_timing_word", v.firstTimingWord},
      {"extension_count", p.countInTrace ? p.extensions : 0},
      {"sample_skew", v.sampleSkew},
      {"trace_edit", v.traceEdit},
      {"time_break_window", v.timeBreakWindow},
      {"extended_channel_set", p.channelSet},
      {"extended_file_number", r.fileNumber},
      {"byte_offset", static_cast<double>(p.byteOffset)},
  };
  if (p.extensions == 0) return cells;
  const std::vector<std::pair<std::string, double>> extension1 = {
      {"receiver_point_index", v.receiverIndex},
      {"samples", p.samples},
      {"extended_receiver_line", v.extendedReceiverLine + v.extendedReceiverLineFraction / 65536.0},
      {"extended_receiver_point", v.extendedReceiverPoint + v.extendedReceiverPointFraction / 65536.0},
      {"sensor_type", v.sensorType},
  };
  cells.insert(cells.end(), extension1.begin(), extension1.end());
  if (!r.escapes.receiverLine) cells.emplace_back("receiver_line", v.receiverLine);
  if (!r.escapes.receiverPoint) cells.emplace_back("receiver_point", v.receiverPoint);
  if (r.revision.Rev3()) {
    const std::vector<std::pair<std::string, double>> rev3 = {
        {"reshoot_index", v.reshootIndex}, {"group_index", v.groupIndex},     {"depth_index", v.depthIndex},
        {"extended_trace_number", p.channel}, {"sensor_moving", v.sensorMoving}, {"physical_unit", v.physicalUnit},
    };
    cells.insert(cells.end(), rev3.begin(), rev3.end());
    return cells;
  }
  const auto fields = MakeTraceFields(r.make, r.revision);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].extension <= static_cast<int>(p.extensions)) {
      cells.emplace_back(fields[i].name, MakeFieldValue(fields[i], i, p.index));
    }
  }
  return cells;
}

// Every trace row holds what was written, in walk order, none past the end.
void ExpectRowsAsWritten(const GeneralRecord& r, const Scanned& s) {
  const GeneralLayout layout = LayoutOfGeneral(r);
  ASSERT_EQ(s.out.rows.size(), layout.traces);
  int wrong = 0;
  ForEachTrace(r, [&](const TracePlace& p) {
    const model::TraceRow& row = s.out.rows[p.index];
    EXPECT_EQ(row.trace, static_cast<std::int64_t>(p.index + 1));
    EXPECT_EQ(row.byteOffset, p.byteOffset);
    EXPECT_FALSE(row.pastEnd);
    for (const auto& [column, expected] : ExpectedCells(r, p)) {
      const model::Value* cell = s.out.Cell(row, column);
      if (wrong > 10) return;  // one broken column would otherwise flood the log
      if (cell == nullptr) {
        ADD_FAILURE() << "no column " << column;
        ++wrong;
      } else if (cell->kind != model::Value::Kind::Number || std::abs(cell->number - expected) > 1e-9 * (1 + std::abs(expected))) {
        ADD_FAILURE() << "trace " << p.index + 1 << " " << column << ": expected " << expected << ", got '"
                      << cell->text << "'";
        ++wrong;
      }
    }
  });
}

void ExpectHeadersAsWritten(const GeneralRecord& r, const Scanned& s) {
  const model::RecordHeaders& h = s.out.headers;
  EXPECT_EQ(h.revision, RevisionText(r.revision));
  EXPECT_EQ(h.manufacturerCode, static_cast<std::int32_t>(ManufacturerCode(r.make)));
  EXPECT_EQ(h.formatCode, static_cast<std::int32_t>(r.formatCode));
  EXPECT_EQ(h.fileNumber.number, r.fileNumber);
  std::vector<std::int64_t> samples;
  for (const ScanType& t : r.scanTypes) {
    for (const ChannelSet& c : t.sets) {
      if (c.used) samples.push_back(c.samples);
    }
  }
  EXPECT_EQ(h.samplesPerTrace, samples);
}

void ExpectExactEnd(const GeneralRecord& r, const Scanned& s) {
  const GeneralLayout layout = LayoutOfGeneral(r);
  EXPECT_EQ(s.result.status, model::ScanStatus::Ok);
  EXPECT_EQ(s.out.begun, 1);
  EXPECT_EQ(s.out.ended, 1);
  EXPECT_EQ(s.out.integrity.fileSize, layout.fileBytes);
  EXPECT_EQ(s.out.integrity.tracesListed, static_cast<std::int64_t>(layout.traces));
  EXPECT_EQ(s.out.integrity.tracesPastEnd, 0);
  EXPECT_EQ(s.out.integrity.bytesAfterLastTrace, 0);
  EXPECT_TRUE(s.out.integrity.problems.empty()) << s.out.integrity.problems.front();
}

constexpr Make kMakes[] = {Make::kSercel, Make::kSmartSolo, Make::kFairfield, Make::kOther};
constexpr Revision kRevisions[] = {{1, 0}, {2, 1}, {3, 0}, {3, 1}};
constexpr std::uint32_t kFormats[] = {8015, 8022, 8024, 8036, 8038, 8042, 8044, 8048, 8058};
constexpr std::uint32_t kRev3Formats[] = {8080, 9036, 9038, 9058, 9080};

// Every revision × make × format, written plainly and with every escape.
TEST(GeneralRoundTrip, EveryRevisionMakeAndFormatReadsBackFieldByFieldAndEndsExactly) {
  for (const Revision rev : kRevisions) {
    for (const Make make : kMakes) {
      std::vector<std::uint32_t> formats(std::begin(kFormats), std::end(kFormats));
      if (rev.Rev3()) formats.insert(formats.end(), std::begin(kRev3Formats), std::end(kRev3Formats));
      for (const std::uint32_t format : formats) {
        for (const bool escapes : {false, true}) {
          GeneralRecord r = PresetRecord(make, rev, format, 13, 28);
          if (escapes) r.escapes = Escapes::All();
          SCOPED_TRACE(RevisionText(rev) + " " + MakeName(make) + " " + std::to_string(format) +
                       (escapes ? " escaped" : ""));
          const auto s = Scan(ComposeGeneral(r));
          ExpectExactEnd(r, *s);
          ExpectHeadersAsWritten(r, *s);
          ExpectRowsAsWritten(r, *s);
          if (HasFailure()) return;
        }
      }
    }
  }
}

}  // namespace
}  // namespace segd
