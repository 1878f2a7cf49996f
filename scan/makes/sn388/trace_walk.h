#pragma once
// The trace walk: one call per trace, in file order, reading only the trace's
// header blocks and skipping its samples by their length.
#include <array>
#include <cstddef>
#include <cstdint>

#include "scan/io/byte_source.h"
#include "scan/makes/sn388/trace_header.h"

namespace segd {

// Reads the trace at the 1-based `position`: its 20-byte trace header, its
// first 32-byte extension and, only when `extensionCount` is 2, its second
// (any other count is walked as one extension), into `records` (every field
// filled; the second extension's all NUL when it is not read), and copies
// its 20 header bytes to `headerCopy` unless that is null. Skips 4 x
// `samplesPerTrace` bytes of samples, whatever the format code says, and
// leaves `position` on the first byte after the trace. Bytes beyond the end
// of the record read as zeros.
void ReadTraceRecords(ByteSource& record, std::int32_t samplesPerTrace, std::int64_t& position,
                      std::int32_t extensionCount, TraceRecords& records, std::uint8_t* headerCopy = nullptr);

// Decodes a trace's header blocks, as read by ReadTraceRecords (its
// TraceHeaderBytesRead(extensionCount) bytes), into `records`.
void DecodeTraceBlocks(ByteSpan blocks, std::int32_t extensionCount, TraceRecords& records);

// The 1-based position of the trace after the one at `position`: where
// ReadTraceRecords leaves it.
std::int64_t NextTracePosition(std::int64_t position, std::int32_t samplesPerTrace, std::int32_t extensionCount);

// The header bytes the walk reads per trace for an extension count: the
// trace header and one extension, or two when the count is 2.
std::size_t TraceHeaderBytesRead(std::int32_t extensionCount);

}  // namespace segd
