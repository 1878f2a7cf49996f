#include "cli/record_summary.h"

#include <vector>

namespace segd::cli {

namespace {

// "1:2x50 2:10x50" as "set 1: 2 traces of 50 samples; set 2: ...".
std::string Layout(const std::string& layout) {
  std::string out;
  std::size_t start = 0;
  while (start < layout.size()) {
    const std::size_t end = std::min(layout.find(' ', start), layout.size());
    const std::string item = layout.substr(start, end - start);
    start = end + 1;
    const std::size_t colon = item.find(':'), x = item.find('x');
    if (!out.empty()) out += "; ";
    if (colon == std::string::npos) {
      out += item;
      continue;
    }
    out += "set " + item.substr(0, colon) + ": " + item.substr(colon + 1, x == std::string::npos ? std::string::npos : x - colon - 1) + " traces";
    if (x != std::string::npos) out += " of " + item.substr(x + 1) + " samples";
  }
  return out;
}

std::string Or(const std::string& text, const char* none) { return text.empty() ? none : text; }

}  // namespace

std::string RecordSummaryText(const app::SummaryRow& row) {
  std::vector<std::pair<std::string, std::string>> lines;
  const auto add = [&lines](std::string label, std::string value) { lines.emplace_back(std::move(label), std::move(value)); };
  add("record", row.Get("path"));
  if (row.Get("status") != "failed") {
    add("make", Or(row.Get("manufacturer"), "unknown") + ", SEG-D revision " + Or(row.Get("revision"), "not given"));
    add("format", Or(row.Get("format_code"), "unknown"));
    add("file number", Or(row.Get("file_number"), "not given"));
    std::string start = row.Get("date").empty() ? "not given" : row.Get("date") + " " + row.Get("time") + " (general header)";
    if (!row.Get("gps_time").empty()) start += ", " + row.Get("gps_time") + " UTC (the record's GPS time)";
    add("start time", start);
    add("interval", row.Get("sample_interval_ms").empty() ? "not given" : row.Get("sample_interval_ms") + " ms");
    add("record length", row.Get("record_length_ms").empty() ? "not given" : row.Get("record_length_ms") + " ms");
    const std::string layout = Layout(row.Get("channel_set_layout"));
    std::size_t from = 0;
    do {  // a line per set
      const std::size_t end = std::min(layout.find("; ", from), layout.size());
      add(from == 0 ? "channel sets" : "", layout.empty() ? "none walked" : layout.substr(from, end - from));
      from = end + 2;
    } while (from < layout.size());
    std::string traces = row.Get("traces_announced").empty() ? "" : row.Get("traces_announced") + " announced, ";
    traces += row.Get("traces_listed") + " walked, " + row.Get("traces_past_end") + " past the end of the file";
    add("traces", traces);
    // One line per kind found: "dead_traces 2 (traces 12-13)", the traces
    // from the trace_findings cell ("dead_traces: 12-13; ...").
    const std::string& ranges = row.Get("trace_findings");
    bool any = false;
    for (const app::SummaryColumn& c : app::SummaryColumns()) {
      const std::string& n = row.Get(c.name);
      if (!c.findingKind || n.empty() || n == "0") continue;
      std::string line = std::string(c.name) + " " + n;
      const std::string key = std::string(c.name) + ": ";
      if (const std::size_t at = ranges.find(key); at != std::string::npos) {
        const std::size_t end = std::min(ranges.find(';', at), ranges.size());
        line += " (trace" + std::string(n == "1" ? " " : "s ") + ranges.substr(at + key.size(), end - at - key.size()) + ")";
      }
      add(any ? "" : "trace findings", line);
      any = true;
    }
    if (!any) add("trace findings", "none");
  }
  add("integrity", Or(row.Get("problems"), "sound"));
  if (!row.Get("notices").empty() && row.Get("status") != "failed") add("notices", row.Get("notices"));
  add("verdict", row.Get("status"));
  std::string out;
  for (const auto& [label, value] : lines) {
    std::string line = label.empty() ? "" : label + ":";
    line.resize(17, ' ');
    out += line + value + "\n";
  }
  return out;
}

}  // namespace segd::cli
