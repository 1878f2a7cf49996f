#include "scan/io/chunked_reads.h"

#include <algorithm>
#include <cstring>

namespace segd {

std::size_t ChunkedReads::Read(std::uint64_t offset, std::span<std::uint8_t> out, std::uint64_t& fileSize, RawRead raw,
                               void* file) {
  const std::size_t size = out.size();
  const std::uint64_t stride = any_ && offset > previous_ ? offset - previous_ : 0;
  previous_ = offset;
  any_ = true;

  // Inside the chunk in hand: no system call.
  if (chunk_ && offset >= chunkStart_ && offset - chunkStart_ + size <= chunkBytes_) {
    std::memcpy(out.data(), chunk_.get() + (offset - chunkStart_), size);
    return size;
  }

  // Forward in small strides: a new chunk from here, as long as the next
  // reads at this stride need (the last read of a record takes no more than
  // the file holds). A read as large as half the chunk gains nothing by it.
  if (stride > 0 && stride <= kLargestChunkedStride && size <= capacity_ / 2) {
    const std::uint64_t wanted = std::max<std::uint64_t>(stride * kReadsPerChunk, size);
    const std::size_t length =
        static_cast<std::size_t>(std::min<std::uint64_t>({wanted, capacity_, fileSize - offset}));
    if (!chunk_) chunk_ = std::make_unique_for_overwrite<std::uint8_t[]>(capacity_);  // filled by the read
    chunkStart_ = offset;
    chunkBytes_ = raw(file, offset, chunk_.get(), length);
    if (chunkBytes_ < length) fileSize = offset + chunkBytes_;
    const std::size_t got = std::min(size, chunkBytes_);
    std::memcpy(out.data(), chunk_.get(), got);
    return got;
  }

  // Far apart, backwards or the first read: only the bytes asked for.
  const std::size_t got = raw(file, offset, out.data(), size);
  if (got < size) fileSize = offset + got;
  return got;
}

}  // namespace segd
