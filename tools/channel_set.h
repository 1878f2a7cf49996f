#pragma once
// One 32-byte channel set header of an SN388 record, from field values.
#include <cstdint>
#include <optional>

#include "tools/byte_put.h"

namespace segd::writer {

// SEG-D channel types (byte 11 high half) the recorder writes.
inline constexpr std::uint64_t kSeismicChannel = 1;
inline constexpr std::uint64_t kAuxChannel = 9;  // signature, filtered

struct ChannelSetHeader {
  std::uint64_t scanType = 1;                  // byte 1, BCD
  std::uint64_t channelSetNumber = 1;          // byte 2, BCD
  std::uint64_t startTime = 0;                 // bytes 3-4, binary, 2 ms units
  std::uint64_t endTime = 0;                   // bytes 5-6, binary, 2 ms units
  std::uint64_t descaleMultiplier = 0;         // bytes 7-8, binary
  std::uint64_t channelCount = 0;              // bytes 9-10, BCD
  std::uint64_t channelType = kSeismicChannel; // byte 11 high half
  std::uint64_t unused = 0;                    // byte 11 low half
  std::uint64_t subscanExponent = 0;           // byte 12 high half
  std::uint64_t gainControl = 3;               // byte 12 low half (3: fixed gain)
  std::uint64_t aliasFrequency = 0;            // bytes 13-14, BCD Hz
  std::uint64_t aliasSlope = 0;                // bytes 15-16, BCD dB/octave
  std::uint64_t lowCutFrequency = 0;           // bytes 17-18, BCD Hz
  std::uint64_t lowCutSlope = 0;               // bytes 19-20, BCD dB/octave
  std::uint64_t firstNotch = 0;                // bytes 21-22, BCD
  std::uint64_t secondNotch = 0;               // bytes 23-24, BCD
  std::uint64_t thirdNotch = 0;                // bytes 25-26, BCD
  std::uint64_t extendedChannelSetNumber = 0;  // bytes 27-28, binary
  std::uint64_t extendedHeaderFlag = 0;        // byte 29 high half
  std::uint64_t traceHeaderExtensions = 0;     // byte 29 low half
  std::uint64_t verticalStack = 1;             // byte 30, binary
  std::uint64_t streamerNumber = 0;            // byte 31, binary
  std::uint64_t arrayForming = 1;              // byte 32, binary (1: none)
  std::optional<Block32> raw;                  // written instead of the fields
};

Block32 EncodeChannelSet(const ChannelSetHeader& values);

}  // namespace segd::writer
