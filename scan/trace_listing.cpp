#include "scan/trace_listing.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "scan/padout.h"

namespace segd {

namespace {

constexpr TraceColumn kColumns[] = {
    {"SU Number", 10},       {"Line", 10},           {"Point", 10},        {"Northing", 14},
    {"Easting", 14},         {"Elevation", 10},      {"Acq Unit Type", 15}, {"Chan Set", 10},
    {"Gain", 10},            {"Filter", 20},         {"Noise Elim Type", 22}, {"Process Type", 40},
    {"Conv Fact", 15},       {"Rcvr Type", 15},      {"Chan Type", 30},    {"Timing Word", 20},
    {"Edited", 20},          {"TB to TBW", 20},      {"Num Stks Low", 20}, {"Num Stks Noisy", 20},
    {"Res", 12},             {"SIM", 12},            {"IPLS Err", 10},     {"IMPD Err", 10},
    {"Dead Err", 10},        {"UDR Err", 10},        {"OVR Err", 10},      {"OVS Err", 10},
    {"Data Err", 10},        {"Sync Err", 10},
};
static_assert(std::size(kColumns) == kTraceColumns);

// Every title is narrower than its column, so no heading cell gains a blank.
constexpr bool TitlesFit() {
  for (const TraceColumn& column : kColumns) {
    if (static_cast<std::int32_t>(column.title.size()) >= column.width) return false;
  }
  return true;
}
static_assert(TitlesFit());

constexpr std::int32_t kNumberWidth = 6;

}  // namespace

std::span<const TraceColumn, kTraceColumns> TraceColumns() { return kColumns; }

void ListTraceHeading(const OutputSelection& selection, TraceFields& fields, ReportWriter& report) {
  std::string titles = "Seq   ";
  std::string rule = "---   ";
  for (int i = 0; i < kTraceColumns; ++i) {
    const TraceColumn& column = kColumns[i];
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
