// The Sercel SN388 recorder (manufacturer 13, recorder model 0 in block 1
// bytes 5-10): its 1024-byte extended header, extension 1 bytes 11-30 and
// extension 2. The extended header's fields are those of the report's own
// table (scan/makes/sn388/extended_header_layout.h), read here from the same rows.
#include "scan/makes/sn388/extended_header_layout.h"
#include "scan/makes/makes.h"
#include "scan/makes/sn388/sn388_columns.h"

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



}  // namespace

const MakeDescriptor kSn388Make{.id = "sn388",
                                .matches = Matches,
                                .columns = segd::sn388::kExtensionColumns,
                                .extension1Tail = false,
                                .extended = kExtended,
                                .summary = kSummary};

}  // namespace segd::generic
