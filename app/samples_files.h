#pragma once
// --samples FILE: a record's samples as a raw little-endian float32 matrix
// (traces × the longest trace's sample count, in file order; NaN past each
// trace's samples and past the end of a cut file) for tools that read raw
// arrays, and FILE.json beside it: shape, byte order, units, and per channel
// set and per trace the interval, count and start time in UTC.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scan/model/record_model.h"
#include "output/files/atomic_file.h"
#include "scan/model/record_scan.h"
#include "scan/samples/trace_samples.h"

namespace segd::app {

struct SamplesRun {
  bool written = false;  // both files written whole
  bool cut = false;      // a trace ends past the end of the file (exit 3)
  bool findings = false; // notices or integrity problems
};

// The two files of one record: created (as temporary files) before the walk,
// fed by it through Consumer() (scan/samples/sample_fan_out.h lets it share
// the walk with the export), and committed or dropped by Finish.
class SamplesFiles {
 public:
  // A file that cannot be created is told in `notices`; Opened() is false.
  SamplesFiles(std::string path, std::vector<model::Notice>& notices);
  ~SamplesFiles();
  bool Opened() const { return writer_ != nullptr; }
  samples::TraceSampleConsumer& Consumer();
  // `walk`: the walk's result; this output's own notices are added to
  // `notices`, not the walk's. Each file is written whole or not at all.
  SamplesRun Finish(const model::ScanResult& walk, std::vector<model::Notice>& notices);

 private:
  class MatrixWriter;
  std::string path_;
  std::unique_ptr<AtomicFileSink> data_, sidecar_;
  std::unique_ptr<MatrixWriter> writer_;
};

// Walks `record` once for the samples alone and writes `path` and
// `path`.json (each whole or not at all); the run's notices are added to
// `notices`. `scaled`: millivolts (× 2^MP). The command line's --samples and
// the batch's --samples-dir share the walk with the other outputs instead
// (app/record_walk.h).
SamplesRun WriteSamplesFiles(const std::string& record, const std::string& path, bool scaled,
                             std::vector<model::Notice>& notices);

}  // namespace segd::app
