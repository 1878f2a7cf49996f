// segdreport: scans one SN388 SEG-D field record and writes its text report.
#include <cstdio>
#include <string>
#include <vector>

#include "app/run_inputs.h"
#include "cli/batch.h"
#include "cli/console.h"
#include "cli/options.h"
#include "cli/other_make.h"
#include "cli/data_outputs.h"
#include "cli/exit_status.h"
#include "cli/terminal_sinks.h"
#include "scan/atomic_file.h"
#include "scan/decode_file.h"
#include "app/settings.h"
#include "scan/record_scan.h"
#include "scan/report_name.h"
#include "scan/text_field.h"

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
  const auto options = cli::ParseOptions(args, error);
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
  cli::StderrNotices notices(options->record);
  cli::TerminalProgress progress(!options->quiet && cli::StderrIsTerminal());
  cli::DesktopViewer viewer(notices);
  DiskFileAccess disk;
  cli::ReportToStdout reportToStdout(disk);
  const bool reportToStandardOutput = options->output == cli::kStandardOutput;
  if (reportToStandardOutput) selection[kSelectViewReport] = 0;  // no file to open
  FileAccess& files = reportToStandardOutput ? static_cast<FileAccess&>(reportToStdout) : disk;
  cli::DataOutputs data(options->csv, options->json, options->record);

  // Without a data output the report is the run's one output, asked for
  // even without a name; with one, only a given name asks for the report.
  int status = cli::kExitOk;
  const bool reportRun = !data.Any() || !TrimBlanks(outputName).empty();
  const std::string reportFolder = options->folder ? *options->folder : cli::CurrentFolder();
  {
    // No output may be moved over the record or the defaults file: refused
    // before anything is read or written.
    app::RunInputs inputs;
    inputs.Add(options->record);
    if (options->defaults) inputs.Add(*options->defaults);
    std::vector<std::string> outputs;
    if (options->csv) outputs.push_back(*options->csv);
    if (options->json) outputs.push_back(*options->json);
    const std::string trimmed(TrimBlanks(outputName));
    if (reportRun && !reportToStandardOutput && UsableReportName(trimmed, cli::kReportSeparator)) {
      outputs.push_back(ReportPath(reportFolder, trimmed, cli::kReportSeparator));
    }
    for (const std::string& output : outputs) {
      if (const auto refusal = inputs.Refusal(output)) return cli::UsageError(*refusal);
    }
  }
  if (reportRun) {
    ScanContext context{name, selection, traceFields, notices, progress, viewer, files, reportFolder,
                        cli::kReportSeparator};
    switch (DecodeFile(options->record, context)) {
      case kReportWritten:
        break;
      case kReportWrittenRecordCut:
        status = cli::kExitFindings;
        break;
      default:
        status = cli::kExitFailed;
        if (auto hint = cli::OtherMakeNotice(options->record)) notices.ShowNotice(*hint, "", NoticeKind::Plain);
    }
  }
  if (!data.Any()) return status;

  // The data outputs come from the general decoder, for every make.
  {
    model::ScanOptions scanOptions;
    progress.SetRange(0, 1000);
    scanOptions.progress = [&progress](std::int64_t done, std::int64_t total) {
      progress.SetPosition(total > 0 ? static_cast<std::int32_t>(done * 1000 / total) : 1000);
    };
    const model::ScanResult result = model::ScanRecordFile(options->record, data, scanOptions);
    // The report run has told its own notices, the record's opening included
    // (the data outputs carry the scan's).
    if (!reportRun) {
      for (const model::Notice& notice : result.notices) notices.Show(notice);
    }
    if (IsCut(result.integrity) && status == cli::kExitOk) status = cli::kExitFindings;
  }
  if (!data.Finish(notices)) status = cli::kExitFailed;
  return status;
}
