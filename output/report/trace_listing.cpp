#include "output/report/trace_listing.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <utility>

#include "output/report/padout.h"

namespace segd {

namespace {

constexpr std::int32_t kNumberWidth = 6;

// A cell over blanks already in place. A text narrower than its column that
// does not start with a blank ends inside the column whatever its trailing
// blanks: it is copied whole (its blanks over blanks) with no trimming.
char* WriteCell(char* out, std::string_view text, std::int32_t width) {
  if (!text.empty() && static_cast<std::int64_t>(text.size()) < width && text.front() != ' ') {
    std::memcpy(out, text.data(), text.size());
    return out + width;
  }
  return WritePaddedOverBlanks(out, text, width);
}

// The cell of column I at the table's own width: its offset and widths are
// constants, so the copies compile to a few moves. A text that starts with a
// blank takes the general rule.
template <std::size_t I>
char* ColumnCell(char* out, const char* texts) {
  constexpr const TraceColumn& column = kTraceColumnTable[I];
  constexpr std::size_t kText = column.textWidth;
  constexpr std::size_t kWidth = static_cast<std::size_t>(column.width);
  const char* const text = texts + column.offset;
  if (text[0] == ' ') return WritePaddedOverBlanks(out, std::string_view(text, kText), column.width);
  if constexpr (kText < kWidth) {
    std::memcpy(out, text, kText);  // ends inside the column, its blanks over blanks
    return out + kWidth;
  } else {
    std::memcpy(out, text, kWidth);
    bool longer = false;  // a character past the column: the text is cut
    std::size_t j = kWidth;
    for (; j + 8 <= kText; j += 8) {
      std::uint64_t word;
      std::memcpy(&word, text + j, sizeof word);
      longer |= word != 0x2020202020202020ull;  // eight blanks
    }
    for (; j < kText; ++j) longer |= text[j] != ' ';
    // Otherwise it fits; a text exactly as wide as the column gains a blank.
    return out + (!longer && text[kWidth - 1] != ' ' ? kWidth + 1 : kWidth);
  }
}

using CellWriter = char* (*)(char*, const char*);

template <std::size_t... I>
constexpr std::array<CellWriter, sizeof...(I)> ColumnCells(std::index_sequence<I...>) {
  return {&ColumnCell<I>...};
}
constexpr auto kColumnCells = ColumnCells(std::make_index_sequence<kTraceColumns>());

char* WriteNumber(char* out, std::int32_t traceNumber) {
  char digits[16];
  const auto written = std::to_chars(digits, digits + sizeof digits, traceNumber);
  return WritePaddedOverBlanks(out, std::string_view(digits, static_cast<std::size_t>(written.ptr - digits)),
                               kNumberWidth);
}

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
  char* end = WriteNumber(line.data(), traceNumber);
  for (std::size_t i = 0; i < kTraceColumns; ++i) {
    if (IsSelected(selection, static_cast<int>(i))) end = WritePaddedOverBlanks(end, fields.Text[i], fields.Width[i]);
  }
  line.resize(static_cast<std::size_t>(end - line.data()));
}

TraceLineBuilder::TraceLineBuilder(const OutputSelection& selection, const TraceFields& fields) {
  room_ = kNumberWidth + 1;
  for (std::size_t i = 0; i < kTraceColumns; ++i) {
    if (!IsSelected(selection, static_cast<int>(i))) continue;
    const TraceColumn& column = kTraceColumnTable[i];
    // Widths are the table's unless someone changed them after the heading.
    const CellWriter fixed = fields.Width[i] == column.width ? kColumnCells[i] : nullptr;
    cells_[count_++] = {column.offset, column.textWidth, fields.Width[i], fixed};
    room_ += static_cast<std::size_t>(std::max(fields.Width[i], 0)) + 1;
  }
}

void TraceLineBuilder::Append(std::int32_t traceNumber, const TraceRecords& records, std::string& out) const {
  const char* const texts = reinterpret_cast<const char*>(&records);
  const std::size_t start = out.size();
  out.resize(start + room_, ' ');
  char* end = WriteNumber(out.data() + start, traceNumber);
  for (std::size_t i = 0; i < count_; ++i) {
    const Cell& cell = cells_[i];
    end = cell.fixed != nullptr ? cell.fixed(end, texts)
                                : WriteCell(end, std::string_view(texts + cell.offset, cell.textWidth), cell.width);
  }
  out.resize(static_cast<std::size_t>(end - out.data()));
}

}  // namespace segd
