#pragma once
// The default run (`segdreport RECORD` with nothing asked): a one-screen
// summary of any record, made from its summary row, on standard output.
#include <string>

#include "app/summary.h"

namespace segd::cli {

std::string RecordSummaryText(const app::SummaryRow& row);

}  // namespace segd::cli
