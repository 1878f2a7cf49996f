#include "scan/sn388_model.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>
#include <utility>

#include "scan/channel_set.h"
#include "scan/conversions.h"
#include "scan/general_headers_listing.h"
#include "scan/model_values.h"
#include "scan/trace_columns.h"
#include "scan/trace_walk.h"

namespace segd {

namespace {

using model::Reading;

constexpr std::size_t kFixed = std::size(model::kFixedColumns);
static_assert(kFixed + kTraceColumns <= 64, "a column mask of 64 bits holds every trace column");

void SetInteger(model::Value& value, std::int64_t number) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  value.kind = model::Value::Kind::Number;
  value.text.assign(digits, end);
  value.number = static_cast<double>(number);
  value.flag = false;
}

void SetBool(model::Value& value, bool flag) {
  value.kind = model::Value::Kind::Bool;
  value.flag = flag;
  value.text = flag ? "true" : "false";
  value.number = flag ? 1 : 0;
}

// A field of the trace header: decimal-coded digits, or, when they are all
// F, the binary number in the bytes that take over.
void SetTraceNumber(model::Value& value, const std::uint8_t* header, int first, int last, int takeoverFirst,
                    int takeoverLast) {
  const ByteSpan bytes(header + first - 1, static_cast<std::size_t>(last - first + 1));
  char digits[8];
  std::size_t n = 0;
  bool allF = true;
  for (std::uint8_t b : bytes) {
    allF = allF && b == 0xFF;
    digits[n++] = "0123456789ABCDEF"[b >> 4];
    digits[n++] = "0123456789ABCDEF"[b & 0x0F];
  }
  if (allF) {
    std::uint64_t number = 0;
    for (int i = takeoverFirst; i <= takeoverLast; ++i) number = number << 8 | header[static_cast<std::size_t>(i - 1)];
    return SetInteger(value, static_cast<std::int64_t>(number));
  }
  model::SetValue(value, std::string_view(digits, n), Reading::Bcd);
}

// Column I's value from its text; a text the same as in `before` (when
// given) keeps its value: most columns repeat from trace to trace. The sizes
// are constants, so the comparison is a few loads.
template <std::size_t I>
void FillColumn(const char* texts, const char* before, model::Value& value) {
  constexpr const TraceColumn& column = kTraceColumnTable[I];
  const char* const text = texts + column.offset;
  if (before != nullptr && std::memcmp(text, before + column.offset, column.textWidth) == 0) return;
  model::SetValue(value, std::string_view(text, column.textWidth), model::ReadingOf(column.type));
}

void AddSummary(model::Block& summary, std::string_view name, std::string_view shown, Reading reading) {
  model::Field& field = summary.fields.emplace_back();
  field.name = name;
  model::AppendWithoutNul(field.raw, TrimBlanks(shown));
  model::SetValue(field.value, shown, reading);
}

void FillSummary(const Sn388Headers& h, model::Block& summary) {
  const auto& g1 = h.general1;
  const auto& g3 = h.general3;
  const auto& ext = h.extended;
  summary.name = "summary";
  AddSummary(summary, "file_number", g1.FileNumber.View(), Reading::Bcd);
  AddSummary(summary, "date", g1.DateText.View(), Reading::Text);
  AddSummary(summary, "time", g1.TimeText.View(), Reading::Text);
  AddSummary(summary, "julian_day", g1.JulianDay.View(), Reading::Bcd);
  AddSummary(summary, "record_type", g1.RecordTypeText.View(), Reading::Text);
  AddSummary(summary, "sample_interval_ms", g1.SampleRateText.View(), Reading::Number);
  AddSummary(summary, "record_length_ms", ext.AcquisitionLength.View(), Reading::Number);
  AddSummary(summary, "samples_per_trace", ext.SamplesPerTrace.View(), Reading::Number);
  AddSummary(summary, "source_line", g3.SourceLineText.View(), Reading::Number);
  AddSummary(summary, "source_point", g3.SourcePointText.View(), Reading::Number);
  AddSummary(summary, "source_easting", ext.SourceEasting.View(), Reading::Number);
  AddSummary(summary, "source_northing", ext.SourceNorthing.View(), Reading::Number);
  AddSummary(summary, "source_elevation", ext.SourceElevation.View(), Reading::Number);
  AddSummary(summary, "shot_number", ext.ShotNumber.View(), Reading::Number);
  AddSummary(summary, "traces_announced", ext.TotalTraces.View(), Reading::Number);
  AddSummary(summary, "aux_traces", ext.AuxTraces.View(), Reading::Number);
  AddSummary(summary, "seis_traces", ext.SeisTraces.View(), Reading::Number);
  AddSummary(summary, "live_seis_traces", ext.LiveSeisTraces.View(), Reading::Number);
  AddSummary(summary, "software_version", ext.SoftwareVersion.View(), Reading::Text);
  AddSummary(summary, "tape_label", ext.TapeLabel.View(), Reading::Text);
  AddSummary(summary, "tape_number", ext.TapeNumber.View(), Reading::Number);
}

}  // namespace

void FillSn388Headers(const Sn388Headers& h, const std::string& path, std::uint64_t size, model::RecordHeaders& out) {
  const auto& g1 = h.general1;
  out = model::RecordHeaders{};
  out.path = path;
  out.sizeBytes = size;
  if (g1.FileNumber.View() == "FFFF") {
    model::SetValue(out.fileNumber, h.general2.ExpandedFileNumberText.View(), Reading::Number);
  } else {
    model::SetValue(out.fileNumber, g1.FileNumber.View(), Reading::Bcd);
  }
  out.manufacturerCode = SaturatedCount(DigitValue(g1.ManufacturerCode.View()));
  model::AppendWithoutNul(out.manufacturer, TrimBlanks(g1.ManufacturerText.View()));
  if (SaturatedCount(DigitValue(g1.AdditionalBlocks.View())) >= 1) {
    out.revision = std::string(TrimBlanks(h.general2.RevisionText.View()));
  }
  out.formatCode = SaturatedCount(DigitValue(g1.FormatCode.View()));
  out.samplesPerTrace.assign(static_cast<std::size_t>(h.channelSetCount), h.SamplesPerTrace());

  AddGeneralHeaderBlocks(g1, h.general2, h.general3, out.generalHeaders);
  for (std::int32_t i = 0; i < h.channelSetCount; ++i) {
    const ChannelSetRecord& record = h.channelSets[static_cast<std::size_t>(i)];
    if (IsListedChannelSet(record)) AddChannelSetBlock(record, i + 1, out.channelSets);
  }
  FillExtendedBlock(h.extended, out.extendedHeader);

  const std::string_view image = h.external.HexImage.View();
  const std::size_t kept = static_cast<std::size_t>(std::min<std::uint64_t>(h.externalHeaderBytes, image.size() / 2));
  out.externalBytes.reserve(kept);
  for (std::size_t i = 0; i < kept; ++i) {
    out.externalBytes.push_back(static_cast<std::uint8_t>(HexValue(image.substr(2 * i, 2))));
    if (out.externalBytes.back() != 0) out.externalText.push_back(static_cast<char>(out.externalBytes.back()));
  }

  FillSummary(h, out.summary);

  using model::ValueType;
  for (std::string_view fixed : model::kFixedColumns) {
    out.traceColumns.push_back({std::string(fixed), fixed == "past_end" ? ValueType::Bool : ValueType::Integer});
  }
  for (const TraceColumn& column : kTraceColumnTable) {
    out.traceColumns.push_back({std::string(column.name), column.type, column.flag, column.dead});
  }
}

bool TracePastEnd(const TracePlace& place, std::uint64_t size) {
  if (place.offset < 0) return true;
  const std::uint64_t headerEnd = static_cast<std::uint64_t>(place.offset) + place.headerBytes;
  if (headerEnd > size) return true;
  return place.sampleBytes > 0 && static_cast<std::uint64_t>(place.sampleBytes) > size - headerEnd;
}

void FillSn388Row(const TracePlace& place, bool pastEnd, const std::uint8_t* header, const TraceRecords& records,
                  model::TraceRow& row, const TraceRecords* previous, std::uint64_t columnsRead) {
  if (row.values.size() != kFixed + kTraceColumns) row.values.resize(kFixed + kTraceColumns);
  row.trace = place.sequence;
  row.byteOffset = place.offset < 0 ? 0 : static_cast<std::uint64_t>(place.offset);
  row.pastEnd = pastEnd;
  SetInteger(row.values[0], place.sequence);
  SetTraceNumber(row.values[1], header, 1, 2, 18, 20);
  SetTraceNumber(row.values[2], header, 4, 4, 16, 17);
  SetTraceNumber(row.values[3], header, 5, 6, 5, 6);
  SetInteger(row.values[4], static_cast<std::int64_t>(row.byteOffset));
  SetBool(row.values[5], pastEnd);
  const char* const texts = reinterpret_cast<const char*>(&records);
  const char* const before = reinterpret_cast<const char*>(previous);
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    ((columnsRead >> (kFixed + I) & 1 ? FillColumn<I>(texts, before, row.values[kFixed + I]) : void()), ...);
  }(std::make_index_sequence<kTraceColumns>());
}

Sn388IntegrityCount::Sn388IntegrityCount(const Sn388Headers& headers, std::uint64_t size) {
  integrity_.tracesAnnounced = headers.TotalTraces();
  integrity_.fileSize = size;
  trailerBytes_ = std::min<std::uint64_t>(HexValue(headers.general2.GeneralTrailerBlocks.View()), 0xFFFF) * 32;
}

void Sn388IntegrityCount::Trace(std::int64_t sequence, bool pastEnd) {
  ++integrity_.tracesListed;
  if (!pastEnd) return;
  ++integrity_.tracesPastEnd;
  if (!integrity_.firstTracePastEnd) integrity_.firstTracePastEnd = sequence;
}

model::Integrity Sn388IntegrityCount::Finish(std::int64_t endOffset) const {
  model::Integrity integrity = integrity_;
  integrity.bytesAfterLastTrace = static_cast<std::int64_t>(integrity.fileSize) - endOffset;
  integrity.trailerAfterLastTrace = trailerBytes_ > 0 && integrity.bytesAfterLastTrace == static_cast<std::int64_t>(trailerBytes_);
  if (integrity.tracesPastEnd > 0) {
    integrity.problems.push_back(std::to_string(integrity.tracesPastEnd) + " traces reach past the end of the file (from trace " +
                                 std::to_string(*integrity.firstTracePastEnd) + ")");
  }
  if (integrity.bytesAfterLastTrace > 0 && !integrity.trailerAfterLastTrace) {
    integrity.problems.push_back(std::to_string(integrity.bytesAfterLastTrace) + " bytes after the last trace");
  }
  return integrity;
}

Sn388ModelFeed::Sn388ModelFeed(const Sn388Headers& headers, const std::string& path, std::uint64_t size,
                               model::RecordConsumer& consumer)
    : headers_(headers), path_(path), size_(size), consumer_(consumer), integrity_(headers, size) {
  place_.headerBytes = TraceHeaderBytesRead(headers.TraceExtensions());
  place_.sampleBytes = std::int64_t{4} * headers.SamplesPerTrace();
}

void Sn388ModelFeed::Begin() {
  FillSn388Headers(headers_, path_, size_, model_);
  consumer_.Begin(model_);
  // Columns the consumer does not read stay Null: their conversion is spared.
  if (const std::vector<bool> read = consumer_.ColumnsRead(model_); !read.empty()) {
    columnsRead_ = 0;
    for (std::size_t i = 0; i < read.size() && i < 64; ++i) columnsRead_ |= std::uint64_t{read[i]} << i;
  }
  texts_ = dynamic_cast<model::RowTexts*>(&consumer_);
  textCount_ = texts_ != nullptr ? texts_->RowTextCount() : 0;
}

void Sn388ModelFeed::FillRow(std::int32_t sequence, std::int64_t offset, const std::uint8_t* header,
                            const TraceRecords& records, model::TraceRow& row, const TraceRecords* previous) const {
  TracePlace place = place_;
  place.sequence = sequence;
  place.offset = offset;
  FillSn388Row(place, TracePastEnd(place, size_), header, records, row, previous, columnsRead_);
}

void Sn388ModelFeed::Row(const model::TraceRow& row) {
  integrity_.Trace(row.trace, row.pastEnd);
  consumer_.Row(row);
}

void Sn388ModelFeed::AddToBatch(std::int32_t sequence, std::int64_t offset, const std::uint8_t* header,
                                const TraceRecords& records, TraceBatch& batch) const {
  const auto k = static_cast<std::size_t>(sequence - batch.first);
  if (textCount_ == 0) {
    if (batch.rows.size() <= k) batch.rows.resize(k + 1);
    return FillRow(sequence, offset, header, records, batch.rows[k]);
  }
  // One row at a time, made into each output's bytes at once.
  if (batch.rows.empty()) batch.rows.resize(1);
  if (batch.texts.size() != textCount_) batch.texts.resize(textCount_);
  model::TraceRow& row = batch.rows.front();
  FillRow(sequence, offset, header, records, row, batch.rowFilled ? &batch.rowRecords : nullptr);
  batch.rowRecords = records;
  batch.rowFilled = true;
  batch.pastEnd.push_back(row.pastEnd ? 1 : 0);
  for (std::size_t j = 0; j < textCount_; ++j) texts_->AppendRowText(j, row, batch.texts[j]);
}

void Sn388ModelFeed::TakeBatch(const TraceBatch& batch) {
  for (std::int32_t k = 0; k < batch.count; ++k) {
    const auto i = static_cast<std::size_t>(k);
    if (textCount_ == 0) {
      Row(batch.rows[i]);
    } else {
      integrity_.Trace(batch.first + k, batch.pastEnd[i] != 0);
    }
  }
  for (std::size_t j = 0; j < textCount_; ++j) texts_->TakeRowText(j, batch.texts[j]);
}

model::Integrity Sn388ModelFeed::End(std::int64_t endOffset, const std::vector<model::Notice>& notices) {
  model::Integrity integrity = integrity_.Finish(endOffset);
  consumer_.End(model_, integrity, notices);
  return integrity;
}

}  // namespace segd
