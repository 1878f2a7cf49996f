#include "scan/extended_header.h"

#include <string>

#include "scan/extended_header_checks.h"
#include "scan/extended_header_layout.h"
#include "scan/header_image.h"
#include "scan/listing.h"
#include "scan/model_values.h"

namespace segd {

namespace {

using extended::Conversion;
using extended::FieldRow;

// The header as the decoder sees it: its first 1024 bytes, zero beyond what
// the file held.
using ExtendedBlock = std::array<std::uint8_t, 1024>;

std::string FieldText(const FieldRow& row, const ExtendedBlock& block) {
  const ByteSpan bytes(block.data() + row.firstByte - 1, static_cast<std::size_t>(row.lastByte - row.firstByte + 1));
  const std::string_view characters(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  switch (row.conversion) {
    case Conversion::Decimal:
      return BytesToDecimal(bytes);
    case Conversion::Single:
      return BytesToSingleText(bytes);
    case Conversion::Double:
      return BytesToDoubleText(bytes);
    case Conversion::Characters:
      return std::string(characters);
    case Conversion::TrimmedCharacters:
      return std::string(TrimBlanks(characters));
    case Conversion::Hex:
      return BytesToHex(bytes);
  }
  return {};
}

std::string Label(std::string_view name) {
  std::string label(name);
  label.resize(extended::kNameColumn, ' ');
  label.append(": ");
  return label;
}

// The lines of the Decoded Fields block; only the blaster lines carry text
// after their field.
struct DecodedLine {
  std::string_view name;
  std::string_view (*value)(const ExtendedHeaderRecord&);
  std::string_view tail;
};
#define SEGD_TEXT(Member) [](const ExtendedHeaderRecord& r) { return r.Member.View(); }
constexpr DecodedLine kDecodedLines[] = {
    {"Source Type", SEGD_TEXT(SourceTypeText), ""},
    {"Test Type", SEGD_TEXT(TestTypeText), ""},
    {"Spread Type", SEGD_TEXT(SpreadTypeText), ""},
    {"Blaster Status MACHA", SEGD_TEXT(BlasterStatusMacha), " 0 "},
    {"Blaster Status OPSEIS", SEGD_TEXT(BlasterStatusOpseis), " 0 "},
    {"Blaster Status SHOTPRO", SEGD_TEXT(BlasterStatusShotpro), " 0 "},
    {"Noise Elimination Type", SEGD_TEXT(NoiseEliminationText), ""},
    {"Historic Edit Type", SEGD_TEXT(HistoricEditText), ""},
    {"Threshold/Var", SEGD_TEXT(ThresholdVarText), ""},
    {"Type of Process", SEGD_TEXT(ProcessTypeText), ""},
    {"Error Information", SEGD_TEXT(ErrorInformation), ""},
};
#undef SEGD_TEXT

}  // namespace

std::int32_t DecodeExtendedHeader(ByteSpan bytes, ExtendedHeaderRecord& record) {
  const ExtendedBlock block = FixedBlock<1024>(bytes);
  std::int32_t status = 0;
  for (const FieldRow& row : extended::kFields) {
    const FieldRef field = row.field(record);
    field.Store(FieldText(row, block));
    extended::CheckCode(row.firstByte, field.View(), record, status);
  }
  return status;
}

void FillExtendedBlock(const ExtendedHeaderRecord& record, model::Block& block) {
  block.name = "extended_header";
  block.fields.clear();
  for (const FieldRow& row : extended::kFields) {
    if (row.name.empty()) continue;
    model::Field& field = model::AddNamedField(block, row.name);
    model::AppendWithoutNul(field.raw, row.value(record));
    const bool number = row.conversion == Conversion::Decimal || row.conversion == Conversion::Single ||
                        row.conversion == Conversion::Double;
    model::SetValue(field.value, row.value(record), number ? model::Reading::Number : model::Reading::Text);
  }
  for (const DecodedLine& line : kDecodedLines) {
    model::Field& field = model::AddNamedField(block, line.name, "_text");
    model::AppendWithoutNul(field.raw, line.value(record));
    field.raw.append(line.tail);
    model::SetValue(field.value, line.value(record), model::Reading::Text);
  }
}

std::int32_t ListExtendedHeader(const ExtendedHeaderRecord& record, ReportWriter& report) {
  WriteBanner(report, "Extended Header");
  for (const FieldRow& row : extended::kFields) {
    if (!row.name.empty()) WriteField(report, Label(row.name), row.value(record));
  }
  WriteDecodedFieldsHeading(report);
  for (const DecodedLine& line : kDecodedLines) {
    report.Write(Label(line.name));
    report.Write(line.value(record));
    report.WriteLine(line.tail);
  }
  WriteBanner(report, "End of Extended Header");
  return 0;
}

}  // namespace segd
