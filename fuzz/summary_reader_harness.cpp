// Any bytes read back as a summary: the reader returns rows or an error,
// never crashes or exhausts the stack (a deeply nested cell), every row has
// a cell per column, and a refusal says why.
#include <sstream>

#include "app/summary_io.h"
#include "fuzz/harness.h"

namespace segd::fuzz {

std::string CheckSummaryReader(Input input) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(input.data()), input.size()));
  std::string error;
  const auto rows = app::ReadSummary(in, error);
  if (!rows) return error.empty() ? "a summary was refused without a reason" : "";
  for (const app::SummaryRow& row : *rows) {
    if (row.cells.size() != app::SummaryColumns().size()) return "a row read back lacks cells";
  }
  return {};
}

}  // namespace segd::fuzz
