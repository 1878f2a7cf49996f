#include "scan/trace_listing.h"

#include <charconv>

#include "dialoglib/padout.h"

namespace segd {

void ListTraceHeading(const OutputSelection&, TraceFields&, ReportWriter& report) {
  report.WriteLine("Seq   ");
  report.WriteLine("---   ");
}

void BuildTraceLine(std::int32_t traceNumber, const OutputSelection& selection, const TraceFields& fields,
                    std::string& line) {
  line.clear();
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, traceNumber);
  AppendPadded(line, std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)), 6);
  for (int i = 0; i < kTraceColumns; ++i) {
    if (IsSelected(selection, i)) AppendPadded(line, fields.Text[static_cast<std::size_t>(i)], fields.Width[static_cast<std::size_t>(i)]);
  }
}

}  // namespace segd
