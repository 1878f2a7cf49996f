// What a trace line costs, stage by stage and conversion by conversion, over
// the traces of a record held in memory (no file reads): the walk's decoding
// of each header block, each number and text conversion the trace columns
// use, each column's cell in the walk's line (TraceLineBuilder), and the line
// written; the older form (30 column texts, BuildTraceLine) for comparison.
// Prints nanoseconds per trace (or per call), the best of 9 passes.
//
//   segd_bench_columns RECORD FIRST_OFFSET TRACE_BYTES TRACES
#include "tools/help_option.h"
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scan/io/byte_source.h"
#include "scan/convert/conversions.h"
#include "output/report/report_writer.h"
#include "output/report/trace_listing.h"
#include "output/report/trace_texts.h"
#include "scan/makes/sn388/trace_walk.h"

namespace {

double ThreadNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Best of 9 passes of `pass` (which does `count` units of work), in ns of
// this thread's processor time per unit: other programs on the machine move
// wall time far more than this.
template <class F>
double Time(std::size_t count, F pass) {
  double best = 1e300;
  for (int i = 0; i < 9; ++i) {
    const double start = ThreadNanoseconds();
    pass();
    best = std::min(best, ThreadNanoseconds() - start);
  }
  return best / static_cast<double>(count);
}

// Takes the report's bytes and drops them.
class DiscardSink final : public segd::ByteSink {
 public:
  bool Write(const char*, std::size_t size) override { return (bytes += size), true; }
  bool Close() override { return true; }
  std::size_t bytes = 0;
};

volatile std::size_t sink;  // keeps results from being optimised away

}  // namespace

int main(int argc, char** argv) {
  using namespace segd;
  if (segd::tools::AnswerHelp(argc, argv, "usage: segd_bench_columns RECORD FIRST_OFFSET TRACE_BYTES TRACES\n")) return 0;
  if (argc != 5) {
    std::fputs("usage: segd_bench_columns RECORD FIRST_OFFSET TRACE_BYTES TRACES\n", stderr);
    return 2;
  }
  const std::uint64_t first = std::strtoull(argv[2], nullptr, 10);
  const std::uint64_t traceBytes = std::strtoull(argv[3], nullptr, 10);
  const std::size_t traces = std::min<std::size_t>(std::strtoull(argv[4], nullptr, 10), 100000);
  auto file = FileByteSource::Open(argv[1]);
  if (!file) return 1;
  // The headers of every trace, back to back, walked as traces without samples.
  constexpr std::size_t kHeader = 84;
  std::vector<std::uint8_t> headers(traces * kHeader);
  for (std::size_t t = 0; t < traces; ++t) {
    file->ReadAt(first + t * traceBytes, std::span<std::uint8_t>(headers.data() + t * kHeader, kHeader));
  }
  MemoryByteSource memory(headers);

  TraceFields fields;
  OutputSelection all{};
  for (int i = 0; i < kTraceColumns; ++i) all[static_cast<std::size_t>(i)] = 1;
  DiscardSink discard;
  ReportWriter heading(discard);
  ListTraceHeading(all, fields, heading);

  std::printf("%zu traces, ns per trace (best of 9 passes)\n\n", traces);
  // The walk's own stages: each block decoded into the trace's records, then
  // the line built from them. The walk reuses one set of records; a few
  // hundred here (in the processor's caches too) give the line real texts.
  constexpr std::size_t kKept = 256;
  std::vector<TraceRecords> records(kKept);
  const auto block = [&](std::size_t t, std::size_t at, std::size_t bytes) {
    return ByteSpan(headers).subspan(t * kHeader + at, bytes);
  };
  std::printf("  %-44s %8.1f\n", "DecodeTraceHeader", Time(traces, [&] {
                for (std::size_t t = 0; t < traces; ++t) DecodeTraceHeader(block(t, 0, 20), records[t % kKept].header);
              }));
  std::printf("  %-44s %8.1f\n", "DecodeTraceExtension1", Time(traces, [&] {
                for (std::size_t t = 0; t < traces; ++t) DecodeTraceExtension1(block(t, 20, 32), records[t % kKept].extension1);
              }));
  std::printf("  %-44s %8.1f\n", "DecodeTraceExtension2", Time(traces, [&] {
                for (std::size_t t = 0; t < traces; ++t) DecodeTraceExtension2(block(t, 52, 32), records[t % kKept].extension2);
              }));
  const TraceLineBuilder builder(all, fields);
  std::string lines;
  const auto buildLines = [&](const TraceLineBuilder& cells) {
    return Time(traces, [&] {
      lines.clear();
      for (std::size_t t = 0; t < traces; ++t) {
        if (lines.size() > (1u << 20)) lines.clear();  // a batch's worth, as the walk's
        cells.Append(static_cast<std::int32_t>(t), records[t % kKept], lines);
      }
    });
  };
  const double walkLine = buildLines(builder);
  std::printf("  %-44s %8.1f\n", "TraceLineBuilder::Append, every column", walkLine);

  std::printf("\n  older form\n");
  std::printf("  %-44s %8.0f\n", "ReadTrace: decode 3 blocks, 30 texts", Time(traces, [&] {
                std::int64_t position = 1;
                for (std::size_t t = 0; t < traces; ++t) ReadTrace(memory, 0, position, 2, fields);
              }));
  std::string line;
  std::printf("  %-44s %8.0f\n", "BuildTraceLine, every column", Time(traces, [&] {
                for (std::size_t t = 0; t < traces; ++t) BuildTraceLine(static_cast<int>(t), all, fields, line);
              }));
  std::printf("  %-44s %8.0f\n", "ReportWriter::WriteLine (to memory)", Time(traces, [&] {
                DiscardSink out;
                ReportWriter report(out);
                for (std::size_t t = 0; t < traces; ++t) report.WriteLine(line);
                report.Finish();
                sink = out.bytes;
              }));

  std::printf("\n  conversion (ns per call, the record's own bytes)\n");
  struct Conversion {
    const char* name;
    std::size_t at, bytes;  // in the 84 header bytes
    std::string (*convert)(ByteSpan);
  };
  const Conversion conversions[] = {
      {"hex, 1 byte (chan set)", 3, 1, BytesToHex},
      {"decimal, 1 byte (gain, stacks, types)", 20 + 14, 1, BytesToDecimal},
      {"decimal, 2 bytes (resistance, SIM)", 20 + 21, 2, BytesToDecimal},
      {"decimal, 3 bytes (line, point, SU, timing)", 20 + 3, 3, BytesToDecimal},
      {"single (conv fact, elevation)", 52 + 16, 4, BytesToSingleText},
      {"double (easting, northing)", 52, 8, BytesToDoubleText},
  };
  for (const Conversion& c : conversions) {
    std::printf("  %-44s %8.1f\n", c.name, Time(traces, [&] {
                  std::size_t total = 0;
                  for (std::size_t t = 0; t < traces; ++t) total += c.convert(ByteSpan(headers).subspan(t * kHeader + c.at, c.bytes)).size();
                  sink = total;
                }));
  }
  std::printf("  %-44s %8.1f\n", "DigitValue of a decimal text", Time(traces, [&] {
                double total = 0;
                for (std::size_t t = 0; t < traces; ++t) total += DigitValue(fields.Text[static_cast<std::size_t>(t % 30)]);
                sink = static_cast<std::size_t>(total);
              }));

  std::printf("\n  each column's cell in the walk's line (ns per trace: a line of that column\n  alone less a line of none)\n");
  const OutputSelection none{};
  const double bare = buildLines(TraceLineBuilder(none, fields));
  for (int i = 0; i < kTraceColumns; ++i) {
    OutputSelection one{};
    one[static_cast<std::size_t>(i)] = 1;
    const double cost = buildLines(TraceLineBuilder(one, fields));
    std::printf("  %2d %-41s %8.1f\n", i, std::string(TraceColumns()[static_cast<std::size_t>(i)].title).c_str(),
                cost - bare);
  }
  return 0;
}
