// The makes' trace header extensions 2 and later, as far as public sources
// document them. Rev 1/2 leave extensions 2..N to the manufacturer; rev 3
// extensions name themselves in byte 32 and none of a make is documented.
#include "scan/segd/trace_header_tables.h"

namespace segd::generic {

namespace {

// Fairfield / ZLand format "1.6" (block 2 bytes 11-12 = 01 06): extensions
// 2-10.
constexpr ColumnSpec kFairfield[] = {
    {2, {"fairfield_shot_line", 1, 0, 4, Unsigned}},
    {2, {"fairfield_shot_point", 5, 0, 4, Unsigned}},
    {2, {"fairfield_shot_index", 9, 0, 1, Unsigned}},
    {2, {"fairfield_shot_preplan_x", 10, 0, 4, Unsigned}},
    {2, {"fairfield_shot_preplan_y", 14, 0, 4, Unsigned}},
    {2, {"fairfield_shot_final_x", 18, 0, 4, Unsigned}},
    {2, {"fairfield_shot_final_y", 22, 0, 4, Unsigned}},
    {2, {"fairfield_shot_final_depth", 26, 0, 4, Unsigned}},
    {2, {"fairfield_shot_info", 30, 0, 1, Unsigned}},
    {2, {"fairfield_energy_source", 31, 0, 1, Unsigned}},
    {3, {"fairfield_shot_epoch_us", 1, 0, 8, Unsigned}},
    {3, {"fairfield_shot_skew_us", 9, 0, 8, Unsigned}},
    {3, {"fairfield_clock_correction_us", 17, 0, 8, Unsigned}},
    {3, {"fairfield_correction_not_applied_us", 25, 0, 8, Unsigned}},
    {4, {"fairfield_pre_shot_guard", 1, 0, 4, Unsigned}},
    {4, {"fairfield_post_shot_guard", 5, 0, 4, Unsigned}},
    {4, {"fairfield_preamp_gain_db", 9, 0, 1, Unsigned}},
    {4, {"fairfield_trace_flag", 10, 0, 1, Unsigned}, true},  // 1 digital, 2 analog clip
    {4, {"fairfield_record_type", 11, 0, 1, Unsigned}},
    {4, {"fairfield_shot_status", 12, 0, 1, Unsigned}},
    {4, {"fairfield_first_break_time", 25, 0, 4, Float32}},
    {4, {"fairfield_rms_noise", 29, 0, 4, Float32}},
    {5, {"fairfield_receiver_line", 1, 0, 4, Unsigned}},
    {5, {"fairfield_receiver_point", 5, 0, 4, Unsigned}},
    {5, {"fairfield_receiver_index", 9, 0, 1, Unsigned}},
    {5, {"fairfield_receiver_x", 10, 0, 4, Unsigned}},
    {5, {"fairfield_receiver_y", 14, 0, 4, Unsigned}},
    {5, {"fairfield_receiver_final_x", 18, 0, 4, Unsigned}},
    {5, {"fairfield_receiver_final_y", 22, 0, 4, Unsigned}},
    {5, {"fairfield_receiver_final_depth", 26, 0, 4, Unsigned}},
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
static_assert(ColumnsFit(kFairfield));

// Fairfield ZSystem "2.1": extensions 3 and 4 differ from "1.6" (their
// widths are not confirmed by any source: 8-byte values assumed); the
// others are read as in "1.6".
constexpr ColumnSpec kFairfieldZSystem[] = {
    {2, {"fairfield_shot_line", 1, 0, 4, Unsigned}},
    {2, {"fairfield_shot_point", 5, 0, 4, Unsigned}},
    {2, {"fairfield_shot_index", 9, 0, 1, Unsigned}},
    {3, {"fairfield_remote_unit_id", 1, 0, 8, Unsigned}},
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
static_assert(ColumnsFit(kFairfieldZSystem));

// SmartSolo rev 2.1: extensions 2, 3, 4 and 6 (5 and 7 are unused).
constexpr ColumnSpec kSmartSolo[] = {
    {2, {"smartsolo_time_break_gps_us", 1, 0, 8, Unsigned}},
    {2, {"smartsolo_time_break_offset_us", 9, 0, 2, Unsigned}},
    {2, {"smartsolo_external_file_id", 11, 0, 4, Unsigned}},
    {2, {"smartsolo_extended_trace_number", 29, 0, 4, Unsigned}},
    {3, {"smartsolo_receiver_easting_cm", 1, 0, 4, Unsigned}},
    {3, {"smartsolo_receiver_northing_cm", 5, 0, 4, Unsigned}},
    {3, {"smartsolo_receiver_elevation_cm", 9, 0, 4, Unsigned}},
    {4, {"smartsolo_latitude", 1, 0, 6, Fixed}},
    {4, {"smartsolo_longitude", 7, 0, 6, Fixed}},
    {4, {"smartsolo_height", 13, 0, 4, Float32}},
    {6, {"smartsolo_unit_type", 1, 0, 1, Unsigned}},
    {6, {"smartsolo_unit_serial", 2, 0, 4, Unsigned}},
    {6, {"smartsolo_channel", 6, 0, 1, Unsigned}},
};
static_assert(ColumnsFit(kSmartSolo));

// Sercel 408UL / 428XL, rev 1/2: the "428" reading of extensions 2-7 (the
// one the public Sercel record fits: extension 7 bytes 9-12 equal 2^MP and
// bytes 17-20 the channel set's low-cut).
constexpr ColumnSpec kSercel[] = {
    {2, {"sercel_receiver_x", 1, 0, 8, Float64}},
    {2, {"sercel_receiver_y", 9, 0, 8, Float64}},
    {2, {"sercel_receiver_elevation", 17, 0, 4, Float32}},
    {2, {"sercel_sensor_type", 21, 0, 1, Unsigned}},
    {2, {"sercel_trace_number", 29, 0, 4, Unsigned}},
    {3, {"sercel_dc_offset", 1, 0, 4, Float32}},
    {4, {"sercel_capacitance_low_limit", 1, 0, 4, Float32}},
    {4, {"sercel_capacitance_high_limit", 5, 0, 4, Float32}},
    {4, {"sercel_capacitance", 9, 0, 4, Float32}},
    {4, {"sercel_cutoff_low_limit", 13, 0, 4, Float32}},
    {4, {"sercel_cutoff_high_limit", 17, 0, 4, Float32}},
    {4, {"sercel_cutoff", 21, 0, 4, Float32}},
    {4, {"sercel_capacitance_error", 25, 0, 1, Unsigned}, true},
    {4, {"sercel_cutoff_error", 26, 0, 1, Unsigned}, true},
    {5, {"sercel_leakage_limit", 1, 0, 4, Float32}},
    {5, {"sercel_leakage", 5, 0, 4, Float32}},
    {5, {"sercel_leakage_error", 25, 0, 1, Unsigned}, true},
    {6, {"sercel_unit_type", 1, 0, 1, Unsigned}},
    {6, {"sercel_unit_serial", 2, 0, 3, Unsigned}},
    {6, {"sercel_channel", 5, 0, 1, Unsigned}},
    {6, {"sercel_assembly_type", 9, 0, 1, Unsigned}},
    {6, {"sercel_assembly_serial", 10, 0, 3, Unsigned}},
    {6, {"sercel_location_in_assembly", 13, 0, 1, Unsigned}},
    {6, {"sercel_fdu_unit_type", 17, 0, 1, Unsigned}},
    {6, {"sercel_channel_type", 18, 0, 1, Unsigned}},
    {6, {"sercel_sensor_sensitivity", 21, 0, 4, Float32}},
    {6, {"sercel_extended_unit_serial", 25, 0, 4, Unsigned}},
    {6, {"sercel_extended_assembly_serial", 29, 0, 4, Unsigned}},
    {7, {"sercel_control_unit_type", 1, 0, 1, Unsigned}},
    {7, {"sercel_control_unit_serial", 2, 0, 3, Unsigned}},
    {7, {"sercel_channel_gain_scale", 5, 0, 1, Unsigned}},
    {7, {"sercel_channel_filter", 6, 0, 1, Unsigned}},
    {7, {"sercel_data_error", 7, 0, 1, Unsigned}, true},
    {7, {"sercel_edit_status", 8, 0, 1, Unsigned}},
    {7, {"sercel_sample_to_volt", 9, 0, 4, Float32}},
    {7, {"sercel_removed_offset", 14, 0, 1, Unsigned}},
    {7, {"sercel_channel_type_id", 15, 0, 1, Unsigned}},
    {7, {"sercel_channel_process", 16, 0, 1, Unsigned}},
    {7, {"sercel_analog_low_cut", 17, 0, 4, Float32}},
    {7, {"sercel_digital_low_cut", 21, 0, 4, Float32}},
    {7, {"sercel_editions", 25, 0, 4, Unsigned}},
    {7, {"sercel_compound_low_cut", 29, 0, 4, Float32}},
};
static_assert(ColumnsFit(kSercel));

}  // namespace

std::span<const ColumnSpec> MakeColumns(int manufacturerCode, int revisionMajor, int revisionMinor) {
  if (revisionMajor >= 3) return {};
  switch (manufacturerCode) {
    case 13:
      return kSercel;
    case 20:
      return revisionMajor == 1 && revisionMinor == 6 ? std::span<const ColumnSpec>(kFairfield)
                                                      : std::span<const ColumnSpec>(kFairfieldZSystem);
    case 61:
      return kSmartSolo;
    default:
      return {};
  }
}

}  // namespace segd::generic
