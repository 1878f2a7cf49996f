// Sample decoding speed, one row per format: the decoder into float32 over
// a buffer of encoded random values (in cache-sized blocks and over the
// whole buffer), against the machine's memcpy of the same bytes; then, with
// a record file, the samples walk over the whole record (page cache warm)
// against reading its bytes. Processor time of this thread, best of 7.
// Then the streaming paths' peak memory on that record, each in its own
// child process (ru_maxrss): the command line's --samples and --segy and the
// Python package's iter_samples, against 64 MiB plus one trace.
//
//   segd_bench_samples [SAMPLES_PER_FORMAT] [RECORD]
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "scan/io/byte_source.h"
#include "scan/samples/sample_formats.h"
#include "scan/samples/trace_samples.h"
#include "tools/sample_encoders.h"

extern char** environ;

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

// `rows`: every column of each trace's row made, as the SEG-Y export asks;
// otherwise none beyond the fixed ones, as the Python samples and the CLI's
// --samples ask.
struct Counter : samples::TraceSampleConsumer {
  explicit Counter(bool rows) : rows(rows) {}
  bool rows;
  std::size_t values = 0;
  std::size_t traces = 0;
  std::vector<bool> ColumnsRead(const model::RecordHeaders& h) const override {
    return rows ? std::vector<bool>{} : std::vector<bool>(h.traceColumns.size(), false);
  }
  void Trace(const samples::TraceSamples& t) override {
    values += t.samples.size();
    ++traces;
    if (!t.samples.empty()) sink = t.samples[0];
  }
};

// Peak resident memory of `args` run as a child, in KiB (-1 when it fails).
long ChildPeakKiB(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  return WIFEXITED(status) && WEXITSTATUS(status) <= 3 ? usage.ru_maxrss : -1;  // 3: findings
}

// The streaming paths over `record`, each against 64 MiB plus its longest
// trace as float32; the lines to print.
std::vector<std::string> StreamingMemory(const std::string& record) {
  struct Longest : samples::TraceSampleConsumer {
    std::int64_t samples = 0;
    void Trace(const samples::TraceSamples& t) override { samples = std::max(samples, t.sampleCount); }
  } longest;
  samples::SampleOptions headersOnly;
  headersOnly.readSamples = false;
  samples::WalkTraceSamplesFile(record, longest, headersOnly);
  const std::string folder = (std::filesystem::temp_directory_path() / "segd_bench_samples_memory").string();
  std::filesystem::create_directories(folder);
  struct Path {
    const char* name;
    std::vector<std::string> args;
  };
  std::vector<Path> paths;
#ifdef SEGD_BENCH_SCANNER
  paths.push_back({"segdreport --samples", {SEGD_BENCH_SCANNER, "--quiet", "--samples", folder + "/s.f32", record}});
  paths.push_back({"segdreport --segy", {SEGD_BENCH_SCANNER, "--quiet", "--segy", folder + "/s.sgy", record}});
#endif
#ifdef SEGD_BENCH_PYTHON
  // open() alone first: it builds the whole trace table (Record.traces),
  // which grows with the trace count; a record opened to stream its samples
  // keeps none (traces=False).
  paths.push_back({"python open()",
                   {SEGD_BENCH_PYTHON, "-c",
                    "import sys; sys.path.insert(0, sys.argv[2]); import segdreport\nsegdreport.open(sys.argv[1])",
                    record, SEGD_BENCH_PYTHONPATH}});
  paths.push_back({"python open(traces=False).iter_samples",
                   {SEGD_BENCH_PYTHON, "-c",
                    "import sys; sys.path.insert(0, sys.argv[2]); import segdreport\n"
                    "for first, a in segdreport.open(sys.argv[1], traces=False).iter_samples(chunk=256): pass",
                    record, SEGD_BENCH_PYTHONPATH}});
#endif
  const double limitMiB = 64 + 4.0 * static_cast<double>(longest.samples) / 1048576.0;
  std::vector<std::string> lines;
  char line[256];
  std::snprintf(line, sizeof line,
                "\nStreaming memory on %s (peak resident memory of the child; limit 64 MiB + one trace = %.2f MiB)\n",
                record.c_str(), limitMiB);
  lines.push_back(line);
  for (const Path& p : paths) {
    const long kib = ChildPeakKiB(p.args);
    const double mib = static_cast<double>(kib) / 1024.0;
    if (kib < 0) {
      std::snprintf(line, sizeof line, "  %-28s failed\n", p.name);
    } else {
      std::snprintf(line, sizeof line, "  %-28s %8.1f MiB  %s\n", p.name, mib, mib <= limitMiB ? "within" : "OVER");
    }
    lines.push_back(line);
  }
  std::filesystem::remove_all(folder);
  return lines;
}


// Each format's decoder against memcpy, over `n` samples. Its buffers are
// freed on return, before the memory rows' children start (a child's peak
// counts this process's pages at its start).
void FormatTable(std::size_t n) {
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

}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t n = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 16u << 20;
  // The memory rows first, while this process is small: a child's peak
  // counts this process's peak at the child's start.
  std::vector<std::string> memory;
  if (argc > 2) memory = StreamingMemory(argv[2]);

  std::printf("Sample decoding, %zu samples per format (processor time, best of 7)\n", n);
  std::printf("%-6s %14s %14s %10s %12s %8s\n", "format", "Msamples/s", "(in cache)", "MB/s", "memcpy MB/s", "ratio");
  FormatTable(n);

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
    auto walkOf = [&](bool rows) {
      return Best([&] {
        Counter c(rows);
        samples::WalkTraceSamplesFile(path, c);
        count = c.values;
      });
    };
    const double walkRows = walkOf(true);
    const double walk = walkOf(false);
    std::printf("\nRecord %s: %.0f MB, %zu samples\n", path.c_str(), static_cast<double>(size) / 1e6, count);
    std::printf("  read its bytes (1 MiB reads)   %8.3f s  %8.0f MB/s\n", read, static_cast<double>(size) / 1e6 / read);
    std::printf("  samples walk into float32      %8.3f s  %8.0f MB/s  %.2fx the read\n", walk,
                static_cast<double>(size) / 1e6 / walk, walk / read);
    std::printf("  the same, every row column     %8.3f s  %8.0f MB/s  %.2fx the read\n", walkRows,
                static_cast<double>(size) / 1e6 / walkRows, walkRows / read);
    for (const std::string& line : memory) std::fputs(line.c_str(), stdout);
  }
  return 0;
}
