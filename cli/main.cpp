// segdreport: scans one SN388 SEG-D field record and writes its text report.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/options.h"
#include "cli/terminal_sinks.h"
#include "scan/atomic_file.h"
#include "scan/decode_file.h"
#include "app/settings.h"

namespace {

constexpr int kExitReport = 0;
constexpr int kExitNoReport = 1;
constexpr int kExitUsage = 2;
constexpr int kExitRecordCut = 3;

int UsageError(const std::string& message) {
  std::fprintf(stderr, "segdreport: %s\nTry 'segdreport --help' for more information.\n", message.c_str());
  return kExitUsage;
}

std::string CurrentFolder() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (buffer.size() > (1u << 20)) return ".";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace segd;
  // A write past a file-size limit or into a closed pipe fails as a write,
  // and is told as one, instead of ending the program silently.
  signal(SIGXFSZ, SIG_IGN);
  signal(SIGPIPE, SIG_IGN);
  RemoveTemporaryFilesOnTermination();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (cli::IsBatchCommand(args)) return cli::RunBatch(args);
  std::string error;
  const auto options = cli::ParseOptions(args, error);
  if (!options) return UsageError(error);
  if (options->help) {
    std::fwrite(cli::UsageText().data(), 1, cli::UsageText().size(), stdout);
    std::fwrite(cli::BatchUsageText().data(), 1, cli::BatchUsageText().size(), stdout);
    return kExitReport;
  }
  if (options->version) {
    std::puts("segdreport " SEGD_VERSION);
    return kExitReport;
  }

  OutputSelection selection{};
  std::string outputName;
  if (options->defaults) {
    SettingsRecord settings;
    if (!LoadSettingsFile(*options->defaults, settings)) return UsageError("cannot read defaults file '" + *options->defaults + "'");
    selection = settings.selection;
    outputName = PlatformText(RememberedText(settings.nameField));
  }
  if (options->selection) selection = *options->selection;
  if (options->output) outputName = *options->output;
  if (options->view) selection[kSelectViewReport] = 1;

  TraceFields traceFields;
  cli::FixedName name(outputName);
  cli::StderrNotices notices;
  cli::TerminalProgress progress(!options->quiet && isatty(STDERR_FILENO));
  cli::DesktopViewer viewer(notices);
  DiskFileAccess files;
  ScanContext context{name, selection, traceFields, notices, progress, viewer, files,
                      options->folder ? *options->folder : CurrentFolder(), '/'};
  switch (DecodeFile(options->record, context)) {
    case kReportWritten:
      return kExitReport;
    case kReportWrittenRecordCut:
      return kExitRecordCut;
    default:
      return kExitNoReport;
  }
}
