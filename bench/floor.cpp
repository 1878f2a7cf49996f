// The floor the scanner is measured against: for each trace it reads the same
// header bytes the scanner reads (one pread each) and writes its share of a
// report of the same size, buffered the same way. No decoding at all.
//
//   segd_bench_floor RECORD FIRST_OFFSET TRACE_BYTES TRACES HEADER_BYTES REPORT_BYTES OUTPUT
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 8) {
    std::fputs("usage: segd_bench_floor RECORD FIRST_OFFSET TRACE_BYTES TRACES HEADER_BYTES REPORT_BYTES OUTPUT\n", stderr);
    return 2;
  }
  const std::uint64_t first = std::strtoull(argv[2], nullptr, 10);
  const std::uint64_t traceBytes = std::strtoull(argv[3], nullptr, 10);
  const std::uint64_t traces = std::strtoull(argv[4], nullptr, 10);
  const std::size_t headerBytes = std::strtoull(argv[5], nullptr, 10);
  const std::uint64_t reportBytes = std::strtoull(argv[6], nullptr, 10);

  const int in = open(argv[1], O_RDONLY | O_CLOEXEC);
  std::FILE* out = std::fopen(argv[7], "wb");
  if (in < 0 || !out) {
    std::fputs("segd_bench_floor: cannot open the record or the output\n", stderr);
    return 1;
  }
  // Lines of the report's average length; the remainder goes to the last.
  const std::uint64_t lineBytes = traces == 0 ? 0 : reportBytes / traces;
  std::vector<char> line(lineBytes + reportBytes % (traces == 0 ? 1 : traces) + headerBytes, ' ');
  std::vector<char> buffer;
  buffer.reserve(1 << 16);
  std::uint8_t header[128];
  std::uint64_t checksum = 0;
  for (std::uint64_t i = 0; i < traces; ++i) {
    const ssize_t got = pread(in, header, headerBytes, static_cast<off_t>(first + i * traceBytes));
    if (got > 0) checksum += header[3];
    std::memcpy(line.data(), header, headerBytes < lineBytes ? headerBytes : lineBytes);
    const std::size_t n = i + 1 == traces ? line.size() - headerBytes : lineBytes;
    if (buffer.size() + n > buffer.capacity()) {
      std::fwrite(buffer.data(), 1, buffer.size(), out);
      buffer.clear();
    }
    buffer.insert(buffer.end(), line.data(), line.data() + n);
  }
  std::fwrite(buffer.data(), 1, buffer.size(), out);
  close(in);
  std::fclose(out);
  return checksum == 0xFFFFFFFFFFFFFFFFull ? 1 : 0;  // keeps the reads from being optimised away
}
