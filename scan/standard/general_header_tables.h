#pragma once
// General header blocks: block 1 (every revision), block 2 (rev 1/2 and rev
// 3 layouts), the rev 1/2 source blocks 3 and later, and the rev 3 typed
// blocks that name themselves in byte 32. One table per block kind; the
// data names are those of the record model's Fields.
#include "scan/standard/field_layout.h"

namespace segd::generic {

inline constexpr int kBlockBytes = 32;

using enum Conv;

inline constexpr FieldSpec kGeneralHeader1[] = {
    {"file_number", 1, 0, 4, Bcd},             // FFFF: block 2 bytes 1-3
    {"format_code", 3, 0, 4, Bcd},
    {"general_constants", 5, 0, 12, Bcd},
    {"year", 11, 0, 2, Bcd},
    {"additional_blocks", 12, 0, 1, Nibble},   // rev 3 F: block 2 bytes 23-24
    {"julian_day", 12, 1, 3, Bcd},
    {"hour", 14, 0, 2, Bcd},
    {"minute", 15, 0, 2, Bcd},
    {"second", 16, 0, 2, Bcd},
    {"manufacturer_code", 17, 0, 2, Bcd},
    {"manufacturer_serial", 18, 0, 4, Bcd},
    {"bytes_per_scan", 20, 0, 6, Bcd},
    {"base_scan_interval_ms", 23, 0, 1, Unsigned, 1, 16},  // held in 1/16 ms; rev 3 FF: the channel sets' interval
    {"polarity", 24, 0, 1, Nibble},
    {"scans_per_block_exponent", 24, 1, 1, Nibble},
    {"scans_per_block", 25, 0, 1, Unsigned},
    {"record_type", 26, 0, 1, Nibble},
    {"record_length", 26, 1, 3, Bcd},          // FFF: block 2's extended record length
    {"scan_types", 28, 0, 2, Bcd},
    {"channel_sets", 29, 0, 2, Bcd},           // FF: block 2 bytes 4-5
    {"skew_blocks", 30, 0, 2, Bcd},            // rev 3 FF: block 2 bytes 9-10
    {"extended_blocks", 31, 0, 2, Bcd},        // FF: block 2
    {"external_blocks", 32, 0, 2, Bcd},        // FF: block 2
};
static_assert(FitsBlock(kGeneralHeader1, kBlockBytes));

// Rev 1.0 to 2.1.
inline constexpr FieldSpec kGeneralHeader2[] = {
    {"extended_file_number", 1, 0, 3, Unsigned},
    {"extended_channel_sets", 4, 0, 2, Unsigned},
    {"extended_header_blocks", 6, 0, 2, Unsigned},
    {"external_header_blocks", 8, 0, 2, Unsigned},
    {"revision_major", 11, 0, 1, Unsigned},
    {"revision_minor", 12, 0, 1, Unsigned},
    {"trailer_blocks", 13, 0, 2, Unsigned},
    {"extended_record_length", 15, 0, 3, Unsigned},  // ms
    {"block_number", 19, 0, 1, Unsigned},
    {"sequence_number", 21, 0, 2, Unsigned},
};
static_assert(FitsBlock(kGeneralHeader2, kBlockBytes));

// Fairfield's "1.6" block 2 holds the external block count in three bytes.
inline constexpr FieldSpec kGeneralHeader2Fairfield[] = {
    {"extended_file_number", 1, 0, 3, Unsigned},
    {"extended_channel_sets", 4, 0, 2, Unsigned},
    {"extended_header_blocks", 6, 0, 2, Unsigned},
    {"external_header_blocks", 8, 0, 3, Unsigned},
    {"revision_major", 11, 0, 1, Unsigned},
    {"revision_minor", 12, 0, 1, Unsigned},
    {"trailer_blocks", 13, 0, 2, Unsigned},
    {"extended_record_length", 15, 0, 3, Unsigned},
    {"block_number", 19, 0, 1, Unsigned},
    {"sequence_number", 21, 0, 2, Unsigned},
};
static_assert(FitsBlock(kGeneralHeader2Fairfield, kBlockBytes));

// Rev 3.0 / 3.1 (block type 0x02).
inline constexpr FieldSpec kGeneralHeader2Rev3[] = {
    {"extended_file_number", 1, 0, 3, Unsigned},
    {"extended_channel_sets", 4, 0, 2, Unsigned},
    {"extended_header_blocks", 6, 0, 3, Unsigned},
    {"extended_skew_blocks", 9, 0, 2, Unsigned},
    {"revision_major", 11, 0, 1, Unsigned},
    {"revision_minor", 12, 0, 1, Unsigned},
    {"trailer_blocks", 13, 0, 4, Unsigned},
    {"extended_record_length", 17, 0, 4, Unsigned},  // unit unconfirmed
    {"record_set_number", 21, 0, 2, Unsigned},
    {"extended_additional_blocks", 23, 0, 2, Unsigned},
    {"dominant_sample_interval_us", 25, 0, 3, Unsigned},
    {"external_header_blocks", 28, 0, 3, Unsigned},
    {"block_type", 32, 0, 1, Unsigned},
};
static_assert(FitsBlock(kGeneralHeader2Rev3, kBlockBytes));

// Rev 1/2 blocks 3 and later: source information.
inline constexpr FieldSpec kSourceBlock[] = {
    {"expanded_file_number", 1, 0, 3, Unsigned},
    {"source_line", 4, 0, 5, Fixed},
    {"source_point", 9, 0, 5, Fixed},
    {"source_point_index", 14, 0, 1, Unsigned},
    {"phase_control", 15, 0, 1, Unsigned},
    {"vibrator_type", 16, 0, 1, Unsigned},
    {"phase_angle", 17, 0, 2, Signed},
    {"block_number", 19, 0, 1, Unsigned},
    {"source_set_number", 20, 0, 1, Unsigned},
};
static_assert(FitsBlock(kSourceBlock, kBlockBytes));

// Rev 3 block 3 (type 0x03): timestamp and sizes.
inline constexpr FieldSpec kGeneralHeader3Rev3[] = {
    {"time_zero_us", 1, 0, 8, Unsigned},
    {"record_size", 9, 0, 8, Unsigned},
    {"data_size", 17, 0, 8, Unsigned},
    {"header_size", 25, 0, 4, Unsigned},
    {"extended_recording_mode", 29, 0, 1, Unsigned},
    {"relative_time_mode", 30, 0, 1, Unsigned},
    {"block_type", 32, 0, 1, Unsigned},
};
static_assert(FitsBlock(kGeneralHeader3Rev3, kBlockBytes));

// Rev 3 source description blocks 0x15-0x1F: a common head and tail around
// bytes 15-18, which depend on the source type.
inline constexpr FieldSpec kSourceHead[] = {
    {"expanded_file_number", 1, 0, 3, Unsigned},
    {"source_line", 4, 0, 5, UFixed},
    {"source_point", 9, 0, 5, UFixed},
    {"source_point_index", 14, 0, 1, Unsigned},
};
inline constexpr FieldSpec kSourceVibrator[] = {
    {"phase_control", 15, 0, 1, Unsigned}, {"vibrator_type", 16, 0, 1, Unsigned}, {"phase_angle", 17, 0, 2, Signed}};
inline constexpr FieldSpec kSourceExplosive[] = {
    {"depth", 15, 0, 2, Unsigned}, {"charge_length", 17, 0, 1, Unsigned}, {"soil_type", 18, 0, 1, Unsigned}};
inline constexpr FieldSpec kSourceGun[] = {{"depth", 15, 0, 2, Unsigned}, {"air_pressure", 17, 0, 2, Unsigned}};
inline constexpr FieldSpec kSourceElectromagnetic[] = {{"source_type", 15, 0, 1, Unsigned},
                                                       {"moment", 16, 0, 3, Unsigned}};
inline constexpr FieldSpec kSourceTail[] = {
    {"source_id", 19, 0, 1, Unsigned},       {"source_set_number", 20, 0, 1, Unsigned},
    {"reshoot_index", 21, 0, 1, Unsigned},   {"group_index", 22, 0, 1, Unsigned},
    {"depth_index", 23, 0, 1, Unsigned},     {"offset_crossline", 24, 0, 2, Unsigned},
    {"offset_inline", 26, 0, 2, Unsigned},   {"size", 28, 0, 2, Unsigned},
    {"offset_depth", 30, 0, 2, Unsigned},    {"block_type", 32, 0, 1, Unsigned},
};
static_assert(FitsBlock(kSourceHead, kBlockBytes) && FitsBlock(kSourceVibrator, kBlockBytes) &&
              FitsBlock(kSourceExplosive, kBlockBytes) && FitsBlock(kSourceGun, kBlockBytes) &&
              FitsBlock(kSourceElectromagnetic, kBlockBytes) && FitsBlock(kSourceTail, kBlockBytes));

inline constexpr FieldSpec kVesselBlock[] = {
    {"vessel_abbreviation", 1, 0, 3, Ascii}, {"vessel_name", 4, 0, 28, Ascii}, {"block_type", 32, 0, 1, Unsigned}};
inline constexpr FieldSpec kSurveyAreaBlock[] = {{"survey_area", 1, 0, 31, Ascii}, {"block_type", 32, 0, 1, Unsigned}};
inline constexpr FieldSpec kClientBlock[] = {{"client", 1, 0, 31, Ascii}, {"block_type", 32, 0, 1, Unsigned}};
inline constexpr FieldSpec kJobBlock[] = {
    {"job_abbreviation", 1, 0, 5, Ascii}, {"job", 6, 0, 26, Ascii}, {"block_type", 32, 0, 1, Unsigned}};
inline constexpr FieldSpec kLineBlock[] = {
    {"line_abbreviation", 1, 0, 7, Ascii}, {"line", 8, 0, 24, Ascii}, {"block_type", 32, 0, 1, Unsigned}};
inline constexpr FieldSpec kAdditionalSourceBlock[] = {
    {"time_us", 1, 0, 8, Unsigned},          {"source_status", 9, 0, 1, Unsigned},
    {"source_id", 10, 0, 1, Unsigned},       {"source_moving", 11, 0, 1, Unsigned},
    {"error_description", 12, 0, 20, Ascii}, {"block_type", 32, 0, 1, Unsigned}};
// Any other type, and the general trailer of every revision, as raw bytes.
inline constexpr FieldSpec kRawBlock[] = {{"bytes", 1, 0, 32, Hex}, {"block_type", 32, 0, 1, Unsigned}};
static_assert(FitsBlock(kVesselBlock, kBlockBytes) && FitsBlock(kSurveyAreaBlock, kBlockBytes) &&
              FitsBlock(kClientBlock, kBlockBytes) && FitsBlock(kJobBlock, kBlockBytes) &&
              FitsBlock(kLineBlock, kBlockBytes) && FitsBlock(kAdditionalSourceBlock, kBlockBytes) &&
              FitsBlock(kRawBlock, kBlockBytes));

inline constexpr FieldSpec kGeneralTrailer[] = {
    {"trailer_number", 1, 0, 2, Unsigned},
    {"channel_type", 11, 0, 1, Unsigned},
    {"block_type", 32, 0, 1, Unsigned},  // rev 3: 0x70
    {"bytes", 1, 0, 32, Hex},
};
static_assert(FitsBlock(kGeneralTrailer, kBlockBytes));

}  // namespace segd::generic
