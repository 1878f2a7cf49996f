#pragma once
// General header block 1: the record's identity, timing, format and the
// counts that lay out the rest of the file.
#include <cstdint>

#include "scan/convert/conversions.h"
#include "scan/convert/text_field.h"

namespace segd {

struct GeneralHeader1Record {
  // Raw digits of the block image.
  TextField<4> FileNumber;
  TextField<4> FormatCode;
  TextField<12> GeneralConstants;
  TextField<2> Year;
  TextField<1> AdditionalBlocks;  // high half of byte 12
  TextField<3> JulianDay;         // low half of byte 12 and byte 13
  TextField<2> Hour;
  TextField<2> Minute;
  TextField<2> Second;
  TextField<2> ManufacturerCode;
  TextField<4> ManufacturerSerial;
  TextField<6> BytesPerScan;
  TextField<2> BaseScanInterval;
  TextField<1> Polarity;
  TextField<3> Unused1;
  TextField<1> RecordType;
  TextField<3> RecordLength;
  TextField<2> ScanTypes;
  TextField<2> ChannelSets;
  TextField<2> SkewBlocks;
  TextField<2> ExtendedHeaderLength;
  TextField<2> ExternalHeaderLength;
  // Decoded texts.
  TextField<20> FormatText;
  TextField<10> DateText;
  TextField<8> TimeText;
  TextField<20> ManufacturerText;
  TextField<30> SystemTypeText;
  TextField<4> SampleRateText;
  TextField<10> RecordTypeText;
  TextField<20> RecordLengthText;
  TextField<12> ExtendedHeaderBytesText;
  TextField<12> ExternalHeaderBytesText;
  TextField<80> ErrorInformation;
};

// Statuses of DecodeGeneralHeader1.
inline constexpr std::int32_t kStatusVqc88 = 1;
inline constexpr std::int32_t kStatusUnknownManufacturer = 2;
inline constexpr std::int32_t kStatusBadFormat = -1;
inline constexpr std::int32_t kStatusBadSampleRate = -3;
inline constexpr std::int32_t kStatusBadRecordType = -4;

// Fills the raw fields, then checks and decodes format, date, time,
// manufacturer and model, sample rate, record type, record length and header
// lengths, returning early on a fatal code. 0 accepted, positive a complaint
// to show, negative a record not to scan.
std::int32_t DecodeGeneralHeader1(ByteSpan block, GeneralHeader1Record& record);

}  // namespace segd
