#include "app/line_qc.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <numeric>
#include <nlohmann/json.hpp>
#include <optional>

namespace segd::app {

namespace {

std::optional<std::int64_t> Integer(const std::string& text) {
  std::int64_t value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

// "2006-02-5" and "09:41:07" as numbers to compare; nullopt when either does
// not read as three numbers.
std::optional<std::array<std::int64_t, 6>> RecordingTime(const QcRow& row) {
  std::array<std::int64_t, 6> parts{};
  std::size_t k = 0;
  for (const std::string* text : {&row.date, &row.time}) {
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
      const std::size_t end = i < 2 ? text->find_first_of("-:/", start) : text->size();
      if (end == std::string::npos) return std::nullopt;
      const auto value = Integer(text->substr(start, end - start));
      if (!value) return std::nullopt;
      parts[k++] = *value;
      start = end + 1;
    }
  }
  return parts;
}

struct MajorityField {
  const char* name;
  std::string QcRow::*cell;
};
constexpr MajorityField kMajorityFields[] = {{"format_code", &QcRow::format},
                                             {"sample_interval_ms", &QcRow::sampleInterval},
                                             {"record_length_ms", &QcRow::recordLength},
                                             {"channel_set_layout", &QcRow::channelSetLayout}};

std::string Recorded(const QcRow& r) { return r.fileNumber + " " + r.date + " " + r.time; }

}  // namespace

QcRow QcRow::From(const SummaryRow& row) {
  return {row.Get("path"),        row.Get("status"),           row.Get("file_number"),
          row.Get("date"),        row.Get("time"),             row.Get("format_code"),
          row.Get("sample_interval_ms"), row.Get("record_length_ms"), row.Get("channel_set_layout")};
}

LineQc CheckLine(const std::vector<QcRow>& rows) {
  LineQc qc;
  qc.records = rows.size();
  struct Numbered {
    std::int64_t fileNumber;
    std::size_t row;
  };
  // Rows are taken in path order, so that the verdict is the same whatever
  // order they come in (shards of GNU parallel merge in the order they end).
  std::vector<std::size_t> byPath(rows.size());
  std::iota(byPath.begin(), byPath.end(), std::size_t{0});
  std::stable_sort(byPath.begin(), byPath.end(), [&rows](std::size_t a, std::size_t b) { return rows[a].path < rows[b].path; });
  std::vector<Numbered> numbered;
  for (const std::size_t i : byPath) {
    if (rows[i].Failed()) continue;
    ++qc.decoded;
    if (const auto n = Integer(rows[i].fileNumber)) numbered.push_back({*n, i});
  }
  // Stable: rows of one file number stay in path order.
  std::stable_sort(numbered.begin(), numbered.end(), [](const Numbered& a, const Numbered& b) { return a.fileNumber < b.fileNumber; });
  if (!numbered.empty()) {
    qc.firstFileNumber = std::to_string(numbered.front().fileNumber);
    qc.lastFileNumber = std::to_string(numbered.back().fileNumber);
  }
  for (std::size_t i = 0; i < numbered.size();) {
    std::size_t j = i;
    while (j < numbered.size() && numbered[j].fileNumber == numbered[i].fileNumber) ++j;
    if (j - i > 1) {
      LineQc::Duplicate d{numbered[i].fileNumber, {}};
      for (std::size_t k = i; k < j; ++k) d.paths.push_back(rows[numbered[k].row].path);
      qc.duplicates.push_back(std::move(d));
    }
    if (j < numbered.size() && numbered[j].fileNumber > numbered[i].fileNumber + 1) {
      qc.gaps.push_back({numbered[i].fileNumber + 1, numbered[j].fileNumber - 1});
    }
    i = j;
  }
  // In file number order the recording time should not go back from one
  // record to the next. Neighbours only: one stray record is one finding,
  // not a finding for every record after it.
  for (std::size_t i = 1; i < numbered.size(); ++i) {
    const QcRow& r = rows[numbered[i].row];
    const QcRow& p = rows[numbered[i - 1].row];
    const auto time = RecordingTime(r);
    const auto previous = RecordingTime(p);
    if (time && previous && *time < *previous) qc.timesOutOfOrder.push_back({{r.path, Recorded(r)}, {p.path, Recorded(p)}});
  }
  for (const MajorityField& field : kMajorityFields) {
    std::map<std::string, std::size_t> counts;
    for (const QcRow& row : rows) {
      if (!row.Failed()) ++counts[row.*field.cell];
    }
    if (counts.size() < 2) continue;
    // The most common value; of equally common ones the smallest, so the
    // verdict does not depend on the order of the rows.
    const auto majority = std::max_element(counts.begin(), counts.end(),
                                           [](const auto& a, const auto& b) { return a.second < b.second; });
    LineQc::Odd odd{field.name, majority->first, {}};
    for (const std::size_t i : byPath) {
      const QcRow& row = rows[i];
      if (!row.Failed() && row.*field.cell != majority->first) odd.records.push_back({row.path, row.*field.cell});
    }
    qc.oddRecords.push_back(std::move(odd));
  }
  return qc;
}

std::string QcText(const LineQc& qc) {
  const std::string p = "segdreport: QC: ";
  std::string out = p + std::to_string(qc.records) + " records, " + std::to_string(qc.decoded) + " decoded";
  if (!qc.firstFileNumber.empty()) out += ", file numbers " + qc.firstFileNumber + " to " + qc.lastFileNumber;
  out += "\n";
  for (const auto& d : qc.duplicates) {
    out += p + "file number " + std::to_string(d.fileNumber) + " is held by " + std::to_string(d.paths.size()) + " records:";
    for (const std::string& path : d.paths) out += " " + path;
    out += "\n";
  }
  for (const auto& g : qc.gaps) {
    out += p + (g.first == g.last ? "file number " + std::to_string(g.first) + " is missing"
                                  : "file numbers " + std::to_string(g.first) + " to " + std::to_string(g.last) + " are missing") +
           "\n";
  }
  for (const auto& t : qc.timesOutOfOrder) {
    out += p + "recorded before the record of a lower file number: " + t.record.path + " (" + t.record.value + ") after " +
           t.previous.path + " (" + t.previous.value + ")\n";
  }
  for (const auto& o : qc.oddRecords) {
    out += p + o.field + " differs from the majority (" + (o.majority.empty() ? "none" : o.majority) + ") in " +
           std::to_string(o.records.size()) + " records:";
    for (const auto& r : o.records) out += " " + r.path + " (" + (r.value.empty() ? "none" : r.value) + ")";
    out += "\n";
  }
  if (!qc.HasFindings()) out += p + "no findings\n";
  return out;
}

std::string QcJson(const LineQc& qc) {
  using J = nlohmann::ordered_json;
  J doc;
  doc["records"] = qc.records;
  doc["decoded"] = qc.decoded;
  doc["first_file_number"] = qc.firstFileNumber.empty() ? J() : J(std::stoll(qc.firstFileNumber));
  doc["last_file_number"] = qc.lastFileNumber.empty() ? J() : J(std::stoll(qc.lastFileNumber));
  doc["duplicate_file_numbers"] = J::array();
  for (const auto& d : qc.duplicates) doc["duplicate_file_numbers"].push_back({{"file_number", d.fileNumber}, {"paths", d.paths}});
  doc["gaps"] = J::array();
  for (const auto& g : qc.gaps) doc["gaps"].push_back({{"first_missing", g.first}, {"last_missing", g.last}});
  doc["times_out_of_order"] = J::array();
  for (const auto& t : qc.timesOutOfOrder) {
    doc["times_out_of_order"].push_back({{"path", t.record.path}, {"recorded", t.record.value},
                                         {"after_path", t.previous.path}, {"after_recorded", t.previous.value}});
  }
  doc["differs_from_majority"] = J::array();
  for (const auto& o : qc.oddRecords) {
    J records = J::array();
    for (const auto& r : o.records) records.push_back({{"path", r.path}, {"value", r.value}});
    doc["differs_from_majority"].push_back({{"field", o.field}, {"majority", o.majority}, {"records", records}});
  }
  return doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace segd::app
