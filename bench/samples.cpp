// Sample decoding speed, one row per format: the decoder into float32 over
// a buffer of encoded random values (in cache-sized blocks and over the
// whole buffer), against the machine's memcpy of the same bytes; then, with
// a record file, the samples walk over the whole record (page cache warm)
// against reading its bytes. Processor time of this thread, best of 7.
//
//   segd_bench_samples [SAMPLES_PER_FORMAT] [RECORD]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "scan/io/byte_source.h"
#include "scan/samples/sample_formats.h"
#include "scan/samples/trace_samples.h"
#include "tools/sample_encoders.h"

namespace {

using namespace segd;

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <class F>
double Best(F pass) {
  double best = 1e300;
  for (int i = 0; i < 7; ++i) {
    const double start = ThreadSeconds();
    pass();
    best = std::min(best, ThreadSeconds() - start);
  }
  return best;
}

volatile float sink;

// Values spread over each format's range (small integers for the integer
// formats would flatter nothing: every decoder runs the same loop).
double Value(std::uint32_t code, std::mt19937_64& rng) {
  const double u = static_cast<double>(rng() >> 11) / 9007199254740992.0 * 2 - 1;
  switch (code) {
    case 8036: case 9036: return u * 8e6;
    case 8038: case 9038: return u * 2e9;
    case 8022: return u * 15000;
    case 8042: return u * 3900;
    default: return u * 1000;
  }
}

struct Counter : samples::TraceSampleConsumer {
  std::size_t values = 0;
  void Trace(const samples::TraceSamples& t) override {
    values += t.samples.size();
    if (!t.samples.empty()) sink = t.samples[0];
  }
};

}  // namespace

int main(int argc, char** argv) {
  const std::size_t n = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 16u << 20;
  std::printf("Sample decoding, %zu samples per format (processor time, best of 7)\n", n);
  std::printf("%-6s %14s %14s %10s %12s %8s\n", "format", "Msamples/s", "(in cache)", "MB/s", "memcpy MB/s", "ratio");
  std::mt19937_64 rng(1);
  std::vector<double> values(n);
  std::vector<float> out(n);
  // Blocks that stay in cache: a trace's worth.
  constexpr std::size_t kBlock = 4096;
  for (const samples::SampleFormat& f : samples::SampleFormats()) {
    for (double& v : values) v = Value(static_cast<std::uint32_t>(f.code), rng);
    std::vector<std::uint8_t> bytes(samples::SampleBytes(f, n));
    writer::EncodeSamples(static_cast<std::uint32_t>(f.code), values, bytes.data());
    std::vector<std::uint8_t> copy(bytes.size());
    const double decode = Best([&] {
      samples::DecodeSamples(f, bytes, out);
      sink = out[n / 2];
    });
    const std::size_t blockBytes = samples::SampleBytes(f, kBlock);
    const double cached = Best([&] {
      for (std::size_t i = 0; i + kBlock <= n; i += kBlock)
        samples::DecodeSamples(f, std::span(bytes.data(), blockBytes), std::span(out.data(), kBlock));
      sink = out[1];
    });
    const double memcpyTime = Best([&] {
      std::memcpy(copy.data(), bytes.data(), bytes.size());
      sink = static_cast<float>(copy[bytes.size() / 2]);
    });
    const double mb = static_cast<double>(bytes.size()) / 1e6;
    std::printf("%-6d %14.0f %14.0f %10.0f %12.0f %8.2f\n", f.code, static_cast<double>(n) / decode / 1e6,
                static_cast<double>(n / kBlock * kBlock) / cached / 1e6, mb / decode, mb / memcpyTime,
                decode / memcpyTime);
  }

  if (argc > 2) {
    const std::string path = argv[2];
    auto source = FileByteSource::Open(path);
    if (!source) {
      std::fprintf(stderr, "cannot open %s\n", path.c_str());
      return 1;
    }
    const std::uint64_t size = source->Size();
    std::vector<std::uint8_t> buffer(1 << 20);
    auto readAll = [&] {
      for (std::uint64_t at = 0; at < size; at += buffer.size()) source->ReadShared(at, buffer);
    };
    readAll();  // into the page cache
    const double read = Best(readAll);
    std::size_t count = 0;
    const double walk = Best([&] {
      Counter c;
      samples::WalkTraceSamplesFile(path, c);
      count = c.values;
    });
    std::printf("\nRecord %s: %.0f MB, %zu samples\n", path.c_str(), static_cast<double>(size) / 1e6, count);
    std::printf("  read its bytes (1 MiB reads)   %8.3f s  %8.0f MB/s\n", read, static_cast<double>(size) / 1e6 / read);
    std::printf("  samples walk into float32      %8.3f s  %8.0f MB/s  %.2fx the read\n", walk,
                static_cast<double>(size) / 1e6 / walk, walk / read);
  }
  return 0;
}
