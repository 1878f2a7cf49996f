#pragma once
// One record's work in a batch: the summary row, and the record's own CSV,
// JSON and text report when asked for, each in its folder under a name made
// from the record's file name.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/export_files.h"
#include "app/summary.h"
#include "output/report/trace_fields.h"

namespace segd::app {

struct BatchOutputs {
  // The folders of the registry's writers asked for (--csv-dir, --json-dir,
  // --report-dir, --samples-dir, --segy-dir, --mseed-dir; output/writers.h),
  // by writer name: each record's file is FOLDER/STEM + the writer's extension.
  std::map<std::string, std::string, std::less<>> dirs;
  ExportRequest exports;  // how SEG-Y and miniSEED are written
  bool scaled = false;    // the samples in millivolts
  OutputSelection selection{};  // what the text reports list
  Allowance allowance;          // trace findings a record may have and stay ok

  // The folder of writer `name`; nullopt when none was asked for.
  std::optional<std::string> Dir(std::string_view name) const {
    const auto found = dirs.find(name);
    return found == dirs.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
};

struct RecordOutcome {
  SummaryRow row;
  std::int64_t traces = 0;
  std::vector<std::string> outputFailures;  // "cannot write PATH"
};

// The name each record's outputs are given (without extension): the
// record's file name, or, when another record of the run has the same file
// name, that name followed by "@" and eight hexadecimal digits of a hash of
// the record's absolute path, so that records of the same name in different
// folders never share an output.
std::vector<std::string> OutputStems(const std::vector<std::string>& paths);

// `folder`/`name` (the per-record outputs' paths).
std::string FileJoin(const std::string& folder, const std::string& name);

// The row of a record that could not be scanned at all ("out of memory").
SummaryRow FailedRow(const std::string& path, const std::string& problem);

// Never throws: a failure of memory or threads gives a failed row.
RecordOutcome ScanOneRecord(const std::string& path, const std::string& stem, const BatchOutputs& outputs);

}  // namespace segd::app
