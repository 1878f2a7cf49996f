// The record facts every output gives at its top: interval, length, trace
// count and the time of time zero, from the summary the headers filled.
#include "scan/samples/utc_time.h"
#include "scan/standard/decoder_parts.h"

namespace segd::generic {

namespace {

const model::Value* SummaryValue(const model::RecordHeaders& headers, std::string_view name) {
  const model::Field* f = headers.summary.Find(name);
  return f != nullptr && !f->value.IsNull() ? &f->value : nullptr;
}

}  // namespace

// GPS time becomes UTC through the one table of leap seconds, the one the
// sample walk's start times use.
std::string GpsMicrosecondsToIso(std::int64_t gpsMicros) {
  return samples::FormatUtc(samples::LeapSeconds::BuiltIn().GpsToUnixMicros(gpsMicros));
}

void AddRecordFacts(const RecordShape& shape, model::RecordHeaders& headers) {
  // Reals whatever the make stores (whole milliseconds or 1.024 s units).
  if (const model::Value* v = SummaryValue(headers, "sample_interval_ms")) headers.sampleIntervalMs = RealValue(v->number);
  if (const model::Value* v = SummaryValue(headers, "record_length_ms")) headers.recordLengthMs = RealValue(v->number);
  std::int64_t traces = 0;
  for (const ChannelSetShape& set : shape.sets) traces += set.channels;
  headers.traceCount = IntegerValue(traces);
  // The make's GPS time of time zero where it gives one; else block 1's
  // date and time, which some recorders write in local time.
  const model::Value* gps = SummaryValue(headers, "time_zero_gps_us");
  if (gps != nullptr && gps->kind == model::Value::Kind::Number && gps->number > 0) {
    headers.startTimeUtc = TextValue(GpsMicrosecondsToIso(static_cast<std::int64_t>(gps->number)));
    headers.startTimeSource = TextValue("gps");
    return;
  }
  const model::Value* date = SummaryValue(headers, "date");
  const model::Value* time = SummaryValue(headers, "time");
  if (date != nullptr && time != nullptr) {
    headers.startTimeUtc = TextValue(date->text + "T" + time->text + ".000000Z");
    headers.startTimeSource = TextValue("general_header");
  }
}

}  // namespace segd::generic
