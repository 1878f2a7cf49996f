#include "app/summary_io.h"

#include <algorithm>
#include <string_view>

#include <nlohmann/json.hpp>

#include "output/text_encoding.h"

namespace segd::app {

namespace {

// One CSV record (RFC 4180: quoted cells may hold commas, quotes and line
// ends). False at the end of the input.
bool ReadCsvRecord(std::istream& in, std::vector<std::string>& cells) {
  cells.clear();
  std::string cell;
  bool quoted = false;
  bool any = false;
  for (int c; (c = in.get()) != EOF;) {
    any = true;
    if (quoted) {
      if (c == '"') {
        if (in.peek() == '"') {
          cell += static_cast<char>(in.get());
        } else {
          quoted = false;
        }
      } else {
        cell += static_cast<char>(c);
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      cells.push_back(std::move(cell));
      cell.clear();
    } else if (c == '\n') {
      break;
    } else if (c != '\r') {
      cell += static_cast<char>(c);
    }
  }
  if (!any) return false;
  cells.push_back(std::move(cell));
  return true;
}

std::optional<std::vector<SummaryRow>> ReadCsv(std::istream& in, std::string& error) {
  std::vector<std::string> cells;
  std::vector<int> columnOf;  // file column -> summary column
  std::vector<SummaryRow> rows;
  bool seenHeader = false;
  while (ReadCsvRecord(in, cells)) {
    if (cells.size() == 1 && cells[0].empty()) continue;
    // The first line is the header; a later line is one (concatenated
    // shards, perhaps of another column set) only when every cell names a
    // column, never for one cell's value: a record whose path is "path"
    // keeps its row.
    const bool allNames = std::all_of(cells.begin(), cells.end(),
                                      [](const std::string& cell) { return SummaryColumnIndex(cell) >= 0; });
    // Rows written with --no-header, before any header line, have this
    // program's own columns.
    const bool headerless = !seenHeader && !allNames && cells.size() == SummaryColumns().size();
    if (headerless) {
      seenHeader = true;
      for (const SummaryColumn& c : SummaryColumns()) columnOf.push_back(SummaryColumnIndex(c.name));
    }
    if (!headerless && (!seenHeader || allNames)) {
      if (std::find(cells.begin(), cells.end(), "path") == cells.end()) {
        error = "the first line is not a summary's header line";
        return std::nullopt;
      }
      seenHeader = true;
      columnOf.clear();
      for (const std::string& name : cells) columnOf.push_back(SummaryColumnIndex(name));
      continue;
    }
    if (columnOf.empty() || cells.size() != columnOf.size()) {
      error = "row " + std::to_string(rows.size() + 1) + " does not match the header line";
      return std::nullopt;
    }
    SummaryRow& row = rows.emplace_back();
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (columnOf[i] >= 0) row.cells[static_cast<std::size_t>(columnOf[i])] = std::move(cells[i]);
    }
  }
  return rows;
}

// True when `line` opens no bracket or brace inside its outer object (the
// texts' own brackets aside).
bool FlatObject(std::string_view line) {
  int depth = 0;
  bool text = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (text) {
      if (c == '\\') ++i;
      else if (c == '"') text = false;
    } else if (c == '"') {
      text = true;
    } else if (c == '{' || c == '[') {
      if (++depth > 1) return false;
    } else if (c == '}' || c == ']') {
      --depth;
    }
  }
  return true;
}

std::optional<std::vector<SummaryRow>> ReadJsonLines(std::istream& in, std::string& error) {
  std::vector<SummaryRow> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    const std::string where = "row " + std::to_string(rows.size() + 1);
    // A row is one object of scalars: anything nested is refused before the
    // parser sees it (deep nesting would exhaust the stack).
    if (!FlatObject(line)) {
      error = where + " cannot be read: not an object of plain values";
      return std::nullopt;
    }
    const nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
    if (!object.is_object()) {
      error = where + " cannot be read: not a JSON object";
      return std::nullopt;
    }
    SummaryRow& row = rows.emplace_back();
    for (const auto& [key, value] : object.items()) {
      const int i = SummaryColumnIndex(key);
      if (i < 0 || value.is_null()) continue;
      row.cells[static_cast<std::size_t>(i)] = value.is_string() ? value.get<std::string>() : value.dump();
    }
  }
  return rows;
}

}  // namespace

std::string SummaryHeader(SummaryFormat format) {
  if (format == SummaryFormat::JsonLines) return "";
  std::string line;
  for (const SummaryColumn& c : SummaryColumns()) {
    if (!line.empty()) line += ',';
    line.append(c.name);
  }
  return line + '\n';
}

std::string SummaryLine(const SummaryRow& row, SummaryFormat format) {
  const auto columns = SummaryColumns();
  if (format == SummaryFormat::Csv) {
    std::string line;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (i > 0) line += ',';
      output::AppendCsvField(line, row.cells[i], output::Source::Host);
    }
    return line + '\n';
  }
  // Every JSON document names the vocabulary it speaks.
  std::string line = "{\"schema_version\":";
  output::AppendJsonString(line, model::kSchemaVersion, output::Source::Host);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const std::string& cell = row.cells[i];
    line += ',';
    output::AppendJsonString(line, columns[i].name, output::Source::Host);
    line += ':';
    if (cell.empty()) {
      line += "null";
    } else if (columns[i].type == CellType::Number && output::IsJsonNumber(cell)) {
      line += cell;  // the cell's own digits: every digit the record shows
    } else {
      output::AppendJsonString(line, cell, output::Source::Host);
    }
  }
  return line + "}\n";
}

std::optional<std::vector<SummaryRow>> ReadSummary(std::istream& in, std::string& error) {
  const int first = in.peek();
  if (first == '{') return ReadJsonLines(in, error);
  return ReadCsv(in, error);
}

}  // namespace segd::app
