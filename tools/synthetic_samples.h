#pragma once
// Plausible sample values for written records: a shot gather of wavelets
// (direct arrival and a few hyperbolic reflections) with a little noise on
// the seismic traces, a single pulse on the auxiliary ones. The scanner
// never looks at samples; these only make the record look like one.
#include <cstdint>
#include <span>

namespace segd::writer {

struct TraceSignal {
  bool auxiliary = false;
  bool dead = false;              // muted or dead: all samples zero
  double offsetMeters = 0;        // source to receiver
  double pulseSeconds = 0.002;    // the pulse time of an auxiliary trace
  double intervalSeconds = 0.001;
  std::uint32_t seed = 0;         // varies the noise from trace to trace
};

// Samples first .. first + out.size() - 1 of the trace.
void FillSyntheticSamples(const TraceSignal& signal, std::uint64_t first, std::span<float> out);

}  // namespace segd::writer
