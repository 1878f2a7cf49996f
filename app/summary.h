#pragma once
// One summary row per record: what line QC and the summary file hold. The
// columns are one fixed table, the union of every make's trace error flags,
// so rows of mixed makes share one header and shards merge by plain
// concatenation.
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/trace_findings.h"
#include "scan/model/record_model.h"
#include "scan/model/record_scan.h"

namespace segd::app {

enum class CellType : std::uint8_t { Text, Number };

struct SummaryColumn {
  std::string_view name;
  CellType type = CellType::Text;
  bool flagCount = false;  // counts the traces whose trace column of this name is set
  bool findingKind = false;  // a count of traces that makes the record a warning (see --allow)
};

std::span<const SummaryColumn> SummaryColumns();
// Index of a column by name, or -1.
int SummaryColumnIndex(std::string_view name);

// A row's cells in column order, as UTF-8 text; "" for a value the record
// does not hold.
struct SummaryRow {
  std::vector<std::string> cells = std::vector<std::string>(SummaryColumns().size());

  const std::string& Get(std::string_view column) const;
  void Set(std::string_view column, std::string value);
};

// A path as the summary and the batch's lines show it: valid UTF-8 as it
// is; a byte outside it and a control character as \xHH, and (on POSIX,
// where a backslash is no separator) a backslash as \\, so two different
// names never show alike.
std::string PathText(std::string_view path);

// A line for a terminal: control characters (a newline or an escape
// sequence inside a name) as \xHH.
std::string PrintableLine(std::string_view text);

enum class RecordStatus : std::uint8_t { Ok, Warning, Failed };
RecordStatus StatusOf(const SummaryRow& row);

// Builds the row while the record is scanned; other consumers (per-record
// CSV or JSON) may be fed by the same walk through FanOut.
class SummaryConsumer final : public model::RecordConsumer {
 public:
  // Trace findings beyond `allowance` make the record a warning; with none
  // given, any finding does.
  explicit SummaryConsumer(const Allowance* allowance = nullptr) : allowance_(allowance) {}
  void Begin(const model::RecordHeaders& headers) override;
  void Row(const model::TraceRow& row) override;
  void End(const model::RecordHeaders& headers, const model::Integrity& integrity,
           const std::vector<model::Notice>& notices) override;
  std::vector<bool> ColumnsRead(const model::RecordHeaders& headers) const override;

  // The finished row for the scan's result (a record never begun is failed).
  SummaryRow Finish(const std::string& path, const model::ScanResult& result);
  std::int64_t Traces() const { return traces_; }

 private:
  struct Finding {
    std::string column;  // the summary column counting it, or the make's flag name
    int traceColumn = -1;  // -1: past the end
    TraceRanges traces;
  };
  const Allowance* allowance_;
  std::vector<Finding> findings_;
  std::vector<std::pair<std::string, std::int64_t>> walkedPerSet_;  // channel set -> traces walked
  std::vector<std::string> setProblems_;
  SummaryRow row_;
  bool begun_ = false;
  std::int64_t traces_ = 0;
  std::int64_t dead_ = 0;
  int deadColumn_ = -1;
  int channelSetColumn_ = -1;
  std::vector<std::pair<std::size_t, int>> flagColumns_;  // trace column -> summary column
  std::map<std::string, std::int64_t> otherFlags_;        // flags outside the fixed union
  std::vector<std::int64_t> flagCounts_;
  std::vector<std::pair<std::string, std::int64_t>> setTraces_;  // channel set -> traces, walk order
  std::unordered_map<std::string, std::size_t> setIndex_;        // channel set -> its place in setTraces_
  std::vector<std::int64_t> samplesPerTrace_;
  bool descriptorLayout_ = false;
};

// Hands every call to each consumer in turn.
class FanOut final : public model::RecordConsumer {
 public:
  explicit FanOut(std::vector<model::RecordConsumer*> consumers) : consumers_(std::move(consumers)) {}
  void Begin(const model::RecordHeaders& headers) override;
  void Row(const model::TraceRow& row) override;
  void End(const model::RecordHeaders& headers, const model::Integrity& integrity,
           const std::vector<model::Notice>& notices) override;
  std::vector<bool> ColumnsRead(const model::RecordHeaders& headers) const override;

 private:
  std::vector<model::RecordConsumer*> consumers_;
};

}  // namespace segd::app
