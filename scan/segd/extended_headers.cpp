// The extended and external headers: their length comes from block 1 (or
// block 2 through the escapes); their contents belong to the make. Every
// make's are given raw (first bytes as hex and text); SmartSolo's and
// Fairfield's documented fields are decoded as well.
#include <algorithm>

#include "scan/segd/decoder_parts.h"

namespace segd::generic {

namespace {

using enum Conv;

// The most bytes read from either header: the documented layouts and the
// raw text lie within them.
constexpr std::size_t kBytesRead = 1024;
constexpr std::size_t kHexBytes = 64;

// SmartSolo rev 2.1: the first 1024-byte extended header.
constexpr FieldSpec kSmartSoloExtended[] = {
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
static_assert(FitsBlock(kSmartSoloExtended, kBytesRead));

constexpr FieldSpec kSmartSoloExternal[] = {
    {"external_field_file_number", 1, 0, 4, Unsigned},
    {"file_number", 5, 0, 4, Unsigned},
    {"source_easting_cm", 9, 0, 4, Unsigned},
    {"source_northing_cm", 13, 0, 4, Unsigned},
    {"source_elevation_cm", 17, 0, 4, Unsigned},
    {"gps_latitude", 21, 0, 6, UFixed},
    {"gps_longitude", 27, 0, 6, UFixed},
    {"time_break_gps_us", 33, 0, 8, Unsigned},
    {"source_gps_height_cm", 43, 0, 4, Unsigned},
};
static_assert(FitsBlock(kSmartSoloExternal, kBytesRead));

// Fairfield "1.6": three 32-byte extended blocks.
constexpr FieldSpec kFairfieldExtended[] = {
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
    {"collection_method", 48, 0, 1, Unsigned},
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
static_assert(FitsBlock(kFairfieldExtended, 96));

// Fairfield external blocks 1 and ("1.6") 2.
constexpr FieldSpec kFairfieldExternal1[] = {
    {"size", 1, 0, 4, Unsigned},
    {"receiver_line", 5, 0, 4, Unsigned},
    {"receiver_point", 9, 0, 4, Unsigned},
    {"receiver_index", 13, 0, 1, Unsigned},
};
constexpr FieldSpec kFairfieldExternal2[] = {
    {"shot_epoch_us", 33, 0, 8, Unsigned}, {"shot_line", 41, 0, 4, Unsigned}, {"shot_point", 45, 0, 4, Unsigned},
    {"shot_index", 49, 0, 1, Unsigned},    {"shot_x", 50, 0, 4, Unsigned},    {"shot_y", 54, 0, 4, Unsigned},
    {"shot_depth", 58, 0, 4, Unsigned},    {"shot_info", 62, 0, 1, Unsigned}, {"shot_status", 63, 0, 1, Unsigned},
};
static_assert(FitsBlock(kFairfieldExternal1, 32) && FitsBlock(kFairfieldExternal2, 64));

bool Fairfield16(const RecordShape& shape) {
  return shape.manufacturerCode == 20 && shape.revisionMajor == 1 && shape.revisionMinor == 6;
}
bool SmartSolo(const RecordShape& shape) { return shape.manufacturerCode == 61 && !shape.rev3; }

std::vector<std::uint8_t> HeaderBytes(ByteSource& source, std::uint64_t offset, std::int64_t blocks) {
  const std::uint64_t length = 32 * static_cast<std::uint64_t>(blocks);
  return ReadBytes(source, offset, static_cast<std::size_t>(std::min<std::uint64_t>(length, kBytesRead)));
}

// The printable ASCII of binary bytes: each run of other bytes becomes one
// blank, so that the names and dates a make writes there can be read.
std::string PrintableText(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (std::uint8_t c : bytes) {
    if (c >= 0x20 && c < 0x7F) {
      text.push_back(static_cast<char>(c));
    } else if (!text.empty() && text.back() != ' ') {
      text.push_back(' ');
    }
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

void AddRawFields(std::span<const std::uint8_t> bytes, std::int64_t blocks, model::Block& block) {
  block.fields.push_back({"blocks", "", IntegerValue(blocks)});
  block.fields.push_back({"bytes", "", IntegerValue(32 * blocks)});
  const FieldSpec hex{"hex", 1, 0, static_cast<std::uint16_t>(std::min(bytes.size(), kHexBytes)), Hex};
  model::Field field{"hex", "", {}};
  if (!bytes.empty()) ReadValue(bytes, hex, field.value);
  block.fields.push_back(std::move(field));
  block.fields.push_back({"text", "", TextValue(PrintableText(bytes))});
}

void DecodeExtendedHeader(ByteSource& source, std::uint64_t offset, std::int64_t blocks, RecordShape& shape,
                          model::RecordHeaders& headers) {
  model::Block& block = headers.extendedHeader;
  block.name = "extended_header";
  const std::vector<std::uint8_t> bytes = HeaderBytes(source, offset, blocks);
  AddRawFields(bytes, blocks, block);
  if (SmartSolo(shape) && bytes.size() >= 40) {
    DecodeFields(bytes, kSmartSoloExtended, block);
    if (const std::optional<std::int64_t> traces = ReadInteger(bytes, Row(kSmartSoloExtended, "traces"))) {
      shape.tracesAnnounced = *traces;
      AddSummary(headers, "traces_announced", IntegerValue(*traces));
    }
  } else if (Fairfield16(shape) && bytes.size() >= 96) {
    DecodeFields(bytes, kFairfieldExtended, block);
  }
}

void DecodeExternalHeader(ByteSource& source, std::uint64_t offset, std::int64_t blocks, const RecordShape& shape,
                          model::RecordHeaders& headers) {
  model::Block& block = headers.externalHeader;
  block.name = "external_header";
  const std::vector<std::uint8_t> bytes = HeaderBytes(source, offset, blocks);
  headers.externalBytes = bytes;
  headers.externalText.clear();
  for (std::uint8_t c : bytes) {
    if (c != 0) headers.externalText.push_back(static_cast<char>(c));
  }
  AddRawFields(bytes, blocks, block);
  if (SmartSolo(shape) && bytes.size() >= 64) {
    DecodeFields(bytes, kSmartSoloExternal, block);
    // Centimetres in the header, metres in the summary.
    static constexpr std::pair<const FieldSpec*, std::string_view> kInMetres[] = {
        {&Row(kSmartSoloExternal, "source_easting_cm"), "source_easting"},
        {&Row(kSmartSoloExternal, "source_northing_cm"), "source_northing"},
        {&Row(kSmartSoloExternal, "source_elevation_cm"), "source_elevation"}};
    for (const auto& [field, name] : kInMetres) {
      AddSummary(headers, name, RealValue(static_cast<double>(*ReadInteger(bytes, *field)) / 100.0));
    }
  } else if (shape.manufacturerCode == 20 && bytes.size() >= 32) {
    DecodeFields(bytes, kFairfieldExternal1, block);
    if (Fairfield16(shape) && bytes.size() >= 64) DecodeFields(bytes, kFairfieldExternal2, block);
  }
}

}  // namespace segd::generic
