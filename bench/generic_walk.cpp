// Per-trace cost of the general decoder's walk against the SN388 walk on the
// same record (not a test). Both read the same file through the same reading
// seam; the SN388 walk builds its 30 column texts, the general walk fills its
// row and the consumer here touches every value's text. Prints the best of R
// runs of each in processor ns per trace.
//
//   segd_bench_generic_walk RECORD SAMPLES EXTENSIONS [REPEATS]
//   (RECORD as segd_bench_record writes it; SAMPLES and EXTENSIONS as given to it)
#include "tools/help_option.h"
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "scan/model/record_scan_makes.h"
#include "output/report/trace_texts.h"
#include "scan/makes/sn388/trace_walk.h"

namespace {

using namespace segd;
// Processor time of this process: the build machine is shared, and wall
// time moves with the other programs' load.
struct Clock {
  using time_point = double;
  static double now() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }
};

struct Touch : model::RecordConsumer {
  std::size_t bytes = 0;
  void Begin(const model::RecordHeaders&) override {}
  void Row(const model::TraceRow& row) override {
    for (const model::Value& v : row.values) bytes += v.text.size();
  }
  void End(const model::RecordHeaders&, const model::Integrity&, const std::vector<model::Notice>&) override {}
};

double Seconds(double since) { return Clock::now() - since; }

}  // namespace

int main(int argc, char** argv) {
  if (segd::tools::AnswerHelp(argc, argv, "usage: segd_bench_generic_walk RECORD SAMPLES EXTENSIONS [REPEATS]\n")) return 0;
  if (argc < 4) {
    std::fputs("usage: segd_bench_generic_walk RECORD SAMPLES EXTENSIONS [REPEATS]\n", stderr);
    return 2;
  }
  const auto samples = static_cast<std::int32_t>(std::strtol(argv[2], nullptr, 10));
  const auto extensions = static_cast<std::int32_t>(std::strtol(argv[3], nullptr, 10));
  const int repeats = argc > 4 ? std::atoi(argv[4]) : 11;
  auto source = FileByteSource::Open(argv[1]);
  if (!source) {
    std::fprintf(stderr, "segd_bench_generic_walk: cannot open %s\n", argv[1]);
    return 1;
  }
  // The first trace's offset and the trace count, from one general walk.
  struct First : model::RecordConsumer {
    std::uint64_t offset = 0;
    void Begin(const model::RecordHeaders&) override {}
    void Row(const model::TraceRow& row) override {
      if (row.trace == 1) offset = row.byteOffset;
    }
    void End(const model::RecordHeaders&, const model::Integrity&, const std::vector<model::Notice>&) override {}
  };
  First first;
  const model::ScanResult shape = model::ScanGenericRecord(*source, argv[1], first, {});
  const std::int64_t traces = shape.integrity.tracesListed;
  if (shape.integrity.bytesAfterLastTrace != 0) std::fputs("general walk: not an exact end\n", stderr);

  // The two walks in turn, best of R each, so that the machine's load
  // weighs on both alike.
  double generic = 1e9, sn388 = 1e9;
  for (int r = 0; r < repeats; ++r) {
    Touch touch;
    double start = Clock::now();
    model::ScanGenericRecord(*source, argv[1], touch, {});
    generic = std::min(generic, Seconds(start));

    TraceFields fields;
    std::int64_t position = static_cast<std::int64_t>(first.offset) + 1;
    start = Clock::now();
    for (std::int64_t t = 0; t < traces; ++t) ReadTrace(*source, samples, position, extensions, fields);
    sn388 = std::min(sn388, Seconds(start));
  }
  std::printf("traces %lld  general walk %.0f ns/trace (%.3f s)  SN388 walk %.0f ns/trace (%.3f s)  ratio %.2f\n",
              static_cast<long long>(traces), 1e9 * generic / static_cast<double>(traces), generic,
              1e9 * sn388 / static_cast<double>(traces), sn388, generic / sn388);
  return 0;
}
