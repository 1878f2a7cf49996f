#pragma once
// Times of first samples in UTC, to the microsecond. Makes record GPS time
// (µs since 1980-01-06T00:00:00Z, leap seconds counted) or a Unix epoch
// (µs since 1970, UTC already); GPS time becomes UTC through a table of leap
// seconds: the built-in one, or one read from a file in the leap-seconds.list
// form (as Debian's tzdata ships it: NTP seconds since 1900 and TAI−UTC per
// line, '#' comments), because a built-in table expires with the next leap
// second.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace segd::samples {

// The GPS epoch in Unix seconds.
inline constexpr std::int64_t kGpsEpochUnixSeconds = 315964800;

class LeapSeconds {
 public:
  // TAI−UTC from 1972 to 2017-01-01 (37 s, GPS−UTC 18 s).
  static const LeapSeconds& BuiltIn();
  // nullopt, with the reason, when the text has no valid line.
  static std::optional<LeapSeconds> FromText(std::string_view text, std::string* reason = nullptr);
  static std::optional<LeapSeconds> FromFile(const std::string& path, std::string* reason = nullptr);

  // GPS−UTC in seconds at the UTC instant `unixSeconds`.
  int GpsMinusUtcAt(std::int64_t unixSeconds) const;
  // UTC (µs since 1970, leap seconds not counted, as POSIX) of `gpsMicros`
  // µs after the GPS epoch.
  std::int64_t GpsToUnixMicros(std::int64_t gpsMicros) const;

 private:
  struct Step {
    std::int64_t unixSeconds;  // UTC instant from which it holds
    int taiMinusUtc;
  };
  std::vector<Step> steps_;  // ascending
};

// Unix seconds of a UTC calendar time; nullopt when out of range.
std::optional<std::int64_t> UnixSeconds(int year, int month, int day, int hour, int minute, int second);
// The UTC calendar fields of a time (µs since 1970, proleptic Gregorian; no
// time_t, which has 32 bits on some targets).
struct CivilTime {
  std::int64_t year;
  int month, day, yearDay, hour, minute, second;  // yearDay 1-366
  std::int64_t micros;                            // 0-999999
};
CivilTime CivilOf(std::int64_t unixMicros);
// "2021-05-08T20:06:00.000000Z".
std::string FormatUtc(std::int64_t unixMicros);

}  // namespace segd::samples
