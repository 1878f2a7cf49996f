#include "app/line_qc.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <numeric>

#include "app/record_time.h"

namespace segd::app {

namespace {

constexpr std::int64_t kMicros = 1'000'000;

std::optional<std::int64_t> Integer(const std::string& text) {
  std::int64_t value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> Number(const std::string& text) {
  double value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::int64_t> Recorded(const QcRow& row) { return UnixMicros(row.date, row.time); }

QcRecordRef Ref(const QcRow& row, std::string value = {}) {
  const auto when = Recorded(row);
  return {row.path, Integer(row.fileNumber), when ? std::optional(IsoUtc(*when)) : std::nullopt, std::move(value)};
}

// The fields every record of a line should share, with the unit their
// values are told in.
struct MajorityField {
  const char* name;
  std::string QcRow::*cell;
  const char* unit;
};
constexpr MajorityField kMajorityFields[] = {{"format_code", &QcRow::format, ""},
                                             {"sample_interval_ms", &QcRow::sampleInterval, " ms"},
                                             {"record_length_ms", &QcRow::recordLength, " ms"},
                                             {"channel_set_layout", &QcRow::channelSetLayout, ""}};

// The most samples a trace of the record has, from its layout "1:2x50 2:10x50".
std::optional<double> SamplesOf(const std::string& layout) {
  std::optional<double> most;
  for (std::size_t x = layout.find('x'); x != std::string::npos; x = layout.find('x', x + 1)) {
    const std::size_t end = std::min(layout.find(' ', x), layout.size());
    if (const auto n = Number(layout.substr(x + 1, end - x - 1))) most = std::max(most.value_or(0), *n);
  }
  return most;
}

// Where the shot was fired, as a key; "" when the record holds no position
// (or zeros, what recorders write for none).
std::string SourcePosition(const QcRow& r) {
  const auto nonZero = [](const std::string& a, const std::string& b) {
    return !a.empty() && !b.empty() && (Number(a).value_or(0) != 0 || Number(b).value_or(0) != 0);
  };
  // As plain numbers ("2055", not "2055.0000"), so that rows read back by
  // pandas give the same keys.
  const auto plain = [](const std::string& text) {
    char out[32];
    const auto r = std::to_chars(out, out + sizeof out, Number(text).value_or(0));
    return std::string(out, r.ptr);
  };
  if (nonZero(r.sourceLine, r.sourcePoint)) return "line " + plain(r.sourceLine) + " point " + plain(r.sourcePoint);
  if (nonZero(r.sourceX, r.sourceY)) {
    return "easting " + plain(r.sourceX) + " northing " + plain(r.sourceY);
  }
  return "";
}

std::string Duration(double seconds) {
  const double a = std::fabs(seconds);
  char text[64];
  if (a >= 86400 * 365.25) {
    std::snprintf(text, sizeof text, "%.1f years", a / (86400 * 365.25));
  } else if (a >= 86400) {
    std::snprintf(text, sizeof text, "%.1f days", a / 86400);
  } else if (a >= 3600) {
    std::snprintf(text, sizeof text, "%.1f hours", a / 3600);
  } else {
    std::snprintf(text, sizeof text, "%.0f s", a);
  }
  return text;
}

// Indices (into `times`) of a longest non-decreasing run, the first such
// run found by patience sorting.
std::vector<std::size_t> LongestInOrder(const std::vector<std::int64_t>& times) {
  std::vector<std::size_t> tails, previous(times.size(), SIZE_MAX);
  for (std::size_t i = 0; i < times.size(); ++i) {
    const auto at = std::upper_bound(tails.begin(), tails.end(), times[i],
                                     [&](std::int64_t t, std::size_t k) { return t < times[k]; });
    if (at != tails.begin()) previous[i] = *(at - 1);
    if (at == tails.end()) {
      tails.push_back(i);
    } else {
      *at = i;
    }
  }
  std::vector<std::size_t> run;
  for (std::size_t i = tails.empty() ? SIZE_MAX : tails.back(); i != SIZE_MAX; i = previous[i]) run.push_back(i);
  std::reverse(run.begin(), run.end());
  return run;
}

}  // namespace

QcRow QcRow::From(const SummaryRow& row) {
  QcRow r;
  r.path = row.Get("path");
  r.status = row.Get("status");
  r.problems = row.Get("problems");
  r.fileNumber = row.Get("file_number");
  r.date = row.Get("date");
  r.time = row.Get("time");
  r.gpsTime = row.Get("gps_time");
  r.format = row.Get("format_code");
  r.sampleInterval = row.Get("sample_interval_ms");
  r.recordLength = row.Get("record_length_ms");
  r.channelSetLayout = row.Get("channel_set_layout");
  r.sourceLine = row.Get("source_line");
  r.sourcePoint = row.Get("source_point");
  r.sourceX = row.Get("source_x");
  r.sourceY = row.Get("source_y");
  return r;
}

LineQc CheckLine(const std::vector<QcRow>& rows, const QcSettings& settings) {
  LineQc qc;
  qc.records = rows.size();
  // Rows are taken in path order, so that the verdict is the same whatever
  // order they come in (shards of GNU parallel merge in the order they end).
  std::vector<std::size_t> byPath(rows.size());
  std::iota(byPath.begin(), byPath.end(), std::size_t{0});
  std::stable_sort(byPath.begin(), byPath.end(), [&rows](std::size_t a, std::size_t b) { return rows[a].path < rows[b].path; });
  struct Numbered {
    std::int64_t fileNumber;
    std::size_t row;
  };
  std::vector<Numbered> numbered;
  std::vector<std::size_t> decoded;
  for (const std::size_t i : byPath) {
    if (rows[i].Failed()) {
      qc.failed.push_back(Ref(rows[i], rows[i].problems));
      continue;
    }
    ++qc.decoded;
    decoded.push_back(i);
    if (const auto n = Integer(rows[i].fileNumber)) numbered.push_back({*n, i});
  }
  // Stable: rows of one file number stay in path order.
  std::stable_sort(numbered.begin(), numbered.end(), [](const Numbered& a, const Numbered& b) { return a.fileNumber < b.fileNumber; });
  if (!numbered.empty()) {
    qc.firstFileNumber = numbered.front().fileNumber;
    qc.lastFileNumber = numbered.back().fileNumber;
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

  // Times: each record's own, then the order of the line.
  const std::int64_t now = settings.nowMicros.value_or(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch()).count());
  const std::int64_t earliest = *UnixMicros("1980-01-01", "00:00:00");
  for (const std::size_t i : decoded) {
    const QcRow& r = rows[i];
    const auto when = Recorded(r);
    if (!when) continue;
    // A day of slack: a recorder's clock set to local time is not "future".
    if (*when < earliest) qc.implausibleTimes.push_back(Ref(r, "before 1980"));
    if (*when > now + 86400 * kMicros) qc.implausibleTimes.push_back(Ref(r, "in the future"));
    if (const auto gps = UnixMicrosOfIso(r.gpsTime); gps && std::llabs(*gps - *when) > kMicros) {
      qc.gpsTimeDiffers.push_back(Ref(r, r.gpsTime));
    }
  }
  std::vector<std::size_t> timed;  // into numbered
  std::vector<std::int64_t> times;
  for (std::size_t k = 0; k < numbered.size(); ++k) {
    if (const auto when = Recorded(rows[numbered[k].row])) {
      timed.push_back(k);
      times.push_back(*when);
    }
  }
  const std::vector<std::size_t> inOrder = LongestInOrder(times);
  std::vector<bool> kept(times.size(), false);
  for (const std::size_t t : inOrder) kept[t] = true;
  for (std::size_t t = 0; t < times.size(); ++t) {
    if (!kept[t]) qc.timesOutOfOrder.push_back(Ref(rows[numbered[timed[t]].row]));
  }
  for (std::size_t k = 1; k < inOrder.size(); ++k) {
    const double seconds = static_cast<double>(times[inOrder[k]] - times[inOrder[k - 1]]) / kMicros;
    if (seconds > settings.timeJumpSeconds) {
      qc.timeJumps.push_back({Ref(rows[numbered[timed[inOrder[k - 1]]].row]), Ref(rows[numbered[timed[inOrder[k]]].row]), seconds});
    }
  }

  // Record length against samples x interval: within one interval, as
  // recorders count the sample at time zero or the one at the end.
  for (const std::size_t i : decoded) {
    const QcRow& r = rows[i];
    const auto length = Number(r.recordLength), interval = Number(r.sampleInterval);
    const auto samples = SamplesOf(r.channelSetLayout);
    if (!length || !interval || !samples || *interval <= 0) continue;
    if (std::fabs(*samples * *interval - *length) > *interval + 1e-9) {
      char text[160];
      std::snprintf(text, sizeof text, "record_length_ms %s, samples %.0f x %s ms = %g ms", r.recordLength.c_str(), *samples,
                    r.sampleInterval.c_str(), *samples * *interval);
      qc.lengthMismatch.push_back(Ref(r, text));
    }
  }

  // One source position shot under several file numbers.
  std::map<std::string, std::vector<std::size_t>> byPosition;  // into numbered
  for (std::size_t k = 0; k < numbered.size(); ++k) {
    const std::string position = SourcePosition(rows[numbered[k].row]);
    if (!position.empty()) byPosition[position].push_back(k);
  }
  for (const auto& [position, shots] : byPosition) {
    if (numbered[shots.front()].fileNumber == numbered[shots.back()].fileNumber) continue;
    LineQc::Repeated repeated{position, {}};
    for (const std::size_t k : shots) repeated.records.push_back(Ref(rows[numbered[k].row]));
    qc.repeatedSources.push_back(std::move(repeated));
  }

  for (const MajorityField& field : kMajorityFields) {
    std::map<std::string, std::size_t> counts;
    for (const std::size_t i : decoded) ++counts[rows[i].*field.cell];
    if (counts.size() < 2) continue;
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    LineQc::Odd odd{field.name, std::nullopt, {}, {}};
    if (most->second * 2 > decoded.size()) {
      odd.majority = most->first;
      for (const std::size_t i : decoded) {
        if (rows[i].*field.cell != most->first) odd.records.push_back(Ref(rows[i], rows[i].*field.cell));
      }
    } else {
      // Most held first; of equally held ones the smallest text first.
      odd.values.assign(counts.begin(), counts.end());
      std::stable_sort(odd.values.begin(), odd.values.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    }
    qc.oddRecords.push_back(std::move(odd));
  }
  return qc;
}

namespace {

std::string Told(const QcRecordRef& r) {
  std::string out = r.path + " (";
  out += r.fileNumber ? "file " + std::to_string(*r.fileNumber) : "no file number";
  if (r.recorded) out += ", " + *r.recorded;
  return out + ")";
}

std::string ValueText(const std::string& value, const char* unit) { return value.empty() ? "none" : value + unit; }

}  // namespace

std::string QcText(const LineQc& qc) {
  const std::string p = "segdreport: QC: ";
  std::string out = p + std::to_string(qc.records) + " records, " + std::to_string(qc.decoded) + " decoded";
  if (qc.firstFileNumber) out += ", file numbers " + std::to_string(*qc.firstFileNumber) + " to " + std::to_string(*qc.lastFileNumber);
  out += "\n";
  for (const auto& f : qc.failed) out += p + "not decoded: " + f.path + ": " + f.value + "\n";
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
  for (const auto& t : qc.timesOutOfOrder) out += p + "recorded out of file number order: " + Told(t) + "\n";
  for (const auto& j : qc.timeJumps) {
    out += p + "time jumps " + Duration(j.seconds) + " from " + Told(j.from) + " to " + Told(j.to) + "\n";
  }
  for (const auto& t : qc.implausibleTimes) out += p + "recorded " + t.value + ": " + Told(t) + "\n";
  for (const auto& g : qc.gpsTimeDiffers) {
    out += p + "general header time differs from the record's GPS time " + g.value + " by more than 1 s: " + Told(g) + "\n";
  }
  for (const auto& l : qc.lengthMismatch) out += p + "record length disagrees with samples x interval: " + Told(l) + ": " + l.value + "\n";
  for (const auto& r : qc.repeatedSources) {
    out += p + "source position " + r.position + " shot by " + std::to_string(r.records.size()) + " records:";
    for (const auto& ref : r.records) out.append(" ").append(Told(ref));
    out += "\n";
  }
  for (const auto& o : qc.oddRecords) {
    const char* unit = "";
    for (const auto& f : kMajorityFields) {
      if (o.field == f.name) unit = f.unit;
    }
    if (o.majority) {
      out += p + o.field + " differs from the majority (" + ValueText(*o.majority, unit) + ") in " +
             std::to_string(o.records.size()) + " records:";
      for (const auto& r : o.records) out += " " + r.path + " (" + ValueText(r.value, unit) + ")";
    } else {
      out += p + o.field + ": no common value:";
      for (std::size_t i = 0; i < o.values.size(); ++i) {
        out += (i ? ", " : " ") + ValueText(o.values[i].first, unit) + " (" + std::to_string(o.values[i].second) + ")";
      }
    }
    out += "\n";
  }
  if (!qc.HasFindings()) out += p + "no findings\n";
  return out;
}

std::string QcJson(const LineQc& qc) {
  using J = nlohmann::ordered_json;
  const auto optional = [](const auto& v) { return v ? J(*v) : J(); };
  const auto ref = [&](const QcRecordRef& r, const char* valueName) {
    J j = {{"path", r.path}, {"file_number", optional(r.fileNumber)}, {"recorded", optional(r.recorded)}};
    if (valueName) j[valueName] = r.value;
    return j;
  };
  const auto refs = [&](const std::vector<QcRecordRef>& list, const char* valueName) {
    J out = J::array();
    for (const auto& r : list) out.push_back(ref(r, valueName));
    return out;
  };
  J doc;
  doc["records"] = qc.records;
  doc["decoded"] = qc.decoded;
  doc["first_file_number"] = optional(qc.firstFileNumber);
  doc["last_file_number"] = optional(qc.lastFileNumber);
  doc["failed"] = refs(qc.failed, "reason");
  doc["duplicate_file_numbers"] = J::array();
  for (const auto& d : qc.duplicates) doc["duplicate_file_numbers"].push_back({{"file_number", d.fileNumber}, {"paths", d.paths}});
  doc["gaps"] = J::array();
  for (const auto& g : qc.gaps) doc["gaps"].push_back({{"first_missing", g.first}, {"last_missing", g.last}});
  doc["times_out_of_order"] = refs(qc.timesOutOfOrder, nullptr);
  doc["time_jumps"] = J::array();
  for (const auto& j : qc.timeJumps) doc["time_jumps"].push_back({{"from", ref(j.from, nullptr)}, {"to", ref(j.to, nullptr)}, {"seconds", j.seconds}});
  doc["implausible_times"] = refs(qc.implausibleTimes, "why");
  doc["gps_time_differs"] = refs(qc.gpsTimeDiffers, "gps_time");
  doc["record_length_mismatch"] = refs(qc.lengthMismatch, "detail");
  doc["repeated_source_positions"] = J::array();
  for (const auto& r : qc.repeatedSources) {
    doc["repeated_source_positions"].push_back({{"position", r.position}, {"records", refs(r.records, nullptr)}});
  }
  doc["differs_from_majority"] = J::array();
  for (const auto& o : qc.oddRecords) {
    // A value as a number where the field holds numbers.
    const auto typed = [&](const std::string& v) -> J {
      if (v.empty()) return J();
      if (o.field != "channel_set_layout") {
        if (const auto n = Number(v)) return std::floor(*n) == *n && std::fabs(*n) < 1e15 ? J(static_cast<std::int64_t>(*n)) : J(*n);
      }
      return J(v);
    };
    J records = J::array();
    for (const auto& r : o.records) {
      J j = ref(r, nullptr);
      j["value"] = typed(r.value);
      records.push_back(j);
    }
    J values = J::array();
    for (const auto& [v, n] : o.values) values.push_back({{"value", typed(v)}, {"records", n}});
    doc["differs_from_majority"].push_back(
        {{"field", o.field}, {"majority", o.majority ? typed(*o.majority) : J()}, {"values", values}, {"records", records}});
  }
  return doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace segd::app
