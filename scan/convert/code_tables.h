#pragma once
// The code tables of general header block 1: format, manufacturer, recorder
// model, sample rate and record type. Lookups return nullptr for a code in no
// row.
#include <cstdint>
#include <string_view>

namespace segd {

struct FormatCodeRow {
  std::string_view code;  // the four digits of bytes 3-4
  std::string_view description;
};
// Sercel's VQC-88 format: recognised but not decoded further.
inline constexpr std::string_view kVqc88FormatCode = "8765";

const FormatCodeRow* FindFormatCode(std::string_view digits);
// nullptr for an unlisted manufacturer; an empty name for a known code
// without one.
const std::string_view* FindManufacturer(double code);
std::string_view RecorderModel(double generalConstants);
const std::string_view* FindSampleRate(std::string_view digits);
const std::string_view* FindRecordType(double code);

}  // namespace segd
