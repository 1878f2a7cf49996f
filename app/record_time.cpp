#include "app/record_time.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace segd::app {

namespace {

constexpr std::int64_t kMicros = 1'000'000;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's method).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

// Reads `count` numbers separated by any one of `separators`; the last may
// carry a decimal fraction (returned in micros).
bool ReadParts(std::string_view text, char separator, std::array<std::int64_t, 3>& parts, std::int64_t* micros) {
  std::size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    std::size_t end = i < 2 ? text.find(separator, start) : text.find('.', start);
    if (i < 2 && end == std::string_view::npos) return false;
    if (end == std::string_view::npos) end = text.size();
    const auto r = std::from_chars(text.data() + start, text.data() + end, parts[static_cast<std::size_t>(i)]);
    if (r.ec != std::errc() || r.ptr != text.data() + end || end == start) return false;
    start = end + 1;
  }
  if (micros) *micros = 0;
  if (start <= text.size()) {  // a fraction after '.'
    if (!micros) return false;
    std::int64_t scale = 100000;
    for (std::size_t i = start; i < text.size(); ++i, scale /= 10) {
      if (text[i] < '0' || text[i] > '9') return false;
      *micros += (text[i] - '0') * scale;
    }
  }
  return true;
}

// The UTC days (since 1970) after which GPS time ran one more second ahead.
constexpr std::array<std::array<int, 3>, 18> kLeapSeconds = {{{1981, 7, 1}, {1982, 7, 1}, {1983, 7, 1}, {1985, 7, 1},
                                                               {1988, 1, 1}, {1990, 1, 1}, {1991, 1, 1}, {1992, 7, 1},
                                                               {1993, 7, 1}, {1994, 7, 1}, {1996, 1, 1}, {1997, 7, 1},
                                                               {1999, 1, 1}, {2006, 1, 1}, {2009, 1, 1}, {2012, 7, 1},
                                                               {2015, 7, 1}, {2017, 1, 1}}};

}  // namespace

std::optional<std::int64_t> UnixMicros(const std::string& date, const std::string& time) {
  std::array<std::int64_t, 3> d{}, t{};
  std::int64_t fraction = 0;
  if (!ReadParts(date, '-', d, nullptr) || !ReadParts(time, ':', t, &fraction)) return std::nullopt;
  if (d[1] < 1 || d[1] > 12 || d[2] < 1 || d[2] > 31 || t[0] > 23 || t[1] > 59 || t[2] > 60) return std::nullopt;
  const std::int64_t days = DaysFromCivil(d[0], static_cast<unsigned>(d[1]), static_cast<unsigned>(d[2]));
  return ((days * 24 + t[0]) * 60 + t[1]) * 60 * kMicros + t[2] * kMicros + fraction;
}

std::optional<std::int64_t> UnixMicrosOfIso(const std::string& iso) {
  const std::size_t t = iso.find('T');
  if (t == std::string::npos || iso.empty() || iso.back() != 'Z') return std::nullopt;
  return UnixMicros(iso.substr(0, t), iso.substr(t + 1, iso.size() - t - 2));
}

std::string IsoUtc(std::int64_t unixMicros) {
  std::int64_t seconds = unixMicros / kMicros, micros = unixMicros % kMicros;
  if (micros < 0) {
    micros += kMicros;
    --seconds;
  }
  std::int64_t days = seconds / 86400, rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  std::int64_t y = 0;
  unsigned m = 0, d = 0;
  CivilFromDays(days, y, m, d);
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02d", static_cast<long long>(y), m, d,
                static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
  std::string out = text;
  if (micros != 0) {
    std::snprintf(text, sizeof text, ".%06lld", static_cast<long long>(micros));
    out += text;
  }
  return out + "Z";
}

std::int64_t UnixMicrosOfGps(std::uint64_t gpsMicros) {
  const std::int64_t gpsEpoch = DaysFromCivil(1980, 1, 6) * 86400 * kMicros;
  std::int64_t utc = gpsEpoch + static_cast<std::int64_t>(gpsMicros);
  // A leap second's UTC instant, as GPS time would read it, is the date plus
  // the leap seconds already inserted before it.
  int leaps = 0;
  for (const auto& [y, m, d] : kLeapSeconds) {
    const std::int64_t at = DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) * 86400 * kMicros;
    if (utc - (leaps + 1) * kMicros >= at) ++leaps;
  }
  return utc - leaps * kMicros;
}

}  // namespace segd::app
