#pragma once
// The export options, shared by the single-record and the batch command
// lines: --segy FILE, --mseed FILE (single), --segy-dir, --mseed-dir
// (batch), and how the files are written (--segy-revision, --seismic-only,
// --network, --station, --location, --channel, --instrument,
// --mseed-record-length, --steim2, --bit-weight).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/export_files.h"

namespace segd::cli {

struct ExportFlags {
  app::ExportRequest request;  // segy and mseed: the single record's files
  std::optional<std::string> segyDir, mseedDir;  // the batch's folders
};

// When args[i] is an export option, applies it (taking its value from
// args[i+1] or after '=') and returns true; `error` is set for a bad value.
bool TakeExportOption(const std::vector<std::string>& args, std::size_t& i, ExportFlags& flags, std::string& error);

// An export option that takes a value, written as args[i] (for the batch's
// look at which argument is a record).
bool ExportOptionTakesValue(std::string_view arg);

extern const std::string_view kExportUsage;

}  // namespace segd::cli
