// Leap seconds and UTC texts.
#include "scan/samples/utc_time.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace segd::samples {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
constexpr std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<std::int64_t>(y - era * 400);
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

constexpr std::int64_t kNtpToUnix = 2208988800;  // seconds from 1900 to 1970
// GPS time runs 19 s behind TAI.
constexpr int kTaiMinusGps = 19;

struct BuiltInStep {
  int year, month, taiMinusUtc;
};
constexpr BuiltInStep kBuiltIn[] = {
    {1972, 1, 10}, {1972, 7, 11}, {1973, 1, 12}, {1974, 1, 13}, {1975, 1, 14}, {1976, 1, 15}, {1977, 1, 16},
    {1978, 1, 17}, {1979, 1, 18}, {1980, 1, 19}, {1981, 7, 20}, {1982, 7, 21}, {1983, 7, 22}, {1985, 7, 23},
    {1988, 1, 24}, {1990, 1, 25}, {1991, 1, 26}, {1992, 7, 27}, {1993, 7, 28}, {1994, 7, 29}, {1996, 1, 30},
    {1997, 7, 31}, {1999, 1, 32}, {2006, 1, 33}, {2009, 1, 34}, {2012, 7, 35}, {2015, 7, 36}, {2017, 1, 37},
};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

const LeapSeconds& LeapSeconds::BuiltIn() {
  static const LeapSeconds table = [] {
    LeapSeconds t;
    for (const BuiltInStep& s : kBuiltIn) t.steps_.push_back({DaysFromCivil(s.year, s.month, 1) * 86400, s.taiMinusUtc});
    return t;
  }();
  return table;
}

std::optional<LeapSeconds> LeapSeconds::FromText(std::string_view text, std::string* reason) {
  LeapSeconds t;
  std::istringstream in{std::string(text)};
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream fields(line);
    long long ntp = 0;
    int offset = 0;
    if (!(fields >> ntp)) continue;  // blank or comment
    if (!(fields >> offset) || (!t.steps_.empty() && ntp - kNtpToUnix <= t.steps_.back().unixSeconds)) {
      if (reason != nullptr) *reason = "line " + std::to_string(number) + " is not 'NTP seconds, TAI-UTC' in time order";
      return std::nullopt;
    }
    t.steps_.push_back({ntp - kNtpToUnix, offset});
  }
  if (t.steps_.empty()) {
    if (reason != nullptr) *reason = "no leap second line";
    return std::nullopt;
  }
  return t;
}

std::optional<LeapSeconds> LeapSeconds::FromFile(const std::string& path, std::string* reason) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    if (reason != nullptr) *reason = "cannot open " + path;
    return std::nullopt;
  }
  std::ostringstream text;
  text << file.rdbuf();
  std::optional<LeapSeconds> t = FromText(text.str(), reason);
  if (!t && reason != nullptr) *reason = path + ": " + *reason;
  return t;
}

int LeapSeconds::GpsMinusUtcAt(std::int64_t unixSeconds) const {
  int tai = steps_.front().taiMinusUtc;
  for (const Step& s : steps_) {
    if (unixSeconds < s.unixSeconds) break;
    tai = s.taiMinusUtc;
  }
  return tai - kTaiMinusGps;
}

std::int64_t LeapSeconds::GpsToUnixMicros(std::int64_t gpsMicros) const {
  // GPS seconds on the Unix axis, then the latest step whose offset puts
  // the UTC instant at or after the step.
  const std::int64_t micros = gpsMicros + kGpsEpochUnixSeconds * 1000000;
  const std::int64_t seconds = FloorDiv(micros, 1000000);
  int offset = steps_.front().taiMinusUtc - kTaiMinusGps;
  for (const Step& s : steps_) {
    const int candidate = s.taiMinusUtc - kTaiMinusGps;
    if (seconds - candidate < s.unixSeconds) break;
    offset = candidate;
  }
  return micros - std::int64_t{offset} * 1000000;
}

std::optional<std::int64_t> UnixSeconds(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
      minute < 0 || minute > 59 || second < 0 || second > 60)
    return std::nullopt;
  return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

CivilTime CivilOf(std::int64_t unixMicros) {
  const std::int64_t seconds = FloorDiv(unixMicros, 1000000);
  const std::int64_t days = FloorDiv(seconds, 86400);
  const std::int64_t rest = seconds - days * 86400;
  // Civil date from days (the inverse of DaysFromCivil).
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  CivilTime t{};
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = yoe + era * 400 + (t.month <= 2);
  t.yearDay = static_cast<int>(days - DaysFromCivil(t.year, 1, 1) + 1);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  t.micros = unixMicros - seconds * 1000000;
  return t;
}

std::string FormatUtc(std::int64_t unixMicros) {
  const CivilTime t = CivilOf(unixMicros);
  char text[64];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02d.%06lldZ", static_cast<long long>(t.year), t.month,
                t.day, t.hour, t.minute, t.second, static_cast<long long>(t.micros));
  return text;
}

}  // namespace segd::samples
