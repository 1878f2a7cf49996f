// The general trailer: 32-byte blocks after the last trace (count in block
// 2 bytes 13-14, rev 3 bytes 13-16). Only known once the walk has found
// where the traces end, so its blocks join the general headers at the end.
#include <algorithm>
#include <array>

#include "scan/standard/decoder_parts.h"
#include "scan/standard/general_header_tables.h"

namespace segd::generic {

namespace {
constexpr std::int64_t kMostTrailerBlocksDecoded = 64;
constexpr std::uint8_t kTrailerBlockType = 0x70;
constexpr std::size_t kBlocksPerRead = 128;
}  // namespace

bool TypedTrailerBlocks(ByteSource& source, std::uint64_t offset, std::uint64_t bytes) {
  if (bytes == 0 || bytes % kBlockBytes != 0) return false;
  // Read in strides of many blocks; the first block of another type ends it.
  std::array<std::uint8_t, kBlockBytes * kBlocksPerRead> chunk{};
  for (std::uint64_t done = 0; done < bytes;) {
    const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), bytes - done));
    source.ReadAt(offset + done, std::span(chunk.data(), take));
    for (std::size_t at = kBlockBytes - 1; at < take; at += kBlockBytes) {
      if (chunk[at] != kTrailerBlockType) return false;
    }
    done += take;
  }
  return true;
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
