// Sample skew blocks: after each scan type's channel set descriptors, per
// channel the skew of its first sample. Their layout per channel is not
// needed by the walk; they are kept as raw bytes.
#include "scan/standard/decoder_parts.h"

namespace segd::generic {

void DecodeSkewBlocks(ByteSource& source, std::uint64_t offset, int scanType, std::int64_t blocks,
                      model::RecordHeaders& headers) {
  const std::uint64_t length = 32 * static_cast<std::uint64_t>(blocks);
  const std::vector<std::uint8_t> bytes =
      ReadBytes(source, offset, static_cast<std::size_t>(std::min<std::uint64_t>(length, 1024)));
  model::Block block{"scan_type_" + std::to_string(scanType) + "_skew", {}};
  AddRawFields(bytes, blocks, block);
  headers.channelSets.push_back(std::move(block));
}

}  // namespace segd::generic
