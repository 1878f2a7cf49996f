#pragma once
// One walk of a record for every data output asked for: the trace rows (CSV,
// JSON, the batch's summary), the samples matrix (--samples) and the export
// (--segy, --mseed) and the text report's trace table, so that the record
// is opened and read once whatever outputs it feeds. Each output is opened before the walk and finished after
// it on its own (SamplesFiles, ExportFiles): one that fails leaves the
// others whole.
#include <string>

#include "app/export_files.h"
#include "app/samples_files.h"
#include "scan/io/byte_source.h"
#include "scan/model/record_scan.h"

namespace segd::app {

struct WalkOutputs {
  model::RecordConsumer* rows = nullptr;  // fed as ScanRecord feeds it
  SamplesFiles* samples = nullptr;        // opened (Opened()), or null
  bool samplesScaled = false;
  ExportFiles* exports = nullptr;         // opened, or null
  model::ScanOptions scan;                // progress and cancel
  // A second consumer of the same rows: the text report's trace table
  // (output/report/decode_file.h, ReportRun::Traces).
  model::RecordConsumer* report = nullptr;
};

struct WalkResults {
  model::ScanResult walk;  // for the samples' and the export's Finish: the samples' notices included
  model::ScanResult rows;  // as ScanRecord gives it: what the row outputs and the summary take
};

// Nothing to feed: an empty result.
WalkResults WalkRecord(ByteSource& source, const std::string& path, const WalkOutputs& outputs);
// Opens `path` read-only once (CannotOpen with the system's reason otherwise).
WalkResults WalkRecordFile(const std::string& path, const WalkOutputs& outputs);

}  // namespace segd::app
