#include "tools/synthetic_samples.h"

#include <cmath>

namespace segd::writer {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Zero-phase Ricker wavelet of peak frequency `hertz`, `tau` seconds from
// its centre.
double Ricker(double tau, double hertz) {
  const double a = kPi * kPi * hertz * hertz * tau * tau;
  return (1.0 - 2.0 * a) * std::exp(-a);
}

// Deterministic noise in [-1, 1) from the trace seed and the sample index.
double Noise(std::uint32_t seed, std::uint64_t index) {
  std::uint64_t x = (static_cast<std::uint64_t>(seed) << 32) ^ index;
  x ^= x >> 33;
  x *= 0xFF51AFD7ED558CCDull;
  x ^= x >> 33;
  x *= 0xC4CEB9FE1A85EC53ull;
  x ^= x >> 33;
  return static_cast<double>(x >> 11) / 4503599627370496.0 - 1.0;
}

struct Reflector {
  double zeroOffsetSeconds;
  double velocity;  // m/s
  double amplitude;
};
constexpr Reflector kReflectors[] = {
    {0.18, 1900.0, 0.8},
    {0.41, 2250.0, -0.6},
    {0.67, 2600.0, 0.5},
};
constexpr double kDirectVelocity = 1750.0;

double SeismicSample(const TraceSignal& s, double t, std::uint64_t index) {
  const double x = s.offsetMeters;
  double v = 1.5 * Ricker(t - 0.008 - x / kDirectVelocity, 25.0);
  for (const Reflector& r : kReflectors) {
    const double arrival = std::sqrt(r.zeroOffsetSeconds * r.zeroOffsetSeconds + (x * x) / (r.velocity * r.velocity));
    v += r.amplitude * Ricker(t - arrival, 30.0);
  }
  // Spherical spreading, then a little ambient noise.
  v /= 1.0 + 6.0 * t;
  v += 0.01 * Noise(s.seed, index);
  return 1000.0 * v;
}

}  // namespace

void FillSyntheticSamples(const TraceSignal& signal, std::uint64_t first, std::span<float> out) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::uint64_t index = first + i;
    const double t = static_cast<double>(index) * signal.intervalSeconds;
    double v = 0;
    if (signal.dead) {
      v = 0;
    } else if (signal.auxiliary) {
      v = 5000.0 * Ricker(t - signal.pulseSeconds, 60.0);
    } else {
      v = SeismicSample(signal, t, index);
    }
    out[i] = static_cast<float>(v);
  }
}

}  // namespace segd::writer
