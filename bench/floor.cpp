// The floors the scanner is measured against, one per run, no decoding:
//
//   pread    reads each trace's header bytes with a read of its own;
//   chunked  reads the file in sequential chunks and picks the header bytes
//            out of them;
//   write    writes REPORT_BYTES of report lines (CR LF ended) in 64 KiB
//            blocks to OUTPUT, reading nothing.
//
//   segd_bench_floor MODE RECORD FIRST_OFFSET TRACE_BYTES TRACES HEADER_BYTES REPORT_BYTES OUTPUT [CHUNK_BYTES]
//
// The two read floors add up a checksum of the header bytes so that no read
// can be optimised away.
#include "tools/help_option.h"
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::uint64_t PerTraceReads(int in, std::uint64_t first, std::uint64_t traceBytes, std::uint64_t traces,
                            std::size_t headerBytes) {
  std::uint8_t header[256];
  std::uint64_t checksum = 0;
  for (std::uint64_t i = 0; i < traces; ++i) {
    if (pread(in, header, headerBytes, static_cast<off_t>(first + i * traceBytes)) > 0) checksum += header[3];
  }
  return checksum;
}

std::uint64_t ChunkedReads(int in, std::uint64_t first, std::uint64_t traceBytes, std::uint64_t traces,
                           std::size_t headerBytes, std::size_t chunkBytes) {
  std::vector<std::uint8_t> chunk(chunkBytes);
  std::uint64_t chunkStart = 0, chunkEnd = 0;
  std::uint64_t checksum = 0;
  for (std::uint64_t i = 0; i < traces; ++i) {
    const std::uint64_t at = first + i * traceBytes;
    if (at < chunkStart || at + headerBytes > chunkEnd) {
      const ssize_t got = pread(in, chunk.data(), chunkBytes, static_cast<off_t>(at));
      chunkStart = at;
      chunkEnd = at + static_cast<std::uint64_t>(got > 0 ? got : 0);
      if (at + headerBytes > chunkEnd) continue;
    }
    checksum += chunk[at - chunkStart + 3];
  }
  return checksum;
}

bool WriteOnly(const char* path, std::uint64_t reportBytes, std::uint64_t traces) {
  std::FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  // Lines of the report's average length.
  const std::size_t lineBytes = traces == 0 ? 80 : std::max<std::size_t>(2, reportBytes / traces);
  std::vector<char> block(1 << 16);
  for (std::size_t i = 0; i < block.size(); ++i) {
    const std::size_t column = i % lineBytes;
    block[i] = column == lineBytes - 2 ? '\r' : column == lineBytes - 1 ? '\n' : ' ';
  }
  std::setvbuf(out, nullptr, _IONBF, 0);
  bool ok = true;
  for (std::uint64_t left = reportBytes; left > 0 && ok;) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
    ok = std::fwrite(block.data(), 1, n, out) == n;
    left -= n;
  }
  return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (segd::tools::AnswerHelp(argc, argv, "usage: segd_bench_floor pread|chunked|write RECORD FIRST_OFFSET TRACE_BYTES TRACES HEADER_BYTES REPORT_BYTES "
        "OUTPUT [CHUNK_BYTES]\n")) return 0;
  if (argc != 9 && argc != 10) {
    std::fputs(
        "usage: segd_bench_floor pread|chunked|write RECORD FIRST_OFFSET TRACE_BYTES TRACES HEADER_BYTES REPORT_BYTES "
        "OUTPUT [CHUNK_BYTES]\n",
        stderr);
    return 2;
  }
  const std::string mode = argv[1];
  const std::uint64_t first = std::strtoull(argv[3], nullptr, 10);
  const std::uint64_t traceBytes = std::strtoull(argv[4], nullptr, 10);
  const std::uint64_t traces = std::strtoull(argv[5], nullptr, 10);
  const std::size_t headerBytes = std::min<std::size_t>(std::strtoull(argv[6], nullptr, 10), 256);
  const std::uint64_t reportBytes = std::strtoull(argv[7], nullptr, 10);
  const std::size_t chunkBytes = argc == 10 ? std::strtoull(argv[9], nullptr, 10) : std::size_t{4} << 20;

  if (mode == "write") return WriteOnly(argv[8], reportBytes, traces) ? 0 : 1;
  if (mode != "pread" && mode != "chunked") return 2;
  const int in = open(argv[2], O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    std::fputs("segd_bench_floor: cannot open the record\n", stderr);
    return 1;
  }
  const std::uint64_t checksum = mode == "pread" ? PerTraceReads(in, first, traceBytes, traces, headerBytes)
                                                 : ChunkedReads(in, first, traceBytes, traces, headerBytes, chunkBytes);
  close(in);
  return checksum == 0xFFFFFFFFFFFFFFFFull ? 1 : 0;
}
