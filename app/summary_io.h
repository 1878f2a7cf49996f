#pragma once
// Summary rows as text: CSV (a header line, then one line per row, LF line
// ends) or JSON Lines (one object per row, the same fields), and read back
// from either for line QC over merged summaries.
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "app/summary.h"

namespace segd::app {

enum class SummaryFormat { Csv, JsonLines };

// The CSV header line (with its line end); empty for JSON Lines.
std::string SummaryHeader(SummaryFormat format);
// One row as a line (with its line end).
std::string SummaryLine(const SummaryRow& row, SummaryFormat format);

// Reads a summary written by SummaryHeader/SummaryLine, of either format
// (told apart by its first byte), or several of them concatenated (CSV
// header lines after the first are skipped). Columns are matched by name, so
// a summary of an older column set still reads; rows before any header line
// (--no-header) are taken in this program's column order. nullopt with `error` set on
// a malformed file.
std::optional<std::vector<SummaryRow>> ReadSummary(std::istream& in, std::string& error);

}  // namespace segd::app
