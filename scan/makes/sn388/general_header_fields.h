#pragma once
// The field tables of general header blocks 1 to 3: each row the field's
// label in the General Headers section, its data name, its image digits
// (blocks are read as two hexadecimal digits per byte, so half-byte fields
// are plain digit runs) and the record field it fills; then the fields the
// decoders work out, listed under Decoded Fields.
#include "scan/makes/sn388/field_table.h"
#include "scan/makes/sn388/general_header1.h"
#include "scan/makes/sn388/general_header23.h"

namespace segd::general_fields {

inline constexpr int kBlockBytes = 32;
// Labels are padded to 33 characters, then ": ".
inline constexpr std::size_t kLabelColumn = 33;

using R1 = GeneralHeader1Record;
using R2 = GeneralHeader2Record;
using R3 = GeneralHeader3Record;
using enum Conversion;

inline constexpr FieldRow<R1> kBlock1[] = {
    {"Recorded File Number", "file_number", Digits(1, 4), Bcd, SEGD_AT(R1, FileNumber)},
    {"SEG Format Code", "format_code", Digits(5, 8), Bcd, SEGD_AT(R1, FormatCode)},
    {"General Constants", "general_constants", Digits(9, 20), Hex, SEGD_AT(R1, GeneralConstants)},
    {"Year", "year", Digits(21, 22), Bcd, SEGD_AT(R1, Year)},
    {"Additional Data Blocks", "additional_blocks", Digits(23, 23), Bcd, SEGD_AT(R1, AdditionalBlocks)},
    {"Julian Day", "julian_day", Digits(24, 26), Bcd, SEGD_AT(R1, JulianDay)},
    {"Hour", "hour", Digits(27, 28), Bcd, SEGD_AT(R1, Hour)},
    {"Minute", "minute", Digits(29, 30), Bcd, SEGD_AT(R1, Minute)},
    {"Second", "second", Digits(31, 32), Bcd, SEGD_AT(R1, Second)},
    {"Manufacturer's Code", "manufacturer_code", Digits(33, 34), Bcd, SEGD_AT(R1, ManufacturerCode)},
    {"Manufacturer's Serial #", "manufacturer_serial", Digits(35, 38), Bcd, SEGD_AT(R1, ManufacturerSerial)},
    {"Bytes per Scan", "bytes_per_scan", Digits(39, 44), Bcd, SEGD_AT(R1, BytesPerScan)},
    {"Sample Rate", "base_scan_interval", Digits(45, 46), Binary, SEGD_AT(R1, BaseScanInterval)},
    {"Polarity", "polarity", Digits(47, 47), Binary, SEGD_AT(R1, Polarity)},
    {"Unused", "unused_1", Digits(48, 50), Hex, SEGD_AT(R1, Unused1)},
    {"Record Type", "record_type_code", Digits(51, 51), Binary, SEGD_AT(R1, RecordType)},
    {"Record Length", "record_length_code", Digits(52, 54), Bcd, SEGD_AT(R1, RecordLength)},
    {"Scan Type", "scan_types", Digits(55, 56), Bcd, SEGD_AT(R1, ScanTypes)},
    {"Numer of Channel Sets", "channel_sets", Digits(57, 58), Bcd, SEGD_AT(R1, ChannelSets)},
    {"Number of Sample Skew Extentions", "skew_blocks", Digits(59, 60), Bcd, SEGD_AT(R1, SkewBlocks)},
    {"Extended Header Length", "extended_header_length", Digits(61, 62), Bcd, SEGD_AT(R1, ExtendedHeaderLength)},
    {"External Header Length", "external_header_length", Digits(63, 64), Bcd, SEGD_AT(R1, ExternalHeaderLength)},
    {"SEG Format", "format", {}, Text, SEGD_AT(R1, FormatText)},
    {"Date", "date", {}, Text, SEGD_AT(R1, DateText)},
    {"Time", "time", {}, Text, SEGD_AT(R1, TimeText)},
    {"Manufacturer", "manufacturer", {}, Text, SEGD_AT(R1, ManufacturerText)},
    {"System Type", "system_type", {}, Text, SEGD_AT(R1, SystemTypeText)},
    {"Sample Rate", "sample_rate_ms", {}, Number, SEGD_AT(R1, SampleRateText), Shown::Trimmed, "mS"},
    {"Record Type", "record_type", {}, Text, SEGD_AT(R1, RecordTypeText)},
    {"Record Length", "record_length", {}, Number, SEGD_AT(R1, RecordLengthText)},
    {"Extended Header Length", "extended_header_bytes", {}, Number, SEGD_AT(R1, ExtendedHeaderBytesText), Shown::Trimmed,
     " Bytes"},
    {"External Header Length", "external_header_bytes", {}, Number, SEGD_AT(R1, ExternalHeaderBytesText), Shown::Trimmed,
     " Bytes"},
};
static_assert(TableIsSound(kBlock1, kBlockBytes, kLabelColumn));

inline constexpr FieldRow<R2> kBlock2[] = {
    {"Expanded File Number", "expanded_file_number_raw", Digits(1, 6), Binary, SEGD_AT(R2, ExpandedFileNumber)},
    {"Extended Channel Sets", "extended_channel_sets", Digits(7, 10), Binary, SEGD_AT(R2, ExtendedChannelSets)},
    {"Extended Header Blocks", "extended_header_blocks", Digits(11, 14), Binary, SEGD_AT(R2, ExtendedHeaderBlocks)},
    {"External Header Blocks", "external_header_blocks", Digits(15, 18), Binary, SEGD_AT(R2, ExternalHeaderBlocks)},
    {"Unused", "unused_1", Digits(19, 20), Hex, SEGD_AT(R2, Unused1)},
    {"SEG D Revision Number", "revision_number", Digits(21, 24), Hex, SEGD_AT(R2, RevisionNumber)},
    {"Blocks in General Trailer", "general_trailer_blocks", Digits(25, 28), Binary, SEGD_AT(R2, GeneralTrailerBlocks)},
    {"Extended Record Length", "extended_record_length_raw", Digits(29, 34), Binary, SEGD_AT(R2, ExtendedRecordLength)},
    {"Unused", "unused_2", Digits(35, 36), Hex, SEGD_AT(R2, Unused2)},
    {"General Header Block Number", "block_number", Digits(37, 38), Binary, SEGD_AT(R2, BlockNumber)},
    {"Unused", "unused_3", Digits(39, 64), Hex, SEGD_AT(R2, Unused3)},
    {"Expanded File Number", "expanded_file_number", {}, Number, SEGD_AT(R2, ExpandedFileNumberText)},
    {"SEG D Revision Number", "revision", {}, Text, SEGD_AT(R2, RevisionText)},
    {"Extended Record Length", "extended_record_length_ms", {}, Number, SEGD_AT(R2, ExtendedRecordLengthText)},
};
static_assert(TableIsSound(kBlock2, kBlockBytes, kLabelColumn));

inline constexpr FieldRow<R3> kBlock3[] = {
    {"Expanded File Number", "expanded_file_number", Digits(1, 6), Binary, SEGD_AT(R3, ExpandedFileNumber)},
    {"Source Line Number", "source_line_number_raw", Digits(7, 16), Hex, SEGD_AT(R3, SourceLineNumber)},
    {"Source Point Number", "source_point_number_raw", Digits(17, 26), Hex, SEGD_AT(R3, SourcePointNumber)},
    {"Source Point Index", "source_point_index_raw", Digits(27, 28), Binary, SEGD_AT(R3, SourcePointIndex)},
    {"Phase Control", "phase_control", Digits(29, 30), Binary, SEGD_AT(R3, PhaseControl)},
    {"Vibrator Type", "vibrator_type", Digits(31, 32), Binary, SEGD_AT(R3, VibratorType)},
    {"Phase Angle", "phase_angle", Digits(33, 36), Hex, SEGD_AT(R3, PhaseAngle)},
    {"General Header Block Number", "block_number", Digits(37, 38), Binary, SEGD_AT(R3, BlockNumber)},
    {"Source Set Number", "source_set_number", Digits(39, 40), Binary, SEGD_AT(R3, SourceSetNumber)},
    {"Unused", "unused", Digits(41, 64), Hex, SEGD_AT(R3, Unused)},
    {"Source Line Number", "source_line", {}, Number, SEGD_AT(R3, SourceLineText)},
    {"Source Point Number", "source_point", {}, Number, SEGD_AT(R3, SourcePointText)},
    {"Source Point Index", "source_point_index", {}, Number, SEGD_AT(R3, SourcePointIndexText)},
};
static_assert(TableIsSound(kBlock3, kBlockBytes, kLabelColumn));

}  // namespace segd::general_fields
