// The Sercel SN388 recorder (manufacturer 13, recorder model 0 in block 1
// bytes 5-10): its 1024-byte extended header, extension 1 bytes 11-30 and
// extension 2. The extended header's fields are those of the report's own
// table (scan/makes/sn388/extended_header_layout.h), read here from the same rows.
#include "scan/makes/sn388/extended_header_layout.h"
#include "scan/makes/makes.h"
#include "scan/makes/sn388/sn388_trace_codes.h"

namespace segd::generic {

namespace {

using enum Conv;
using H = SummaryFrom::Header;

// The SN388 writes rev 1.0 (or no block 2); a later Sercel record with
// zeros in bytes 5-10 is another recorder's.
bool Matches(const RecordShape& shape) {
  return shape.manufacturerCode == 13 && shape.generalConstants == 0 && shape.revisionMajor <= 1 &&
         shape.revisionMinor <= 0;
}

// The report table's rows that read the block, as the general decoder's
// rows: its unsigned numbers, IEEE values, texts and hexadecimal runs.
constexpr bool Readable(const FieldRow<extended::R>& row) {
  return !row.name.empty() && ReadsTheBlock(row.conversion) && !row.name.starts_with("unused");
}
constexpr std::size_t kReadableRows = [] {
  std::size_t n = 0;
  for (const auto& row : extended::kFields) n += Readable(row) ? 1 : 0;
  return n;
}();
constexpr Conv ConvOf(Conversion c) {
  switch (c) {
    case Conversion::Single: return Float32;
    case Conversion::Double: return Float64;
    case Conversion::Characters:
    case Conversion::TrimmedCharacters: return Ascii;
    case Conversion::Hex: return Hex;
    default: return Unsigned;
  }
}
constexpr std::array<FieldSpec, kReadableRows> kExtended = [] {
  std::array<FieldSpec, kReadableRows> out{};
  std::size_t i = 0;
  for (const auto& row : extended::kFields) {
    if (!Readable(row)) continue;
    const int digits = row.place.last - row.place.first + 1;
    out[i++] = {row.name, static_cast<std::uint16_t>((row.place.first + 1) / 2), 0,
                static_cast<std::uint16_t>(digits / 2), ConvOf(row.conversion)};
  }
  return out;
}();
static_assert([] {
  for (const FieldSpec& f : kExtended) {
    const FieldSpec one[] = {f};
    if (!FitsBlock(one, extended::kBlockBytes)) return false;
  }
  return true;
}());

constexpr SummaryFrom kSummary[] = {
    {H::Extended, "total_traces", "traces_announced"},
    {H::Extended, "number_of_aux_traces", "auxiliary_traces"},
    {H::Extended, "number_of_seis_traces", "seismic_traces"},
    {H::Extended, "number_of_live_seis_traces", "live_seismic_traces"},
    {H::Extended, "acquisition_length", "record_length_ms"},
    {H::Extended, "samples_per_trace", "samples_per_trace"},
    {H::Extended, "shot_number", "shot_number"},
    {H::Extended, "source_easting", "source_x"},
    {H::Extended, "source_northing", "source_y"},
    {H::Extended, "source_elevation", "source_elevation"},
    {H::Extended, "software_version", "sn388_software_version"},
    {H::Extended, "tape_label", "sn388_tape_label"},
    {H::Extended, "tape_number", "sn388_tape_number"},
};

constexpr CodeLabels kFilter{"sn388_filter_type_label", sn388::kFilterTable};
constexpr CodeLabels kUnitType{"sn388_unit_type_label", sn388::kUnitTypeTable};
constexpr CodeLabels kChannelType{"sn388_channel_type_label", sn388::kChannelTypeTable};
constexpr CodeLabels kNoiseElimination{"sn388_noise_elimination_type_label", sn388::kNoiseEliminationTable};
constexpr CodeLabels kProcessType{"sn388_process_type_label", sn388::kProcessTypeTable};

// Extension 1 bytes 11-30 (the standard's bytes 1-10 are read by its own
// table) and extension 2.
constexpr ColumnSpec kColumns[] = {
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
static_assert(ColumnsFit(kColumns));

}  // namespace

const MakeDescriptor kSn388Make{.id = "sn388",
                                .matches = Matches,
                                .columns = kColumns,
                                .extension1Tail = false,
                                .extended = kExtended,
                                .summary = kSummary};

}  // namespace segd::generic
