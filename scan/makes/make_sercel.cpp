// Sercel 408UL / 428XL, rev 1/2: trace header extensions 2-7.
#include "scan/makes/makes.h"

namespace segd::generic {

namespace {

using enum Conv;

bool Matches(const RecordShape& shape) { return shape.manufacturerCode == 13 && !shape.rev3; }

// The "428" reading of extensions 2-7 (the one the public Sercel record
// fits: extension 7 bytes 9-12 equal 2^MP and bytes 17-20 the channel set's
// low-cut), with the 428XL reading of extension 3 that the same record shows
// (bytes 1-20: 250, 500, about 400 varying by trace, 5.0, and -1.9 to 0.8
// varying: resistance limits and value, tilt limit and value).
constexpr ColumnSpec kColumns[] = {
    {2, {"receiver_x", 1, 0, 8, Float64}},
    {2, {"receiver_y", 9, 0, 8, Float64}},
    {2, {"receiver_elevation", 17, 0, 4, Float32}},
    {2, {"sercel_sensor_type", 21, 0, 1, Unsigned}},
    {2, {"sercel_trace_number", 29, 0, 4, Unsigned}},
    {3, {"sercel_resistance_low_limit_ohm", 1, 0, 4, Float32}},
    {3, {"sercel_resistance_high_limit_ohm", 5, 0, 4, Float32}},
    {3, {"sercel_resistance_ohm", 9, 0, 4, Float32}},
    {3, {"sercel_tilt_limit", 13, 0, 4, Float32}},
    {3, {"sercel_tilt", 17, 0, 4, Float32}},
    {3, {"sercel_resistance_error", 21, 0, 1, Unsigned}, true},
    {3, {"sercel_tilt_error", 22, 0, 1, Unsigned}, true},
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
    {6, {"unit_serial", 2, 0, 3, Unsigned}},
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
static_assert(ColumnsFit(kColumns));

}  // namespace

const MakeDescriptor kSercelMake{.id = "sercel", .matches = Matches, .columns = kColumns};

}  // namespace segd::generic
