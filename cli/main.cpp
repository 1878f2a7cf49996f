// segdreport: scans one SN388 SEG-D field record and writes its text report.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/batch_job.h"
#include "app/trace_findings.h"
#include "app/run_inputs.h"
#include "cli/batch.h"
#include "cli/record_summary.h"
#include "cli/stdin_record.h"
#include "cli/console.h"
#include "cli/options.h"
#include "cli/other_make.h"
#include "cli/data_outputs.h"
#include "cli/exit_status.h"
#include "cli/terminal_sinks.h"
#include "output/files/atomic_file.h"
#include "output/report/decode_file.h"
#include "app/samples_files.h"
#include "app/export_files.h"
#include "app/record_walk.h"
#include "app/settings.h"
#include "output/writers.h"
#include "scan/model/record_scan.h"
#include "output/report/report_name.h"
#include "scan/convert/text_field.h"

namespace {

// A record cut short, inside a trace or inside its headers: exit status 3,
// as in a batch run.
bool IsCut(const segd::model::Integrity& integrity) {
  return integrity.tracesPastEnd > 0 || integrity.bytesAfterLastTrace < 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace segd;
  cli::PrepareConsole();
  RemoveTemporaryFilesOnTermination();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (cli::IsBatchCommand(args)) return cli::RunBatch(args);
  std::string error;
  auto options = cli::ParseOptions(args, error);
  if (!options) return cli::UsageError(error);
  if (options->help) {
    std::fwrite(cli::UsageText().data(), 1, cli::UsageText().size(), stdout);
    std::fwrite(cli::BatchUsageText().data(), 1, cli::BatchUsageText().size(), stdout);
    return cli::kExitOk;
  }
  if (options->version) {
    std::puts("segdreport " SEGD_VERSION);
    return cli::kExitOk;
  }

  // The record on standard input, copied to a temporary file for the run.
  std::unique_ptr<cli::StdinRecord> stdinRecord;
  const std::string shownRecord = options->record;
  if (options->record == "-") {
    stdinRecord = cli::StdinRecord::Copy(error);
    if (!stdinRecord) {
      cli::StderrNotices("-").ShowNotice(error, "", NoticeKind::Plain);
      return cli::kExitFailed;
    }
    options->record = stdinRecord->Path();
  }
  app::Allowance allowance;
  if (options->allow) {
    const auto parsed = app::ParseAllowance(*options->allow, error);
    if (!parsed) return cli::UsageError(error);
    allowance = *parsed;
  }
  // Nothing asked for: a summary of any record, its verdict the exit status.
  if (!options->output && !options->folder && !options->selection && !options->defaults && options->files.empty() &&
      !options->view && !options->exports.request.Any()) {
    app::BatchOutputs outputs;
    outputs.allowance = allowance;
    app::RecordOutcome outcome = app::ScanOneRecord(options->record, "", outputs);
    outcome.row.Set("path", shownRecord);
    const std::string text = cli::RecordSummaryText(outcome.row);
    const app::RecordStatus verdict = app::StatusOf(outcome.row);
    if (verdict == app::RecordStatus::Failed) {
      cli::StderrNotices(shownRecord).ShowNotice(outcome.row.Get("problems"), "", NoticeKind::Plain);
    }
    if (!cli::WriteStdout(text.data(), text.size())) return cli::kExitFailed;
    return verdict == app::RecordStatus::Ok ? cli::kExitOk : verdict == app::RecordStatus::Warning ? cli::kExitFindings : cli::kExitFailed;
  }
  // A file of no bytes is what a failed transfer leaves: say so, not that
  // its headers do not decode.
  {
    std::error_code ec;
    if (std::filesystem::is_regular_file(options->record, ec) && std::filesystem::file_size(options->record, ec) == 0 && !ec) {
      cli::StderrNotices(shownRecord).ShowNotice("empty file (0 bytes)", "", NoticeKind::Plain);
      return cli::kExitFailed;
    }
  }

  OutputSelection selection{};
  std::string outputName;
  if (options->defaults) {
    SettingsRecord settings;
    if (!LoadSettingsFile(*options->defaults, settings)) return cli::UsageError("cannot read defaults file '" + *options->defaults + "'");
    selection = settings.selection;
    outputName = PlatformText(RememberedText(settings.nameField));
  }
  if (options->selection) selection = *options->selection;
  if (options->output) outputName = *options->output;
  if (options->view) selection[kSelectViewReport] = 1;

  TraceFields traceFields;
  cli::FixedName name(outputName);
  cli::StderrNotices notices(shownRecord);
  cli::TerminalProgress progress(!options->quiet && cli::StderrIsTerminal());
  cli::DesktopViewer viewer(notices);
  DiskFileAccess disk;
  cli::ReportToStdout reportToStdout(disk);
  const bool reportToStandardOutput = options->output == cli::kStandardOutput;
  if (reportToStandardOutput) selection[kSelectViewReport] = 0;  // no file to open
  FileAccess& files = reportToStandardOutput ? static_cast<FileAccess&>(reportToStdout) : disk;
  cli::DataOutputs data(*options, options->record);

  // Without a data output the report is the run's one output, asked for
  // even without a name; with one, only a given name asks for the report.
  int status = cli::kExitOk;
  const app::ExportRequest& exports = options->exports.request;
  const std::optional<std::string> samplesFile = options->File("samples");
  const bool reportRun = (!data.Any() && !samplesFile && !exports.Any()) || !TrimBlanks(outputName).empty();
  const std::string reportFolder = options->folder ? *options->folder : cli::CurrentFolder();
  {
    // No output may be moved over the record or the defaults file: refused
    // before anything is read or written.
    app::RunInputs inputs;
    inputs.Add(options->record);
    if (options->defaults) inputs.Add(*options->defaults);
    std::vector<std::string> outputs;
    for (const output::WriterKind& writer : output::Writers()) {
      const std::optional<std::string> path = writer.name == "report" ? std::nullopt : options->File(writer.name);
      if (!path || *path == cli::kStandardOutput) continue;
      outputs.push_back(*path);
      if (!writer.sidecar.empty()) outputs.push_back(*path + std::string(writer.sidecar));
    }
    const std::string trimmed(TrimBlanks(outputName));
    if (reportRun && !reportToStandardOutput && UsableReportName(trimmed, cli::kReportSeparator)) {
      outputs.push_back(ReportPath(reportFolder, trimmed, cli::kReportSeparator));
    }
    for (const std::string& output : outputs) {
      if (const auto refusal = inputs.Refusal(output)) return cli::UsageError(*refusal);
    }
  }
  auto reportDone = [&](std::int32_t outcome) {
    switch (outcome) {
      case kReportWritten:
        break;
      case kReportWrittenRecordCut:
        status = cli::kExitFindings;
        break;
      default:
        status = cli::kExitFailed;
        if (auto hint = cli::OtherMakeNotice(options->record)) notices.ShowNotice(*hint, "", NoticeKind::Plain);
    }
  };
  // Beside other outputs the report's trace table is fed by their walk
  // (below), over the record opened once; the report alone walks it itself.
  const bool walkAsked = data.Any() || samplesFile || exports.Any();
  ScanContext context{name, selection, traceFields, notices, progress, viewer, files, reportFolder,
                      cli::kReportSeparator};
  std::unique_ptr<FileByteSource> record = walkAsked ? FileByteSource::Open(options->record) : nullptr;
  std::optional<ReportRun> fedReport;
  if (reportRun && record) {
    fedReport.emplace(options->record, context);
    if (!fedReport->Start(*record)) {
      reportDone(fedReport->Finish());
      fedReport.reset();
    }
  } else if (reportRun) {
    reportDone(DecodeFile(options->record, context));
  }
  // One walk of the record feeds the samples, the export and the data
  // outputs asked for (app/record_walk.h); each is opened before it and
  // finished after it on its own, so one that fails leaves the others whole.
  std::vector<model::Notice> samplesTold, exportTold;
  std::optional<app::SamplesFiles> samples;
  if (samplesFile) samples.emplace(*samplesFile, samplesTold);
  cli::StdoutSink standardOutput;
  std::optional<app::ExportFiles> exporter;
  if (exports.Any()) {
    app::ExportRequest request = exports;
    request.standardOutput = &standardOutput;
    request.toolVersion = SEGD_VERSION;
    exporter.emplace(request, exportTold);
  }
  app::WalkOutputs walk;
  walk.rows = data.Any() ? &data : nullptr;
  walk.samples = samples && samples->Opened() ? &*samples : nullptr;
  walk.samplesScaled = options->scaled;
  walk.exports = exporter && exporter->Opened() ? &*exporter : nullptr;
  progress.SetRange(0, 1000);
  walk.scan.progress = [&progress](std::int64_t done, std::int64_t total) {
    progress.SetPosition(total > 0 ? static_cast<std::int32_t>(done * 1000 / total) : 1000);
  };
  walk.report = fedReport ? &fedReport->Traces() : nullptr;
  app::WalkResults walked;
  if (walk.rows != nullptr || walk.report != nullptr || walk.samples != nullptr || walk.exports != nullptr) {
    walked = record ? app::WalkRecord(*record, options->record, walk) : app::WalkRecordFile(options->record, walk);
  }
  if (fedReport) reportDone(fedReport->Finish());
  record.reset();
  // The walk's notices, told once, where the first output fed by it tells
  // them: all of them beside the samples; beside a report (which has told
  // the record's own) only the warnings the export's failure needs; the
  // header walk's beside the data outputs.
  bool walkTold = false;
  auto tellWalk = [&] {
    if (walkTold) return;
    walkTold = true;
    const std::size_t headerNotices = walked.rows.notices.size();
    for (std::size_t i = 0; i < walked.walk.notices.size(); ++i) {
      const model::Notice& notice = walked.walk.notices[i];
      if (walk.samples != nullptr ||
          (walk.exports != nullptr && ((!reportRun && !data.Any()) || notice.level == model::NoticeLevel::Warning)) ||
          (data.Any() && !reportRun && i < headerNotices)) {
        notices.Show(notice);
      }
    }
  };
  // An output not written fails the run; a cut record is a finding.
  auto settle = [&status](bool written, bool cut) {
    if (!written) {
      status = cli::kExitFailed;
    } else if (cut && status == cli::kExitOk) {
      status = cli::kExitFindings;
    }
  };
  if (samples) {
    if (walk.samples != nullptr) tellWalk();
    const app::SamplesRun run = walk.samples != nullptr ? samples->Finish(walked.walk, samplesTold) : app::SamplesRun{};
    for (const model::Notice& notice : samplesTold) notices.Show(notice);
    settle(run.written, run.cut);
  }
  if (exporter) {
    for (const model::Notice& notice : exportTold) notices.Show(notice);
    exportTold.clear();
    if (walk.exports != nullptr) tellWalk();
    const app::ExportRun run = walk.exports != nullptr ? exporter->Finish(walked.walk, exportTold) : app::ExportRun{};
    for (const model::Notice& notice : exportTold) notices.Show(notice);
    settle(run.written, run.cut);
  }
  if (!data.Any()) return status;

  // The data outputs come from the general decoder, for every make.
  tellWalk();
  if (IsCut(walked.rows.integrity) && status == cli::kExitOk) status = cli::kExitFindings;
  if (!data.Finish(notices)) status = cli::kExitFailed;
  return status;
}
