// The sample decoders and the samples walk on any bytes. Byte 0 below 0x80
// chooses a format (its index in the table, modulo) whose decoders read the
// rest; from 0x80 the rest is a whole record for the samples walk. The
// checks hold for any input: as many samples as the bytes hold, float32 the
// rounding of float64, int32 equal to it, each trace as long as its count
// with NaN exactly past what the file holds.
#include <cmath>
#include <vector>

#include "fuzz/harness.h"
#include "scan/samples/trace_samples.h"

namespace segd::fuzz {

namespace {

bool SameValue(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

std::string CheckDecoders(const samples::SampleFormat& f, Input bytes) {
  const std::size_t n = samples::SamplesIn(f, bytes.size());
  if (samples::SampleBytes(f, n) < bytes.size() - (bytes.size() % static_cast<std::size_t>(f.groupBytes)) &&
      f.groupSamples == 1)
    return "SamplesIn left whole samples out";
  std::vector<double> wide(n + 3);
  std::vector<float> narrow(n + 3);
  std::size_t inexact = 0;
  if (samples::DecodeSamples(f, bytes, wide) != n || samples::DecodeSamples(f, bytes, narrow, &inexact) != n)
    return "a decoder did not decode every whole sample";
  std::size_t rounded = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const float expected = static_cast<float>(wide[i]);
    if (!SameValue(narrow[i], expected)) return "float32 is not float64 rounded";
    if (!std::isnan(wide[i]) && static_cast<double>(expected) != wide[i]) ++rounded;
  }
  if (f.exactInFloat32 ? rounded != 0 : inexact != rounded) return "the count of values float32 rounds is wrong";
  if (f.native == samples::NativeType::kInt32) {
    std::vector<std::int32_t> ints(n);
    if (samples::DecodeSamples(f, bytes, ints) != n) return "the int32 decoder did not decode every sample";
    for (std::size_t i = 0; i < n; ++i) {
      if (static_cast<double>(ints[i]) != wide[i]) return "int32 differs from float64";
    }
  }
  return {};
}

struct Checker : samples::TraceSampleConsumer {
  std::uint64_t size = 0;
  std::string broken;
  void Trace(const samples::TraceSamples& t) override {
    if (!broken.empty()) return;
    if (t.samples.size() != static_cast<std::size_t>(t.sampleCount) && !t.samples.empty()) broken = "a trace's span is not its count";
    if (t.sampleCount < 0 || static_cast<std::uint64_t>(t.sampleCount) > size) broken = "a trace's count exceeds the file";
    if (t.samplesInFile > t.sampleCount) broken = "more samples in the file than the trace holds";
    for (std::size_t i = static_cast<std::size_t>(t.samplesInFile); i < t.samples.size(); ++i) {
      if (!std::isnan(t.samples[i])) {
        broken = "a sample past the end of the file is not NaN";
        break;
      }
    }
  }
};

}  // namespace

std::string CheckSamples(Input input) {
  if (input.empty()) return {};
  const Input rest = input.subspan(1);
  if (input[0] < 0x80) {
    const auto formats = samples::SampleFormats();
    return CheckDecoders(formats[input[0] % formats.size()], rest);
  }
  MemoryByteSource source(rest);
  Checker checker;
  checker.size = rest.size();
  samples::SampleOptions options;
  options.lastTrace = kFuzzTraceLimit;
  options.scaled = input[0] & 1;
  samples::WalkTraceSamples(source, "record", checker, options);
  return checker.broken;
}

}  // namespace segd::fuzz
