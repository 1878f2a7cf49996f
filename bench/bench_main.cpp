// Throughput benchmark of the trace walk, in one invocation. For each record
// of the table below it builds the record, then runs side by side, each in
// its own child process and best of R runs (taken in turns, so a burst of
// load on the machine hits every row alike):
//
//   the scanner       segdreport with every trace column and header section;
//   pread floor       the same header bytes, one read per trace, no output;
//   chunked floor     the same header bytes picked out of 4 MiB sequential
//                     reads, no output;
//   write floor       as many report bytes written in 64 KiB blocks, nothing
//                     read;
//
// and prints wall time, processor time, traces per second and peak memory of
// each, and the targets: on the short-trace record at least 1,000,000
// traces/s and within 1.3x of the faster read floor plus the write floor; on
// the long-trace record within 1.3x of the pread floor plus the write floor;
// peak memory under 16 MiB everywhere.
//
// Rows and records are tables (Rows(), kRecords): a scanner option such as
// --csv or --json is one more row, another kind of record one more entry.
// Once the scanner writes CSV, `--csv` runs on the SN388 record and on a
// rev 2.1 record of the same shape written by make_segd (the general
// decoder's walk), and their ratio is printed: the general walk's target is
// within 1.2x of the SN388 record's --csv time. `--csv` and `--json` on
// the SN388 record are each to stay within 1.5x of the report's time, under
// the same 16 MiB.
//
// Each program runs in a child started by this small process, so its peak
// memory is its own (a child's high-water mark also counts this parent's
// pages at the moment of the start, which stay well under 2 MiB here).
#include "tools/help_option.h"
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

// A record to build: segd_bench_record's arguments.
struct RecordCase {
  unsigned traces;
  unsigned samples;
  unsigned extensions;
  bool sparse;
};

// The 99,999-trace record is the largest trace count an SN388 record can
// announce (five digits); the 10,000-sample one puts traces 40 KB apart.
const std::vector<RecordCase> kRecords = {
    {99999, 1000, 2, false},
    {9999, 10000, 2, false},
};

enum class Role { kScanner, kReadFloor, kWriteFloor, kCsv, kJson, kGeneralCsv, kOther, kBaseline, kBaselineCsv, kBaselineJson };

struct Row {
  std::string name;
  Role role;
  std::vector<std::string> args;
  std::string output;  // what it writes, for the size column
};

struct Options {
  std::vector<RecordCase> records = kRecords;
  unsigned repeats = 5;
  bool keep = false;
  std::string folder;
  std::string scanner = SEGD_BENCH_SCANNER;
  std::string baseline;  // another scanner build to compare with, when given
  bool scannerWritesCsv = false;  // its --help names --csv
  bool scannerExports = false;    // its --help names --segy
  bool baselineWritesCsv = false;
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

// Keeps the fastest wall and processor time and the largest peak memory.
void Keep(Outcome& best, const Outcome& o, bool first) {
  if (first || o.seconds < best.seconds) best.seconds = o.seconds;
  if (first || o.cpuSeconds < best.cpuSeconds) best.cpuSeconds = o.cpuSeconds;
  best.peakKiB = std::max(best.peakKiB, o.peakKiB);
  best.ok = o.ok;
}

std::uint64_t FileSize(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
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

bool ParseOptions(int argc, char** argv, Options& o) {
  RecordCase custom = kRecords.front();
  bool anyCustom = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](unsigned& out) {
      if (i + 1 >= argc) return false;
      out = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
      return anyCustom = true;
    };
    if (a == "--traces") {
      if (!value(custom.traces)) return false;
    } else if (a == "--samples") {
      if (!value(custom.samples)) return false;
    } else if (a == "--extensions") {
      if (!value(custom.extensions)) return false;
    } else if (a == "--sparse") {
      custom.sparse = anyCustom = true;
    } else if (a == "--repeats" && i + 1 < argc) {
      o.repeats = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
      if (o.repeats == 0) return false;
    } else if (a == "--folder" && i + 1 < argc) {
      o.folder = argv[++i];
    } else if (a == "--scanner" && i + 1 < argc) {
      o.scanner = argv[++i];
    } else if (a == "--baseline" && i + 1 < argc) {
      o.baseline = argv[++i];
    } else if (a == "--keep") {
      o.keep = true;
    } else {
      return false;
    }
  }
  if (anyCustom) o.records = {custom};
  return true;
}

// The rows run on one record. `reportBytes` is the scanner's report size
// (known after its first run) for the write floor.
// `layout` is the record writer's: first trace offset, trace bytes, traces,
// header bytes.
// `general` is the rev 2.1 record of the same shape, when one was written.
std::vector<Row> Rows(const Options& o, const std::string& record, const std::vector<std::string>& layout,
                      std::uint64_t reportBytes, const std::string& general) {
  auto floor = [&](const char* mode, const std::string& output) {
    std::vector<std::string> args = {SEGD_BENCH_FLOOR, mode, record};
    args.insert(args.end(), layout.begin(), layout.end());
    args.push_back(std::to_string(reportBytes));
    args.push_back(output);
    return args;
  };
  std::vector<Row> rows = {
      {"scanner (segdreport)", Role::kScanner,
       {o.scanner, "--select", "0-33", "--quiet", "--output", "bench", "--folder", o.folder, record},
       o.folder + "/Bench.Txt"},
      {"pread floor", Role::kReadFloor, floor("pread", ""), ""},
      {"chunked floor (4 MiB)", Role::kReadFloor, floor("chunked", ""), ""},
      {"write floor", Role::kWriteFloor, floor("write", o.folder + "/floor.txt"), o.folder + "/floor.txt"},
  };
  // `--csv=FILE`: one argument, so the file is never taken for a second
  // record.
  if (o.scannerWritesCsv) {
    rows.push_back({"scanner --csv", Role::kCsv, {o.scanner, "--quiet", "--csv=" + o.folder + "/bench.csv", record},
                    o.folder + "/bench.csv"});
    rows.push_back({"scanner --json", Role::kJson,
                    {o.scanner, "--quiet", "--json=" + o.folder + "/bench.json", record}, o.folder + "/bench.json"});
    // The report and the CSV in one walk: against the two rows above together.
    rows.push_back({"scanner report + --csv", Role::kOther,
                    {o.scanner, "--select", "0-33", "--quiet", "--output", "joined", "--folder", o.folder,
                     "--csv=" + o.folder + "/joined.csv", record},
                    o.folder + "/Joined.Txt"});
  }
  if (o.scannerWritesCsv && !general.empty()) {
    rows.push_back({"scanner --csv, rev 2.1", Role::kGeneralCsv,
                    {o.scanner, "--quiet", "--csv=" + o.folder + "/bench21.csv", general}, o.folder + "/bench21.csv"});
  }
  // Export of the rev 2.1 record's samples (bench/export_bench.sh sets them
  // against read and write floors on a 400 MB record).
  if (o.scannerExports && !general.empty()) {
    rows.push_back({"scanner --segy, rev 2.1", Role::kOther,
                    {o.scanner, "--quiet", "--segy=" + o.folder + "/bench.sgy", general}, o.folder + "/bench.sgy"});
    rows.push_back({"scanner --mseed, rev 2.1", Role::kOther,
                    {o.scanner, "--quiet", "--mseed=" + o.folder + "/bench.mseed", "--station={seq}", general},
                    o.folder + "/bench.mseed"});
    // Both in one walk of the record: against the two rows above together.
    rows.push_back({"scanner --csv --segy, 2.1", Role::kOther,
                    {o.scanner, "--quiet", "--csv=" + o.folder + "/bench_joined.csv",
                     "--segy=" + o.folder + "/bench_joined.sgy", general},
                    o.folder + "/bench_joined.sgy"});
  }
#ifdef SEGD_BENCH_PYTHON
  // The Python package's trace array against the command line's CSV of the
  // same table (whole processes: the interpreter's start and numpy's import
  // are in the Python row).
  rows.push_back({"python open().traces", Role::kOther,
                  {SEGD_BENCH_PYTHON, "-W", "ignore", "-c", "import sys, segdreport; segdreport.open(sys.argv[1]).traces",
                   record},
                  ""});
#endif
  if (!o.baseline.empty()) {
    rows.push_back({"baseline scanner", Role::kBaseline,
                    {o.baseline, "--select", "0-33", "--quiet", "--output", "baseline", "--folder", o.folder, record},
                    o.folder + "/Baseline.Txt"});
  }
  if (!o.baseline.empty() && o.baselineWritesCsv) {
    rows.push_back({"baseline --csv", Role::kBaselineCsv,
                    {o.baseline, "--quiet", "--csv=" + o.folder + "/baseline.csv", record}, o.folder + "/baseline.csv"});
    rows.push_back({"baseline --json", Role::kBaselineJson,
                    {o.baseline, "--quiet", "--json=" + o.folder + "/baseline.json", record}, o.folder + "/baseline.json"});
  }
  return rows;
}

// Builds, runs and prints one record; false when a target is missed.
bool BenchRecord(const Options& o, const RecordCase& c, bool& failed) {
  const std::string record = o.folder + "/bench.segd";
  const std::string layoutPath = o.folder + "/layout.txt";
  std::printf("Record: %u traces of %u samples, K = %u, %s file\n", c.traces, c.samples, c.extensions,
              c.sparse ? "sparse" : "full");
  std::fflush(stdout);
  if (!Spawn({SEGD_BENCH_RECORD, record, std::to_string(c.traces), std::to_string(c.samples),
              std::to_string(c.extensions), c.sparse ? "sparse" : "full"},
             layoutPath)
           .ok) {
    failed = true;
    return false;
  }
  unsigned long long first = 0, traceBytes = 0, traceCount = 0;
  unsigned headerBytes = 0;
  std::FILE* f = std::fopen(layoutPath.c_str(), "r");
  const bool haveLayout = f && std::fscanf(f, "%llu %llu %llu %u", &first, &traceBytes, &traceCount, &headerBytes) == 4;
  if (f) std::fclose(f);
  if (!haveLayout) {
    std::fputs("segd_bench: the record writer gave no layout\n", stderr);
    failed = true;
    return false;
  }
  const std::vector<std::string> layout = {std::to_string(first), std::to_string(traceBytes),
                                           std::to_string(traceCount), std::to_string(headerBytes)};

  // The same shape as a rev 2.1 record of another make, for the general
  // decoder's --csv row.
  std::string general;
#ifdef SEGD_BENCH_MAKE_SEGD
  if (o.scannerWritesCsv) {
    general = o.folder + "/bench21.segd";
    if (!Spawn({SEGD_BENCH_MAKE_SEGD, "--rev", "2.1", "--format", "8058", "--traces", std::to_string(c.traces),
                "--samples", std::to_string(c.samples), "--extensions", std::to_string(c.extensions), general})
             .ok) {
      failed = true;
      return false;
    }
  }
#endif

  // A first scanner run warms the page cache and gives the report size.
  std::vector<Row> rows = Rows(o, record, layout, 0, general);
  if (!Spawn(rows.front().args).ok) {
    failed = true;
    return false;
  }
  rows = Rows(o, record, layout, FileSize(rows.front().output), general);
  std::vector<Outcome> best(rows.size());
  for (unsigned r = 0; r < o.repeats; ++r) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      // Every timed run writes a new file, as a scan of a new record does:
      // replacing the last run's output would time the filesystem freeing
      // its blocks (on a disk mounted with online discard, a TRIM waited for
      // in the rename or the truncating open), not the program.
      if (!rows[i].output.empty()) unlink(rows[i].output.c_str());
      const Outcome outcome = Spawn(rows[i].args);
      if (!outcome.ok) {
        failed = true;
        return false;
      }
      Keep(best[i], outcome, r == 0);
    }
  }

  std::printf("  %llu traces of %llu bytes, %s bytes, %u header bytes per trace; best of %u runs\n\n", traceCount,
              traceBytes, Grouped(static_cast<double>(FileSize(record))).c_str(), headerBytes, o.repeats);
  std::printf("  %-24s %9s %9s %12s %14s %10s\n", "program", "wall (s)", "cpu (s)", "traces/s", "output (bytes)",
              "peak (MiB)");
  double scanner = 0, preadFloor = 0, bestRead = 1e300, writeFloor = 0;
  double scannerCpu = 0, preadCpu = 0, bestReadCpu = 1e300, writeCpu = 0;
  const Outcome* csv = nullptr;
  const Outcome* json = nullptr;
  const Outcome* generalCsv = nullptr;
  const Outcome* baseline[3] = {};  // the baseline's report, --csv, --json
  bool smallEnough = true;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Outcome& b = best[i];
    std::printf("  %-24s %9.3f %9.3f %12s %14s %10.1f\n", rows[i].name.c_str(), b.seconds, b.cpuSeconds,
                Grouped(static_cast<double>(traceCount) / b.seconds).c_str(),
                rows[i].output.empty() ? "-" : Grouped(static_cast<double>(FileSize(rows[i].output))).c_str(),
                static_cast<double>(b.peakKiB) / 1024.0);
    if (rows[i].role == Role::kScanner && scanner == 0) scanner = b.seconds, scannerCpu = b.cpuSeconds;
    if (rows[i].role == Role::kScanner || rows[i].role == Role::kCsv || rows[i].role == Role::kJson) {
      smallEnough = smallEnough && b.peakKiB < 16 * 1024;
    }
    if (rows[i].role == Role::kReadFloor) {
      bestRead = std::min(bestRead, b.seconds);
      bestReadCpu = std::min(bestReadCpu, b.cpuSeconds);
    }
    if (rows[i].role == Role::kReadFloor && rows[i].args[1] == "pread") preadFloor = b.seconds, preadCpu = b.cpuSeconds;
    if (rows[i].role == Role::kWriteFloor) writeFloor = b.seconds, writeCpu = b.cpuSeconds;
    if (rows[i].role == Role::kCsv) csv = &b;
    if (rows[i].role == Role::kJson) json = &b;
    if (rows[i].role == Role::kGeneralCsv) generalCsv = &b;
    if (rows[i].role == Role::kBaseline) baseline[0] = &b;
    if (rows[i].role == Role::kBaselineCsv) baseline[1] = &b;
    if (rows[i].role == Role::kBaselineJson) baseline[2] = &b;
  }
  // Short traces: the faster read; long ones: one read per trace.
  const bool shortTraces = traceBytes < 8192;
  const double floorSum = (shortTraces ? bestRead : preadFloor) + writeFloor;
  const double rate = static_cast<double>(traceCount) / scanner;
  const double floorCpu = (shortTraces ? bestReadCpu : preadCpu) + writeCpu;
  std::printf("\n  scanner / (%s read floor + write floor) = %.3f / %.3f = %.2fx wall, %.2fx processor time\n",
              shortTraces ? "faster" : "pread", scanner, floorSum, scanner / floorSum, scannerCpu / floorCpu);
  bool met = scanner <= 1.3 * floorSum;
  std::printf("  within 1.3x of that floor   %s\n", met ? "yes" : "NO");
  if (shortTraces) {
    std::printf("  >= 1,000,000 traces/s       %s\n", rate >= 1e6 ? "yes" : "NO");
    met = met && rate >= 1e6;
  }
  // The data outputs of the same walk: each within 1.5x of the report's time.
  for (const auto& [name, data] : {std::pair{"--csv ", csv}, std::pair{"--json", json}}) {
    if (data == nullptr) continue;
    const double ratio = data->seconds / scanner;
    std::printf("  %s / report = %.3f / %.3f = %.2fx wall, %.2fx processor time; within 1.5x %s\n", name,
                data->seconds, scanner, ratio, data->cpuSeconds / scannerCpu, ratio <= 1.5 ? "yes" : "NO");
    met = met && ratio <= 1.5;
  }
  std::printf("  peak memory < 16 MiB        %s\n", smallEnough ? "yes" : "NO");
  met = met && smallEnough;
  if (csv != nullptr && generalCsv != nullptr) {
    const double ratio = generalCsv->seconds / csv->seconds;
    std::printf("  --csv rev 2.1 / SN388 = %.3f / %.3f = %.2fx wall, %.2fx processor time\n", generalCsv->seconds,
                csv->seconds, ratio, generalCsv->cpuSeconds / csv->cpuSeconds);
    std::printf("  --csv within 1.2x           %s\n", ratio <= 1.2 ? "yes" : "NO");
    met = met && ratio <= 1.2;
  }
  // This build against the baseline, output by output, in processor time
  // (the runs were taken in turns).
  const Outcome* ours[3] = {&best.front(), csv, json};
  const char* names[3] = {"report", "--csv ", "--json"};
  for (int k = 0; k < 3; ++k) {
    if (baseline[k] == nullptr || ours[k] == nullptr) continue;
    std::printf("  %s against the baseline: %.3f / %.3f s processor = %+.1f%%\n", names[k], ours[k]->cpuSeconds,
                baseline[k]->cpuSeconds, 100.0 * (ours[k]->cpuSeconds / baseline[k]->cpuSeconds - 1.0));
  }
  std::printf("\n");

  if (!o.keep) {
    for (const Row& row : rows) {
      if (!row.output.empty()) std::filesystem::remove(row.output);
    }
    // The joined rows' second outputs.
    for (const char* second : {"/bench_joined.csv", "/joined.csv"}) std::filesystem::remove(o.folder + second);
    std::filesystem::remove(record);
    if (!general.empty()) std::filesystem::remove(general);
    std::filesystem::remove(layoutPath);
  }
  return met && smallEnough;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  constexpr const char* kUsage =
      "usage: segd_bench [--repeats R] [--folder DIR] [--scanner PATH] [--baseline PATH] [--keep]\n"
      "                  [--traces N] [--samples S] [--extensions K] [--sparse]\n"
      "Defaults: the 99,999 x 1,000 and 9,999 x 10,000 sample records (K = 2), best of\n"
      "5 runs, a fresh folder under the temporary folder, removed afterwards unless\n"
      "--keep. Any of --traces, --samples, --extensions, --sparse benches that one\n"
      "record instead. --baseline adds rows for another scanner build (its report,\n"
      "--csv and --json, taken in turns with this build's) and their ratios.\n";
  if (segd::tools::AnswerHelp(argc, argv, kUsage)) return 0;
  if (!ParseOptions(argc, argv, o)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
#ifdef SEGD_BENCH_PYTHON
  setenv("PYTHONPATH", SEGD_BENCH_PYTHONPATH, 1);
#endif
  const bool ownFolder = o.folder.empty();
  if (ownFolder) {
    std::string pattern = (std::filesystem::temp_directory_path() / "segd_bench_XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::fputs("segd_bench: cannot create a temporary folder\n", stderr);
      return 1;
    }
    o.folder = pattern;
  }
  {
    const std::string helpPath = o.folder + "/help.txt";
    Spawn({o.scanner, "--help"}, helpPath);
    std::FILE* help = std::fopen(helpPath.c_str(), "r");
    char text[8192] = {};
    if (help) {
      text[std::fread(text, 1, sizeof text - 1, help)] = '\0';
      std::fclose(help);
    }
    o.scannerWritesCsv = std::strstr(text, "--csv") != nullptr;
    o.scannerExports = std::strstr(text, "--segy") != nullptr;
    std::filesystem::remove(helpPath);
  }
  if (!o.baseline.empty()) {
    const std::string helpPath = o.folder + "/help.txt";
    Spawn({o.baseline, "--help"}, helpPath);
    std::FILE* help = std::fopen(helpPath.c_str(), "r");
    char text[8192] = {};
    if (help) {
      text[std::fread(text, 1, sizeof text - 1, help)] = '\0';
      std::fclose(help);
    }
    o.baselineWritesCsv = std::strstr(text, "--csv") != nullptr;
    std::filesystem::remove(helpPath);
  }
  std::printf("Every trace column and header section selected; wall and processor time are the\n"
              "fastest of the runs, peak memory (ru_maxrss of the child) the largest.\n\n");
  bool failed = false, allMet = true;
  for (const RecordCase& c : o.records) {
    allMet = BenchRecord(o, c, failed) && allMet;
    if (failed) break;
  }
  struct rusage self {};
  getrusage(RUSAGE_SELF, &self);
  std::printf("(this harness: %.1f MiB, a floor under each child's peak)\n",
              static_cast<double>(self.ru_maxrss) / 1024.0);
  if (ownFolder && !o.keep) std::filesystem::remove(o.folder);
  return failed ? 1 : allMet ? 0 : 3;
}
