// The general SEG-D decoder and its walk over any bytes taken as a whole
// record. Whatever the bytes: Begin and End come once each (neither when the
// bytes are not SEG-D), column names are unique, every row has a value per
// column, rows come in walk order at rising offsets, once a row is past the
// end every later one is, and the status agrees with the notices and
// findings.
#include <atomic>
#include <set>

#include "fuzz/harness.h"
#include "scan/model/record_scan_makes.h"

namespace segd::fuzz {

namespace {

using namespace model;

struct Rules : RecordConsumer {
  std::atomic<bool> stop{false};
  int begun = 0, ended = 0;
  std::size_t columns = 0;
  std::int64_t rows = 0;
  std::uint64_t lastOffset = 0;
  bool pastEnd = false;
  std::string broken;

  void Break(std::string rule) {
    if (broken.empty()) broken = std::move(rule);
  }
  void Begin(const RecordHeaders& h) override {
    ++begun;
    columns = h.traceColumns.size();
    if (columns < std::size(kFixedColumns)) Break("fewer columns than the fixed six");
    for (std::size_t i = 0; i < std::size(kFixedColumns) && i < columns; ++i) {
      if (h.traceColumns[i].name != kFixedColumns[i]) Break("the fixed columns are not first");
    }
    std::set<std::string> names;
    for (const Column& c : h.traceColumns) {
      if (!names.insert(c.name).second) Break("two columns named " + c.name);
    }
  }
  void Row(const TraceRow& row) override {
    if (begun != 1 || ended != 0) Break("a row outside Begin and End");
    if (row.values.size() < columns) Break("a row without a value per column");
    if (row.trace != ++rows) Break("rows out of walk order");
    if (rows > 1 && row.byteOffset < lastOffset) Break("a trace before the one walked before it");
    if (pastEnd && !row.pastEnd) Break("a trace inside the file after one past its end");
    if (row.values.size() > 5 && row.values[5].flag != row.pastEnd) Break("past_end differs from the row's mark");
    lastOffset = row.byteOffset;
    pastEnd = row.pastEnd;
    if (rows >= kFuzzTraceLimit) stop = true;
  }
  void End(const RecordHeaders&, const Integrity&, const std::vector<Notice>&) override { ++ended; }
};

}  // namespace

std::string CheckGenericRecord(Input input) {
  MemoryByteSource source(input);
  Rules rules;
  ScanOptions options;
  options.cancel = &rules.stop;
  const ScanResult result = ScanGenericRecord(source, "record", rules, options);
  if (!rules.broken.empty()) return rules.broken;
  if (result.status == ScanStatus::NotSegd)
    return rules.begun == 0 && rules.ended == 0 ? "" : "Begin or End for bytes that are not SEG-D";
  if (rules.begun != 1 || rules.ended != 1) return "Begin and End not called once each";
  if (result.integrity.tracesListed != rules.rows) return "the integrity counts other traces than the rows";
  const bool findings = !result.notices.empty() || !result.integrity.problems.empty();
  if (result.status == ScanStatus::Ok && findings) return "status Ok with notices or findings";
  if (result.status == ScanStatus::Findings && !findings) return "status Findings without a notice";
  if (result.integrity.problems.size() > result.notices.size()) return "a finding without its notice";
  return {};
}

}  // namespace segd::fuzz
