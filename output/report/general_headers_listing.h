#pragma once
#include <vector>

#include "scan/makes/sn388/general_header1.h"
#include "scan/makes/sn388/general_header23.h"
#include "scan/model/record_model.h"
#include "output/report/report_writer.h"

namespace segd {

// Writes the General Headers section: raw and decoded fields of blocks 1 to
// 3, whatever they hold (unfilled fields as their NUL characters).
std::int32_t ListGeneralHeaders(const GeneralHeader1Record& block1, const GeneralHeader2Record& block2,
                                const GeneralHeader3Record& block3, ReportWriter& report);

}  // namespace segd
