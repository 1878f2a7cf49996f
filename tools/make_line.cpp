// Writes a line of SN388 shot records into a folder, for the batch tests and
// the batch benchmark: COUNT records with file numbers FIRST, FIRST+1, ...,
// named shot_NNNN.segd, shot one minute apart (09:00 plus the file number's
// minutes), each of TRACES traces of SAMPLES samples.
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
  if (argc < 4 || argc > 7 || !Number(argv[2], first) || !Number(argv[3], count) ||
      (argc > 4 && !Number(argv[4], traces)) || (argc > 5 && !Number(argv[5], samples)) || traces < 3 ||
      (argc > 6 && std::string_view(argv[6]) != "sparse")) {
    std::fputs("usage: make_line DIR FIRST COUNT [TRACES [SAMPLES [sparse]]]\n", stderr);
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
