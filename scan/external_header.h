#pragma once
// PLACEHOLDER until the external header dump lands.
#include <cstdint>

#include "scan/conversions.h"
#include "scan/report_writer.h"
#include "scan/text_field.h"

namespace segd {

struct ExternalHeaderRecord {
  TextField<2048> HexImage;
  TextField<80> ErrorInformation;
};

std::int32_t DecodeExternalHeader(ByteSpan bytes, ExternalHeaderRecord& record);
std::int32_t ListExternalHeader(const ExternalHeaderRecord& record, ReportWriter& report);

}  // namespace segd
