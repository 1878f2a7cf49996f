#pragma once
// A header section's lines from its field table: each listed row as its
// label padded to the section's column, ": " and the text the decoder left
// in the record.
#include <string>
#include <string_view>

#include "output/report/listing.h"
#include "scan/makes/sn388/field_table.h"

namespace segd {

// The text a section shows for the row (NUL characters of an unfilled field
// included).
template <class R>
std::string ShownText(const R& record, const FieldRow<R>& row) {
  std::string_view text = ViewOf(record, row);
  if (row.shown == Shown::Trimmed) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  }
  std::string shown(text);
  shown.append(row.suffix);
  return shown;
}

// Writes every listed row as its label padded to `labelColumn`, ": " and its
// text; "Decoded Fields" before the first listed row the decoder's code
// fills.
template <class R, std::size_t N>
void ListFields(ReportWriter& report, const FieldRow<R> (&rows)[N], const R& record, std::size_t labelColumn) {
  bool decoded = false;
  std::string label;
  for (const FieldRow<R>& row : rows) {
    if (row.label.empty()) continue;
    if (!decoded && !ReadsTheBlock(row.conversion)) {
      decoded = true;
      WriteDecodedFieldsHeading(report);
    }
    label.assign(row.label);
    label.resize(labelColumn, ' ');
    label.append(": ");
    report.Write(label);
    report.WriteLine(ShownText(record, row));
  }
}

}  // namespace segd
