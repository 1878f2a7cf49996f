#include "app/samples_files.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "output/files/atomic_file.h"
#include "scan/samples/trace_samples.h"

namespace segd::app {

using Json = nlohmann::ordered_json;

// Streams each trace's row of the matrix into the data file and its facts
// into the sidecar (whose shape comes last, when the traces are counted), so
// memory stays one trace's whatever the record's size.
class SamplesFiles::MatrixWriter final : public samples::TraceSampleConsumer {
 public:
  MatrixWriter(ByteSink& sink, ByteSink& sidecar) : sink_(sink), sidecar_(sidecar) {}

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
    // The object's head, left open for the traces.
    std::string head = doc_.dump(1, ' ', false, Json::error_handler_t::replace);
    head.pop_back();  // its closing brace
    while (!head.empty() && head.back() == '\n') head.pop_back();
    head += ",\n \"traces\": [\n";
    Put(head);
    columns_.clear();
    for (const model::Column& c : r.headers.traceColumns) columns_.push_back(c.name);
    // Samples not read (see the walk's notices): nothing is written, and
    // no row as wide as a damaged header's count is held.
    reading_ = r.format != nullptr;
    if (reading_) row_.assign(static_cast<std::size_t>(width_), 0);
  }

  // Only the fixed columns (channel set and trace number among them).
  std::vector<bool> ColumnsRead(const model::RecordHeaders& h) const override {
    return std::vector<bool>(h.traceColumns.size(), false);
  }

  void Trace(const samples::TraceSamples& t) override {
    if (!reading_) return;
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
        trace[name] = static_cast<std::int64_t>(t.row.values[at].number);
    }
    trace["samples"] = t.sampleCount;
    trace["samples_in_file"] = t.samplesInFile;
    trace["start_time_utc"] = t.startUnixMicros ? Json(samples::StartTimeText(t.startUnixMicros)) : Json(nullptr);
    trace["start_time_source"] = std::string(samples::TimeSourceName(t.timeSource));
    if (t.cut) {
      trace["cut"] = true;
      cut_ = true;
    }
    Put((traces_++ == 0 ? "  " : ",\n  ") + trace.dump(-1, ' ', false, Json::error_handler_t::replace));
  }

  void Put(const std::string& text) { ok_ = ok_ && sidecar_.Write(text.data(), text.size()); }

  bool ok_ = true;
  bool reading_ = false;
  bool cut_ = false;
  std::int64_t width_ = 0;
  std::int64_t longer_ = 0;
  std::int64_t traces_ = 0;
  Json doc_;

 private:
  ByteSink& sink_;
  ByteSink& sidecar_;
  std::vector<std::string> columns_;
  std::vector<std::uint32_t> row_;
};

SamplesFiles::SamplesFiles(std::string path, std::vector<model::Notice>& notices) : path_(std::move(path)) {
  std::string reason;
  data_ = CreateAtomicFileSink(path_, reason);
  if (!data_) {
    notices.push_back({"Cannot write " + path_ + " (" + reason + ")", "Samples", model::NoticeLevel::Warning});
    return;
  }
  sidecar_ = CreateAtomicFileSink(path_ + ".json", reason);
  if (!sidecar_) {
    notices.push_back({"Cannot write " + path_ + ".json (" + reason + ")", "Samples", model::NoticeLevel::Warning});
    data_.reset();
    return;
  }
  writer_ = std::make_unique<MatrixWriter>(*data_, *sidecar_);
}

// Dropping an uncommitted file removes its temporary file.
SamplesFiles::~SamplesFiles() = default;

samples::TraceSampleConsumer& SamplesFiles::Consumer() { return *writer_; }

SamplesRun SamplesFiles::Finish(const model::ScanResult& result, std::vector<model::Notice>& notices) {
  SamplesRun run;
  MatrixWriter& writer = *writer_;
  if (writer.longer_ > 0) {
    notices.push_back({std::to_string(writer.longer_) +
                           " trace(s) hold more samples than the first trace of any channel set: their rows keep the first " +
                           std::to_string(writer.width_) + ".",
                       "Samples", model::NoticeLevel::Warning});
  }
  if (result.status == model::ScanStatus::NotSegd || result.status == model::ScanStatus::CannotOpen ||
      writer.doc_.find("format") == writer.doc_.end() || writer.doc_["format"].get<std::string>().empty()) {
    return run;  // the temporary files go with their sinks
  }
  writer.Put("\n ],\n \"shape\": " + Json{writer.traces_, writer.width_}.dump() + ",\n \"problems\": " +
             Json(result.integrity.problems).dump(-1, ' ', false, Json::error_handler_t::replace) + "\n}\n");
  const bool dataOk = writer.ok_ && sidecar_->Commit() && data_->Commit();
  if (!dataOk) {
    notices.push_back({"Cannot write " + path_ + " or its .json (" + sidecar_->FailureReason() + data_->FailureReason() + ")",
                       "Samples", model::NoticeLevel::Warning});
    return run;
  }
  run.written = true;
  run.cut = writer.cut_;
  run.findings = result.status == model::ScanStatus::Findings;
  return run;
}

SamplesRun WriteSamplesFiles(const std::string& record, const std::string& path, bool scaled,
                             std::vector<model::Notice>& notices) {
  SamplesFiles files(path, notices);
  if (!files.Opened()) return {};
  samples::SampleOptions options;
  options.scaled = scaled;
  const model::ScanResult result = samples::WalkTraceSamplesFile(record, files.Consumer(), options);
  notices.insert(notices.end(), result.notices.begin(), result.notices.end());
  return files.Finish(result, notices);
}

}  // namespace segd::app
