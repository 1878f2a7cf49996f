#include "cli/batch.h"

#include <cerrno>
#include <chrono>
#include <cstring>
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
#include "output/files/safe_file.h"
#include "cli/batch_options.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/batch_progress.h"
#include "output/files/atomic_file.h"
#include "output/writers.h"

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
    if (path != "-") file_ = std::make_unique<output::SafeFile>(path);
  }
  bool IsOpen() const { return !file_ || file_->IsOpen(); }
  void Write(const std::string& text) {
    if (file_) {
      ok_ = file_->Write(text) && ok_;
    } else if (ok_ && !WriteStdout(text.data(), text.size())) {
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
  std::unique_ptr<output::SafeFile> file_;
  bool ok_ = true;
  int error_ = 0;
};

// Empty when written; otherwise the system's reason (or "failed").
std::string WriteWhole(const std::string& path, const std::string& text) {
  if (path == "-") {
    if (WriteStdout(text.data(), text.size())) return {};
    return errno != 0 ? SystemMessage(errno) : "failed";
  }
  output::SafeFile file(path);
  if (file.Write(text) && file.Commit()) return {};
  const std::string reason = file.WhyFailed();
  return reason.empty() ? "failed" : reason;
}

// QC section, --qc file and the exit status's QC part; nothing with --qc
// none (shards of a run checked later as one).
int ReportQc(const std::vector<app::QcRow>& rows, const BatchOptions& o) {
  if (o.qcOff) return kExitOk;
  app::QcSettings settings;
  settings.timeJumpSeconds = o.timeJumpSeconds;
  const app::LineQc qc = app::CheckLine(rows, settings);
  // Cells read back from summaries may hold anything: each line printable.
  std::string text;
  const std::string raw = app::QcText(qc);
  for (std::size_t start = 0; start < raw.size();) {
    const std::size_t end = std::min(raw.find('\n', start), raw.size());
    text += app::PrintableLine(std::string_view(raw).substr(start, end - start)) + "\n";
    start = end + 1;
  }
  if (!o.quiet) std::fwrite(text.data(), 1, text.size(), stderr);
  if (o.qc) {
    if (const std::string why = WriteWhole(*o.qc, app::QcJson(qc)); !why.empty()) {
      Say("cannot write the QC file " + *o.qc + " (" + why + ")");
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

// The line a record that is not ok gets on standard error, made from its
// row alone, so that QC over merged shards tells what one run tells.
void TellRow(const app::SummaryRow& row, const BatchOptions& o) {
  if (o.quiet || row.Get("status") == "ok") return;
  for (const char* column : {"problems", "trace_findings", "notices"}) {
    if (!row.Get(column).empty()) {
      Say(row.Get("path") + ": " + row.Get("status") + ": " + row.Get(column));
      return;
    }
  }
  Say(row.Get("path") + ": " + row.Get("status"));
}

std::optional<SummaryOut> OpenSummary(const std::string& path, const BatchOptions& o) {
  std::optional<SummaryOut> summary;
  summary.emplace(path);
  if (!summary->IsOpen()) {
    Say("cannot create the summary " + path + summary->Why());
    return std::nullopt;
  }
  if (o.header) summary->Write(app::SummaryHeader(o.summaryFormat));
  return summary;
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
  for (const output::WriterKind& writer : output::Writers()) {
    const auto folder = o.outputs.Dir(writer.name);
    if (!folder) continue;
    const std::string extension(writer.extension);
    for (const std::string& stem : stems) outputs.push_back(app::FileJoin(*folder, stem + extension));
    if (writer.sidecar.empty()) continue;
    for (const std::string& stem : stems) {
      outputs.push_back(app::FileJoin(*folder, stem + extension + std::string(writer.sidecar)));
    }
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
  std::optional<SummaryOut> summary;
  if (o.summary && !(summary = OpenSummary(*o.summary, o))) return kExitFailed;
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
      if (summary) summary->Write(app::SummaryLine(row, o.summaryFormat));
      TellRow(row, o);
      rows.push_back(app::QcRow::From(row));
      status = Worse(status, RowStatus(rows.back()));
    }
  }
  if (summary && !summary->Finish()) {
    Say("the summary " + *o.summary + " could not be written completely" + summary->Why());
    status = kExitFailed;
  }
  return Worse(status, ReportQc(rows, o));
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
  app::FoundRecords found = app::FindRecords(arguments, o.filter);
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
      // A lone '-' is a record on standard input; beside other records or
      // batch options it is a list of record paths.
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
  for (const output::WriterKind& writer : output::Writers()) {
    const auto dir = options->outputs.Dir(writer.name);
    std::error_code ec;
    if (dir && !std::filesystem::is_directory(*dir, ec)) {
      Say("the output folder " + *dir + " does not exist");
      return kExitFailed;
    }
  }
  const std::vector<std::string> stems = app::OutputStems(paths);
  if (const auto refusal = OutputOverInput(*options, paths, stems)) return UsageError(*refusal);
  // Without any other output the summary goes to standard output.
  const bool otherOutput = !options->outputs.dirs.empty() || options->qc.has_value();
  const std::string summaryPath = options->summary.value_or(otherOutput ? "" : "-");
  std::optional<SummaryOut> summary;
  if (!summaryPath.empty() && !(summary = OpenSummary(summaryPath, *options))) return kExitFailed;

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
    if (row.status != "ok") progress.Clear();
    TellRow(outcome.row, *options);
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
  return Worse(status, ReportQc(qcRows, *options));
}

std::string_view BatchUsageText() {
  return "\n"
         "Many records: segdreport [BATCH OPTIONS] RECORD|FOLDER|- ...\n"
         "  Folders are searched recursively, every file in sorted path order (a file\n"
         "  that is not a record is a failed row with its reason); '-' reads record\n"
         "  paths from standard input.\n"
         "  --files-from FILE    record paths, one per line ('-' standard input)\n"
         "  --include GLOB, --exclude GLOB\n"
         "                       take only the files found in folders whose names match\n"
         "                       an --include (any, when none is given) and no --exclude\n"
         "  --summary FILE       one row per record ('-' standard output, the default\n"
         "                       when no other output is asked for)\n"
         "  --summary-format F   csv (default) or json (JSON Lines)\n"
         "  --no-header          no CSV header line (shards to concatenate)\n"
         "  --allow LIST         trace findings a record may have and stay ok, e.g.\n"
         "                       dead=2,overscale=1%\n"
         "  --csv-dir DIR, --json-dir DIR, --report-dir DIR\n"
         "                       one trace table, JSON record or text report per record,\n"
         "                       named after the record's file name (+ '@' and a hash of\n"
         "                       its path when two records of the run share a name)\n"
         "  --samples-dir DIR    each record's samples as DIR/NAME.f32 (raw little-endian\n"
         "                       float32, traces x samples) and NAME.f32.json; --scaled: mV\n"
         "  --segy-dir DIR, --mseed-dir DIR  each record exported as DIR/NAME.sgy or\n"
         "                       DIR/NAME.mseed (with the export options above)\n"
         "  --qc FILE            the line QC as JSON (a QC section goes to stderr);\n"
         "                       --qc none: no line QC (shards checked later as one)\n"
         "  --qc-from SUMMARY... line QC over summaries (merged from several runs; header\n"
         "                       lines inside them are skipped); with --summary FILE the\n"
         "                       rows read are written as one summary\n"
         "  --time-jump SECONDS  a larger step in time between records next in file\n"
         "                       number order is a QC finding (default 86400)\n"
         "  --jobs N             records scanned at once (default: the machine's cores)\n"
         "  --select, --defaults choose what the text reports list\n"
         "  --quiet              no progress, no record lines, no QC section on stderr\n"
         "  Exit status: 0 every record ok, 3 some record or the line QC with findings,\n"
         "  1 some record not decoded or an output not written, 2 usage error.\n";
}

}  // namespace segd::cli
