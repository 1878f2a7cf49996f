#pragma once
// --segy FILE and --mseed FILE (and the batch's --segy-dir, --mseed-dir): a
// record's samples exported in one walk, each file written whole or not at
// all (a temporary file beside it takes its name only when complete; a
// refusal, a failure or an interrupt leaves no file); "-" is standard output.
#include <atomic>
#include <optional>
#include <string>
#include <vector>

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

// Walks `record` once; the run's notices (a refusal among them) are added
// to `notices`.
ExportRun WriteExportFiles(const std::string& record, const ExportRequest& request,
                           std::vector<model::Notice>& notices);

}  // namespace segd::app
