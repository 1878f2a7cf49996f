#include "cli/batch.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>

#include "app/batch_runner.h"
#include "app/line_qc.h"
#include "app/record_finder.h"
#include "app/run_inputs.h"
#include "app/safe_file.h"
#include "cli/batch_options.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/batch_progress.h"
#include "scan/atomic_file.h"

namespace segd::cli {

namespace {

void Say(const std::string& line) {
  const std::string text = "segdreport: " + app::PrintableLine(line) + "\n";
  std::fwrite(text.data(), 1, text.size(), stderr);
}

// The summary's destination: standard output or a file that appears whole.
class SummaryOut {
 public:
  explicit SummaryOut(const std::string& path) {
    if (path != "-") file_ = std::make_unique<app::SafeFile>(path);
  }
  bool IsOpen() const { return !file_ || file_->IsOpen(); }
  void Write(const std::string& text) {
    if (file_) {
      ok_ = file_->Write(text) && ok_;
    } else if (ok_ && std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
      ok_ = false;
      error_ = errno;
    }
  }
  bool Finish() {
    if (file_) return file_->Commit() && ok_;
    if (ok_ && std::fflush(stdout) != 0) {
      ok_ = false;
      error_ = errno;
    }
    return ok_;
  }
  // " (reason)" of a failure, for a message.
  std::string Why() const {
    const std::string reason = file_ ? file_->WhyFailed() : error_ != 0 ? SystemMessage(error_) : "";
    return reason.empty() ? "" : " (" + reason + ")";
  }

 private:
  std::unique_ptr<app::SafeFile> file_;
  bool ok_ = true;
  int error_ = 0;
};

// Empty when written; otherwise the system's reason (or "failed").
std::string WriteWhole(const std::string& path, const std::string& text) {
  if (path == "-") {
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) return {};
    return errno != 0 ? SystemMessage(errno) : "failed";
  }
  app::SafeFile file(path);
  if (file.Write(text) && file.Commit()) return {};
  const std::string reason = file.WhyFailed();
  return reason.empty() ? "failed" : reason;
}

// QC section, --qc file and the exit status's QC part.
int ReportQc(const std::vector<app::QcRow>& rows, const std::optional<std::string>& qcPath) {
  const app::LineQc qc = app::CheckLine(rows);
  // Cells read back from summaries may hold anything: each line printable.
  std::string text;
  const std::string raw = app::QcText(qc);
  for (std::size_t start = 0; start < raw.size();) {
    const std::size_t end = std::min(raw.find('\n', start), raw.size());
    text += app::PrintableLine(std::string_view(raw).substr(start, end - start)) + "\n";
    start = end + 1;
  }
  std::fwrite(text.data(), 1, text.size(), stderr);
  if (qcPath) {
    if (const std::string why = WriteWhole(*qcPath, app::QcJson(qc)); !why.empty()) {
      Say("cannot write the QC file " + *qcPath + " (" + why + ")");
      return kExitFailed;
    }
  }
  return qc.HasFindings() ? kExitFindings : kExitOk;
}

int Worse(int a, int b) {
  auto rank = [](int s) { return s == kExitFailed ? 2 : s == kExitFindings ? 1 : 0; };
  return rank(a) >= rank(b) ? a : b;
}

int RowStatus(const app::QcRow& row) {
  return row.status == "ok" ? kExitOk : row.status == "warning" ? kExitFindings : kExitFailed;
}

// The first output of the run that would replace a file it reads, with its
// message; nothing is written when there is one.
std::optional<std::string> OutputOverInput(const BatchOptions& o, const std::vector<std::string>& records,
                                           const std::vector<std::string>& stems) {
  app::RunInputs inputs;
  for (const auto* group : {&records, &o.fileLists, &o.qcFrom}) {
    for (const std::string& path : *group) inputs.Add(path);
  }
  if (o.defaultsFile) inputs.Add(*o.defaultsFile);
  std::vector<std::string> outputs;
  for (const auto& file : {o.summary, o.qc}) {
    if (file) outputs.push_back(*file);
  }
  const std::pair<const std::optional<std::string>*, const char*> folders[] = {
      {&o.outputs.csvDir, ".csv"}, {&o.outputs.jsonDir, ".json"}, {&o.outputs.reportDir, ".txt"}};
  for (const auto& [folder, extension] : folders) {
    if (!*folder) continue;
    for (const std::string& stem : stems) outputs.push_back(app::FileJoin(**folder, stem + extension));
  }
  for (const std::string& output : outputs) {
    if (auto refusal = inputs.Refusal(output)) return refusal;
  }
  return std::nullopt;
}

int QcFromSummaries(const BatchOptions& o) {
  if (const auto refusal = OutputOverInput(o, {}, {})) return UsageError(*refusal);
  std::vector<app::QcRow> rows;
  int status = kExitOk;
  for (const std::string& path : o.qcFrom) {
    std::ifstream file;
    if (path != "-") file.open(path, std::ios::binary);
    std::istream& in = path == "-" ? std::cin : file;
    if (!in) {
      Say("cannot read the summary " + path + " (" + SystemMessage(errno) + ")");
      return kExitFailed;
    }
    std::string error;
    const auto read = app::ReadSummary(in, error);
    if (!read) {
      Say("the summary " + path + " cannot be read: " + error);
      return kExitFailed;
    }
    for (const app::SummaryRow& row : *read) {
      rows.push_back(app::QcRow::From(row));
      status = Worse(status, RowStatus(rows.back()));
    }
  }
  return Worse(status, ReportQc(rows, o.qc));
}

std::vector<std::string> CollectPaths(const BatchOptions& o, int& status) {
  std::vector<std::string> arguments;
  auto addList = [&](const std::string& list) {
    std::ifstream file;
    if (list != "-") file.open(list);
    std::istream& in = list == "-" ? std::cin : file;
    if (!in) {
      Say("cannot read the list of records " + list + " (" + SystemMessage(errno) + ")");
      status = kExitFailed;
      return;
    }
    for (std::string& p : app::ReadPathList(in)) {
      // A NUL ends the name the system would open: the path is refused,
      // not read as a shorter one.
      if (p.find('\0') != std::string::npos) {
        Say("a path in the list " + list + " holds a NUL byte; it is not read: " + app::PathText(p));
        status = kExitFailed;
        continue;
      }
      arguments.push_back(std::move(p));
    }
  };
  for (const std::string& input : o.inputs) {
    if (input == "-") {
      addList("-");
    } else {
      arguments.push_back(input);
    }
  }
  for (const std::string& list : o.fileLists) addList(list);
  app::FoundRecords found = app::FindRecords(arguments);
  for (const std::string& problem : found.problems) {
    Say(problem);
    status = kExitFailed;
  }
  return std::move(found.paths);
}

}  // namespace

bool IsBatchCommand(const std::vector<std::string>& args) {
  std::size_t records = 0;
  bool folder = false;
  bool reportOption = false;  // --output, --folder, --view: one record's report
  bool endOfOptions = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!endOfOptions && arg == "--") {
      endOfOptions = true;
    } else if (!endOfOptions && (arg == "--help" || arg == "-h" || arg == "--version")) {
      return false;
    } else if (!endOfOptions && arg.size() > 1 && arg[0] == '-') {
      if (IsBatchOption(arg)) return true;
      reportOption = reportOption || arg.starts_with("--output") || arg.starts_with("--folder") || arg == "--view";
      if (TakesValue(arg)) ++i;
    } else {
      std::error_code ec;
      if (arg == "-") return true;
      folder = folder || std::filesystem::is_directory(arg, ec);
      ++records;
    }
  }
  // A lone folder given with a report's options stays a (refused) record, as
  // it always was.
  return records > 1 || (folder && !reportOption);
}

int RunBatch(const std::vector<std::string>& args) {
  std::string error;
  const auto options = ParseBatchOptions(args, error);
  if (!options) {
    return UsageError(error);
  }
  if (!options->qcFrom.empty()) return QcFromSummaries(*options);

  int status = kExitOk;
  const std::vector<std::string> paths = CollectPaths(*options, status);
  if (paths.empty()) {
    Say("no SEG-D records found");
    return kExitFailed;
  }
  for (const auto& dir : {options->outputs.csvDir, options->outputs.jsonDir, options->outputs.reportDir}) {
    std::error_code ec;
    if (dir && !std::filesystem::is_directory(*dir, ec)) {
      Say("the output folder " + *dir + " does not exist");
      return kExitFailed;
    }
  }
  const std::vector<std::string> stems = app::OutputStems(paths);
  if (const auto refusal = OutputOverInput(*options, paths, stems)) return UsageError(*refusal);
  // Without any other output the summary goes to standard output.
  const bool otherOutput = options->outputs.csvDir || options->outputs.jsonDir || options->outputs.reportDir || options->qc;
  const std::string summaryPath = options->summary.value_or(otherOutput ? "" : "-");
  std::optional<SummaryOut> summary;
  if (!summaryPath.empty()) {
    summary.emplace(summaryPath);
    if (!summary->IsOpen()) {
      Say("cannot create the summary " + summaryPath + summary->Why());
      return kExitFailed;
    }
    summary->Write(app::SummaryHeader(options->summaryFormat));
  }

  std::vector<app::QcRow> qcRows;
  qcRows.reserve(paths.size());
  BatchProgress progress(!options->quiet && StderrIsTerminal(), paths.size());
  std::size_t withoutOutput = 0;
  app::OrderedRun<app::RecordOutcome> run;
  run.count = paths.size();
  run.jobs = options->jobs > 0 ? options->jobs : std::max(1u, std::thread::hardware_concurrency());
  run.work = [&](std::size_t i) { return app::ScanOneRecord(paths[i], stems[i], options->outputs); };
  run.emit = [&](std::size_t, app::RecordOutcome&& outcome) {
    if (summary) summary->Write(app::SummaryLine(outcome.row, options->summaryFormat));
    qcRows.push_back(app::QcRow::From(outcome.row));
    const app::QcRow& row = qcRows.back();
    status = Worse(status, RowStatus(row));
    if (row.status != "ok") {
      progress.Clear();
      const std::string& problems = outcome.row.Get("problems");
      const std::string& notices = outcome.row.Get("notices");
      Say(row.path + ": " + row.status + ": " + (problems.empty() ? notices : problems));
    }
    if (!outcome.outputFailures.empty()) ++withoutOutput;
    for (const std::string& failure : outcome.outputFailures) {
      progress.Clear();
      Say(row.path + ": " + failure);
      status = kExitFailed;
    }
    progress.Done(outcome.traces);
  };
  app::RunOrdered(run);
  progress.Clear();
  if (withoutOutput > 0) {
    Say(std::to_string(withoutOutput) + " of " + std::to_string(paths.size()) + " records lack an output asked for");
  }
  if (summary && !summary->Finish()) {
    Say("the summary " + summaryPath + " could not be written completely" + summary->Why());
    status = kExitFailed;
  }
  return Worse(status, ReportQc(qcRows, options->qc));
}

std::string_view BatchUsageText() {
  return "\n"
         "Many records: segdreport [BATCH OPTIONS] RECORD|FOLDER|- ...\n"
         "  Folders are searched recursively (files whose first block is a SEG-D general\n"
         "  header, in sorted path order); '-' reads record paths from standard input.\n"
         "  --files-from FILE    record paths, one per line ('-' standard input)\n"
         "  --summary FILE       one row per record ('-' standard output, the default\n"
         "                       when no other output is asked for)\n"
         "  --summary-format F   csv (default) or json (JSON Lines)\n"
         "  --csv-dir DIR, --json-dir DIR, --report-dir DIR\n"
         "                       one trace table, JSON record or text report per record,\n"
         "                       named after the record's file name (+ '@' and a hash of\n"
         "                       its path when two records of the run share a name)\n"
         "  --qc FILE            the line QC as JSON (a QC section always goes to stderr)\n"
         "  --qc-from SUMMARY... line QC over summaries (merged from several runs)\n"
         "  --jobs N             records scanned at once (default: the machine's cores)\n"
         "  --select, --defaults choose what the text reports list; --quiet no progress\n"
         "  Exit status: 0 every record ok, 3 some record or the line QC with findings,\n"
         "  1 some record not decoded or an output not written, 2 usage error.\n";
}

}  // namespace segd::cli
