#pragma once
// The writer registry: one row per output format. The command line (one
// record's options, the batch's folder options, the check that no output
// names a file the run reads), the batch driver and Python read this table;
// a new output is its writer file and one row here.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "output/report/report_writer.h"
#include "scan/model/record_model.h"
#include "scan/model/row_texts.h"

namespace segd::output {

// What a writer reads of a record, so that one scan can feed every writer
// that needs no more than that scan gives.
enum class WriterNeeds : std::uint8_t {
  Headers,    // the SN388 report: its own reading of the SN388 headers; its trace
              // table rides on the trace rows' walk when one is run (ReportRun)
  TraceRows,  // the header walk's trace rows (scan/model/record_scan.h)
  Samples,    // the samples walk (scan/samples/trace_samples.h)
};

// A writer of trace rows behind the one interface the scan feeds (its rows'
// bytes may be made on the walk's worker threads, model::RowTexts).
class RowWriter : public model::RecordConsumer, public model::RowTexts {
 public:
  // Flushes and closes the sink; false when any byte did not reach it.
  virtual bool Finish() = 0;
};

struct WriterKind {
  std::string_view name;         // the key: Python's keyword, the batch's folder name
  std::string_view what;         // in messages: "Cannot create the CSV file ..."
  std::string_view option;       // one record's output ("" none)
  std::string_view batchOption;  // one file per record in a folder ("" none)
  std::string_view extension;    // of the batch's files, after the record's name
  std::string_view sidecar;      // appended to the path for a second file beside it ("" none)
  WriterNeeds needs;
  bool standardOutput;  // "-" writes to standard output
  bool available;       // built into this program (miniSEED needs libmseed)
  // The writer over a sink, for TraceRows writers; null for the others,
  // which their runs (report, samples, export) write.
  std::unique_ptr<RowWriter> (*make)(ByteSink& sink);
};

// In the order the usage text and the messages name them.
std::span<const WriterKind> Writers();

// The row of `name`; nullptr when there is none.
const WriterKind* FindWriter(std::string_view name);

}  // namespace segd::output
