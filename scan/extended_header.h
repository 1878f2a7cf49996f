#pragma once
// PLACEHOLDER until the extended header decoder lands: only the fields the
// decode run reads back.
#include <cstdint>

#include "scan/conversions.h"
#include "scan/report_writer.h"
#include "scan/text_field.h"

namespace segd {

struct ExtendedHeaderRecord {
  TextField<5> AcquisitionLength;
  TextField<5> TotalTraces;
  TextField<5> SamplesPerTrace;
  TextField<16> TapeLabel;
  TextField<5> TapeNumber;
  TextField<5> TraceHeaderExtensionCount;
  TextField<16> SoftwareVersion;
  TextField<9> SourceEasting;
  TextField<9> SourceNorthing;
  TextField<5> SourceElevation;
  TextField<80> ErrorInformation;
};

std::int32_t DecodeExtendedHeader(ByteSpan bytes, ExtendedHeaderRecord& record);
std::int32_t ListExtendedHeader(const ExtendedHeaderRecord& record, ReportWriter& report);

}  // namespace segd
