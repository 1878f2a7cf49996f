#include "cli/batch_options.h"

#include <charconv>

#include "cli/export_options.h"
#include "cli/options.h"
#include "app/settings.h"
#include "output/writers.h"

namespace segd::cli {

namespace {

// Besides the registry's folder options (--csv-dir, ...; output/writers.h).
constexpr std::string_view kBatchValueOptions[] = {"--summary", "--summary-format", "--qc", "--qc-from", "--jobs",
                                                   "--files-from", "--include", "--exclude", "--time-jump"};
constexpr std::string_view kBatchFlags[] = {"--no-header"};
// Besides the registry's one-record options (--csv, ...).
constexpr std::string_view kSingleValueOptions[] = {"--output", "--folder", "--defaults", "--select", "--allow"};

bool Named(const std::string& arg, std::string_view name) {
  return arg == name || (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 && arg[name.size()] == '=');
}

// The registry's writer whose batch folder option `name` is.
const output::WriterKind* FolderWriter(std::string_view name) {
  for (const output::WriterKind& writer : output::Writers()) {
    if (!writer.batchOption.empty() && writer.batchOption == name) return &writer;
  }
  return nullptr;
}

// The registry's writer whose one-record option `name` is.
const output::WriterKind* RecordWriter(std::string_view name) {
  for (const output::WriterKind& writer : output::Writers()) {
    if (!writer.option.empty() && writer.option == name) return &writer;
  }
  return nullptr;
}

}  // namespace

bool IsBatchOption(const std::string& arg) {
  for (std::string_view name : kBatchValueOptions) {
    if (Named(arg, name)) return true;
  }
  for (const output::WriterKind& writer : output::Writers()) {
    if (!writer.batchOption.empty() && Named(arg, writer.batchOption)) return true;
  }
  for (std::string_view name : kBatchFlags) {
    if (arg == name) return true;
  }
  return false;
}

bool TakesValue(const std::string& arg) {
  for (std::string_view name : kBatchValueOptions) {
    if (arg == name) return true;
  }
  for (std::string_view name : kSingleValueOptions) {
    if (arg == name) return true;
  }
  if (FolderWriter(arg) || RecordWriter(arg)) return true;
  return ExportOptionTakesValue(arg);
}

std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& args, std::string& error) {
  BatchOptions o;
  bool endOfOptions = false;
  std::optional<OutputSelection> selection;
  std::optional<std::string> defaults;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (endOfOptions || arg == "-" || arg.empty() || arg[0] != '-') {
      o.inputs.push_back(arg);
      continue;
    }
    if (arg == "--") {
      endOfOptions = true;
      continue;
    }
    if (arg == "--quiet") {
      o.quiet = true;
      continue;
    }
    if (arg == "--no-header") {
      o.header = false;
      continue;
    }
    if (ExportFlags flags{o.outputs.exports, o.outputs.Dir("segy"), o.outputs.Dir("mseed")};
        TakeExportOption(args, i, flags, error)) {
      if (!error.empty()) return std::nullopt;
      if (flags.request.segy || flags.request.mseed) {
        error = std::string("option ") + (flags.request.segy ? "--segy" : "--mseed") +
                " is not used with many records (" + (flags.request.segy ? "--segy" : "--mseed") +
                "-dir writes one per record)";
        return std::nullopt;
      }
      o.outputs.exports = flags.request;
      if (flags.segyDir) o.outputs.dirs.insert_or_assign("segy", *flags.segyDir);
      if (flags.mseedDir) o.outputs.dirs.insert_or_assign("mseed", *flags.mseedDir);
      continue;
    }
    if (arg == "--scaled") {
      o.outputs.scaled = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (TakesValue(arg)) {
      // A value that looks like an option is a forgotten value, not a value.
      if (i + 1 >= args.size() || (args[i + 1].size() > 1 && args[i + 1][0] == '-')) {
        error = "option " + name + " needs a value";
        return std::nullopt;
      }
      value = args[++i];
    } else if (arg == "--view" || arg == "--help" || arg == "-h" || arg == "--version") {
      error = "option '" + arg + "' is not used with many records";
      return std::nullopt;
    } else {
      error = "unknown option '" + arg + "'";
      return std::nullopt;
    }
    if (value.empty() && name != "--summary-format") {
      error = "option " + name + " needs a value";
      return std::nullopt;
    }
    if (name == "--summary") {
      o.summary = value;
    } else if (name == "--summary-format") {
      if (value != "csv" && value != "json") {
        error = "--summary-format is csv or json, not '" + value + "'";
        return std::nullopt;
      }
      o.summaryFormat = value == "json" ? app::SummaryFormat::JsonLines : app::SummaryFormat::Csv;
    } else if (const output::WriterKind* writer = FolderWriter(name)) {
      o.outputs.dirs.insert_or_assign(std::string(writer->name), value);
    } else if (name == "--qc") {
      if (value == "none") {
        o.qcOff = true;
      } else {
        o.qc = value;
      }
    } else if (name == "--allow") {
      const auto allowance = app::ParseAllowance(value, error);
      if (!allowance) return std::nullopt;
      o.outputs.allowance = *allowance;
    } else if (name == "--include") {
      o.filter.include.push_back(value);
    } else if (name == "--exclude") {
      o.filter.exclude.push_back(value);
    } else if (name == "--time-jump") {
      double seconds = 0;
      const auto r = std::from_chars(value.data(), value.data() + value.size(), seconds);
      if (r.ec != std::errc() || r.ptr != value.data() + value.size() || seconds <= 0) {
        error = "--time-jump is a number of seconds above 0, not '" + value + "'";
        return std::nullopt;
      }
      o.timeJumpSeconds = seconds;
    } else if (name == "--qc-from") {
      o.qcFrom.push_back(value);
    } else if (name == "--files-from") {
      o.fileLists.push_back(value);
    } else if (name == "--jobs") {
      unsigned jobs = 0;
      const auto r = std::from_chars(value.data(), value.data() + value.size(), jobs);
      if (r.ec != std::errc() || r.ptr != value.data() + value.size() || jobs < 1 || jobs > 256) {
        error = "--jobs is a number from 1 to 256, not '" + value + "'";
        return std::nullopt;
      }
      o.jobs = jobs;
    } else if (name == "--select") {
      if (!(selection = ParseSelection(value, error))) return std::nullopt;
    } else if (name == "--defaults") {
      defaults = value;
    } else if (!TakesValue(name)) {
      error = "unknown option '" + name + "'";
      return std::nullopt;
    } else {
      const output::WriterKind* writer = RecordWriter(name);
      error = "option '" + name + "' is not used with many records" +
              (writer && !writer->batchOption.empty() && writer->name != "report"
                   ? " (" + std::string(writer->batchOption) + " writes one per record)"
                   : std::string());
      return std::nullopt;
    }
  }
  // The reports' selection: the defaults file's, then --select over it, as
  // for one record.
  if (defaults) {
    SettingsRecord settings;
    if (!LoadSettingsFile(*defaults, settings)) {
      error = "cannot read defaults file '" + *defaults + "'";
      return std::nullopt;
    }
    o.outputs.selection = settings.selection;
    o.defaultsFile = defaults;
  }
  if (selection) o.outputs.selection = *selection;
  if (!o.qcFrom.empty()) {
    // With --qc-from the other arguments are summaries too.
    o.qcFrom.insert(o.qcFrom.end(), o.inputs.begin(), o.inputs.end());
    o.inputs.clear();
    if (!o.fileLists.empty() || !o.outputs.dirs.empty()) {
      error = "--qc-from checks summaries; it takes no records or record outputs (--summary writes the rows read as one summary)";
      return std::nullopt;
    }
  } else if (o.inputs.empty() && o.fileLists.empty()) {
    error = "no record file given";
    return std::nullopt;
  }
  return o;
}

}  // namespace segd::cli
