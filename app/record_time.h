#pragma once
// Recording times as line QC compares them: the summary's date and time
// (general header block 1, UTC), and a record's own GPS time (µs since the
// GPS epoch, less the leap seconds of its day) as ISO 8601 UTC text.
#include <cstdint>
#include <optional>
#include <string>

namespace segd::app {

// Microseconds since 1970-01-01T00:00:00Z of "YYYY-MM-DD" and
// "HH:MM:SS[.ffffff]"; nullopt when they do not read so.
std::optional<std::int64_t> UnixMicros(const std::string& date, const std::string& time);
// Of "YYYY-MM-DDTHH:MM:SS[.ffffff]Z" (what IsoUtc writes).
std::optional<std::int64_t> UnixMicrosOfIso(const std::string& iso);
// "2021-05-08T20:06:00Z", with six decimals of the second when it has any.
std::string IsoUtc(std::int64_t unixMicros);
// UTC of a GPS time: the GPS epoch (1980-01-06) plus `gpsMicros`, less the
// leap seconds inserted before it.
std::int64_t UnixMicrosOfGps(std::uint64_t gpsMicros);

}  // namespace segd::app
