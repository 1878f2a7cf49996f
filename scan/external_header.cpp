#include "scan/external_header.h"

namespace segd {

std::int32_t DecodeExternalHeader(ByteSpan, ExternalHeaderRecord&) { return 0; }
std::int32_t ListExternalHeader(const ExternalHeaderRecord&, ReportWriter&) { return 0; }

}  // namespace segd
