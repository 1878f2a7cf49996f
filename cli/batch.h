#pragma once
// The command line's batch front end: many records (files, folders, lists),
// a summary row per record, per-record outputs, line QC. main() hands the
// arguments over when IsBatchCommand says they ask for it; one record with
// no batch option stays on the single-record path.
#include <string>
#include <string_view>
#include <vector>

namespace segd::cli {

bool IsBatchCommand(const std::vector<std::string>& args);

// Exit status: 0 every record ok, 3 some record (or the line QC) with
// findings, 1 some record not decoded or some output not written, 2 usage.
int RunBatch(const std::vector<std::string>& args);

std::string_view BatchUsageText();

}  // namespace segd::cli
