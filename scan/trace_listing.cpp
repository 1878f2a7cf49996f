#include "scan/trace_listing.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "scan/padout.h"

namespace segd {

namespace {

constexpr std::int32_t kNumberWidth = 6;

}  // namespace

std::span<const TraceColumn, kTraceColumns> TraceColumns() { return kTraceColumnTable; }

void ListTraceHeading(const OutputSelection& selection, TraceFields& fields, ReportWriter& report) {
  std::string titles = "Seq   ";
  std::string rule = "---   ";
  for (int i = 0; i < kTraceColumns; ++i) {
    const TraceColumn& column = kTraceColumnTable[static_cast<std::size_t>(i)];
    fields.Width[static_cast<std::size_t>(i)] = column.width;
    if (!IsSelected(selection, i)) continue;
    AppendPadded(titles, column.title, column.width);
    rule.append(static_cast<std::size_t>(column.width), '-');
  }
  report.WriteLine(titles);
  report.WriteLine(rule);
}

void BuildTraceLine(std::int32_t traceNumber, const OutputSelection& selection, const TraceFields& fields,
                    std::string& line) {
  // Blanks enough for every cell at its widest (its width and one blank);
  // each cell then only copies its text, and the line is cut back to what
  // the cells took.
  std::size_t room = kNumberWidth + 1;
  for (std::size_t i = 0; i < kTraceColumns; ++i) {
    if (IsSelected(selection, static_cast<int>(i))) room += static_cast<std::size_t>(std::max(fields.Width[i], 0)) + 1;
  }
  line.assign(room, ' ');
  char digits[16];
  const auto written = std::to_chars(digits, digits + sizeof digits, traceNumber);
  char* end = WritePaddedOverBlanks(line.data(), std::string_view(digits, static_cast<std::size_t>(written.ptr - digits)),
                                    kNumberWidth);
  for (std::size_t i = 0; i < kTraceColumns; ++i) {
    if (IsSelected(selection, static_cast<int>(i))) end = WritePaddedOverBlanks(end, fields.Text[i], fields.Width[i]);
  }
  line.resize(static_cast<std::size_t>(end - line.data()));
}

}  // namespace segd
