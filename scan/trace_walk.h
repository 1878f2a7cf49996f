#pragma once
// PLACEHOLDER until the trace walk lands.
#include <cstdint>

#include "scan/byte_source.h"
#include "scan/trace_fields.h"

namespace segd {

// Reads one trace at the 1-based `position` (its header, extension 1, and
// extension 2 when `extensionCount` is 2), skips its 4 x `samplesPerTrace`
// bytes of samples, advances `position` past it and sets column texts 0-29.
std::int32_t ReadTrace(ByteSource& record, std::int32_t samplesPerTrace, std::int64_t& position,
                       std::int32_t extensionCount, TraceFields& fields);

}  // namespace segd
