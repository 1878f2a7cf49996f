#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "output/writers.h"
#include "output/report/trace_columns.h"

namespace segd::cli {

namespace {

std::optional<int> ParseIndex(std::string_view text) {
  if (const int column = TraceColumnIndex(text); column >= 0) return column;
  int value = -1;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || value < 0 || value >= kSelectionEntries) {
    return std::nullopt;
  }
  return value;
}

// The registry's writer whose one-record option `arg` is (--NAME or
// --NAME=VALUE), for the writers this parser keeps a file for: the report's
// --output and the export's options are parsed on their own.
const output::WriterKind* FileWriterOption(const std::string& arg, bool endOfOptions) {
  if (endOfOptions) return nullptr;
  for (const output::WriterKind& writer : output::Writers()) {
    if (writer.option.empty() || writer.name == "report" || ExportOptionTakesValue(writer.option)) continue;
    const std::string_view name = writer.option;
    if (arg == name || (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 && arg[name.size()] == '=')) {
      return &writer;
    }
  }
  return nullptr;
}

}  // namespace

std::optional<OutputSelection> ParseSelection(std::string_view list, std::string& error) {
  OutputSelection selection{};
  if (list == "none") return selection;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = list.find(',', start);
    const std::string_view item = list.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    if (item == "all") {
      for (int i = 0; i <= kSelectExternalHeader; ++i) selection[static_cast<std::size_t>(i)] = 1;
    } else {
      const std::size_t dash = item.find('-');
      const auto first = ParseIndex(item.substr(0, dash));
      const auto last = dash == std::string_view::npos ? first : ParseIndex(item.substr(dash + 1));
      if (!first || !last || *last < *first) {
        error = "bad --select entry '" + std::string(item) + "' (use indices 0-35 or trace field names, ranges such as 0-29, 'all' or 'none'; see --help)";
        return std::nullopt;
      }
      for (int i = *first; i <= *last; ++i) selection[static_cast<std::size_t>(i)] = 1;
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return selection;
}

std::optional<std::string> Options::File(std::string_view name) const {
  if (const auto found = files.find(name); found != files.end()) return found->second;
  if (name == "segy") return exports.request.segy;
  if (name == "mseed") return exports.request.mseed;
  return std::nullopt;
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  bool recordSeen = false;
  bool endOfOptions = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // --name VALUE and --name=VALUE both work; a separate value that looks
    // like an option is taken for a forgotten value (--output --folder x),
    // so such a value needs the --name=VALUE form.
    auto value = [&](std::string_view name) -> std::optional<std::string> {
      if (arg == name) {
        if (i + 1 >= args.size()) {
          error = "option " + std::string(name) + " needs a value";
          return std::nullopt;
        }
        if (args[i + 1].compare(0, 2, "--") == 0) {
          error = "option " + std::string(name) + " needs a value (give one beginning with -- as " + std::string(name) +
                  "=VALUE)";
          return std::nullopt;
        }
        return args[++i];
      }
      return arg.substr(name.size() + 1);
    };
    auto is = [&](std::string_view name) {
      return !endOfOptions && (arg == name || (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
                                               arg[name.size()] == '='));
    };
    if (!endOfOptions && TakeExportOption(args, i, options.exports, error)) {
      if (!error.empty()) return std::nullopt;
      continue;
    }
    if (is("--output")) {
      if (!(options.output = value("--output"))) return std::nullopt;
    } else if (is("--folder")) {
      if (!(options.folder = value("--folder"))) return std::nullopt;
      // An empty folder would put the report at the root.
      if (options.folder->empty()) {
        error = "option --folder needs a folder name, not an empty one";
        return std::nullopt;
      }
    } else if (const output::WriterKind* writer = FileWriterOption(arg, endOfOptions)) {
      const auto path = value(writer->option);
      if (!path) return std::nullopt;
      // A writer of two files needs a name for both.
      if (!writer->sidecar.empty() && (*path == "-" || path->empty())) {
        error = "option " + std::string(writer->option) + " needs a file name (the matrix and FILE" +
                std::string(writer->sidecar) + " are written)";
        return std::nullopt;
      }
      options.files.insert_or_assign(std::string(writer->name), *path);
    } else if (is("--allow")) {
      if (!(options.allow = value("--allow"))) return std::nullopt;
    } else if (!endOfOptions && arg == "--scaled") {
      options.scaled = true;
    } else if (is("--defaults")) {
      if (!(options.defaults = value("--defaults"))) return std::nullopt;
    } else if (is("--select")) {
      const auto list = value("--select");
      if (!list) return std::nullopt;
      if (!(options.selection = ParseSelection(*list, error))) return std::nullopt;
    } else if (!endOfOptions && arg == "--view") {
      options.view = true;
    } else if (!endOfOptions && arg == "--quiet") {
      options.quiet = true;
    } else if (!endOfOptions && (arg == "--help" || arg == "-h")) {
      options.help = true;
    } else if (!endOfOptions && arg == "--version") {
      options.version = true;
    } else if (!endOfOptions && arg == "--") {
      endOfOptions = true;
    } else if (!endOfOptions && arg.size() > 1 && arg[0] == '-') {
      error = "unknown option '" + arg + "'";
      return std::nullopt;
    } else if (recordSeen) {
      error = "only one record file may be given";
      return std::nullopt;
    } else {
      options.record = arg;
      recordSeen = true;
    }
  }
  // At most one output to standard output: "only one of --output, --csv,
  // --json, --segy and --mseed may be ..." (the registry's order).
  int toStandardOutput = 0;
  std::vector<std::string_view> mayBeStandardOutput;
  for (const bool report : {true, false}) {
    for (const output::WriterKind& writer : output::Writers()) {
      if (!writer.standardOutput || writer.option.empty() || (writer.name == "report") != report) continue;
      mayBeStandardOutput.push_back(writer.option);
      toStandardOutput += (report ? options.output : options.File(writer.name)) == "-";
    }
  }
  if (toStandardOutput > 1) {
    error = "only one of ";
    for (std::size_t k = 0; k < mayBeStandardOutput.size(); ++k) {
      error.append(k == 0 ? "" : k + 1 == mayBeStandardOutput.size() ? " and " : ", ").append(mayBeStandardOutput[k]);
    }
    error += " may be '-' (standard output)";
    return std::nullopt;
  }
  if (!recordSeen && !options.help && !options.version) {
    error = "no record file given";
    return std::nullopt;
  }
  return options;
}

namespace {

constexpr std::string_view kUsageHead =
    "Usage: segdreport [OPTION]... RECORD\n"
    "  or:  segdreport [--allow LIST] RECORD\n"
    "  or:  segdreport [BATCH OPTION]... RECORD|FOLDER|- ...\n"
    "\n"
    "Scans the headers of one SEG-D field record and writes the text report of an\n"
    "SN388 recorder's record; of any SEG-D record (revisions 1 to 3.1, any make)\n"
    "the trace table as CSV and the record as JSON. With none of --output,\n"
    "--select, --defaults, --csv, --json and --view it prints a summary of any\n"
    "record (make, times, layout, trace findings, integrity, verdict); exit\n"
    "status 0 ok, 3 warning, 1 failed. RECORD '-' reads standard input.\n"
    "\n"
    "  --allow LIST     trace findings a record may have and stay ok, e.g.\n"
    "                   dead=2,overscale=1% (a count or a share of the traces);\n"
    "                   kinds: dead, past_end and the error flags (ipls, impd,\n"
    "                   underrun, overrun, overscale, data, sync, sercel_...)\n"
    "  --output NAME    report name as typed in the window's output name box; the\n"
    "                   report is NAME in capitalised words without \".txt\", plus \".Txt\"\n"
    "  --folder DIR     folder to create the report in (default: the current folder)\n"
    "  --select LIST    entries to list: comma-separated indices, data names and\n"
    "                   ranges of the trace fields and sections below; 'all' (0-33)\n"
    "                   or 'none' (default)\n"
    "  --csv FILE       write the trace table as CSV: every trace, every field\n"
    "  --json FILE      write the record (headers, notices, traces) as JSON\n"
    "  --samples FILE   write the samples as a raw little-endian float32 matrix\n"
    "                   (traces x samples, NaN past a trace's end) and FILE.json\n"
    "                   (shape, intervals, start times in UTC); --scaled: in mV\n"
    "  --defaults FILE  start from the selection and name of a dorvik.def file\n"
    "  --view           open the finished report in the desktop's text viewer\n"
    "  --quiet          no progress bar\n"
    "  --help, --version\n"
    "\n"
    "A FILE or NAME of '-' is standard output (for one of them at most). Any of\n"
    "--output, --csv and --json may be given together; the report, --csv, --json,\n"
    "--samples, --segy and --mseed share one read of the record.\n"
    "\n"
    "Trace fields (index, name for --select, label in the window):\n";


constexpr std::string_view kUsageTail =
    "Sections: 30 general headers, 31 channel set headers, 32 extended header,\n"
    "33 external header, 34 open the report in the viewer; 35 (the defaults\n"
    "file's last entry) is taken and does nothing. Indices run from 0 to 35.\n"
    "\n"
    "Every notice is one line on standard error: segdreport: RECORD: text.\n"
    "Exit status: 0 outputs written, 1 an output not written, 2 usage error, 3\n"
    "report written but the record is cut short (its last traces were read past\n"
    "its end). The report, CSV and JSON files are written to a temporary file\n"
    "beside them and take their names only when complete, so a failed or\n"
    "interrupted run leaves an earlier file of that name as it was.\n";

std::string BuildUsage() {
  std::string text(kUsageHead.substr(0, kUsageHead.find("Trace fields (")));
  text.append(kExportUsage).append("\n").append(kUsageHead.substr(kUsageHead.find("Trace fields (")));
  for (std::size_t i = 0; i < std::size(kTraceColumnTable); ++i) {
    const TraceColumn& column = kTraceColumnTable[i];
    std::string line = (i < 10 ? "   " : "  ") + std::to_string(i) + "  " + std::string(column.name);
    line.resize(std::max<std::size_t>(line.size() + 1, 26), ' ');
    text.append(line).append(column.windowLabel).append("\n");
  }
  text.append(kUsageTail);
  return text;
}

}  // namespace

std::string_view UsageText() {
  static const std::string usage = BuildUsage();
  return usage;
}

}  // namespace segd::cli
