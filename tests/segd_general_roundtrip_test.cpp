// General SEG-D records written field by field (tools/segd_record.h), of
// every revision, make and sample format, read back through the scan entry:
// every header and trace field comes back as written and the walk ends
// exactly at the end of the record; cut and padded copies are found out.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
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

struct HeaderCell {
  std::string block, field;
  std::optional<double> value;  // nullopt: an escape, which holds no value
};

std::vector<HeaderCell> ExpectedHeaderCells(const GeneralRecord& r) {
  const bool rev3 = r.revision.Rev3();
  const Escapes& e = r.escapes;
  const GeneralLayout l = LayoutOfGeneral(r);
  const double extended = static_cast<double>(ExtendedHeaderOf(r).size() / 32);
  const double external = static_cast<double>(ExternalHeaderOf(r).size() / 32);
  const double slots = static_cast<double>(r.scanTypes.front().sets.size());
  auto Or = [](bool escaped, double v) { return escaped ? std::nullopt : std::optional<double>(v); };
  const std::string g1 = "general_header_1", g2 = "general_header_2", g3 = "general_header_3";
  std::vector<HeaderCell> cells = {
      {g1, "file_number", Or(e.fileNumber || r.fileNumber > 9999, r.fileNumber)},
      {g1, "format_code", r.formatCode},
      {g1, "year", r.year},
      // A half-byte count: its escape F reads as the number 15.
      {g1, "additional_blocks", rev3 && e.additionalBlocks ? 15 : static_cast<double>(l.additionalBlocks)},
      {g1, "julian_day", r.julianDay},
      {g1, "hour", r.hour},
      {g1, "minute", r.minute},
      {g1, "second", r.second},
      {g1, "manufacturer_code", ManufacturerCode(r.make)},
      {g1, "manufacturer_serial", r.serialNumber},
      {g1, "base_scan_interval", rev3 && e.baseScanInterval ? 255 : r.baseScanInterval},
      {g1, "record_type", r.recordType},
      {g1, "record_length", Or(e.recordLength, r.recordLengthBcd)},
      {g1, "scan_types", static_cast<double>(r.scanTypes.size())},
      {g1, "channel_sets", Or(e.channelSets || slots > 99, slots)},
      {g1, "skew_blocks", Or(rev3 && e.skewBlocks, r.skewBlocks)},
      {g1, "extended_blocks", Or(e.extendedBlocks || extended > 99, extended)},
      {g1, "external_blocks", Or(e.externalBlocks || external > 99, external)},
      {g2, "extended_file_number", r.fileNumber},
      {g2, "extended_channel_sets", slots},
      {g2, "extended_header_blocks", extended},
      {g2, "external_header_blocks", external},
      {g2, "revision_major", r.revision.major},
      {g2, "revision_minor", r.revision.minor},
      {g2, "trailer_blocks", r.trailerBlocks},
  };
  if (rev3) {
    const std::vector<HeaderCell> more = {
        {g2, "extended_skew_blocks", r.skewBlocks},
        {g2, "record_set_number", r.sequenceNumber},
        {g2, "extended_additional_blocks", static_cast<double>(l.additionalBlocks)},
        {g2, "dominant_sample_interval_us", r.baseScanInterval * 1000.0 / 16},
        {g2, "block_type", 2},
        {g3, "time_zero_us", static_cast<double>(r.timestamp)},
        {g3, "record_size", static_cast<double>(l.recordBytes)},
        {g3, "data_size", static_cast<double>(l.tracesEnd - l.headerBytes)},
        {g3, "header_size", static_cast<double>(l.headerBytes)},
        {g3, "block_type", 3},
    };
    cells.insert(cells.end(), more.begin(), more.end());
  } else {
    cells.push_back({g2, "block_number", 2});
    cells.push_back({g2, "sequence_number", r.sequenceNumber});
  }
  if (!rev3 && r.sourceBlock) {
    const std::vector<HeaderCell> more = {
        {g3, "expanded_file_number", r.fileNumber},
        {g3, "source_line", r.sourceLine + r.sourceLineFraction / 65536.0},
        {g3, "source_point", r.sourcePoint + r.sourcePointFraction / 65536.0},
        {g3, "source_point_index", r.sourcePointIndex},
        {g3, "block_number", 3},
        {g3, "source_set_number", r.sourceSetNumber},
    };
    cells.insert(cells.end(), more.begin(), more.end());
  }
  for (std::size_t t = 0; t < r.scanTypes.size(); ++t) {
    for (const ChannelSet& c : r.scanTypes[t].sets) {
      if (!c.used) continue;
      const std::string b = "scan_type_" + std::to_string(t + 1) + "_channel_set_" + std::to_string(c.number);
      const std::vector<HeaderCell> set = {
          {b, "scan_type", static_cast<double>(t + 1)},
          {b, "channel_set", c.number},
          {b, "channels", c.channels},
          {b, "channel_type", c.channelType},
          {b, "trace_header_extensions", c.extensions},
          {b, "extended_header_flag", c.extendedHeaderFlag},
          {b, "gain_control", c.gainControl},
          {b, "vertical_stack", c.verticalStack},
          {b, "streamer_number", c.streamer},
          {b, "array_forming", c.arrayForming},
      };
      cells.insert(cells.end(), set.begin(), set.end());
      if (rev3) {
        cells.push_back({b, "samples", c.samples});
        cells.push_back({b, "sample_interval_us", r.baseScanInterval * 1000.0 / 16});
        cells.push_back({b, "block_type_1", 0x30});
        cells.push_back({b, "block_type_2", 0x31});
        cells.push_back({b, "block_type_3", 0x32});
        continue;
      }
      // Descale bytes 8 (sign and 2^4..2^-2) and 7 (2^-3..2^-10).
      const double mp = ((c.descale >> 8) & 0x7F) * 256 + (c.descale & 0xFF);
      const std::vector<HeaderCell> rev12 = {
          {b, "extended_channel_set", c.number},
          {b, "start_time_ms", 2.0 * c.startTime},
          {b, "descale_multiplier", (c.descale & 0x8000 ? -mp : mp) / 1024},
          {b, "subscans_exponent", c.subscanExponent},
          {b, "alias_filter_frequency", c.aliasFrequency},
          {b, "alias_filter_slope", c.aliasSlope},
          {b, "low_cut_frequency", c.lowCutFrequency},
          {b, "low_cut_slope", c.lowCutSlope},
          {b, "notch_1_frequency", c.notch1},
          {b, "notch_2_frequency", c.notch2},
          {b, "notch_3_frequency", c.notch3},
      };
      cells.insert(cells.end(), rev12.begin(), rev12.end());
    }
  }
  return cells;
}

const model::Field* FindHeaderField(const model::RecordHeaders& h, std::string_view block, std::string_view field) {
  for (const std::vector<model::Block>* list : {&h.generalHeaders, &h.channelSets}) {
    for (const model::Block& b : *list) {
      if (b.name == block) return b.Find(field);
    }
  }
  return nullptr;
}

void ExpectHeadersAsWritten(const GeneralRecord& r, const Scanned& s) {
  const model::RecordHeaders& h = s.out.headers;
  for (const HeaderCell& cell : ExpectedHeaderCells(r)) {
    const model::Field* f = FindHeaderField(h, cell.block, cell.field);
    if (f == nullptr) {
      ADD_FAILURE() << "no field " << cell.block << "." << cell.field;
    } else if (!cell.value) {
      EXPECT_TRUE(f->value.IsNull()) << cell.block << "." << cell.field << " is an escape, read as '" << f->value.text << "'";
    } else if (f->value.kind != model::Value::Kind::Number || std::abs(f->value.number - *cell.value) > 1e-9 * (1 + std::abs(*cell.value))) {
      ADD_FAILURE() << cell.block << "." << cell.field << ": expected " << *cell.value << ", got '" << f->value.text << "'";
    }
  }
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
  // The announced general trailer follows the last trace.
  EXPECT_EQ(s.out.integrity.bytesAfterLastTrace, 32 * static_cast<std::int64_t>(r.trailerBlocks));
  EXPECT_EQ(s.out.integrity.trailerAfterLastTrace, r.trailerBlocks > 0);
  EXPECT_TRUE(s.out.integrity.problems.empty()) << s.out.integrity.problems.front();
}

constexpr Make kMakes[] = {Make::kSercel, Make::kSmartSolo, Make::kFairfield, Make::kOther};
// 1.6 is Fairfield's own marking, read in the rev 1/2 layouts.
constexpr Revision kRevisions[] = {{1, 0}, {1, 6}, {2, 1}, {3, 0}, {3, 1}};
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
