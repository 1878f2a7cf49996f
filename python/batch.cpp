#include "python/batch.h"

#include <pybind11/stl.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/batch_job.h"
#include "app/batch_runner.h"
#include "app/line_qc.h"
#include "app/record_finder.h"
#include "app/summary.h"
#include "python/interruptible.h"
#include "python/texts.h"
#include "scan/model/record_scan.h"

namespace py = pybind11;

namespace segd::python {

namespace {

// {"columns": [(name, is_number), ...], "rows": [[cell, ...], ...], "problems": [...]}:
// one row per record found, in the order given, cells as the summary file's texts.
py::dict Summarize(const std::vector<std::string>& arguments, unsigned jobs, const std::string& allow,
                   const std::vector<std::string>& include, const std::vector<std::string>& exclude) {
  std::string error;
  const auto allowance = allow.empty() ? std::optional<app::Allowance>(app::Allowance{}) : app::ParseAllowance(allow, error);
  if (!allowance) throw py::value_error(error);
  const app::FileFilter filter{include, exclude};
  app::FoundRecords found;
  std::vector<app::SummaryRow> rows;
  std::atomic<bool> cancel{false};
  RunInterruptible(
      [&] {
        found = app::FindRecords(arguments, filter);
        rows.resize(found.paths.size());
        app::OrderedRun<app::SummaryRow> run;
        run.count = found.paths.size();
        run.jobs = jobs == 0 ? 1 : jobs;  // bounded by the cores in RunOrdered
        run.work = [&](std::size_t i) {
          // A record that exhausts memory fails alone, as in a command-line batch.
          try {
            app::SummaryConsumer consumer(&*allowance);
            model::ScanOptions options;
            options.cancel = &cancel;
            const model::ScanResult result = model::ScanRecordFile(found.paths[i], consumer, options);
            return consumer.Finish(found.paths[i], result);
          } catch (const std::bad_alloc&) {
            return app::FailedRow(found.paths[i], "out of memory");
          }
        };
        run.emit = [&](std::size_t i, app::SummaryRow&& row) { rows[i] = std::move(row); };
        app::RunOrdered(run);
      },
      cancel);
  py::list columns;
  for (const app::SummaryColumn& c : app::SummaryColumns()) {
    columns.append(py::make_tuple(std::string(c.name), c.type == app::CellType::Number));
  }
  py::list cells;
  for (const app::SummaryRow& row : rows) cells.append(py::cast(row.cells));
  py::dict out;
  out["columns"] = columns;
  out["rows"] = cells;
  py::list problems;  // they name folders: a name that is not UTF-8 keeps its bytes
  for (const std::string& problem : found.problems) problems.append(HostText(problem));
  out["problems"] = problems;
  return out;
}

// The QC document (as --qc writes it) of rows given as {column: text} dicts.
// Header rows repeated inside merged summaries (a path cell of "path") are
// skipped, as --qc-from skips them.
std::string LineQcJson(const std::vector<std::map<std::string, std::string>>& rows, double timeJumpSeconds) {
  std::vector<app::QcRow> qcRows;
  for (const auto& cells : rows) {
    if (const auto path = cells.find("path"); path != cells.end() && path->second == "path") continue;
    app::SummaryRow row;
    for (const auto& [name, text] : cells) {
      if (app::SummaryColumnIndex(name) >= 0) row.Set(name, text);
    }
    qcRows.push_back(app::QcRow::From(row));
  }
  app::QcSettings settings;
  settings.timeJumpSeconds = timeJumpSeconds;
  return app::QcJson(app::CheckLine(qcRows, settings));
}

}  // namespace

void AddBatch(py::module_& module) {
  module.def("summarize", &Summarize, py::arg("arguments"), py::arg("jobs"), py::arg("allow") = "",
             py::arg("include") = std::vector<std::string>{}, py::arg("exclude") = std::vector<std::string>{},
             "The batch summary of records and folders: columns, rows of texts, and problems.");
  module.def("line_qc_json", &LineQcJson, py::arg("rows"), py::arg("time_jump_seconds") = 86400.0, "Line QC of summary rows given as dicts of texts.");
}

}  // namespace segd::python
