// segdreport._core's samples: a record's samples (all traces or a range) as
// one flat numpy buffer with per-trace facts, and the per-trace sample
// layout without reading samples. The walk runs without the interpreter
// lock (python/interruptible.h); the buffers become numpy arrays without a
// copy.
#include "python/samples.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <limits>
#include <type_traits>
#include <memory>

#include "python/interruptible.h"
#include "python/texts.h"
#include "scan/samples/trace_samples.h"

namespace py = pybind11;

namespace segd::python {

namespace {

using samples::NativeType;

// Hands a vector's buffer to numpy, which frees it with the array.
template <typename T>
py::array_t<T> ToArray(std::vector<T>&& v) {
  auto* owned = new std::vector<T>(std::move(v));
  py::capsule free(owned, [](void* p) { delete static_cast<std::vector<T>*>(p); });
  return py::array_t<T>({static_cast<py::ssize_t>(owned->size())}, owned->data(), free);
}

// Everything gathered while the walk runs (no Python object touched).
struct Gathered : samples::TraceSampleConsumer {
  std::optional<model::RecordHeaders> headers;
  int formatCode = -1;
  bool formatKnown = false;
  NativeType valueType = NativeType::kFloat32;
  std::string nativeType = "float32";
  std::string units;
  std::vector<samples::ChannelSetSamples> sets;
  std::vector<std::int64_t> traces, counts, inFile, startUs, offsets;
  std::vector<std::int32_t> setIndex;
  std::vector<std::uint8_t> sources, cut;
  std::vector<float> floats;
  std::vector<double> doubles;
  std::vector<std::int32_t> integers;

  void Begin(const samples::SampleRecord& r) override {
    headers = r.headers;
    formatCode = r.headers.formatCode;
    formatKnown = r.format != nullptr;
    valueType = r.valueType;
    if (r.format != nullptr) nativeType = samples::NativeTypeName(r.format->native);
    units = r.units;
    sets = r.sets;
  }
  // No row column beyond the fixed ones: only the samples and their facts.
  std::vector<bool> ColumnsRead(const model::RecordHeaders& h) const override {
    return std::vector<bool>(h.traceColumns.size(), false);
  }
  void Trace(const samples::TraceSamples& t) override {
    traces.push_back(t.row.trace);
    offsets.push_back(static_cast<std::int64_t>(t.row.samplesOffset));
    setIndex.push_back(static_cast<std::int32_t>(t.setIndex));
    counts.push_back(t.sampleCount);
    inFile.push_back(t.samplesInFile);
    cut.push_back(t.cut);
    startUs.push_back(t.startUnixMicros.value_or(std::numeric_limits<std::int64_t>::min()));
    sources.push_back(static_cast<std::uint8_t>(t.timeSource));
    floats.insert(floats.end(), t.samples.begin(), t.samples.end());
    doubles.insert(doubles.end(), t.doubles.begin(), t.doubles.end());
    integers.insert(integers.end(), t.integers.begin(), t.integers.end());
  }
};

py::list SetList(const std::vector<samples::ChannelSetSamples>& sets) {
  py::list list;
  for (const samples::ChannelSetSamples& s : sets) {
    list.append(py::dict(py::arg("scan_type") = s.scanType, py::arg("channel_set") = s.number,
                         py::arg("channel_type") = s.channelType, py::arg("interval_us") = s.intervalUs,
                         py::arg("samples") = s.samples, py::arg("start_time_ms") = s.startTimeMs,
                         py::arg("descale") = s.descale, py::arg("scale_factor") = s.scaleFactor));
  }
  return list;
}

py::dict ReadSamples(const std::string& path, std::int64_t first, std::int64_t last, bool scaled,
                     const std::string& dtype, bool read, const std::string& leapSecondsPath) {
  samples::SampleOptions options;
  options.scaled = scaled;
  options.readSamples = read;
  options.firstTrace = first;
  if (last >= 0) options.lastTrace = last;
  if (dtype == "float64") {
    options.type = samples::SampleType::kFloat64;
  } else if (dtype == "native") {
    options.type = samples::SampleType::kNative;
  } else if (dtype != "float32") {
    throw py::value_error("dtype must be float32, float64 or native, not " + dtype);
  }
  std::optional<samples::LeapSeconds> leap;
  if (!leapSecondsPath.empty()) {
    std::string reason;
    leap = samples::LeapSeconds::FromFile(leapSecondsPath, &reason);
    if (!leap) throw py::value_error("leap seconds: " + reason);
    options.leapSeconds = &*leap;
  }
  Gathered g;
  model::ScanResult result;
  std::atomic<bool> cancel{false};
  options.scan.cancel = &cancel;
  RunInterruptible([&] { result = samples::WalkTraceSamplesFile(path, g, options); }, cancel);

  py::dict out;
  out["status"] = StatusName(result.status);
  out["notices"] = NoticeList(result.notices);
  py::list problems;
  for (const std::string& p : result.integrity.problems) problems.append(RecordText(p));
  out["problems"] = problems;
  out["format_code"] = g.formatCode;
  out["format_known"] = g.formatKnown;
  out["value_type"] = std::string(samples::NativeTypeName(g.valueType));
  out["native_type"] = g.nativeType;
  out["units"] = g.units;
  out["sets"] = SetList(g.sets);
  out["trace"] = ToArray(std::move(g.traces));
  out["samples_offset"] = ToArray(std::move(g.offsets));
  out["set_index"] = ToArray(std::move(g.setIndex));
  out["count"] = ToArray(std::move(g.counts));
  out["in_file"] = ToArray(std::move(g.inFile));
  out["cut"] = ToArray(std::move(g.cut)).attr("astype")("bool");
  out["start_us"] = ToArray(std::move(g.startUs));
  out["time_source"] = ToArray(std::move(g.sources));
  py::list sourceNames;
  for (int s = 0; s <= static_cast<int>(samples::TimeSource::kGeneralHeader); ++s)
    sourceNames.append(std::string(samples::TimeSourceName(static_cast<samples::TimeSource>(s))));
  out["time_source_names"] = sourceNames;
  switch (g.valueType) {
    case NativeType::kFloat32: out["data"] = ToArray(std::move(g.floats)); break;
    case NativeType::kFloat64: out["data"] = ToArray(std::move(g.doubles)); break;
    case NativeType::kInt32: out["data"] = ToArray(std::move(g.integers)); break;
  }
  return out;
}

// Traces whose samples lie at `offsets` (counts `counts`), as the rows of
// one (traces × width) array, NaN (int32: 0) past each trace's samples.
template <typename T>
py::array_t<T> Rows(ByteSource& source, const samples::SampleFormat& format, const std::vector<std::int64_t>& offsets,
                    const std::vector<std::int64_t>& counts, const std::vector<double>& factors, std::int64_t width,
                    std::vector<std::int64_t>& inFile) {
  py::array_t<T> out({static_cast<py::ssize_t>(offsets.size()), static_cast<py::ssize_t>(width)});
  T* data = out.mutable_data();
  std::atomic<bool> cancel{false};
  RunInterruptible(
      [&] {
        std::vector<std::uint8_t> scratch;
        for (std::size_t k = 0; k < offsets.size() && !cancel.load(std::memory_order_relaxed); ++k) {
          const std::int64_t count = std::clamp<std::int64_t>(counts[k], 0, width);
          const std::span<T> row(data + k * static_cast<std::size_t>(width), static_cast<std::size_t>(width));
          const auto at = static_cast<std::uint64_t>(offsets[k]);
          const std::span<T> own = row.first(static_cast<std::size_t>(count));
          if constexpr (std::is_same_v<T, std::int32_t>) {
            inFile[k] = static_cast<std::int64_t>(samples::ReadSamplesAt(source, format, at, own, scratch));
            std::fill(row.begin() + count, row.end(), 0);
          } else {
            inFile[k] = static_cast<std::int64_t>(samples::ReadSamplesAt(source, format, at, own, factors[k], scratch));
            std::fill(row.begin() + count, row.end(), std::numeric_limits<T>::quiet_NaN());
          }
        }
      },
      cancel);
  return out;
}

py::dict ReadRows(const std::string& path, int formatCode, const std::vector<std::int64_t>& offsets,
                  const std::vector<std::int64_t>& counts, const std::vector<double>& factors, std::int64_t width,
                  const std::string& dtype) {
  const samples::SampleFormat* format = samples::FindSampleFormat(formatCode);
  if (format == nullptr) throw py::value_error(samples::SampleFormatNotice(formatCode));
  if (offsets.size() != counts.size() || offsets.size() != factors.size()) throw py::value_error("offsets, counts and factors differ in length");
  std::string reason;
  std::unique_ptr<FileByteSource> source = FileByteSource::Open(path, &reason);
  if (!source) throw py::value_error("Cannot open " + path + " (" + reason + ")");
  NativeType type = dtype == "float64" ? NativeType::kFloat64 : NativeType::kFloat32;
  if (dtype == "native") type = format->native;
  const bool scaled = std::any_of(factors.begin(), factors.end(), [](double f) { return f != 1.0; });
  if (type == NativeType::kInt32 && scaled) type = NativeType::kFloat64;
  std::vector<std::int64_t> inFile(offsets.size(), 0);
  py::dict out;
  switch (type) {
    case NativeType::kFloat32: out["data"] = Rows<float>(*source, *format, offsets, counts, factors, width, inFile); break;
    case NativeType::kFloat64: out["data"] = Rows<double>(*source, *format, offsets, counts, factors, width, inFile); break;
    case NativeType::kInt32: out["data"] = Rows<std::int32_t>(*source, *format, offsets, counts, factors, width, inFile); break;
  }
  out["in_file"] = ToArray(std::move(inFile));
  return out;
}

}  // namespace

void AddSamples(py::module_& m) {
  m.def("read_rows", &ReadRows, py::arg("path"), py::arg("format_code"), py::arg("offsets"), py::arg("counts"),
        py::arg("factors"), py::arg("width"), py::arg("dtype") = "float32",
        "The samples of the traces at `offsets` (from read_samples(read=False)) as the rows of a (traces x width) "
        "array, NaN past each trace's count and past the end of the file; and in_file per trace.");
  m.def("read_samples", &ReadSamples, py::arg("path"), py::arg("first") = 1, py::arg("last") = -1,
        py::arg("scaled") = false, py::arg("dtype") = "float32", py::arg("read") = true,
        py::arg("leap_seconds") = "",
        "The samples of traces first..last (walk sequence from 1; last -1: to the end) as one flat array "
        "`data` with per-trace count, in_file, cut, start_us, time_source, set_index and samples_offset; "
        "read=False gives the per-trace facts only.");
}

}  // namespace segd::python
