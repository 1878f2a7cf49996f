// Writes the benchmark's record: an SN388 shot of many receiver lines, every
// trace with its own line, point, coordinates and elevation, samples filled
// with a constant (their values are never read). Prints the layout the floor
// program needs: first trace offset, trace length, trace count, header bytes.
//
//   segd_bench_record OUTPUT TRACES SAMPLES EXTENSIONS [sparse]
#include "tools/help_option.h"
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/record_writer.h"
#include "tools/sample_shot.h"

int main(int argc, char** argv) {
  using namespace segd::writer;
  if (segd::tools::AnswerHelp(argc, argv, "usage: segd_bench_record OUTPUT TRACES SAMPLES EXTENSIONS [sparse]\n")) return 0;
  if (argc < 5) {
    std::fputs("usage: segd_bench_record OUTPUT TRACES SAMPLES EXTENSIONS [sparse]\n", stderr);
    return 2;
  }
  const std::uint32_t traces = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
  const std::uint32_t samples = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10));
  const std::uint32_t extensions = static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 10));
  const bool sparse = argc > 5 && std::string(argv[5]) == "sparse";

  // Two auxiliary traces, the rest spread over receiver lines of at most
  // 9999 channels (four decimal digits count a channel set's channels).
  ShotShape shape;
  shape.auxTraces = traces < 2 ? traces : 2;
  const std::uint32_t seismic = traces - shape.auxTraces;
  shape.receiverLines = (seismic + 9998) / 9999;
  shape.channelsPerLine = shape.receiverLines == 0 ? 0 : seismic / shape.receiverLines;
  shape.samplesPerTrace = samples;
  RecordSpec spec = ShotRecord(shape);
  // Whatever is left over joins the last line.
  for (std::uint32_t extra = shape.auxTraces + shape.receiverLines * shape.channelsPerLine; extra < traces; ++extra) {
    spec.channelSets.back().traces.push_back(spec.channelSets.back().traces.back());
    spec.channelSets.back().traces.back().extension1.receiverPoint += 1;
  }
  spec.traceExtensions = extensions;
  spec.sampleFill = SampleFill::kByte;
  spec.fillByte = 0x3C;
  Derive(spec);

  const RecordLayout layout = LayoutOf(spec);
  if (!WriteRecordFile(spec, argv[1], sparse ? FileMode::kSparse : FileMode::kFull)) {
    std::fprintf(stderr, "segd_bench_record: cannot write %s\n", argv[1]);
    return 1;
  }
  const unsigned headerBytes = extensions == 2 ? 84 : 52;
  std::printf("%llu %llu %llu %u\n", static_cast<unsigned long long>(layout.firstTraceOffset),
              static_cast<unsigned long long>(layout.traceSize), static_cast<unsigned long long>(layout.traceCount),
              headerBytes);
  return 0;
}
