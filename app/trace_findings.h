#pragma once
// Trace findings of one record: how many traces are dead, carry each error
// flag the make records, or lie past the end of the file, with their trace
// numbers (the walk's sequence, the trace column of the CSV) as ranges
// ("12-15, 220"); and the allowance a crew sets for each kind
// (--allow dead=2,overscale=1%).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace segd::app {

// Ascending trace numbers folded into ranges; past kMaxRanges ranges only
// the count grows, so memory stays bounded whatever the record holds.
class TraceRanges {
 public:
  static constexpr std::size_t kMaxRanges = 32;
  void Add(std::int64_t trace);
  std::int64_t Count() const { return count_; }
  std::string Text() const;  // "12-15, 220" (", ..." when cut)

 private:
  std::int64_t count_ = 0;
  std::vector<std::pair<std::int64_t, std::int64_t>> ranges_;
  bool more_ = false;
};

// The most traces of a kind a record may have and stay ok: a count, or a
// percentage of the traces walked.
struct Allowed {
  double amount = 0;
  bool percent = false;
};

// Keyed by summary column name (dead_traces, traces_past_end, overscale_error, ...).
using Allowance = std::map<std::string, Allowed, std::less<>>;

// Parses "dead=2,overscale=1%"; a key names a finding kind by its column
// name or by that name less "_error", "_traces" or "traces_" (dead,
// past_end, overscale). nullopt with `error` set on a bad list.
std::optional<Allowance> ParseAllowance(const std::string& list, std::string& error);

// Whether `count` traces of the kind `column` out of `traces` walked are
// more than allowed (any at all when nothing is allowed).
bool OverAllowance(const Allowance& allowance, const std::string& column, std::int64_t count, std::int64_t traces);

}  // namespace segd::app
