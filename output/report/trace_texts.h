#pragma once
// The window's form of the trace walk: a trace's fields as the 30 column
// texts of the program-wide arrays (TraceFields), at their full widths.
#include <array>
#include <cstdint>

#include "output/report/trace_columns.h"
#include "output/report/trace_fields.h"
#include "scan/makes/sn388/trace_walk.h"

namespace segd {

// Reads the trace at the 1-based `position`: its 20-byte trace header, its
// first 32-byte extension and, only when `extensionCount` is 2, its second
// (any other count is walked as one extension). Skips 4 x `samplesPerTrace`
// bytes of samples, whatever the format code says, and leaves `position` on
// the first byte after the trace. Sets column texts 0-29 of `fields` to the
// full fixed-width texts of the trace's fields; 30-35 are left alone. Bytes
// beyond the end of the record read as zeros. Always returns 0.
std::int32_t ReadTrace(ByteSource& record, std::int32_t samplesPerTrace, std::int64_t& position,
                       std::int32_t extensionCount, TraceFields& fields);

// As above, and copies the trace's 20 header bytes to `headerBytes`: the
// data outputs show the file and trace numbers the report leaves out.
std::int32_t ReadTrace(ByteSource& record, std::int32_t samplesPerTrace, std::int64_t& position,
                       std::int32_t extensionCount, TraceFields& fields,
                       std::array<std::uint8_t, kTraceHeaderBytes>& headerBytes);

// Sets column texts 0-29 of `fields` from decoded records, as ReadTrace does.
void SetTraceTexts(const TraceRecords& records, TraceFields& fields);

}  // namespace segd
