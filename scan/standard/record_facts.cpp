// The record facts every output gives at its top: interval, length, trace
// count and the time of time zero, from the summary the headers filled.
#include <cstdio>

#include "scan/standard/decoder_parts.h"

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

// The civil date of a day count from 1970-01-01 (the proleptic Gregorian
// calendar), without the C library's time zone functions.
std::string IsoFromUnix(std::int64_t seconds, std::int64_t micros) {
  const std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
  const std::int64_t inDay = seconds - days * 86400;
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  char text[64];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld.%06lldZ", static_cast<long long>(year),
                static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(inDay / 3600),
                static_cast<long long>(inDay / 60 % 60), static_cast<long long>(inDay % 60),
                static_cast<long long>(micros));
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
