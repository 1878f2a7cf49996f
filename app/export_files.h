#pragma once
// --segy FILE and --mseed FILE (and the batch's --segy-dir, --mseed-dir): a
// record's samples exported in one walk, each file written whole or not at
// all (a temporary file beside it takes its name only when complete; a
// refusal, a failure or an interrupt leaves no file); "-" is standard output.
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "output/export_walk.h"
#include "output/mseed_writer.h"
#include "output/segy_writer.h"
#include "scan/model/record_model.h"
#include "output/report/report_writer.h"

namespace segd::app {

struct ExportRequest {
  std::optional<std::string> segy;  // path; "-" standard output
  output::SegyOptions segyOptions;
  std::optional<std::string> mseed;
  output::MseedOptions mseedOptions;
  bool scaled = false;                 // samples in millivolts (x 2^MP)
  ByteSink* standardOutput = nullptr;  // for "-"
  const std::atomic<bool>* interrupt = nullptr;  // set: stop, no file written
  std::string toolVersion;

  bool Any() const { return segy || mseed; }
};

struct ExportRun {
  bool written = false;  // every file asked for written whole
  bool cut = false;      // a trace ends past the end of the file (exit 3)
};

// One record's export files in three steps: created before the walk (with
// every refusal that needs no trace: a file that cannot be created, standard
// output not available, options the writers refuse), fed by the samples
// walk through Consumer() (alone, or beside the matrix and the trace rows:
// scan/samples/sample_fan_out.h), then committed or dropped by Finish.
class ExportFiles {
 public:
  // A refusal is added to `notices`; Opened() is false then and no file is
  // left behind.
  ExportFiles(const ExportRequest& request, std::vector<model::Notice>& notices);
  ~ExportFiles();
  bool Opened() const { return exporter_ != nullptr; }
  bool Scaled() const { return scaled_; }
  samples::TraceSampleConsumer& Consumer();
  // Set when the export fails or is interrupted: a walk that feeds nothing
  // else may stop then (its options.scan.cancel).
  const std::atomic<bool>* Stop() const;
  // `walk`: the walk's result; the export's own notices (why it failed) are
  // added to `notices`, not the walk's. Each file is committed whole, or
  // dropped when the export failed or `keep` is false (a record the caller
  // does not export).
  ExportRun Finish(const model::ScanResult& walk, std::vector<model::Notice>& notices, bool keep = true);

 private:
  bool scaled_;
  std::unique_ptr<ByteSink> segy_, mseed_;
  std::unique_ptr<output::RecordExport> exporter_;
};

// Walks `record` once for the export alone; the run's notices (a refusal
// among them) are added to `notices`.
ExportRun WriteExportFiles(const std::string& record, const ExportRequest& request,
                           std::vector<model::Notice>& notices);

}  // namespace segd::app
