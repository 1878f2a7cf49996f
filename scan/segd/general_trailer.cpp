// The general trailer: 32-byte blocks after the last trace (count in block
// 2 bytes 13-14, rev 3 bytes 13-16). Only known once the walk has found
// where the traces end, so its blocks join the general headers at the end.
#include <algorithm>
#include <array>

#include "scan/segd/decoder_parts.h"
#include "scan/segd/general_header_tables.h"

namespace segd::generic {

namespace {
constexpr std::int64_t kMostTrailerBlocksDecoded = 64;
}

void DecodeTrailer(ByteSource& source, std::uint64_t offset, std::int64_t blocks, model::RecordHeaders& headers) {
  for (std::int64_t n = 1; n <= std::min(blocks, kMostTrailerBlocksDecoded); ++n, offset += kBlockBytes) {
    std::array<std::uint8_t, kBlockBytes> bytes{};
    source.ReadAt(offset, bytes);
    model::Block block{"general_trailer_" + std::to_string(n), {}};
    DecodeFields(bytes, kGeneralTrailer, block);
    headers.generalHeaders.push_back(std::move(block));
  }
}

}  // namespace segd::generic
