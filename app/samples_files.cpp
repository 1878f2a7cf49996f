#include "app/samples_files.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "scan/atomic_file.h"
#include "scan/samples/trace_samples.h"

namespace segd::app {

namespace {

using Json = nlohmann::ordered_json;

// Streams each trace's row of the matrix into the data file and gathers the
// sidecar's per-trace facts (a few numbers a trace).
class MatrixWriter final : public samples::TraceSampleConsumer {
 public:
  MatrixWriter(ByteSink& sink, Json& doc) : sink_(sink), doc_(doc) {}

  void Begin(const samples::SampleRecord& r) override {
    for (std::int64_t n : r.headers.samplesPerTrace) width_ = std::max(width_, n);
    doc_["record"] = r.headers.path;
    doc_["format_code"] = r.headers.formatCode;
    doc_["format"] = r.format != nullptr ? std::string(r.format->name) : std::string();
    doc_["dtype"] = "float32";
    doc_["byte_order"] = "little";
    doc_["units"] = std::string(r.units);
    Json sets = Json::array();
    for (const samples::ChannelSetSamples& s : r.sets) {
      sets.push_back({{"scan_type", s.scanType}, {"channel_set", s.number}, {"channel_type", s.channelType},
                      {"sample_interval_us", s.intervalUs}, {"samples", s.samples},
                      {"start_time_ms", s.startTimeMs}, {"descale", s.descale}, {"scale_factor", s.scaleFactor}});
    }
    doc_["channel_sets"] = std::move(sets);
    columns_.clear();
    for (const model::Column& c : r.headers.traceColumns) columns_.push_back(c.name);
    row_.assign(static_cast<std::size_t>(width_), 0);
  }

  void Trace(const samples::TraceSamples& t) override {
    const std::size_t n = std::min<std::size_t>(t.samples.size(), row_.size());
    if (t.samples.size() > row_.size()) ++longer_;
    const std::uint32_t nan = std::bit_cast<std::uint32_t>(std::numeric_limits<float>::quiet_NaN());
    for (std::size_t i = 0; i < row_.size(); ++i) {
      std::uint32_t w = i < n ? std::bit_cast<std::uint32_t>(t.samples[i]) : nan;
      if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap32(w);
      row_[i] = w;
    }
    ok_ = ok_ && sink_.Write(reinterpret_cast<const char*>(row_.data()), row_.size() * 4);
    Json trace = {{"trace", t.row.trace}, {"channel_set_index", t.setIndex}};
    for (const char* name : {"channel_set", "trace_number"}) {
      const auto at = std::find(columns_.begin(), columns_.end(), name) - columns_.begin();
      if (static_cast<std::size_t>(at) < t.row.values.size() && !t.row.values[at].IsNull())
        trace[name] = t.row.values[at].number;
    }
    trace["samples"] = t.sampleCount;
    trace["samples_in_file"] = t.samplesInFile;
    trace["start_time_utc"] = t.startUnixMicros ? Json(samples::StartTimeText(t.startUnixMicros)) : Json(nullptr);
    trace["start_time_source"] = std::string(samples::TimeSourceName(t.timeSource));
    if (t.cut) {
      trace["cut"] = true;
      cut_ = true;
    }
    traces_.push_back(std::move(trace));
  }

  bool ok_ = true;
  bool cut_ = false;
  std::int64_t width_ = 0;
  std::int64_t longer_ = 0;
  Json traces_ = Json::array();

 private:
  ByteSink& sink_;
  Json& doc_;
  std::vector<std::string> columns_;
  std::vector<std::uint32_t> row_;
};

}  // namespace

SamplesRun WriteSamplesFiles(const std::string& record, const std::string& path, bool scaled,
                             std::vector<model::Notice>& notices) {
  SamplesRun run;
  std::string reason;
  std::unique_ptr<AtomicFileSink> data = CreateAtomicFileSink(path, reason);
  if (!data) {
    notices.push_back({"Cannot write " + path + " (" + reason + ")", "Samples", model::NoticeLevel::Warning});
    return run;
  }
  Json doc;
  MatrixWriter writer(*data, doc);
  samples::SampleOptions options;
  options.scaled = scaled;
  const model::ScanResult result = samples::WalkTraceSamplesFile(record, writer, options);
  notices.insert(notices.end(), result.notices.begin(), result.notices.end());
  if (writer.longer_ > 0) {
    notices.push_back({std::to_string(writer.longer_) +
                           " trace(s) hold more samples than the first trace of any channel set: their rows keep the first " +
                           std::to_string(writer.width_) + ".",
                       "Samples", model::NoticeLevel::Warning});
  }
  if (result.status == model::ScanStatus::NotSegd || result.status == model::ScanStatus::CannotOpen ||
      doc.find("format") == doc.end() || doc["format"].get<std::string>().empty()) {
    return run;  // the temporary file goes with `data`
  }
  doc["shape"] = {writer.traces_.size(), writer.width_};
  doc["traces"] = std::move(writer.traces_);
  doc["problems"] = result.integrity.problems;
  const std::string text = doc.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
  std::unique_ptr<AtomicFileSink> sidecar = CreateAtomicFileSink(path + ".json", reason);
  const bool sidecarOk = sidecar && sidecar->Write(text.data(), text.size()) && sidecar->Commit();
  const bool dataOk = writer.ok_ && sidecarOk && data->Commit();
  if (!dataOk) {
    notices.push_back({"Cannot write " + path + " or its .json (" + (sidecar ? sidecar->FailureReason() : reason) + ")",
                       "Samples", model::NoticeLevel::Warning});
    return run;
  }
  run.written = true;
  run.cut = writer.cut_;
  run.findings = result.status == model::ScanStatus::Findings;
  return run;
}

}  // namespace segd::app
