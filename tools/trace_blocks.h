#pragma once
// The header blocks in front of each trace's samples: the 20-byte trace
// header and the 32-byte SN388 trace header extensions 1 and 2.
#include <array>
#include <cstdint>
#include <optional>

#include "tools/byte_put.h"

namespace segd::writer {

using Block20 = std::array<std::uint8_t, 20>;

struct TraceHeader {
  std::uint64_t fileNumber = 1;                // bytes 1-2, BCD; kAllF: FFFF
  std::uint64_t scanType = 1;                  // byte 3, BCD
  std::uint64_t channelSetNumber = 1;          // byte 4, BCD
  std::uint64_t traceNumber = 1;               // bytes 5-6, BCD
  std::uint64_t timingWord = 0;                // bytes 7-9, binary
  std::uint64_t extensionCount = 0;            // byte 10, binary
  std::uint64_t sampleSkew = 0;                // byte 11
  std::uint64_t traceEdit = 0;                 // byte 12 (2: dead, 3: edited)
  std::uint64_t timeBreakWindow = 0;           // bytes 13-15, binary
  std::uint64_t extendedChannelSetNumber = 0;  // bytes 16-17, binary
  std::uint64_t extendedFileNumber = 1;        // bytes 18-20, binary
  std::optional<Block20> raw;                  // written instead of the fields
};

// Error flag bits of extension 1 byte 19.
inline constexpr std::uint64_t kIplsErrorFlag = 0x80;
inline constexpr std::uint64_t kImpedanceErrorFlag = 0x40;
inline constexpr std::uint64_t kDeadErrorFlag = 0x20;
inline constexpr std::uint64_t kUnderrunErrorFlag = 0x10;
inline constexpr std::uint64_t kOverrunErrorFlag = 0x08;
inline constexpr std::uint64_t kOverscaleErrorFlag = 0x04;
inline constexpr std::uint64_t kDataErrorFlag = 0x02;
inline constexpr std::uint64_t kSyncErrorFlag = 0x01;

struct TraceExtension1 {
  std::uint64_t receiverLine = 0;        // bytes 1-3, binary
  std::uint64_t receiverPoint = 0;       // bytes 4-6, binary
  std::uint64_t receiverPointIndex = 1;  // byte 7
  std::uint64_t samplesPerTrace = 0;     // bytes 8-10, binary
  std::uint64_t suNumber = 0;            // bytes 11-13, binary: acquisition unit serial
  std::uint64_t filter = 0;              // byte 14: filter code
  std::uint64_t gain = 0;                // byte 15: preamplifier gain, dB
  std::uint64_t unitType = 0;            // byte 16 high half (0 SU1/SU6, 1 SAR)
  std::uint64_t channelType = 1;         // byte 16 low half (1 seis, 3 uphole, 9 aux)
  std::uint64_t noiseElimination = 0;    // byte 17
  std::uint64_t processType = 0;         // byte 18
  std::uint64_t errorFlags = 0;          // byte 19, the k...Flag bits
  std::uint64_t stacksLow = 0;           // byte 20
  std::uint64_t stacksNoisy = 0;         // byte 21
  std::uint64_t resistance = 0;          // bytes 22-23, binary, ohms
  std::uint64_t sim = 0;                 // bytes 24-25, binary
  std::uint64_t receiverType = 0;        // byte 26
  float conversionFactor = 1.0f;         // bytes 27-30, IEEE single
  std::optional<Block32> raw;
};

struct TraceExtension2 {
  double easting = 0;     // bytes 1-8, IEEE double
  double northing = 0;    // bytes 9-16, IEEE double
  float elevation = 0;    // bytes 17-20, IEEE single
  std::optional<Block32> raw;
};

Block20 EncodeTraceHeader(const TraceHeader& values);
Block32 EncodeTraceExtension1(const TraceExtension1& values);
Block32 EncodeTraceExtension2(const TraceExtension2& values);

}  // namespace segd::writer
