#include "scan/standard/record_signature.h"

#include <algorithm>

namespace segd {

namespace {

int Nibble(std::uint8_t byte, bool high) { return high ? byte >> 4 : byte & 0x0F; }

bool Decimal(std::span<const std::uint8_t> b, int firstNibble, int count, int lowest, int highest) {
  int value = 0;
  for (int n = firstNibble; n < firstNibble + count; ++n) {
    const int digit = Nibble(b[static_cast<std::size_t>(n / 2)], n % 2 == 0);
    if (digit > 9) return false;
    value = value * 10 + digit;
  }
  return value >= lowest && value <= highest;
}

bool KnownFormat(int code) {
  // Multiplexed and demultiplexed codes of every revision.
  constexpr int kCodes[] = {15,   22,   24,   36,   38,   42,   44,   48,   58,   8015, 8022, 8024,
                            8036, 8038, 8042, 8044, 8048, 8058, 8080, 9036, 9038, 9058, 9080};
  return std::find(std::begin(kCodes), std::end(kCodes), code) != std::end(kCodes);
}

}  // namespace

std::string NotGeneralHeaderReason(std::span<const std::uint8_t> b) {
  if (b.size() < 32) return "it is shorter than a general header block (32 bytes)";
  const bool fileNumberEscaped = b[0] == 0xFF && b[1] == 0xFF;
  if (!fileNumberEscaped && !Decimal(b, 0, 4, 0, 9999)) return "bytes 1-2 hold no decimal file number";
  if (!Decimal(b, 4, 4, 0, 9999)) return "bytes 3-4 hold no decimal format code";
  const int format = (Nibble(b[2], true) * 1000) + (Nibble(b[2], false) * 100) + (Nibble(b[3], true) * 10) +
                     Nibble(b[3], false);
  if (!KnownFormat(format)) return "bytes 3-4 hold no known format code (" + std::to_string(format) + ")";
  // Byte 11 year, byte 12 low half and 13 the day of the year, 14-16 the time
  // of day (a second of 60 in a leap second).
  if (!Decimal(b, 20, 2, 0, 99) || !Decimal(b, 23, 3, 0, 366)) return "bytes 11-13 hold no decimal date";
  if (!Decimal(b, 26, 2, 0, 23) || !Decimal(b, 28, 2, 0, 59) || !Decimal(b, 30, 2, 0, 60))
    return "bytes 14-16 hold no decimal time of day";
  return {};
}

}  // namespace segd
