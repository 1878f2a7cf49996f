// Fairfield / ZLand: format "1.6" (block 2 bytes 11-12 = 01 06) and the
// ZSystem "2.1". Every X, Y and depth this make writes is metres times 10
// (its format document says "coordinate x 10"): the tables divide by 10.
#include "scan/makes/makes.h"

namespace segd::generic {

namespace {

using enum Conv;
using H = SummaryFrom::Header;

bool Fairfield(const RecordShape& shape) { return shape.manufacturerCode == 20 && !shape.rev3; }
bool Is16(const RecordShape& shape) { return shape.revisionMajor == 1 && shape.revisionMinor == 6; }
bool Matches16(const RecordShape& shape) { return Fairfield(shape) && Is16(shape); }
bool MatchesZSystem(const RecordShape& shape) { return Fairfield(shape) && !Is16(shape); }

// "1.6": three 32-byte extended blocks.
constexpr FieldSpec kExtended[] = {
    {"remote_unit_part_number", 1, 0, 4, Unsigned},
    {"remote_unit_id", 5, 0, 4, Unsigned},
    {"deploy_epoch_us", 9, 0, 8, Unsigned},
    {"pickup_epoch_us", 17, 0, 8, Unsigned},
    {"remote_unit_epoch_us", 25, 0, 8, Unsigned},
    {"drift_window", 33, 0, 4, Float32},
    {"clock_drift_ns", 37, 0, 8, Unsigned},
    {"clock_stop_method", 45, 0, 1, Unsigned},
    {"frequency_drift", 46, 0, 1, Unsigned},
    {"oscillator_type", 47, 0, 1, Unsigned},
    {"collection_method", 48, 0, 1, Unsigned},  // 1: continuous (the trace extension 2 reading changes)
    {"records", 49, 0, 4, Unsigned},
    {"files", 53, 0, 4, Unsigned},
    {"file_number", 57, 0, 4, Unsigned},
    {"decimation_flag", 61, 0, 1, Unsigned},
    {"base_scan_interval", 62, 0, 1, Unsigned},
    {"decimation_coefficients", 63, 0, 2, Unsigned},
    {"receiver_line", 65, 0, 4, Unsigned},
    {"receiver_point", 69, 0, 4, Unsigned},
    {"receiver_index", 73, 0, 1, Unsigned},
    {"first_shot_line", 74, 0, 4, Unsigned},
    {"first_shot_point", 78, 0, 4, Unsigned},
    {"first_shot_index", 82, 0, 1, Unsigned},
    {"last_shot_line", 83, 0, 4, Unsigned},
    {"last_shot_point", 87, 0, 4, Unsigned},
    {"last_shot_index", 91, 0, 1, Unsigned},
};
static_assert(FitsBlock(kExtended, 96));

// External blocks 1 and ("1.6") 2.
constexpr FieldSpec kExternal16[] = {
    {"size", 1, 0, 4, Unsigned},
    {"receiver_line", 5, 0, 4, Unsigned},
    {"receiver_point", 9, 0, 4, Unsigned},
    {"receiver_index", 13, 0, 1, Unsigned},
    {"shot_epoch_us", 33, 0, 8, Unsigned},
    {"shot_line", 41, 0, 4, Unsigned},
    {"shot_point", 45, 0, 4, Unsigned},
    {"shot_index", 49, 0, 1, Unsigned},
    {"source_x", 50, 0, 4, Unsigned, 1, 10},
    {"source_y", 54, 0, 4, Unsigned, 1, 10},
    {"source_depth", 58, 0, 4, Unsigned, 1, 10},
    {"shot_info", 62, 0, 1, Unsigned},
    {"shot_status", 63, 0, 1, Unsigned},
};
static_assert(FitsBlock(kExternal16, 64));
constexpr std::span<const FieldSpec> kExternalZSystem(kExternal16, 4);

constexpr SummaryFrom kSummary16[] = {
    {H::External, "receiver_line", "fairfield_receiver_line"},
    {H::External, "receiver_point", "fairfield_receiver_point"},
    {H::External, "shot_line", "source_line"},
    {H::External, "shot_point", "source_point"},
    {H::External, "source_x", "source_x"},
    {H::External, "source_y", "source_y"},
    {H::Extended, "remote_unit_id", "unit_serial"},
};
constexpr std::span<const SummaryFrom> kSummaryZSystem(kSummary16, 2);

// Channel set byte 31 holds the unit's channel (1-3 on a 3C unit).
constexpr Rename kChannelSet[] = {{"streamer_number", "fairfield_unit_channel"}};

// Extensions 2-10 of "1.6".
constexpr ColumnSpec kColumns16[] = {
    {2, {"fairfield_shot_line", 1, 0, 4, Unsigned}},
    {2, {"fairfield_shot_point", 5, 0, 4, Unsigned}},
    {2, {"fairfield_shot_index", 9, 0, 1, Unsigned}},
    {2, {"fairfield_shot_preplan_x", 10, 0, 4, Unsigned, 1, 10}},
    {2, {"fairfield_shot_preplan_y", 14, 0, 4, Unsigned, 1, 10}},
    {2, {"fairfield_shot_final_x", 18, 0, 4, Unsigned, 1, 10}},
    {2, {"fairfield_shot_final_y", 22, 0, 4, Unsigned, 1, 10}},
    {2, {"fairfield_shot_final_depth", 26, 0, 4, Unsigned, 1, 10}},
    {2, {"fairfield_shot_info", 30, 0, 1, Unsigned}},
    {2, {"fairfield_energy_source", 31, 0, 1, Unsigned}},
    {3, {"fairfield_shot_epoch_us", 1, 0, 8, Unsigned}},
    {3, {"fairfield_shot_skew_us", 9, 0, 8, Unsigned}},
    {3, {"fairfield_clock_correction_us", 17, 0, 8, Unsigned}},
    {3, {"fairfield_correction_not_applied_us", 25, 0, 8, Unsigned}},
    {4, {"fairfield_pre_shot_guard", 1, 0, 4, Unsigned}},
    {4, {"fairfield_post_shot_guard", 5, 0, 4, Unsigned}},
    {4, {"fairfield_preamp_gain_db", 9, 0, 1, Unsigned}},
    {4, {"fairfield_trace_flag", 10, 0, 1, Unsigned}, true},
    {4, {"fairfield_record_type", 11, 0, 1, Unsigned}},
    {4, {"fairfield_shot_status", 12, 0, 1, Unsigned}},
    {4, {"fairfield_first_break_time", 25, 0, 4, Float32}},
    {4, {"fairfield_rms_noise", 29, 0, 4, Float32}},
    {5, {"fairfield_receiver_line", 1, 0, 4, Unsigned}},
    {5, {"fairfield_receiver_point", 5, 0, 4, Unsigned}},
    {5, {"fairfield_receiver_index", 9, 0, 1, Unsigned}},
    {5, {"receiver_x", 10, 0, 4, Unsigned, 1, 10}},
    {5, {"receiver_y", 14, 0, 4, Unsigned, 1, 10}},
    {5, {"fairfield_receiver_final_x", 18, 0, 4, Unsigned, 1, 10}},
    {5, {"fairfield_receiver_final_y", 22, 0, 4, Unsigned, 1, 10}},
    {5, {"fairfield_receiver_final_depth", 26, 0, 4, Unsigned, 1, 10}},
    {5, {"fairfield_receiver_info", 30, 0, 1, Unsigned}},
    {6, {"fairfield_h1x", 1, 0, 4, Float32}},
    {6, {"fairfield_h2x", 5, 0, 4, Float32}},
    {6, {"fairfield_vx", 9, 0, 4, Float32}},
    {6, {"fairfield_h1y", 13, 0, 4, Float32}},
    {6, {"fairfield_h2y", 17, 0, 4, Float32}},
    {6, {"fairfield_vy", 21, 0, 4, Float32}},
    {6, {"fairfield_h1z", 25, 0, 4, Float32}},
    {6, {"fairfield_h2z", 29, 0, 4, Float32}},
    {7, {"fairfield_vz", 1, 0, 4, Float32}},
    {7, {"fairfield_azimuth", 5, 0, 4, Float32}},
    {7, {"fairfield_pitch", 9, 0, 4, Float32}},
    {7, {"fairfield_roll", 13, 0, 4, Float32}},
    {7, {"fairfield_temperature", 17, 0, 4, Float32}},
    {7, {"fairfield_humidity", 21, 0, 4, Float32}},
    {8, {"fairfield_test_code", 1, 0, 4, Unsigned}},
    {8, {"fairfield_oscillator_attenuation_1", 5, 0, 4, Unsigned}},
    {8, {"fairfield_oscillator_attenuation_2", 9, 0, 4, Unsigned}},
    {8, {"fairfield_start_delay_us", 13, 0, 4, Unsigned}},
    {8, {"fairfield_dc_filter_flag", 17, 0, 4, Unsigned}},
    {8, {"fairfield_dc_filter_frequency", 21, 0, 4, Unsigned}},
    {8, {"fairfield_preamp_path", 25, 0, 4, Unsigned}},
    {8, {"fairfield_oscillator_signal_type", 29, 0, 4, Unsigned}},
    {9, {"fairfield_generator_signal_type", 1, 0, 4, Unsigned}},
    {9, {"fairfield_generator_frequency_1", 5, 0, 4, Unsigned}},
    {9, {"fairfield_generator_frequency_2", 9, 0, 4, Unsigned}},
    {9, {"fairfield_generator_amplitude_1", 13, 0, 4, Unsigned}},
    {9, {"fairfield_generator_amplitude_2", 17, 0, 4, Unsigned}},
    {9, {"fairfield_generator_duty_cycle", 21, 0, 4, Unsigned}},
    {9, {"fairfield_generator_duration_us", 25, 0, 4, Unsigned}},
    {9, {"fairfield_generator_activation_time_us", 29, 0, 4, Unsigned}},
    {10, {"fairfield_idle_level", 1, 0, 4, Unsigned}},
    {10, {"fairfield_active_level", 5, 0, 4, Unsigned}},
    {10, {"fairfield_generator_pattern_1", 9, 0, 4, Unsigned}},
    {10, {"fairfield_generator_pattern_2", 13, 0, 4, Unsigned}},
};
static_assert(ColumnsFit(kColumns16));

// In continuous recording (extended header collection method 1) extension
// 2 bytes 1-8 hold the unit serial and the time-slice index, not a shot
// line and point: the unit serial equals the extended header's unit id on
// real records.
constexpr ColumnSpec kContinuous16[] = {
    {2, {"unit_serial", 1, 0, 4, Unsigned}},
    {2, {"fairfield_time_slice_index", 5, 0, 4, Unsigned}},
};
static_assert(ColumnsFit(kContinuous16));

// ZSystem "2.1": extensions 3 and 4 differ from "1.6" (their widths are not
// confirmed by any source: 8-byte values assumed).
constexpr ColumnSpec kZSystem[] = {
    {2, {"fairfield_shot_line", 1, 0, 4, Unsigned}},
    {2, {"fairfield_shot_point", 5, 0, 4, Unsigned}},
    {2, {"fairfield_shot_index", 9, 0, 1, Unsigned}},
    {3, {"unit_serial", 1, 0, 8, Unsigned}},  // the remote unit id
    {3, {"fairfield_deploy_epoch_us", 9, 0, 8, Unsigned}},
    {3, {"fairfield_pickup_epoch_us", 17, 0, 8, Unsigned}},
    {3, {"fairfield_start_epoch_us", 25, 0, 8, Unsigned}},
    {4, {"fairfield_drift_window", 1, 0, 8, Unsigned}},
    {4, {"fairfield_clock_drift", 9, 0, 8, Unsigned}},
    {4, {"fairfield_applied_correction", 17, 0, 8, Unsigned}},
    {4, {"fairfield_remaining_correction", 25, 0, 8, Unsigned}},
    {5, {"fairfield_receiver_line", 1, 0, 4, Unsigned}},
    {5, {"fairfield_receiver_point", 5, 0, 4, Unsigned}},
    {5, {"fairfield_receiver_index", 9, 0, 1, Unsigned}},
};
static_assert(ColumnsFit(kZSystem));

}  // namespace

const MakeDescriptor kFairfield16Make{.id = "fairfield",
                                      .matches = Matches16,
                                      .columns = kColumns16,
                                      .extended = kExtended,
                                      .external = kExternal16,
                                      .summary = kSummary16,
                                      .channelSet = kChannelSet,
                                      .continuous = kContinuous16};
const MakeDescriptor kFairfieldZSystemMake{.id = "fairfield",
                                           .matches = MatchesZSystem,
                                           .columns = kZSystem,
                                           .external = kExternalZSystem,
                                           .summary = kSummaryZSystem,
                                           .channelSet = kChannelSet};

}  // namespace segd::generic
