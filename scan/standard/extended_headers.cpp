// The extended and external headers: their length comes from block 1 (or
// block 2 through the escapes); their contents belong to the make. Every
// make's are given raw (first bytes as hex and text); the fields of a make
// whose layout is documented (scan/makes/makes.h) are decoded as well, and
// the summary facts among them reach the summary.
#include <algorithm>

#include "scan/standard/decoder_parts.h"
#include "scan/makes/makes.h"

namespace segd::generic {

namespace {

using enum Conv;

// The most bytes read from either header: the documented layouts and the
// raw text lie within them.
constexpr std::size_t kBytesRead = 1024;
constexpr std::size_t kHexBytes = 64;

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

namespace {

// The fields that lie wholly within the bytes the record has (a make's
// header may be shorter than its longest layout: Fairfield's external
// header of one block).
void DecodeFittingFields(std::span<const std::uint8_t> bytes, std::span<const FieldSpec> fields, model::Block& block) {
  for (const FieldSpec& f : fields) {
    if (EndNibble(f) <= 2 * static_cast<int>(bytes.size())) DecodeFields(bytes, std::span(&f, 1), block);
  }
}

// The make's summary facts held in `block` (a field without a value adds
// nothing).
void AddMakeSummary(const MakeDescriptor& make, SummaryFrom::Header header, const model::Block& block,
                    model::RecordHeaders& headers) {
  for (const SummaryFrom& from : make.summary) {
    if (from.header != header) continue;
    const model::Field* field = block.Find(from.field);
    if (field != nullptr && !field->value.IsNull()) AddSummary(headers, from.summary, field->value);
  }
}

}  // namespace

void DecodeExtendedHeader(ByteSource& source, std::uint64_t offset, std::int64_t blocks, RecordShape& shape,
                          model::RecordHeaders& headers) {
  model::Block& block = headers.extendedHeader;
  block.name = "extended_header";
  const std::vector<std::uint8_t> bytes = HeaderBytes(source, offset, blocks);
  AddRawFields(bytes, blocks, block);
  const MakeDescriptor* make = shape.make;
  if (make == nullptr || make->extended.empty()) return;
  // A header shorter than the make's layout is another layout: raw only.
  int end = 0;
  for (const FieldSpec& f : make->extended) end = std::max(end, EndNibble(f));
  if (2 * static_cast<int>(bytes.size()) < end) return;
  DecodeFields(bytes, make->extended, block);
  AddMakeSummary(*make, SummaryFrom::Header::Extended, block, headers);
  for (const model::Field& f : headers.summary.fields) {
    if (f.name == "traces_announced" && f.value.kind == model::Value::Kind::Number)
      shape.tracesAnnounced = static_cast<std::int64_t>(f.value.number);
  }
  if (const model::Field* method = block.Find("collection_method"))
    shape.continuous = method->value.kind == model::Value::Kind::Number && method->value.number == 1;
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
  const MakeDescriptor* make = shape.make;
  if (make == nullptr || make->external.empty()) return;
  DecodeFittingFields(bytes, make->external, block);
  AddMakeSummary(*make, SummaryFrom::Header::External, block, headers);
}

}  // namespace segd::generic
