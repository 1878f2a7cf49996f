#pragma once
// General header blocks 1, 2 and 3 of an SN388 record (32 bytes each), from
// the values of their fields. The defaults are those of an SN388 shot record
// at 1 ms in 32-bit IEEE demultiplexed format; a record writer derives the
// counts and lengths from what it writes (record_writer.h).
#include <cstdint>
#include <optional>

#include "tools/byte_put.h"

namespace segd::writer {

struct GeneralHeader1 {
  std::uint64_t fileNumber = 1;            // bytes 1-2, BCD; kAllF when above 9999
  std::uint64_t formatCode = 8058;         // bytes 3-4, BCD
  std::uint64_t generalConstants = 0;      // bytes 5-10, 12 BCD digits (SN388: 0)
  std::uint64_t year = 6;                  // byte 11, BCD, two digits
  std::uint64_t additionalBlocks = 2;      // byte 12 high half: blocks after block 1
  std::uint64_t julianDay = 45;            // byte 12 low half and byte 13, BCD
  std::uint64_t hour = 9;                  // byte 14, BCD
  std::uint64_t minute = 41;               // byte 15, BCD
  std::uint64_t second = 7;                // byte 16, BCD
  std::uint64_t manufacturerCode = 13;     // byte 17, BCD (13: Sercel)
  std::uint64_t manufacturerSerial = 388;  // bytes 18-19, BCD
  std::uint64_t bytesPerScan = 0;          // bytes 20-22, BCD
  std::uint64_t baseScanInterval = 0x10;   // byte 23, binary, 1/16 ms (0x10: 1 ms)
  std::uint64_t polarity = 0;              // byte 24 high half
  std::uint64_t unused1 = 0;               // byte 24 low half and byte 25
  std::uint64_t recordType = 8;            // byte 26 high half (8 normal, 2 test)
  std::uint64_t recordLength = 10;         // byte 26 low half and byte 27, BCD RR.R
                                           // in units of 1.024 s; kAllF: FFF
  std::uint64_t scanTypes = 1;             // byte 28, BCD
  std::uint64_t channelSets = 0;           // byte 29, BCD; kAllF: FF
  std::uint64_t skewBlocks = 0;            // byte 30, BCD
  std::uint64_t extendedHeaderLength = 0;  // byte 31, BCD blocks; kAllF: FF
  std::uint64_t externalHeaderLength = 0;  // byte 32, BCD blocks; kAllF: FF
  std::optional<Block32> raw;              // written instead of the fields
};

struct GeneralHeader2 {
  std::uint64_t expandedFileNumber = 1;    // bytes 1-3, binary
  std::uint64_t extendedChannelSets = 0;   // bytes 4-5, binary
  std::uint64_t extendedHeaderBlocks = 0;  // bytes 6-7, binary
  std::uint64_t externalHeaderBlocks = 0;  // bytes 8-9, binary
  std::uint64_t unused1 = 0;               // byte 10
  std::uint64_t revisionMajor = 1;         // byte 11
  std::uint64_t revisionMinor = 0;         // byte 12
  std::uint64_t trailerBlocks = 0;         // bytes 13-14, binary
  std::uint64_t extendedRecordLength = 0;  // bytes 15-17, binary, ms
  std::uint64_t unused2 = 0;               // byte 18
  std::uint64_t blockNumber = 2;           // byte 19
  std::optional<Block32> raw;
};

struct GeneralHeader3 {
  std::uint64_t expandedFileNumber = 1;    // bytes 1-3, binary
  // Source line and point: a 3-byte binary integer part and two bytes of
  // four decimal digits of fraction (bytes 4-8 and 9-13), the way the
  // scanner reads them back.
  std::uint64_t sourceLine = 0;            // bytes 4-6
  std::uint64_t sourceLineFraction = 0;    // bytes 7-8, 4 BCD digits
  std::uint64_t sourcePoint = 0;           // bytes 9-11
  std::uint64_t sourcePointFraction = 0;   // bytes 12-13, 4 BCD digits
  std::uint64_t sourcePointIndex = 1;      // byte 14
  std::uint64_t phaseControl = 0;          // byte 15
  std::uint64_t vibratorType = 0;          // byte 16
  std::uint64_t phaseAngle = 0;            // bytes 17-18, binary
  std::uint64_t blockNumber = 3;           // byte 19
  std::uint64_t sourceSetNumber = 1;       // byte 20
  std::optional<Block32> raw;
};

Block32 EncodeGeneralHeader1(const GeneralHeader1& values);
Block32 EncodeGeneralHeader2(const GeneralHeader2& values);
Block32 EncodeGeneralHeader3(const GeneralHeader3& values);

// The record length RR.R of block 1 bytes 26-27 for a record of
// `milliseconds`, as tenths of 1.024 s: whole steps of 0.5 x 1.024 s
// (512 ms), rounded up. 1000 ms gives 10 (01.0); more than 999 does not fit
// the three digits and calls for the FFF form.
std::uint64_t RecordLengthTenths(std::uint64_t milliseconds);

// Sample interval in microseconds from the base scan interval byte
// (1/16 ms units): 0x10 gives 1000, 0x04 gives 250.
std::uint64_t SampleIntervalMicroseconds(std::uint64_t baseScanInterval);

}  // namespace segd::writer
