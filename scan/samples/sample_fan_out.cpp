#include "scan/samples/sample_fan_out.h"

#include <algorithm>

namespace segd::samples {
namespace {

// The walk's scaling (scan/samples/trace_samples.cpp): each value the file
// holds × the factor, in double, back to the value's type; NaN past the end
// stays as it is.
template <typename T>
std::span<const T> Scaled(std::span<const T> in, std::int64_t inFile, double factor, std::vector<T>& out) {
  if (factor == 1.0 || in.empty()) return in;
  out.assign(in.begin(), in.end());
  const auto n = static_cast<std::size_t>(std::clamp<std::int64_t>(inFile, 0, static_cast<std::int64_t>(out.size())));
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<T>(out[i] * factor);
  return out;
}

}  // namespace

void SampleFanOut::Add(TraceSampleConsumer& consumer, bool scaled) {
  consumers_.push_back({&consumer, scaled});
  walkScaled_ = WalkScaled();
}

bool SampleFanOut::WalkScaled() const {
  return !consumers_.empty() &&
         std::all_of(consumers_.begin(), consumers_.end(), [](const Consumer& c) { return c.scaled; });
}

void SampleFanOut::Begin(const SampleRecord& r) {
  const SampleRecord scaled{r.headers, r.format, r.sets, r.type, r.valueType, true, "mV"};
  for (const Consumer& c : consumers_) c.consumer->Begin(Rescales(c) ? scaled : r);
}

void SampleFanOut::Trace(const TraceSamples& t) {
  for (const Consumer& c : consumers_) {
    if (!Rescales(c)) {
      c.consumer->Trace(t);
      continue;
    }
    TraceSamples s = t;
    s.samples = Scaled(t.samples, t.samplesInFile, t.set.scaleFactor, floats_);
    s.doubles = Scaled(t.doubles, t.samplesInFile, t.set.scaleFactor, doubles_);
    c.consumer->Trace(s);
  }
}

void SampleFanOut::End(const model::RecordHeaders& h, const model::Integrity& integrity,
                       const std::vector<model::Notice>& notices) {
  for (const Consumer& c : consumers_) c.consumer->End(h, integrity, notices);
}

std::vector<bool> SampleFanOut::ColumnsRead(const model::RecordHeaders& h) const {
  std::vector<bool> read(h.traceColumns.size(), false);
  for (const Consumer& c : consumers_) {
    const std::vector<bool> own = c.consumer->ColumnsRead(h);
    if (own.empty()) return {};
    for (std::size_t i = 0; i < own.size() && i < read.size(); ++i) read[i] = read[i] || own[i];
  }
  return read;
}

}  // namespace segd::samples
