// General SEG-D records written field by field (tools/segd_record.h), of
// every revision, make and sample format, read back through the scan entry:
// every header and trace field comes back as written and the walk ends
// exactly at the end of the record; cut and padded copies are found out.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "scan/io/byte_source.h"
#include "scan/model/record_scan.h"
#include "tools/segd_record.h"

namespace segd {
namespace {

using namespace writer::general;
using writer::Block32;
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
  // A fixed-point number's fraction takes its integer part's sign.
  auto Fixed = [](std::int32_t whole, std::uint16_t fraction) { return whole + (whole < 0 ? -1 : 1) * fraction / 65536.0; };
  std::vector<std::pair<std::string, double>> cells = {
      {"file_number", r.fileNumber},
      {"scan_type", p.scanType},
      {"channel_set", p.channelSet},
      {"trace_number", p.channel},
      {"first_timing_word_ms", v.firstTimingWord / 256.0},
      {"extension_count", p.countInTrace ? p.extensions : 0},
      {"sample_skew", v.sampleSkew},
      {"trace_edit", v.traceEdit},
      {"time_break_window_ms", v.timeBreakWindow / 256.0},
      {"extended_channel_set", p.channelSet},
      {"extended_file_number", r.fileNumber},
      {"byte_offset", static_cast<double>(p.byteOffset)},
  };
  if (p.extensions == 0) return cells;
  const std::vector<std::pair<std::string, double>> extension1 = {
      {"receiver_point_index", v.receiverIndex},
      {"samples", p.samples},
      {"extended_receiver_line", Fixed(v.extendedReceiverLine, v.extendedReceiverLineFraction)},
      {"extended_receiver_point", Fixed(v.extendedReceiverPoint, v.extendedReceiverPointFraction)},
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
      cells.emplace_back(fields[i].name, MakeFieldValue(fields[i], i, p.index) / fields[i].stored);
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
      {g1, "year", (r.year > 70 ? 1900 : 2000) + r.year},
      // A half-byte count: its escape F reads as the number 15.
      {g1, "additional_blocks", rev3 && (e.additionalBlocks || l.additionalBlocks > 14) ? 15 : static_cast<double>(l.additionalBlocks)},
      {g1, "julian_day", r.julianDay},
      {g1, "hour", r.hour},
      {g1, "minute", r.minute},
      {g1, "second", r.second},
      {g1, "manufacturer_code", ManufacturerCode(r.make)},
      {g1, "manufacturer_serial", r.serialNumber},
      {g1, "base_scan_interval_ms", (rev3 && e.baseScanInterval ? 255 : r.baseScanInterval) / 16.0},
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
          {b, "channel_set", rev3 ? c.number : Or(c.number > 99, c.number)},  // above 99: bytes 27-28
          {b, "channels", c.channels},
          {b, "channel_type", c.channelType},
          {b, "trace_header_extensions", c.extensions},
          {b, "extended_header_flag", c.extendedHeaderFlag},
          {b, "gain_control", c.gainControl},
          {b, "vertical_stack", c.verticalStack},
          // Fairfield uses byte 31 for the unit's channel.
          {b, r.make == Make::kFairfield && !rev3 ? "fairfield_unit_channel" : "streamer_number", c.streamer},
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
          {b, "notch_1_frequency", c.notch1 / 10.0},  // 0.1 Hz
          {b, "notch_2_frequency", c.notch2 / 10.0},
          {b, "notch_3_frequency", c.notch3 / 10.0},
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

// The extended and external headers' fields the makes announce, and the
// summary's channel set counts.
std::vector<HeaderCell> ExpectedMakeCells(const GeneralRecord& r) {
  const GeneralLayout l = LayoutOfGeneral(r);
  double used = 0, unused = 0;
  for (const ScanType& t : r.scanTypes) {
    for (std::size_t i = 0; i < r.scanTypes.front().sets.size(); ++i) ++(i < t.sets.size() && t.sets[i].used ? used : unused);
  }
  const double traces = static_cast<double>(l.traces);
  std::vector<HeaderCell> cells = {
      {"extended_header", "blocks", static_cast<double>(ExtendedHeaderOf(r).size() / 32)},
      {"external_header", "blocks", static_cast<double>(ExternalHeaderOf(r).size() / 32)},
      {"summary", "channel_sets", used},
      {"summary", "unused_channel_sets", unused},
  };
  if (r.make == Make::kSmartSolo && !r.revision.Rev3() && !r.extendedHeader) {
    const std::vector<HeaderCell> more = {
        {"extended_header", "traces", traces},
        {"extended_header", "samples_per_trace", static_cast<double>(r.scanTypes[0].sets[0].samples)},
        {"extended_header", "sample_interval_us", r.baseScanInterval * 1000.0 / 16},
        {"extended_header", "gather_type", 2},
        {"external_header", "file_number", r.fileNumber},
        {"external_header", "time_break_gps_us", static_cast<double>(r.timestamp)},
        {"summary", "traces_announced", traces},
    };
    cells.insert(cells.end(), more.begin(), more.end());
  }
  if (r.make == Make::kFairfield && r.revision.major == 1 && r.revision.minor == 6 && !r.extendedHeader) {
    const std::vector<HeaderCell> more = {
        {"extended_header", "records", traces},
        {"extended_header", "file_number", r.fileNumber},
        {"extended_header", "deploy_epoch_us", static_cast<double>(r.timestamp)},
        {"extended_header", "receiver_point", 500},
        {"external_header", "receiver_point", 500},
    };
    cells.insert(cells.end(), more.begin(), more.end());
  }
  return cells;
}

void ExpectHeadersAsWritten(const GeneralRecord& r, const Scanned& s) {
  const model::RecordHeaders& h = s.out.headers;
  std::vector<HeaderCell> cells = ExpectedHeaderCells(r);
  for (HeaderCell& c : ExpectedMakeCells(r)) cells.push_back(std::move(c));
  for (const HeaderCell& cell : cells) {
    const model::Field* f = cell.block == "extended_header"   ? h.extendedHeader.Find(cell.field)
                            : cell.block == "external_header" ? h.externalHeader.Find(cell.field)
                            : cell.block == "summary"         ? h.summary.Find(cell.field)
                                                              : FindHeaderField(h, cell.block, cell.field);
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

struct Variation {
  const char* what;
  Make make;
  Revision revision;
  std::function<void(GeneralRecord&)> change;
};

void ForEachSet(GeneralRecord& r, const std::function<void(ChannelSet&)>& change) {
  for (ScanType& t : r.scanTypes) {
    for (ChannelSet& s : t.sets) {
      if (s.used) change(s);
    }
  }
}

// Shapes the presets do not reach: counts past the decimal digits, so that
// the escapes are forced, and the fallbacks of the walk.
TEST(GeneralRoundTrip, CountsPastTheirDigitsAndTheWalksFallbacksReadBackAndEndExactly) {
  const Variation cases[] = {
      {"the extension count only in the channel set descriptor", Make::kSmartSolo, {2, 1},
       [](GeneralRecord& r) { ForEachSet(r, [](ChannelSet& s) { s.extensionCountInTrace = false; }); }},
      {"rev 3: the extension count only in the channel set descriptor", Make::kOther, {3, 0},
       [](GeneralRecord& r) { ForEachSet(r, [](ChannelSet& s) { s.extensionCountInTrace = false; }); }},
      {"a file number above 9999", Make::kSercel, {1, 0}, [](GeneralRecord& r) { r.fileNumber = 123456; }},
      {"channel set numbers above 99", Make::kFairfield, {2, 1},
       [](GeneralRecord& r) { ForEachSet(r, [](ChannelSet& s) { s.number += 140; }); }},
      {"more than 99 channel set slots", Make::kSmartSolo, {2, 1},
       [](GeneralRecord& r) { r.scanTypes[0].sets.resize(120, UnusedSlot()); }},
      {"more than 99 extended and external blocks", Make::kOther, {2, 1},
       [](GeneralRecord& r) {
         r.extendedHeader = Bytes(32 * 150, 0x11);
         r.externalHeader = Bytes(32 * 101, 0x22);
       }},
      {"samples per trace differing between channel sets", Make::kFairfield, {2, 1},
       [](GeneralRecord& r) {
         std::uint32_t n = 0;
         ForEachSet(r, [&](ChannelSet& s) { s.samples = 100 * ++n + 1; });
       }},
      {"channel set times that disagree with the stated sample count", Make::kSercel, {1, 0},
       [](GeneralRecord& r) { ForEachSet(r, [](ChannelSet& s) { s.endTime = 7; }); }},
      {"8015 with a partial last group of samples", Make::kOther, {2, 1},
       [](GeneralRecord& r) {
         r.formatCode = 8015;
         ForEachSet(r, [](ChannelSet& s) { s.samples = 30; });
       }},
      {"rev 3: trace numbers above 9999", Make::kOther, {3, 1},
       [](GeneralRecord& r) {
         r.scanTypes.resize(1);
         r.scanTypes[0].sets[0].channels = 10001;
         ForEachSet(r, [](ChannelSet& s) { s.samples = 2; });
       }},
      {"rev 3: more than 14 additional general header blocks", Make::kOther, {3, 1},
       [](GeneralRecord& r) {
         for (std::uint8_t type = 0x10; type <= 0x1F; ++type) {
           Block32 b{};
           b[31] = type;
           r.moreGeneralBlocks.push_back(b);
         }
       }},
      {"a set of more than 9999 channels, written as two sets", Make::kSmartSolo, {2, 1},
       [](GeneralRecord& r) { r = PresetRecord(Make::kSmartSolo, {2, 1}, 8058, 12000, 1); }},
      {"rev 3: more than 99 skew blocks", Make::kSercel, {3, 0}, [](GeneralRecord& r) { r.skewBlocks = 120; }},
  };
  for (const Variation& v : cases) {
    SCOPED_TRACE(v.what);
    GeneralRecord r = PresetRecord(v.make, v.revision, 8058, 13, 28);
    v.change(r);
    const auto s = Scan(ComposeGeneral(r));
    ExpectExactEnd(r, *s);
    ExpectHeadersAsWritten(r, *s);
    ExpectRowsAsWritten(r, *s);
  }
}

struct Damage {
  const char* what;
  std::function<void(GeneralRecord&, const GeneralLayout&)> change;
  std::int64_t firstPastEnd;  // 1-based; 0: none
  bool trailer;               // the bytes left over hold the announced trailer
};

// Cut and padded copies of every make's record: the rows past the end are
// marked, the bytes short or left over are counted, and each is a finding.
TEST(GeneralRoundTrip, CutAndPaddedCopiesAreFoundOutTraceByTrace) {
  auto TraceStart = [](const GeneralRecord& r, std::uint64_t index) {
    std::uint64_t at = 0;
    ForEachTrace(r, [&](const TracePlace& p) {
      if (p.index == index) at = p.byteOffset;
    });
    return at;
  };
  const Damage damages[] = {
      {"cut inside the samples of trace 5", [&](GeneralRecord& r, const GeneralLayout&) { r.cutAt = TraceStart(r, 5) - 1; }, 5, false},
      {"cut inside the header of trace 5", [&](GeneralRecord& r, const GeneralLayout&) { r.cutAt = TraceStart(r, 4) + 10; }, 5, false},
      {"cut after the last trace's header", [&](GeneralRecord& r, const GeneralLayout& l) { r.cutAt = l.tracesEnd - 1; }, 13, false},
      {"padded with 100 zero bytes", [](GeneralRecord& r, const GeneralLayout&) { r.padBytes = 100; }, 0, false},
      {"padded with 3 zero bytes after a general trailer",
       [](GeneralRecord& r, const GeneralLayout&) {
         r.trailerBlocks = 2;
         r.padBytes = 3;
       },
       0, true},
  };
  for (const Make make : kMakes) {
    for (const Revision rev : {Revision{2, 1}, Revision{3, 1}}) {
      for (const Damage& d : damages) {
        GeneralRecord r = PresetRecord(make, rev, 8036, 13, 28);
        r.trailerBlocks = 0;
        d.change(r, LayoutOfGeneral(r));
        const GeneralLayout l = LayoutOfGeneral(r);
        SCOPED_TRACE(RevisionText(rev) + " " + MakeName(make) + ": " + d.what);
        const auto s = Scan(ComposeGeneral(r));
        const model::Integrity& i = s->out.integrity;
        EXPECT_EQ(s->result.status, model::ScanStatus::Findings);
        EXPECT_EQ(i.fileSize, l.fileBytes);
        ASSERT_EQ(s->out.rows.size(), l.traces);
        for (const model::TraceRow& row : s->out.rows) {
          EXPECT_EQ(row.pastEnd, d.firstPastEnd != 0 && row.trace >= d.firstPastEnd) << "trace " << row.trace;
        }
        EXPECT_EQ(i.tracesPastEnd, d.firstPastEnd == 0 ? 0 : static_cast<std::int64_t>(l.traces) - d.firstPastEnd + 1);
        EXPECT_EQ(i.firstTracePastEnd, d.firstPastEnd == 0 ? std::nullopt : std::optional<std::int64_t>(d.firstPastEnd));
        const std::int64_t left = static_cast<std::int64_t>(l.fileBytes) - static_cast<std::int64_t>(l.tracesEnd);
        EXPECT_EQ(i.bytesAfterLastTrace, left);
        EXPECT_EQ(i.trailerAfterLastTrace, d.trailer);
        EXPECT_EQ(i.problems.size(), 1u);
      }
    }
  }
}

// The file writer (make_segd, the benchmark) streams the very bytes the
// memory writer composes, cut and padding included.
TEST(GeneralRoundTrip, RecordFilesHoldTheComposedBytes) {
  const std::filesystem::path path = std::filesystem::path(SEGD_BINARY_DIR) / "general_roundtrip.segd";
  for (const Make make : kMakes) {
    GeneralRecord r = PresetRecord(make, {3, 1}, 8024, 9, 17);
    r.escapes = Escapes::All();
    r.sampleFill = SampleFill::kPattern;
    for (const std::optional<std::uint64_t> cut : {std::optional<std::uint64_t>(), std::optional<std::uint64_t>(5000)}) {
      SCOPED_TRACE(std::string(MakeName(make)) + (cut ? " cut" : " padded"));
      r.cutAt = cut;
      r.padBytes = cut ? 0 : 96;
      r.padKind = PadKind::kTrailer;
      ASSERT_TRUE(WriteGeneralFile(r, path));
      std::ifstream in(path, std::ios::binary);
      const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      EXPECT_EQ(file, ComposeGeneral(r));
      EXPECT_EQ(file.size(), LayoutOfGeneral(r).fileBytes);
    }
  }
  std::filesystem::remove(path);
}

#ifdef SEGD_MAKE_SEGD
// make_segd's options reach the record: the file is the preset with the
// same changes; --help and bad options give their exit status.
TEST(GeneralRoundTrip, MakeSegdWritesThePresetRecordItsOptionsDescribe) {
  const std::string out = (std::filesystem::path(SEGD_BINARY_DIR) / "make_segd_test.segd").string();
  auto Run = [&](const std::string& args) {
    const int status = std::system((std::string(SEGD_MAKE_SEGD) + " " + args + " >" + out + ".log 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  ASSERT_EQ(Run("--rev 3.1 --make fairfield --format 9036 --traces 7 --samples 5 --extensions 3 --escapes --skew 2 "
                "--trailer 1 --file-number 12345 --pattern --pad-trailer 64 " + out), 0);
  GeneralRecord r = PresetRecord(Make::kFairfield, {3, 1}, 9036, 7, 5);
  ForEachSet(r, [](ChannelSet& s) { s.extensions = 3; });
  r.escapes = Escapes::All();
  r.skewBlocks = 2;
  r.trailerBlocks = 1;
  r.fileNumber = 12345;
  r.sampleFill = SampleFill::kPattern;
  r.padBytes = 64;
  r.padKind = PadKind::kTrailer;
  std::ifstream in(out, std::ios::binary);
  EXPECT_EQ(Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), ComposeGeneral(r));
  EXPECT_EQ(Run("--rev 1.0 --make sercel --cut 1000 " + out), 0);
  EXPECT_EQ(std::filesystem::file_size(out), 1000u);
  EXPECT_EQ(Run("--help"), 0);
  for (const char* bad : {"--format 8059 x", "--make nobody x", "--rev 2 x", "--traces 0 x", "--bogus x", ""}) {
    EXPECT_EQ(Run(bad), 2) << bad;
  }
  std::filesystem::remove(out);
  std::filesystem::remove(out + ".log");
}
#endif

// In a cut record the traces whose headers lie past the end take the sample
// count the traces of their channel set (or of one with the same times)
// stated in extension 1, not the set's times: the shortfall is exact (Sercel
// 2.1 8036, cut 1000 bytes into the traces, is 3264 bytes short, where the
// times would give 3294; Fairfield's later sets lie wholly past the end).
TEST(GeneralRoundTrip, ACutRecordIsShortByExactlyTheBytesItLacks) {
  for (const Make make : kMakes) {
    SCOPED_TRACE(MakeName(make));
    GeneralRecord r = PresetRecord(make, {2, 1}, 8036, 13, 28);
    r.trailerBlocks = 0;
    const GeneralLayout whole = LayoutOfGeneral(r);
    r.cutAt = whole.headerBytes + 1000;
    const auto s = Scan(ComposeGeneral(r));
    EXPECT_EQ(s->out.integrity.bytesAfterLastTrace, -static_cast<std::int64_t>(whole.tracesEnd - *r.cutAt));
  }
}

// Rev 3 general trailer blocks name themselves (byte 32 = 0x70): blocks
// that block 2 does not count are still told apart from other bytes left
// over (still a finding: the header's count disagrees).
TEST(GeneralRoundTrip, Rev3TrailerBlocksLeftOverAreRecognisedAsATrailer) {
  struct Pad {
    Revision rev;
    std::uint64_t bytes;
    PadKind kind;
    bool trailer;
  };
  const Pad pads[] = {{{3, 1}, 64, PadKind::kTrailer, true},
                      {{3, 0}, 32, PadKind::kTrailer, true},
                      {{3, 1}, 64, PadKind::kZero, false},
                      {{3, 1}, 80, PadKind::kTrailer, false},  // a part block is no trailer
                      {{2, 1}, 64, PadKind::kTrailer, false}};  // rev 1/2 blocks carry no type
  for (const Pad& p : pads) {
    SCOPED_TRACE(RevisionText(p.rev) + " " + std::to_string(p.bytes));
    GeneralRecord r = PresetRecord(Make::kOther, p.rev, 8058, 13, 28);
    r.trailerBlocks = 0;
    r.padBytes = p.bytes;
    r.padKind = p.kind;
    const auto s = Scan(ComposeGeneral(r));
    EXPECT_EQ(s->out.integrity.bytesAfterLastTrace, static_cast<std::int64_t>(p.bytes));
    EXPECT_EQ(s->out.integrity.trailerAfterLastTrace, p.trailer);
    EXPECT_EQ(s->out.integrity.problems.size(), 1u);  // block 2 does not count them
  }
}

}  // namespace
}  // namespace segd
