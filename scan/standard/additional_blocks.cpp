// General header blocks 3 and later. Rev 1/2: source blocks of one layout.
// Rev 3: each block names its kind in byte 32 (0x03 timestamp and sizes,
// 0x10-0x14 names, 0x15-0x1F source descriptions, 0x20 more source
// information); unknown kinds are kept as raw bytes.
#include <array>

#include "scan/standard/decoder_parts.h"
#include "scan/standard/general_header_tables.h"

namespace segd::generic {

namespace {

using model::Block;

// Blocks decoded into the model; more are skipped (they still count for the
// position of what follows).
constexpr std::int64_t kMostBlocksDecoded = 1024;

void DecodeRev3Block(std::span<const std::uint8_t> bytes, Block& block) {
  const std::uint8_t type = bytes[31];
  auto Add = [&](std::span<const FieldSpec> table) { DecodeFields(bytes, table, block); };
  switch (type) {
    case 0x03:
      Add(kGeneralHeader3Rev3);
      return;
    case 0x10:
      Add(kVesselBlock);
      return;
    case 0x11:
      Add(kSurveyAreaBlock);
      return;
    case 0x12:
      Add(kClientBlock);
      return;
    case 0x13:
      Add(kJobBlock);
      return;
    case 0x14:
      Add(kLineBlock);
      return;
    case 0x20:
      Add(kAdditionalSourceBlock);
      return;
    default:
      break;
  }
  if (type >= 0x15 && type <= 0x1F) {
    Add(kSourceHead);
    if (type == 0x15) Add(kSourceVibrator);
    if (type == 0x16) Add(kSourceExplosive);
    if (type == 0x17 || type == 0x18) Add(kSourceGun);
    if (type == 0x19) Add(kSourceElectromagnetic);
    Add(kSourceTail);
    return;
  }
  Add(kRawBlock);
}

bool IsSourceBlock(const Block& block, bool rev3) {
  if (!rev3) return true;
  const model::Field* type = block.Find("block_type");
  return type != nullptr && type->value.number >= 0x15 && type->value.number <= 0x1F;
}

}  // namespace

void DecodeAdditionalBlocks(ByteSource& source, const RecordShape& shape, std::int64_t blocks,
                            model::RecordHeaders& headers) {
  bool sourceSeen = false;
  for (std::int64_t n = 3; n <= blocks + 1 && n <= kMostBlocksDecoded; ++n) {
    const std::uint64_t offset = kBlockBytes * static_cast<std::uint64_t>(n - 1);
    if (offset >= shape.size) break;
    std::array<std::uint8_t, kBlockBytes> bytes{};
    source.ReadAt(offset, bytes);
    Block block{"general_header_" + std::to_string(n), {}};
    if (shape.rev3) {
      DecodeRev3Block(bytes, block);
    } else {
      DecodeFields(bytes, kSourceBlock, block);
    }
    // The first source block gives the record's source line and point.
    if (!sourceSeen && IsSourceBlock(block, shape.rev3)) {
      sourceSeen = true;
      for (std::string_view name : {"source_line", "source_point"}) {
        if (const model::Field* f = block.Find(name)) AddSummary(headers, name, f->value);
      }
    }
    headers.generalHeaders.push_back(std::move(block));
  }
}

}  // namespace segd::generic
