// Throughput benchmark of the trace walk. Builds a large SN388 record, then
// runs, each in its own child process, the scanner with every trace column and
// every header section selected, and the floor program that only reads the
// same header bytes and writes a report of the same size. Prints wall time,
// traces per second, report size and peak memory of each, and checks them
// against the targets: the scanner within 2x of the floor, at least 500,000
// traces per second, peak memory under 16 MiB.
//
// Each program runs in a child started by this small process, so its peak
// memory is its own (a child's high-water mark also counts this parent's
// pages at the moment of the start, which stay well under 2 MiB here).
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Options {
  unsigned traces = 99999;  // the five-digit trace count field holds no more
  unsigned samples = 1000;
  unsigned extensions = 2;
  unsigned repeats = 3;
  bool sparse = false;
  bool keep = false;
  std::string folder;
  std::string scanner = SEGD_BENCH_SCANNER;
};

struct Outcome {
  bool ok = false;
  double seconds = 0;     // wall time
  double cpuSeconds = 0;  // user and system time of the child
  long peakKiB = 0;
};

// Runs `args` in a child process, stdout to `stdoutPath` when given.
Outcome Spawn(const std::vector<std::string>& args, const std::string& stdoutPath = {}) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!stdoutPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  Outcome outcome;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    std::fprintf(stderr, "segd_bench: cannot start %s\n", argv[0]);
    return outcome;
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  outcome.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  outcome.peakKiB = usage.ru_maxrss;  // kibibytes on Linux
  outcome.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  if (!outcome.ok) std::fprintf(stderr, "segd_bench: %s failed (status %d)\n", argv[0], status);
  return outcome;
}

// The fastest of `repeats` runs (wall and processor time each), and the
// largest peak memory of them.
Outcome Best(const std::vector<std::string>& args, unsigned repeats) {
  Outcome best;
  for (unsigned i = 0; i < repeats; ++i) {
    const Outcome o = Spawn(args);
    if (!o.ok) return o;
    if (i == 0 || o.seconds < best.seconds) best.seconds = o.seconds;
    if (i == 0 || o.cpuSeconds < best.cpuSeconds) best.cpuSeconds = o.cpuSeconds;
    if (o.peakKiB > best.peakKiB) best.peakKiB = o.peakKiB;
    best.ok = true;
  }
  return best;
}

std::uint64_t FileSize(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](unsigned& out) {
      if (i + 1 >= argc) return false;
      out = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
      return true;
    };
    if (a == "--traces") {
      if (!value(o.traces)) return false;
    } else if (a == "--samples") {
      if (!value(o.samples)) return false;
    } else if (a == "--extensions") {
      if (!value(o.extensions)) return false;
    } else if (a == "--repeats") {
      if (!value(o.repeats) || o.repeats == 0) return false;
    } else if (a == "--folder" && i + 1 < argc) {
      o.folder = argv[++i];
    } else if (a == "--scanner" && i + 1 < argc) {
      o.scanner = argv[++i];
    } else if (a == "--sparse") {
      o.sparse = true;
    } else if (a == "--keep") {
      o.keep = true;
    } else {
      return false;
    }
  }
  return true;
}

std::string Grouped(double value) {
  const std::string digits = std::to_string(static_cast<unsigned long long>(value + 0.5));
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(digits[i]);
  }
  return grouped;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fputs(
        "usage: segd_bench [--traces N] [--samples S] [--extensions K] [--repeats R]\n"
        "                  [--folder DIR] [--scanner PATH] [--sparse] [--keep]\n"
        "Defaults: 99999 traces of 1000 samples, K = 2, best of 3 runs, a fresh folder\n"
        "under the temporary folder, removed afterwards unless --keep.\n",
        stderr);
    return 2;
  }
  const bool ownFolder = o.folder.empty();
  if (ownFolder) {
    std::string pattern = (std::filesystem::temp_directory_path() / "segd_bench_XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::fputs("segd_bench: cannot create a temporary folder\n", stderr);
      return 1;
    }
    o.folder = pattern;
  }
  const std::string record = o.folder + "/bench.segd";
  const std::string layoutPath = o.folder + "/layout.txt";
  const std::string report = o.folder + "/Bench.Txt";
  const std::string floorReport = o.folder + "/floor.txt";

  std::printf("Building the record: %u traces of %u samples, K = %u, %s file ...\n", o.traces, o.samples, o.extensions,
              o.sparse ? "sparse" : "full");
  std::fflush(stdout);
  const Outcome built = Spawn({SEGD_BENCH_RECORD, record, std::to_string(o.traces), std::to_string(o.samples),
                               std::to_string(o.extensions), o.sparse ? "sparse" : "full"},
                              layoutPath);
  if (!built.ok) return 1;
  unsigned long long first = 0, traceBytes = 0, traceCount = 0;
  unsigned headerBytes = 0;
  {
    std::FILE* f = std::fopen(layoutPath.c_str(), "r");
    if (!f || std::fscanf(f, "%llu %llu %llu %u", &first, &traceBytes, &traceCount, &headerBytes) != 4) {
      std::fputs("segd_bench: the record writer gave no layout\n", stderr);
      if (f) std::fclose(f);
      return 1;
    }
    std::fclose(f);
  }

  const std::vector<std::string> scannerArgs = {o.scanner, "--select", "0-33", "--quiet", "--output", "bench",
                                                "--folder", o.folder, record};
  // A first run of each warms the page cache and gives the report size.
  if (!Spawn(scannerArgs).ok) return 1;
  const std::uint64_t reportBytes = FileSize(report);
  const std::vector<std::string> floorArgs = {SEGD_BENCH_FLOOR, record, std::to_string(first), std::to_string(traceBytes),
                                              std::to_string(traceCount), std::to_string(headerBytes),
                                              std::to_string(reportBytes), floorReport};
  if (!Spawn(floorArgs).ok) return 1;

  const Outcome scanner = Best(scannerArgs, o.repeats);
  const Outcome floor = Best(floorArgs, o.repeats);
  if (!scanner.ok || !floor.ok) return 1;
#ifdef SEGD_BENCH_PYTHON
  // The Python package: the trace table as a numpy array, timed inside the
  // interpreter (its start and numpy's import are not the walk's), against
  // the command line's CSV of the same table.
  const std::string csvPath = o.folder + "/bench.csv";
  const Outcome csv = Best({o.scanner, "--quiet", "--csv", csvPath, record}, o.repeats);
  setenv("PYTHONPATH", SEGD_BENCH_PYTHONPATH, 1);
  const std::string timesPath = o.folder + "/python.txt";
  const Outcome python = Spawn({SEGD_BENCH_PYTHON, "-W", "ignore", "-c",
                                "import sys, time, segdreport\n"
                                "def run():\n"
                                "    wall, cpu = time.perf_counter(), time.process_time()\n"
                                "    segdreport.open(sys.argv[1]).traces\n"
                                "    return time.perf_counter() - wall, time.process_time() - cpu\n"
                                "runs = [run() for _ in range(int(sys.argv[2]))]\n"
                                "print(min(w for w, _ in runs), min(c for _, c in runs))",
                                record, std::to_string(o.repeats)},
                               timesPath);
  double pythonSeconds = 0, pythonCpuSeconds = 0;
  if (std::FILE* f = std::fopen(timesPath.c_str(), "r")) {
    if (std::fscanf(f, "%lf %lf", &pythonSeconds, &pythonCpuSeconds) != 2) pythonSeconds = 0;
    std::fclose(f);
  }
  std::filesystem::remove(timesPath);
  std::filesystem::remove(csvPath);
#endif

  struct rusage self {};
  getrusage(RUSAGE_SELF, &self);
  const double scannerRate = static_cast<double>(traceCount) / scanner.seconds;
  const double floorRate = static_cast<double>(traceCount) / floor.seconds;
  const double ratio = scanner.seconds / floor.seconds;
  std::printf("Record: %llu traces of %llu bytes from offset %llu, %s bytes (%s file), %u header bytes read per trace\n",
              traceCount, traceBytes, first, Grouped(static_cast<double>(FileSize(record))).c_str(),
              o.sparse ? "sparse" : "full", headerBytes);
  std::printf("Best of %u runs, every trace column and header section selected:\n\n", o.repeats);
  std::printf("  %-22s %9s %9s %12s %16s %11s\n", "program", "wall (s)", "cpu (s)", "traces/s", "report (bytes)",
              "peak (MiB)");
  std::printf("  %-22s %9.3f %9.3f %12s %16s %11.1f\n", "scanner (segdreport)", scanner.seconds, scanner.cpuSeconds,
              Grouped(scannerRate).c_str(), Grouped(static_cast<double>(reportBytes)).c_str(),
              static_cast<double>(scanner.peakKiB) / 1024.0);
  std::printf("  %-22s %9.3f %9.3f %12s %16s %11.1f\n", "floor (pread + write)", floor.seconds, floor.cpuSeconds,
              Grouped(floorRate).c_str(), Grouped(static_cast<double>(FileSize(floorReport))).c_str(),
              static_cast<double>(floor.peakKiB) / 1024.0);
  std::printf("\n  scanner / floor: %.2fx wall, %.2fx cpu   (this harness: %.1f MiB, a floor under each child's peak)\n\n",
              ratio, scanner.cpuSeconds / floor.cpuSeconds, static_cast<double>(self.ru_maxrss) / 1024.0);

#ifdef SEGD_BENCH_PYTHON
  if (csv.ok) {
    std::printf("  %-22s %9.3f %9.3f %12s\n", "scanner --csv", csv.seconds, csv.cpuSeconds,
                Grouped(static_cast<double>(traceCount) / csv.seconds).c_str());
  }
  if (python.ok && pythonSeconds > 0) {
    std::printf("  %-22s %9.3f %9.3f %12s %16s %11.1f   (peak of the whole interpreter)\n", "python open().traces",
                pythonSeconds, pythonCpuSeconds, Grouped(static_cast<double>(traceCount) / pythonSeconds).c_str(), "-",
                static_cast<double>(python.peakKiB) / 1024.0);
    if (csv.ok) {
      std::printf("  python / --csv: %.2fx wall, %.2fx cpu (target 1.5x)\n", pythonSeconds / csv.seconds,
                  pythonCpuSeconds / csv.cpuSeconds);
    }
  }
  std::printf("\n");
#endif
  const bool withinFloor = ratio <= 2.0;
  const bool fastEnough = scannerRate >= 500000.0;
  const bool smallEnough = scanner.peakKiB < 16 * 1024;
  std::printf("  within 2x of the floor     %s\n", withinFloor ? "yes" : "NO");
  std::printf("  >= 500,000 traces/s        %s\n", fastEnough ? "yes" : "NO");
  std::printf("  peak memory < 16 MiB       %s\n", smallEnough ? "yes" : "NO");

  if (!o.keep) {
    std::filesystem::remove(record);
    std::filesystem::remove(layoutPath);
    std::filesystem::remove(report);
    std::filesystem::remove(floorReport);
    if (ownFolder) std::filesystem::remove(o.folder);
  }
  return withinFloor && fastEnough && smallEnough ? 0 : 1;
}
