// Writes a line of SN388 shot records into a folder, for the batch tests and
// the batch benchmark: COUNT records with file numbers FIRST, FIRST+1, ...,
// named shot_NNNN.segd, shot one minute apart (09:00 plus the file number's
// minutes) at source points 2025 plus the file number, each of TRACES traces
// of SAMPLES samples.
//
//   make_line DIR FIRST COUNT [TRACES [SAMPLES [sparse]]]
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "tools/record_writer.h"
#include "tools/sample_shot.h"

namespace {

bool Number(const char* text, std::uint32_t& value) {
  const std::string_view s(text);
  const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace segd::writer;
  std::uint32_t first = 0, count = 0, traces = 362, samples = 1000;
  constexpr const char* kUsage = "usage: make_line DIR FIRST COUNT [TRACES [SAMPLES [sparse]]]\n";
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    std::fputs("Writes COUNT SN388 shot records with file numbers FIRST, FIRST+1, ... into DIR\n"
               "(shot_NNNN.segd, one minute apart, source point 2025 + the file number), each of\n"
               "TRACES traces (default 362) of SAMPLES samples (default 1000); sparse: files\n"
               "with holes instead of zero bytes.\n",
               stdout);
    return 0;
  }
  if (argc < 4 || argc > 7 || !Number(argv[2], first) || !Number(argv[3], count) ||
      (argc > 4 && !Number(argv[4], traces)) || (argc > 5 && !Number(argv[5], samples)) || traces < 3 ||
      (argc > 6 && std::string_view(argv[6]) != "sparse")) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const FileMode mode = argc > 6 ? FileMode::kSparse : FileMode::kFull;
  // Two auxiliary traces and one receiver line of the rest.
  ShotShape shape;
  shape.receiverLines = 1;
  shape.channelsPerLine = traces - shape.auxTraces;
  shape.samplesPerTrace = samples;
  RecordSpec spec = ShotRecord(shape);
  for (std::uint32_t n = first; n < first + count; ++n) {
    spec.fileNumber = n;
    spec.general1.hour = 9 + (n / 60) % 15;
    spec.general1.minute = n % 60;
    spec.general1.second = 0;
    spec.general3.sourcePoint = 2025 + n;
    spec.extended.sourcePoint = static_cast<float>(2025 + n);
    char name[32];
    std::snprintf(name, sizeof name, "shot_%04u.segd", n);
    const std::filesystem::path path = std::filesystem::path(argv[1]) / name;
    if (!WriteRecordFile(spec, path, mode)) {
      std::fprintf(stderr, "make_line: cannot write %s\n", path.string().c_str());
      return 1;
    }
  }
  return 0;
}
