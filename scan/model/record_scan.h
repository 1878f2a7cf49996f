#pragma once
// One record decoded into the record model and handed to a consumer: the
// entry point of every data output (CSV, JSON, summaries, Python). The
// general SEG-D decoder reads every make and revision (a make adds its own
// headers through its descriptor, scan/makes/makes.h) and walks the traces
// once, reading only header bytes.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scan/io/byte_source.h"
#include "scan/model/record_model.h"

namespace segd::model {

enum class ScanStatus : std::uint8_t {
  Ok,          // decoded and walked; no notice, no integrity finding
  Findings,    // decoded and walked, with notices or integrity problems
  NotSegd,     // the headers do not decode as SEG-D: nothing was walked
  CannotOpen,  // the record file could not be opened
  Cancelled,   // stopped by the caller's cancel flag
};

struct ScanOptions {
  // Called now and then during the walk with traces done and announced.
  std::function<void(std::int64_t done, std::int64_t total)> progress;
  // Checked between traces (between batches of traces when the walk runs on
  // both cores): when it becomes true the walk stops.
  const std::atomic<bool>* cancel = nullptr;
};

struct ScanResult {
  ScanStatus status = ScanStatus::Ok;
  std::vector<Notice> notices;  // every notice of the run, in order
  Integrity integrity;
  std::string openFailure;  // CannotOpen: the system's reason ("Permission denied")
};

// Decodes the record read from `source` (named `path` in the model) into
// `consumer`. The consumer's Begin is not called when the status is NotSegd.
ScanResult ScanRecord(ByteSource& source, const std::string& path, RecordConsumer& consumer,
                      const ScanOptions& options = {});

// Opens the file at `path` read-only and scans it; CannotOpen (with a notice
// "Cannot open PATH (reason)") when it cannot be opened.
ScanResult ScanRecordFile(const std::string& path, RecordConsumer& consumer, const ScanOptions& options = {});

}  // namespace segd::model
