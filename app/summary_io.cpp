#include "app/summary_io.h"

#include <charconv>
#include <nlohmann/json.hpp>

#include "app/text_out.h"

namespace segd::app {

namespace {

bool IsNumber(const std::string& text) {
  double value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && r.ec == std::errc() && r.ptr == text.data() + text.size();
}

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
  while (ReadCsvRecord(in, cells)) {
    if (cells.size() == 1 && cells[0].empty()) continue;
    if (!cells.empty() && cells[0] == "path") {
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

std::optional<std::vector<SummaryRow>> ReadJsonLines(std::istream& in, std::string& error) {
  std::vector<SummaryRow> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    const nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
    if (!object.is_object()) {
      error = "line " + std::to_string(rows.size() + 1) + " is not a JSON object";
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
      AppendCsvCell(line, row.cells[i]);
    }
    return line + '\n';
  }
  nlohmann::ordered_json object;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const std::string& cell = row.cells[i];
    const std::string key(columns[i].name);
    if (cell.empty()) {
      object[key] = nullptr;
    } else if (columns[i].type == CellType::Number && IsNumber(cell)) {
      // The cell's own digits, not a double's: a number keeps every digit the
      // record shows.
      object[key] = nlohmann::ordered_json::parse(cell, nullptr, false);
      if (object[key].is_discarded()) object[key] = cell;
    } else {
      object[key] = cell;
    }
  }
  return object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
}

std::optional<std::vector<SummaryRow>> ReadSummary(std::istream& in, std::string& error) {
  const int first = in.peek();
  if (first == '{') return ReadJsonLines(in, error);
  return ReadCsv(in, error);
}

}  // namespace segd::app
