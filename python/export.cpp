#include "python/export.h"

#include <pybind11/stl.h>

#include "app/export_files.h"
#include "python/interruptible.h"
#include "python/texts.h"

namespace py = pybind11;

namespace segd::python {
namespace {

py::dict ExportRecord(const std::string& path, std::optional<std::string> segy, std::optional<std::string> mseed,
                      int revision, bool seismicOnly, bool scaled, const std::string& network, const std::string& station,
                      const std::string& location, std::optional<std::string> channel, std::optional<std::string> instrument,
                      int recordLength, bool steim2, double bitWeight) {
  app::ExportRequest request;
  request.segy = std::move(segy);
  request.mseed = std::move(mseed);
  request.segyOptions = {revision, seismicOnly};
  request.mseedOptions.network = network;
  request.mseedOptions.station = station;
  request.mseedOptions.location = location;
  request.mseedOptions.channel = std::move(channel);
  if (instrument && instrument->size() != 1) throw py::value_error("instrument is one letter (a SEED instrument code)");
  if (instrument) request.mseedOptions.instrument = (*instrument)[0];
  request.mseedOptions.recordLength = recordLength;
  request.mseedOptions.steim2 = steim2;
  request.mseedOptions.bitWeight = bitWeight;
  request.mseedOptions.seismicOnly = seismicOnly;
  request.scaled = scaled;
  request.toolVersion = SEGD_VERSION;
  std::atomic<bool> cancel{false};
  request.interrupt = &cancel;
  app::ExportRun run;
  std::vector<model::Notice> notices;
  RunInterruptible([&] { run = app::WriteExportFiles(path, request, notices); }, cancel);
  py::dict out;
  out["written"] = run.written;
  out["cut"] = run.cut;
  out["notices"] = NoticeList(notices);
  return out;
}

}  // namespace

void AddExport(py::module_& m) {
  m.def("export_record", &ExportRecord, py::arg("path"), py::arg("segy") = py::none(), py::arg("mseed") = py::none(),
        py::arg("revision") = 1, py::arg("seismic_only") = false, py::arg("scaled") = false,
        py::arg("network") = "XX", py::arg("station") = "{point}", py::arg("location") = "",
        py::arg("channel") = py::none(), py::arg("instrument") = py::none(), py::arg("record_length") = 4096,
        py::arg("steim2") = false, py::arg("bit_weight") = 0.0,
        "Exports a record's samples to SEG-Y and/or miniSEED: a dict of written, cut and notices.");
}

}  // namespace segd::python
