#pragma once
// The options of a batch run (see BatchUsageText).
#include <optional>
#include <string>
#include <vector>

#include "app/batch_job.h"
#include "app/record_finder.h"
#include "app/trace_findings.h"
#include "app/summary_io.h"

namespace segd::cli {

struct BatchOptions {
  std::vector<std::string> inputs;  // records and folders; "-" reads a path list from standard input
  std::vector<std::string> fileLists;
  std::optional<std::string> summary;  // "-" standard output
  app::SummaryFormat summaryFormat = app::SummaryFormat::Csv;
  app::BatchOutputs outputs;
  std::optional<std::string> qc;  // the QC JSON file
  bool qcOff = false;             // --qc none: no QC section, no QC in the exit status
  bool header = true;             // --no-header: summary rows only (shards to concatenate)
  app::FileFilter filter;         // --include, --exclude
  double timeJumpSeconds = 86400; // --time-jump
  std::vector<std::string> qcFrom;  // summaries to check instead of records
  std::optional<std::string> defaultsFile;  // read, so never written
  unsigned jobs = 0;                // 0: the machine's cores
  bool quiet = false;
};

// Names of the options that only a batch run has, and of the single-record
// options that take a value (so that a value is not taken for a record).
bool IsBatchOption(const std::string& arg);
bool TakesValue(const std::string& arg);

std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace segd::cli
