#pragma once
// The field tables of general header blocks 1 to 3: each row the field's
// label in the General Headers section, the general decoder's row whose
// digits it shows (blocks are read as two hexadecimal digits per byte, so
// half-byte fields are plain digit runs; the bytes no row names are listed
// as Unused) and the record field it fills; then the fields the decoders
// work out, listed under Decoded Fields.
#include "scan/makes/sn388/field_table.h"
#include "scan/makes/sn388/general_header1.h"
#include "scan/makes/sn388/general_header23.h"
#include "scan/standard/general_header_tables.h"

namespace segd::general_fields {

inline constexpr int kBlockBytes = 32;
// Labels are padded to 33 characters, then ": ".
inline constexpr std::size_t kLabelColumn = 33;

using R1 = GeneralHeader1Record;
using R2 = GeneralHeader2Record;
using R3 = GeneralHeader3Record;
using enum Conversion;
using generic::kGeneralHeader1;
using generic::kGeneralHeader2;
using generic::kSourceBlock;

inline constexpr FieldRow<R1> kBlock1[] = {
    {"Recorded File Number", "", In(kGeneralHeader1, "file_number"), Bcd, SEGD_AT(R1, FileNumber)},
    {"SEG Format Code", "", In(kGeneralHeader1, "format_code"), Bcd, SEGD_AT(R1, FormatCode)},
    {"General Constants", "", In(kGeneralHeader1, "general_constants"), Hex, SEGD_AT(R1, GeneralConstants)},
    {"Year", "", In(kGeneralHeader1, "year"), Bcd, SEGD_AT(R1, Year)},
    {"Additional Data Blocks", "", In(kGeneralHeader1, "additional_blocks"), Bcd, SEGD_AT(R1, AdditionalBlocks)},
    {"Julian Day", "", In(kGeneralHeader1, "julian_day"), Bcd, SEGD_AT(R1, JulianDay)},
    {"Hour", "", In(kGeneralHeader1, "hour"), Bcd, SEGD_AT(R1, Hour)},
    {"Minute", "", In(kGeneralHeader1, "minute"), Bcd, SEGD_AT(R1, Minute)},
    {"Second", "", In(kGeneralHeader1, "second"), Bcd, SEGD_AT(R1, Second)},
    {"Manufacturer's Code", "", In(kGeneralHeader1, "manufacturer_code"), Bcd, SEGD_AT(R1, ManufacturerCode)},
    {"Manufacturer's Serial #", "", In(kGeneralHeader1, "manufacturer_serial"), Bcd, SEGD_AT(R1, ManufacturerSerial)},
    {"Bytes per Scan", "", In(kGeneralHeader1, "bytes_per_scan"), Bcd, SEGD_AT(R1, BytesPerScan)},
    {"Sample Rate", "", In(kGeneralHeader1, "base_scan_interval_ms"), Binary, SEGD_AT(R1, BaseScanInterval)},
    {"Polarity", "", In(kGeneralHeader1, "polarity"), Binary, SEGD_AT(R1, Polarity)},
    {"Unused", "", Through(kGeneralHeader1, "scans_per_block_exponent", "scans_per_block"), Hex, SEGD_AT(R1, Unused1)},
    {"Record Type", "", In(kGeneralHeader1, "record_type"), Binary, SEGD_AT(R1, RecordType)},
    {"Record Length", "", In(kGeneralHeader1, "record_length"), Bcd, SEGD_AT(R1, RecordLength)},
    {"Scan Type", "", In(kGeneralHeader1, "scan_types"), Bcd, SEGD_AT(R1, ScanTypes)},
    {"Numer of Channel Sets", "", In(kGeneralHeader1, "channel_sets"), Bcd, SEGD_AT(R1, ChannelSets)},
    {"Number of Sample Skew Extentions", "", In(kGeneralHeader1, "skew_blocks"), Bcd, SEGD_AT(R1, SkewBlocks)},
    {"Extended Header Length", "", In(kGeneralHeader1, "extended_blocks"), Bcd, SEGD_AT(R1, ExtendedHeaderLength)},
    {"External Header Length", "", In(kGeneralHeader1, "external_blocks"), Bcd, SEGD_AT(R1, ExternalHeaderLength)},
    {"SEG Format", "", {}, Text, SEGD_AT(R1, FormatText)},
    {"Date", "", {}, Text, SEGD_AT(R1, DateText)},
    {"Time", "", {}, Text, SEGD_AT(R1, TimeText)},
    {"Manufacturer", "", {}, Text, SEGD_AT(R1, ManufacturerText)},
    {"System Type", "", {}, Text, SEGD_AT(R1, SystemTypeText)},
    {"Sample Rate", "", {}, Number, SEGD_AT(R1, SampleRateText), Shown::Trimmed, "mS"},
    {"Record Type", "", {}, Text, SEGD_AT(R1, RecordTypeText)},
    {"Record Length", "", {}, Number, SEGD_AT(R1, RecordLengthText)},
    {"Extended Header Length", "", {}, Number, SEGD_AT(R1, ExtendedHeaderBytesText), Shown::Trimmed,
     " Bytes"},
    {"External Header Length", "", {}, Number, SEGD_AT(R1, ExternalHeaderBytesText), Shown::Trimmed,
     " Bytes"},
};
static_assert(TableIsSound(kBlock1, kBlockBytes, kLabelColumn));

inline constexpr FieldRow<R2> kBlock2[] = {
    {"Expanded File Number", "", In(kGeneralHeader2, "extended_file_number"), Binary, SEGD_AT(R2, ExpandedFileNumber)},
    {"Extended Channel Sets", "", In(kGeneralHeader2, "extended_channel_sets"), Binary, SEGD_AT(R2, ExtendedChannelSets)},
    {"Extended Header Blocks", "", In(kGeneralHeader2, "extended_header_blocks"), Binary, SEGD_AT(R2, ExtendedHeaderBlocks)},
    {"External Header Blocks", "", In(kGeneralHeader2, "external_header_blocks"), Binary, SEGD_AT(R2, ExternalHeaderBlocks)},
    {"Unused", "", Between(kGeneralHeader2, "external_header_blocks", "revision_major"), Hex, SEGD_AT(R2, Unused1)},
    {"SEG D Revision Number", "", Through(kGeneralHeader2, "revision_major", "revision_minor"), Hex, SEGD_AT(R2, RevisionNumber)},
    {"Blocks in General Trailer", "", In(kGeneralHeader2, "trailer_blocks"), Binary, SEGD_AT(R2, GeneralTrailerBlocks)},
    {"Extended Record Length", "", In(kGeneralHeader2, "extended_record_length"), Binary, SEGD_AT(R2, ExtendedRecordLength)},
    {"Unused", "", Between(kGeneralHeader2, "extended_record_length", "block_number"), Hex, SEGD_AT(R2, Unused2)},
    {"General Header Block Number", "", In(kGeneralHeader2, "block_number"), Binary, SEGD_AT(R2, BlockNumber)},
    {"Unused", "", After(kGeneralHeader2, "block_number", kBlockBytes), Hex, SEGD_AT(R2, Unused3)},
    {"Expanded File Number", "", {}, Number, SEGD_AT(R2, ExpandedFileNumberText)},
    {"SEG D Revision Number", "", {}, Text, SEGD_AT(R2, RevisionText)},
    {"Extended Record Length", "", {}, Number, SEGD_AT(R2, ExtendedRecordLengthText)},
};
static_assert(TableIsSound(kBlock2, kBlockBytes, kLabelColumn));

inline constexpr FieldRow<R3> kBlock3[] = {
    {"Expanded File Number", "", In(kSourceBlock, "expanded_file_number"), Binary, SEGD_AT(R3, ExpandedFileNumber)},
    {"Source Line Number", "", In(kSourceBlock, "source_line"), Hex, SEGD_AT(R3, SourceLineNumber)},
    {"Source Point Number", "", In(kSourceBlock, "source_point"), Hex, SEGD_AT(R3, SourcePointNumber)},
    {"Source Point Index", "", In(kSourceBlock, "source_point_index"), Binary, SEGD_AT(R3, SourcePointIndex)},
    {"Phase Control", "", In(kSourceBlock, "phase_control"), Binary, SEGD_AT(R3, PhaseControl)},
    {"Vibrator Type", "", In(kSourceBlock, "vibrator_type"), Binary, SEGD_AT(R3, VibratorType)},
    {"Phase Angle", "", In(kSourceBlock, "phase_angle"), Hex, SEGD_AT(R3, PhaseAngle)},
    {"General Header Block Number", "", In(kSourceBlock, "block_number"), Binary, SEGD_AT(R3, BlockNumber)},
    {"Source Set Number", "", In(kSourceBlock, "source_set_number"), Binary, SEGD_AT(R3, SourceSetNumber)},
    {"Unused", "", After(kSourceBlock, "source_set_number", kBlockBytes), Hex, SEGD_AT(R3, Unused)},
    {"Source Line Number", "", {}, Number, SEGD_AT(R3, SourceLineText)},
    {"Source Point Number", "", {}, Number, SEGD_AT(R3, SourcePointText)},
    {"Source Point Index", "", {}, Number, SEGD_AT(R3, SourcePointIndexText)},
};
static_assert(TableIsSound(kBlock3, kBlockBytes, kLabelColumn));

}  // namespace segd::general_fields
