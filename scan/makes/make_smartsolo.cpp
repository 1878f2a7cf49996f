// SmartSolo rev 2.1: the 1024-byte extended and external headers and trace
// header extensions 2, 3, 4 and 6 (5 and 7 are unused).
#include "scan/makes/makes.h"

namespace segd::generic {

namespace {

using enum Conv;
using H = SummaryFrom::Header;

bool Matches(const RecordShape& shape) { return shape.manufacturerCode == 61 && !shape.rev3; }

constexpr FieldSpec kExtended[] = {
    {"acquisition_length_ms", 1, 0, 4, Unsigned},
    {"sample_interval_us", 5, 0, 4, Unsigned},
    {"traces", 9, 0, 4, Unsigned},
    {"samples_per_trace", 13, 0, 4, Unsigned},
    {"seismic_traces", 17, 0, 4, Unsigned},
    {"auxiliary_traces", 21, 0, 4, Unsigned},
    {"dead_seismic_traces", 25, 0, 4, Unsigned},
    {"live_seismic_traces", 29, 0, 4, Unsigned},
    {"source_type", 33, 0, 4, Unsigned},
    {"gather_type", 37, 0, 2, Unsigned},
};
static_assert(FitsBlock(kExtended, 40));

// Centimetres in the header, metres here.
constexpr FieldSpec kExternal[] = {
    {"external_field_file_number", 1, 0, 4, Unsigned},
    {"file_number", 5, 0, 4, Unsigned},
    {"source_x", 9, 0, 4, Unsigned, 1, 100},
    {"source_y", 13, 0, 4, Unsigned, 1, 100},
    {"source_elevation", 17, 0, 4, Unsigned, 1, 100},
    {"source_latitude", 21, 0, 6, UFixed},
    {"source_longitude", 27, 0, 6, UFixed},
    {"time_break_gps_us", 33, 0, 8, Unsigned},
    {"source_gps_height", 43, 0, 4, Unsigned, 1, 100},
};
static_assert(FitsBlock(kExternal, 64));

constexpr SummaryFrom kSummary[] = {
    {H::Extended, "traces", "traces_announced"},
    {H::Extended, "auxiliary_traces", "auxiliary_traces"},
    {H::Extended, "seismic_traces", "seismic_traces"},
    {H::Extended, "live_seismic_traces", "live_seismic_traces"},
    {H::External, "source_x", "source_x"},
    {H::External, "source_y", "source_y"},
    {H::External, "source_elevation", "source_elevation"},
    {H::External, "source_latitude", "source_latitude"},
    {H::External, "source_longitude", "source_longitude"},
    {H::External, "time_break_gps_us", "time_zero_gps_us"},
};

constexpr ColumnSpec kColumns[] = {
    {2, {"smartsolo_time_break_gps_us", 1, 0, 8, Unsigned}},
    {2, {"smartsolo_time_break_offset_us", 9, 0, 2, Unsigned}},
    {2, {"smartsolo_external_file_id", 11, 0, 4, Unsigned}},
    {2, {"smartsolo_extended_trace_number", 29, 0, 4, Unsigned}},
    {3, {"receiver_x", 1, 0, 4, Unsigned, 1, 100}},
    {3, {"receiver_y", 5, 0, 4, Unsigned, 1, 100}},
    {3, {"receiver_elevation", 9, 0, 4, Unsigned, 1, 100}},
    {4, {"receiver_latitude", 1, 0, 6, Fixed}},
    {4, {"receiver_longitude", 7, 0, 6, Fixed}},
    {4, {"smartsolo_gps_height", 13, 0, 4, Float32}},
    {6, {"smartsolo_unit_type", 1, 0, 1, Unsigned}},
    {6, {"unit_serial", 2, 0, 4, Unsigned}},
    {6, {"smartsolo_channel", 6, 0, 1, Unsigned}},
};
static_assert(ColumnsFit(kColumns));

}  // namespace

const MakeDescriptor kSmartSoloMake{.id = "smartsolo",
                                    .matches = Matches,
                                    .columns = kColumns,
                                    .extended = kExtended,
                                    .external = kExternal,
                                    .summary = kSummary};

}  // namespace segd::generic
