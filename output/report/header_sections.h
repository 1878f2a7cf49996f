#pragma once
// The report's header sections, written from the decoded SN388 headers.
#include <cstdint>
#include <span>

#include "output/report/report_writer.h"
#include "scan/makes/sn388/channel_set.h"
#include "scan/makes/sn388/extended_header.h"
#include "scan/makes/sn388/external_header.h"
#include "scan/makes/sn388/general_header1.h"
#include "scan/makes/sn388/general_header23.h"

namespace segd {

// Writes the General Headers section: raw and decoded fields of blocks 1 to
// 3, whatever they hold (unfilled fields as their NUL characters).
std::int32_t ListGeneralHeaders(const GeneralHeader1Record& block1, const GeneralHeader2Record& block2,
                                const GeneralHeader3Record& block3, ReportWriter& report);

// Writes the Channel Set Headers section for records 0..lastIndex, leaving
// out headers whose scan type and channel set number both read as 0.
std::int32_t ListChannelSets(std::span<const ChannelSetRecord> records, std::int32_t lastIndex, ReportWriter& report);

// Writes the Extended Header section: the raw fields, the decoded fields and
// the error information. Returns 0.
std::int32_t ListExtendedHeader(const ExtendedHeaderRecord& record, ReportWriter& report);

// Writes the External Header section: 64 lines of line number, 16 bytes as
// digits and the same bytes as characters. Returns 0.
std::int32_t ListExternalHeader(const ExternalHeaderRecord& record, ReportWriter& report);

}  // namespace segd
