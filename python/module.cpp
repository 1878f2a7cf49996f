// segdreport._core: the scan core for Python. Records are decoded into the
// record model by the same scan as the command line's data outputs; the
// walk runs without the interpreter lock and stops on Ctrl-C. The package's
// Python part (segdreport/__init__.py) turns statuses into exceptions.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "cli/options.h"
#ifdef SEGD_PYTHON_BATCH
#include "python/batch.h"
#include "python/export.h"
#include "python/cli_main.h"
#endif
#include "python/interruptible.h"
#include "python/report_run.h"
#include "python/samples.h"
#include "python/texts.h"
#include "python/trace_table.h"
#include "output/writers.h"
#include "scan/model/record_scan.h"
#include "output/report/trace_columns.h"

namespace py = pybind11;

namespace segd::python {

namespace {

py::object Optional(const std::optional<std::int64_t>& value) {
  return value ? py::object(py::int_(*value)) : py::object(py::none());
}

py::dict IntegrityDict(const model::Integrity& integrity) {
  py::dict d;
  d["traces_announced"] = Optional(integrity.tracesAnnounced);
  d["traces_listed"] = integrity.tracesListed;
  d["traces_past_end"] = integrity.tracesPastEnd;
  d["first_trace_past_end"] = Optional(integrity.firstTracePastEnd);
  d["file_size"] = integrity.fileSize;
  d["bytes_after_last_trace"] = integrity.bytesAfterLastTrace;
  d["trailer_after_last_trace"] = integrity.trailerAfterLastTrace;
  py::list problems;
  for (const std::string& p : integrity.problems) problems.append(RecordText(p));
  d["problems"] = problems;
  return d;
}

const char* TypeName(model::ValueType type) {
  switch (type) {
    case model::ValueType::Integer:
      return "integer";
    case model::ValueType::Real:
      return "real";
    case model::ValueType::Bool:
      return "bool";
    case model::ValueType::Text:
      break;
  }
  return "text";
}

void AddHeaders(py::dict& out, const model::RecordHeaders& h) {
  out["size_bytes"] = h.sizeBytes;
  out["revision"] = h.revision ? py::object(py::str(*h.revision)) : py::object(py::none());
  out["manufacturer"] = RecordText(h.manufacturer);
  out["manufacturer_code"] = h.manufacturerCode;
  out["make"] = h.make;
  out["format_code"] = h.formatCode;
  out["file_number"] = ValueObject(h.fileNumber);
  out["samples_per_trace"] = h.samplesPerTrace;
  out["schema_version"] = std::string(model::kSchemaVersion);
  out["sample_interval_ms"] = ValueObject(h.sampleIntervalMs);
  out["record_length_ms"] = ValueObject(h.recordLengthMs);
  out["trace_count"] = ValueObject(h.traceCount);
  out["start_time_utc"] = ValueObject(h.startTimeUtc);
  out["start_time_source"] = ValueObject(h.startTimeSource);
  out["external_fields"] = BlockDict(h.externalHeader);
  py::dict general;
  for (const model::Block& block : h.generalHeaders) general[py::str(block.name)] = BlockDict(block);
  out["general_headers"] = general;
  py::list channelSets;
  for (const model::Block& block : h.channelSets) channelSets.append(BlockDict(block));
  out["channel_sets"] = channelSets;
  out["extended_header"] = BlockDict(h.extendedHeader);
  out["external_text"] = RecordText(h.externalText);
  out["external_bytes"] = py::bytes(reinterpret_cast<const char*>(h.externalBytes.data()), h.externalBytes.size());
  out["summary"] = BlockDict(h.summary);
  py::list columns;
  for (const model::Column& c : h.traceColumns) {
    columns.append(py::dict(py::arg("name") = c.name, py::arg("type") = TypeName(c.type), py::arg("flag") = c.flag,
                            py::arg("dead") = c.dead, py::arg("label_of") = c.labelOf));
  }
  out["columns"] = columns;
}

// One record: headers, trace array, notices and integrity, with its status.
// Only a whole record is returned; an interrupted walk raises and drops what
// it gathered.
py::dict ScanRecord(const std::string& path, bool traces) {
  TraceTable table(traces);
  model::ScanResult result;
  std::atomic<bool> cancel{false};
  model::ScanOptions options;
  options.cancel = &cancel;
  RunInterruptible([&] { result = model::ScanRecordFile(path, table, options); }, cancel);

  py::dict out;
  out["path"] = HostText(path);
  out["status"] = StatusName(result.status);
  out["notices"] = NoticeList(result.notices);
  out["integrity"] = IntegrityDict(result.integrity);
  if (table.Begun() && result.status != model::ScanStatus::NotSegd && result.status != model::ScanStatus::CannotOpen) {
    AddHeaders(out, table.Headers());
    out["trace_rows"] = table.Rows();
    out["traces"] = traces ? py::object(table.TakeArray()) : py::object(py::none());
  }
  return out;
}

py::dict Report(const std::string& path, const std::vector<int>& indices) {
  OutputSelection selection{};
  for (int index : indices) {
    if (index < 0 || index >= kSelectionEntries) throw py::value_error("selection index out of range: " + std::to_string(index));
    selection[static_cast<std::size_t>(index)] = 1;
  }
  ReportOutcome outcome;
  std::atomic<bool> cancel{false};
  RunInterruptible([&] { outcome = RunReport(path, selection, cancel); }, cancel);
  py::dict out;
  out["written"] = outcome.written;
  out["notices"] = NoticeList(outcome.notices);
  out["bytes"] = py::bytes(outcome.bytes);
  return out;
}

std::vector<int> ParseSelection(const std::string& list) {
  std::string error;
  const std::optional<OutputSelection> selection = cli::ParseSelection(list, error);
  if (!selection) throw py::value_error(error);
  std::vector<int> indices;
  for (int i = 0; i < kSelectionEntries; ++i) {
    if (IsSelected(*selection, i)) indices.push_back(i);
  }
  return indices;
}

// The writer registry (output/writers.h), one dict per output format.
py::list Writers() {
  py::list rows;
  for (const output::WriterKind& writer : output::Writers()) {
    py::dict row;
    row["name"] = std::string(writer.name);
    row["what"] = std::string(writer.what);
    row["option"] = std::string(writer.option);
    row["batch_option"] = std::string(writer.batchOption);
    row["extension"] = std::string(writer.extension);
    row["sidecar"] = std::string(writer.sidecar);
    row["needs"] = writer.needs == output::WriterNeeds::Headers     ? "headers"
                   : writer.needs == output::WriterNeeds::TraceRows ? "trace rows"
                                                                    : "samples";
    row["standard_output"] = writer.standardOutput;
    row["available"] = writer.available;
    rows.append(row);
  }
  return rows;
}

}  // namespace

}  // namespace segd::python

PYBIND11_MODULE(_core, m) {
  m.doc() = "The segdreport scan core (use the segdreport package).";
  m.def("scan_record", &segd::python::ScanRecord, py::arg("path"), py::arg("traces") = true,
        "Decodes one record: a dict of its headers, trace array (None unless traces), notices, integrity and status.");
  m.def("report", &segd::python::Report, py::arg("path"), py::arg("selection"),
        "The text report of a record for the selection indices: a dict of written, bytes and notices.");
  m.def("parse_selection", &segd::python::ParseSelection, py::arg("text"),
        "The selection indices of a --select list as the command line reads it.");
  m.def("trace_column_index", [](const std::string& name) { return segd::TraceColumnIndex(name); }, py::arg("name"),
        "The report's selection index (0-29) of a trace column's data name, or -1.");
  m.def("writers", &segd::python::Writers,
        "The output formats (the writer registry): name, option, batch_option, extension, sidecar, needs, ...");
  segd::python::AddSamples(m);
#ifdef SEGD_PYTHON_BATCH
  segd::python::AddBatch(m);
  segd::python::AddExport(m);
  // The command line runs without the interpreter's lock, as the program would.
  m.def("run_command_line", &segd::python::RunCommandLine, py::arg("args"), py::call_guard<py::gil_scoped_release>(),
        "Runs segdreport with these arguments; returns its exit status.");
#endif
  m.attr("__version__") = SEGD_VERSION;
}
