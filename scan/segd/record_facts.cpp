// The record facts every output gives at its top: interval, length, trace
// count and the time of time zero, from the summary the headers filled.
#include <cstdio>
#include <ctime>

#include "scan/segd/decoder_parts.h"

namespace segd::generic {

namespace {

const model::Value* SummaryValue(const model::RecordHeaders& headers, std::string_view name) {
  const model::Field* f = headers.summary.Find(name);
  return f != nullptr && !f->value.IsNull() ? &f->value : nullptr;
}

// GPS time runs ahead of UTC by the leap seconds since 1980; the table
// holds the steps from 1999 on (earlier records are not GPS-timed).
struct LeapStep {
  std::int64_t fromGpsSeconds;
  int seconds;
};
constexpr LeapStep kGpsLeaps[] = {
    {599184013, 13},   // 1999-01-01
    {820108814, 14},   // 2006-01-01
    {914803215, 15},   // 2009-01-01
    {1025136016, 16},  // 2012-07-01
    {1119744017, 17},  // 2015-07-01
    {1167264018, 18},  // 2017-01-01
};
constexpr std::int64_t kGpsEpochUnix = 315964800;  // 1980-01-06

std::string IsoFromUnix(std::int64_t seconds, std::int64_t micros) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
#ifdef _WIN32
  gmtime_s(&tm, &t);
#else
  gmtime_r(&t, &tm);
#endif
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%06lldZ", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<long long>(micros));
  return text;
}

}  // namespace

std::string GpsMicrosecondsToIso(std::int64_t gpsMicros) {
  const std::int64_t gpsSeconds = gpsMicros / 1000000;
  int leap = 13;
  for (const LeapStep& step : kGpsLeaps) {
    if (gpsSeconds >= step.fromGpsSeconds) leap = step.seconds;
  }
  if (gpsSeconds < kGpsLeaps[0].fromGpsSeconds) leap = 0;
  return IsoFromUnix(gpsSeconds + kGpsEpochUnix - leap, gpsMicros % 1000000);
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
