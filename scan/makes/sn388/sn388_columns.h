#pragma once
// The SN388 recorder's own trace header extension bytes: extension 1 bytes
// 11-30 (the standard's bytes 1-10 are read by its own table) and
// extension 2. The general decoder reads them through the make's descriptor
// and the report takes their places from these rows, so each byte range is
// stated here once.
#include "scan/makes/sn388/sn388_trace_codes.h"
#include "scan/standard/trace_header_tables.h"

namespace segd::sn388 {

using generic::CodeLabels;
using generic::ColumnSpec;
using enum generic::Conv;

inline constexpr CodeLabels kFilter{"sn388_filter_type_label", kFilterTable};
inline constexpr CodeLabels kUnitType{"sn388_unit_type_label", kUnitTypeTable};
inline constexpr CodeLabels kChannelType{"sn388_channel_type_label", kChannelTypeTable};
inline constexpr CodeLabels kNoiseElimination{"sn388_noise_elimination_type_label", kNoiseEliminationTable};
inline constexpr CodeLabels kProcessType{"sn388_process_type_label", kProcessTypeTable};

inline constexpr ColumnSpec kExtensionColumns[] = {
    {1, {"unit_serial", 11, 0, 3, Unsigned}},  // the station unit (SU) number
    {1, {"sn388_filter_type", 14, 0, 1, Unsigned}, false, false, &kFilter},
    {1, {"sn388_gain_db", 15, 0, 1, Unsigned}},
    {1, {"sn388_unit_type", 16, 0, 1, Nibble}, false, false, &kUnitType},
    {1, {"sn388_channel_type", 16, 1, 1, Nibble}, false, false, &kChannelType},
    {1, {"sn388_noise_elimination_type", 17, 0, 1, Unsigned}, false, false, &kNoiseElimination},
    {1, {"sn388_process_type", 18, 0, 1, Unsigned}, false, false, &kProcessType},
    {1, {"sn388_ipls_error", 19, 0, 1, Bit, 0x80}, true},
    {1, {"sn388_impedance_error", 19, 0, 1, Bit, 0x40}, true},
    {1, {"sn388_dead", 19, 0, 1, Bit, 0x20}, true, true},
    {1, {"sn388_underrun_error", 19, 0, 1, Bit, 0x10}, true},
    {1, {"sn388_overrun_error", 19, 0, 1, Bit, 0x08}, true},
    {1, {"sn388_overscale_error", 19, 0, 1, Bit, 0x04}, true},
    {1, {"sn388_data_error", 19, 0, 1, Bit, 0x02}, true},
    {1, {"sn388_sync_error", 19, 0, 1, Bit, 0x01}, true},
    {1, {"sn388_stacks_low", 20, 0, 1, Unsigned}},
    {1, {"sn388_stacks_noisy", 21, 0, 1, Unsigned}},
    {1, {"sn388_resistance_ohm", 22, 0, 2, Unsigned}},
    {1, {"sn388_sim_percent", 24, 0, 2, Unsigned}},
    {1, {"sn388_receiver_type", 26, 0, 1, Unsigned}},
    {1, {"sn388_conversion_factor", 27, 0, 4, Float32}},
    {2, {"receiver_x", 1, 0, 8, Float64}},
    {2, {"receiver_y", 9, 0, 8, Float64}},
    {2, {"receiver_elevation", 17, 0, 4, Float32}},
};
static_assert(generic::ColumnsFit(kExtensionColumns));

}  // namespace segd::sn388
