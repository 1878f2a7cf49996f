#include "output/export_walk.h"

#include <algorithm>
#include <cmath>

namespace segd::output {
namespace {

// The fixed columns every row starts with (model::kFixedColumns).
enum FixedColumn : std::size_t { kFileNumber = 1, kChannelSet = 2, kTraceNumber = 3 };

std::optional<double> RowNumber(const model::TraceRow& row, std::size_t column) {
  return column < row.values.size() ? NumberOf(row.values[column]) : std::nullopt;
}

std::optional<StartTime> StartOf(const samples::TraceSamples& t) {
  if (!t.startUnixMicros) return std::nullopt;
  const bool header = t.timeSource == samples::TimeSource::kGeneralHeader;
  return StartTime{*t.startUnixMicros, header ? TimeBasis::GeneralHeader : TimeBasis::Utc,
                   std::string(samples::TimeSourceName(t.timeSource))};
}

}  // namespace

#ifdef SEGD_HAVE_MSEED
struct RecordExport::Mseed {
  MseedWriter writer;
};
#else
struct RecordExport::Mseed {};
#endif

RecordExport::RecordExport(ByteSink* segy, SegyOptions segyOptions, ByteSink* mseed, MseedOptions mseedOptions,
                           std::string toolVersion)
    : segySink_(segy), mseedSink_(mseed), segyOptions_(segyOptions), mseedOptions_(std::move(mseedOptions)) {
  record_.toolVersion = std::move(toolVersion);
  if (segySink_) segy_.emplace(*segySink_, segyOptions_);
  if (mseedSink_) {
#ifdef SEGD_HAVE_MSEED
    if (auto refusal = MseedOptionsRefusal(mseedOptions_)) Fail(*refusal);
    mseed_ = std::make_unique<Mseed>(Mseed{MseedWriter(*mseedSink_, mseedOptions_)});
#else
    Fail("this build of segdreport writes no miniSEED (it was built without libmseed)");
#endif
  }
}

RecordExport::~RecordExport() = default;

void RecordExport::Fail(std::string reason) {
  if (error_.empty()) error_ = std::move(reason);
  stop_ = true;
}

void RecordExport::Begin(const samples::SampleRecord& r) {
  const model::RecordHeaders& h = r.headers;
  headers_ = &h;
  fields_.emplace(h);
  record_.fileNumber = fields_->FileNumber();
  record_.path = h.path;
  record_.sizeBytes = h.sizeBytes;
  record_.revision = h.revision.value_or("");
  record_.manufacturer = h.manufacturer.empty() ? std::to_string(h.manufacturerCode) : h.manufacturer;
  record_.formatCode = h.formatCode;
  fields_->CountTraces(record_);
  record_.samplesPerTrace = 0;
  for (const samples::ChannelSetSamples& set : r.sets) {
    record_.samplesPerTrace = std::max(record_.samplesPerTrace, set.samples);
    if (record_.intervalUs == 0 && set.intervalUs > 0) record_.intervalUs = std::llround(set.intervalUs);
  }
  for (std::int64_t samples : h.samplesPerTrace) record_.samplesPerTrace = std::max(record_.samplesPerTrace, samples);
  record_.scaling = !r.scaled ? "none" : record_.revision.starts_with("3") ? "descale multiplier" : "2^MP";
  record_.units = std::string(r.units);
  for (std::size_t i = 0; i < h.traceColumns.size(); ++i) {
    if (h.traceColumns[i].dead) deadColumn_ = i;
  }
  // A format the walk knows is left unread only when the headers announce
  // more samples than the file holds (told in the walk's notice).
  if (!r.format) {
    Fail(samples::FindSampleFormat(h.formatCode) != nullptr
             ? "the headers announce far more samples than the file holds: nothing exported"
             : "format " + std::to_string(h.formatCode) + ": its samples are not read, nothing exported");
  }
  if (segy_) {
    if (auto refusal = SegyRefusal(record_, segyOptions_)) Fail("SEG-Y not written: " + *refusal);
  }
}

void RecordExport::BeginSegy(const std::optional<StartTime>& timeZero) {
  segyBegun_ = true;
  record_.start = timeZero;
  std::string error;
  if (!segy_->Begin(record_, error)) Fail("SEG-Y not written: " + error);
}

void RecordExport::Trace(const samples::TraceSamples& s) {
  if (interrupt_ && *interrupt_) Fail("interrupted");
  if (stop_) return;
  ExportTrace t;
  t.sequence = s.row.trace;
  // The trace's file number, or the record's where the trace header holds 0.
  if (const auto n = RowNumber(s.row, kFileNumber)) t.fileNumber = static_cast<std::int64_t>(*n);
  if (t.fileNumber.value_or(0) == 0 && record_.fileNumber) t.fileNumber = record_.fileNumber;
  t.channelSet = static_cast<std::int64_t>(RowNumber(s.row, kChannelSet).value_or(double(s.set.number)));
  t.traceNumber = static_cast<std::int64_t>(RowNumber(s.row, kTraceNumber).value_or(0));
  t.channelType = s.set.channelType;
  t.dead = deadColumn_ && RowNumber(s.row, *deadColumn_).value_or(0) != 0;
  t.intervalUs = std::llround(s.set.intervalUs);
  t.delayMs = std::llround(s.set.startTimeMs);
  t.start = StartOf(s);
  t.samples = s.samples;
  fields_->Fill(s.row, s.setIndex, t);

  if (segy_ && !segyBegun_) {
    std::optional<StartTime> timeZero = t.start;
    if (timeZero) timeZero->microseconds -= t.delayMs * 1000;
    BeginSegy(timeZero);
  }
  if (segy_ && !stop_) segy_->Trace(t);
#ifdef SEGD_HAVE_MSEED
  std::string error;
  if (mseed_ && !stop_ && !mseed_->writer.Trace(t, error)) Fail("miniSEED not written: " + error);
#endif
}

void RecordExport::End(const model::RecordHeaders&, const model::Integrity&, const std::vector<model::Notice>&) {
  if (segy_ && !segyBegun_ && !stop_) BeginSegy(std::nullopt);  // a record without traces
}

bool RecordExport::Finish() {
  // A record whose headers do not decode has nothing to export.
  if (headers_ == nullptr && error_.empty()) error_ = "the record's headers do not decode: nothing to export";
  bool ok = error_.empty() && headers_ != nullptr;
  // A failed export's sinks are left unclosed: the caller drops them, so
  // that no partial file takes the name.
  if (!ok) return false;
  if (segy_ && !segy_->Finish()) ok = false;
#ifdef SEGD_HAVE_MSEED
  if (mseed_ && !mseed_->writer.Finish()) ok = false;
#endif
  if (!ok && error_.empty()) error_ = "an output could not be written completely";
  return ok;
}

}  // namespace segd::output
