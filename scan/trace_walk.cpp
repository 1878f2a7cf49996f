#include "scan/trace_walk.h"

namespace segd {

std::int32_t ReadTrace(ByteSource&, std::int32_t samplesPerTrace, std::int64_t& position, std::int32_t extensionCount,
                       TraceFields& fields) {
  position += (extensionCount == 2 ? 84 : 52) + 4 * static_cast<std::int64_t>(samplesPerTrace);
  for (int i = 0; i < kTraceColumns; ++i) fields.Text[static_cast<std::size_t>(i)].clear();
  return 0;
}

}  // namespace segd
