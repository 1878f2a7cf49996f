#pragma once
// PLACEHOLDER until the trace listing lands.
#include <cstdint>
#include <string>

#include "scan/report_writer.h"
#include "scan/trace_fields.h"

namespace segd {

// Sets the column widths (entries 0-29) and writes the two heading lines.
void ListTraceHeading(const OutputSelection& selection, TraceFields& fields, ReportWriter& report);

// Builds the line of trace `traceNumber` into `line` (cleared first): the
// padded number, then each selected column.
void BuildTraceLine(std::int32_t traceNumber, const OutputSelection& selection, const TraceFields& fields,
                    std::string& line);

}  // namespace segd
