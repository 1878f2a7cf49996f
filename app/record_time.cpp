#include "app/record_time.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "scan/samples/utc_time.h"

namespace segd::app {

namespace {

constexpr std::int64_t kMicros = 1'000'000;

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

}  // namespace

std::optional<std::int64_t> UnixMicros(const std::string& date, const std::string& time) {
  std::array<std::int64_t, 3> d{}, t{};
  std::int64_t fraction = 0;
  if (!ReadParts(date, '-', d, nullptr) || !ReadParts(time, ':', t, &fraction)) return std::nullopt;
  if (d[1] < 1 || d[1] > 12 || d[2] < 1 || d[2] > 31 || t[0] > 23 || t[1] > 59 || t[2] > 60) return std::nullopt;
  if (d[0] < 1 || d[0] > 9999) return std::nullopt;
  const auto seconds = samples::UnixSeconds(static_cast<int>(d[0]), static_cast<int>(d[1]), static_cast<int>(d[2]),
                                            static_cast<int>(t[0]), static_cast<int>(t[1]), static_cast<int>(t[2]));
  if (!seconds) return std::nullopt;
  return *seconds * kMicros + fraction;
}

std::optional<std::int64_t> UnixMicrosOfIso(const std::string& iso) {
  const std::size_t t = iso.find('T');
  if (t == std::string::npos || iso.empty() || iso.back() != 'Z') return std::nullopt;
  return UnixMicros(iso.substr(0, t), iso.substr(t + 1, iso.size() - t - 2));
}

std::string IsoUtc(std::int64_t unixMicros) {
  const samples::CivilTime t = samples::CivilOf(unixMicros);
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02d", static_cast<long long>(t.year), t.month, t.day,
                t.hour, t.minute, t.second);
  std::string out = text;
  if (t.micros != 0) {
    std::snprintf(text, sizeof text, ".%06lld", static_cast<long long>(t.micros));
    out += text;
  }
  return out + "Z";
}

std::int64_t UnixMicrosOfGps(std::uint64_t gpsMicros) {
  return samples::LeapSeconds::BuiltIn().GpsToUnixMicros(static_cast<std::int64_t>(gpsMicros));
}

}  // namespace segd::app
