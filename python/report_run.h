#pragma once
// The text report of a record for a selection, made by the same run as the
// command line's (DecodeFile), its bytes kept in memory.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "scan/model/record_model.h"
#include "output/report/trace_fields.h"

namespace segd::python {

struct ReportOutcome {
  bool written = false;
  bool cancelled = false;
  std::string bytes;
  std::vector<model::Notice> notices;
};

// Entry 34 (open the report in a viewer) is ignored. Stops early, with
// `cancelled`, when `cancel` becomes true.
ReportOutcome RunReport(const std::string& path, const OutputSelection& selection, const std::atomic<bool>& cancel);

}  // namespace segd::python
