#pragma once
// The command line of the portable scanner:
//   segdreport [--output NAME] [--folder DIR] [--select LIST] [--defaults FILE]
//              [--csv FILE] [--json FILE] [--samples FILE [--scaled]] [--segy FILE] [--mseed FILE]
//              [--view] [--quiet] [--allow LIST] RECORD
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/export_options.h"
#include "output/report/trace_fields.h"

namespace segd::cli {

struct Options {
  std::optional<std::string> output;
  std::optional<std::string> folder;
  std::optional<OutputSelection> selection;
  std::optional<std::string> defaults;
  // The files of the registry's writers asked for by their options (--csv,
  // --json, --samples; output/writers.h), by writer name; "-" standard output.
  std::map<std::string, std::string, std::less<>> files;
  std::optional<std::string> allow;  // trace findings within which the default run's verdict stays ok
  ExportFlags exports;              // --segy, --mseed and how they are written
  bool scaled = false;                 // --samples in millivolts
  bool view = false;
  bool quiet = false;
  bool help = false;
  bool version = false;
  std::string record;

  // The file asked for of writer `name`, the export's (--segy, --mseed)
  // included; nullopt when none.
  std::optional<std::string> File(std::string_view name) const;
};

// Parses the arguments after the program name. On a usage error returns
// nullopt and sets `error` to a one-line message.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// "0-29,31", "line,point,dead" (the trace fields' data names, also in
// ranges), "all" (entries 0-33), "none"; indices 0 to 35.
std::optional<OutputSelection> ParseSelection(std::string_view list, std::string& error);

std::string_view UsageText();

}  // namespace segd::cli
