#include "app/trace_findings.h"

#include <charconv>

#include "app/summary.h"

namespace segd::app {

void TraceRanges::Add(std::int64_t trace) {
  ++count_;
  if (!ranges_.empty() && ranges_.back().second + 1 == trace) {
    ranges_.back().second = trace;
  } else if (ranges_.size() < kMaxRanges) {
    ranges_.emplace_back(trace, trace);
  } else {
    more_ = true;
  }
}

std::string TraceRanges::Text() const {
  std::string out;
  for (const auto& [first, last] : ranges_) {
    if (!out.empty()) out += ", ";
    out += std::to_string(first);
    if (last != first) out.append("-").append(std::to_string(last));
  }
  if (more_) out += ", ...";
  return out;
}

std::optional<Allowance> ParseAllowance(const std::string& list, std::string& error) {
  Allowance allowance;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string item = list.substr(start, comma - start);
    start = comma + 1;
    const std::size_t equals = item.find('=');
    std::string key = item.substr(0, equals);
    std::string column;
    for (const std::string& candidate : {key, key + "_error", key + "_traces", "traces_" + key, "sn388_" + key + "_error"}) {
      const int i = SummaryColumnIndex(candidate);
      if (i >= 0 && SummaryColumns()[static_cast<std::size_t>(i)].findingKind) column = candidate;
    }
    if (equals == std::string::npos || column.empty()) {
      error = "bad --allow entry '" + item + "' (use KIND=COUNT or KIND=PERCENT%, KIND one of:";
      for (const SummaryColumn& c : SummaryColumns()) {
        if (c.findingKind) error.append(" ").append(c.name);
      }
      error += ")";
      return std::nullopt;
    }
    std::string amount = item.substr(equals + 1);
    Allowed allowed;
    if (!amount.empty() && amount.back() == '%') {
      allowed.percent = true;
      amount.pop_back();
    }
    const auto r = std::from_chars(amount.data(), amount.data() + amount.size(), allowed.amount);
    if (amount.empty() || r.ec != std::errc() || r.ptr != amount.data() + amount.size() || allowed.amount < 0) {
      error = "bad --allow amount '" + item.substr(equals + 1) + "' (a count such as 2 or a percentage such as 1%)";
      return std::nullopt;
    }
    allowance[column] = allowed;
    if (comma == list.size()) break;
  }
  return allowance;
}

bool OverAllowance(const Allowance& allowance, const std::string& column, std::int64_t count, std::int64_t traces) {
  if (count == 0) return false;
  const auto it = allowance.find(column);
  if (it == allowance.end()) return true;
  const double limit = it->second.percent ? it->second.amount * static_cast<double>(traces) / 100.0 : it->second.amount;
  return static_cast<double>(count) > limit;
}

}  // namespace segd::app
