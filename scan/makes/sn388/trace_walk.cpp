#include "scan/makes/sn388/trace_walk.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string_view>
#include <type_traits>

namespace segd {

namespace {

constexpr std::size_t kOneExtension = kTraceHeaderBytes + kTraceExtensionBytes;   // 52
constexpr std::size_t kTwoExtensions = kOneExtension + kTraceExtensionBytes;      // 84
constexpr std::int64_t kSampleBytes = 4;
// Far beyond any file: keeps a walk over absurd counts from overflowing. Reads
// out there give zeros like any read past the end.
constexpr std::int64_t kPositionLimit = std::int64_t{1} << 62;

}  // namespace

void ReadTraceRecords(ByteSource& record, std::int32_t samplesPerTrace, std::int64_t& position,
                      std::int32_t extensionCount, TraceRecords& records, std::uint8_t* headerCopy) {
  const std::size_t headerBytes = TraceHeaderBytesRead(extensionCount);

  // All header blocks of the trace in one read; the samples are never read.
  // A position before the first byte (only a negative sample count leads
  // there) reads as zeros, like one past the end.
  std::array<std::uint8_t, kTwoExtensions> bytes{};
  const std::span<std::uint8_t> blocks(bytes.data(), headerBytes);
  if (position >= 1) record.ReadAt(static_cast<std::uint64_t>(position - 1), blocks);
  position = NextTracePosition(position, samplesPerTrace, extensionCount);

  DecodeTraceBlocks(blocks, extensionCount, records);
  if (headerCopy != nullptr) std::copy_n(bytes.begin(), kTraceHeaderBytes, headerCopy);
}

void DecodeTraceBlocks(ByteSpan blocks, std::int32_t extensionCount, TraceRecords& records) {
  // The decoders fill every field of their records; only a second extension
  // that is not there leaves its fields NUL, as if never filled.
  if (extensionCount == 2) {
    DecodeTraceExtension2(blocks.subspan(kOneExtension, kTraceExtensionBytes), records.extension2);
  } else {
    records.extension2 = TraceExtension2Record{};
  }
  DecodeTraceHeader(blocks.first(kTraceHeaderBytes), records.header);
  DecodeTraceExtension1(blocks.subspan(kTraceHeaderBytes, kTraceExtensionBytes), records.extension1);
}

std::int64_t NextTracePosition(std::int64_t position, std::int32_t samplesPerTrace, std::int32_t extensionCount) {
  return std::clamp(position + static_cast<std::int64_t>(TraceHeaderBytesRead(extensionCount)) +
                        kSampleBytes * samplesPerTrace,
                    -kPositionLimit, kPositionLimit);
}

std::size_t TraceHeaderBytesRead(std::int32_t extensionCount) {
  return extensionCount == 2 ? kTwoExtensions : kOneExtension;
}

}  // namespace segd
