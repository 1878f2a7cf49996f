#include "scan/extended_header.h"

namespace segd {

std::int32_t DecodeExtendedHeader(ByteSpan, ExtendedHeaderRecord&) { return 0; }
std::int32_t ListExtendedHeader(const ExtendedHeaderRecord&, ReportWriter&) { return 0; }

}  // namespace segd
