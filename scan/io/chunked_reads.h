#pragma once
// How a record file is read: the trace walk asks for a few header bytes per
// trace. When those reads move forward in small strides (traces of a few
// kilobytes), one large sequential read serves hundreds of them; when they
// lie far apart, each read fetches only the bytes asked for, so sample data
// is never read for nothing. The choice is made afresh at every read from the
// distance to the previous one, so the decoders never see it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace segd {

// Reads `size` bytes at `offset` of a file into `out`; returns how many it
// got (fewer at the file's present end, 0 on an error).
using RawRead = std::size_t (*)(void* file, std::uint64_t offset, std::uint8_t* out, std::size_t size);

class ChunkedReads {
 public:
  // Strides up to this many bytes are read in chunks. Measured on the 2-core
  // build machine (page cache warm, processor time): a read of its own costs
  // 1.3-1.6 µs per trace whatever the stride, a chunked read 0.16-0.18 ns per
  // byte of stride; they cross between 8 and 10 KiB (bench/floor.cpp, README).
  static constexpr std::uint64_t kLargestChunkedStride = 8 * 1024;
  // A chunk covers this many reads at the present stride, within the
  // capacity: 32-byte header blocks take a 32 KiB chunk, 4 KB traces 1 MiB.
  static constexpr std::uint64_t kReadsPerChunk = 1024;
  static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 20;

  explicit ChunkedReads(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  // Fills `out` with the bytes at `offset`, all of which lay inside the file
  // of `fileSize` bytes when it was opened; returns how many the file gave
  // (the caller zeros the rest: a file that shrank since). A read that finds
  // the file's end before `fileSize` (a chunk's included) lowers `fileSize`
  // to it.
  std::size_t Read(std::uint64_t offset, std::span<std::uint8_t> out, std::uint64_t& fileSize, RawRead raw, void* file);

 private:
  std::size_t capacity_;
  std::unique_ptr<std::uint8_t[]> chunk_;  // allocated at the first chunked read
  std::uint64_t chunkStart_ = 0;
  std::size_t chunkBytes_ = 0;  // what the file gave of the chunk
  std::uint64_t previous_ = 0;  // offset of the previous read
  bool any_ = false;
};

}  // namespace segd
