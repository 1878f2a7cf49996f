#include "cli/stdin_record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "output/files/atomic_file.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#define SEGD_PROCESS_ID _getpid()
#else
#include <unistd.h>
#define SEGD_PROCESS_ID getpid()
#endif

namespace segd::cli {

std::unique_ptr<StdinRecord> StdinRecord::Copy(std::string& error) {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  if (ec) {
    error = "no temporary folder for standard input (" + ec.message() + ")";
    return nullptr;
  }
  const std::string path = (folder / ("segdreport-stdin-" + std::to_string(SEGD_PROCESS_ID) + ".segd")).string();
  std::string reason;
  std::unique_ptr<AtomicFileSink> sink = CreateAtomicFileSink(path, reason);
  if (!sink) {
    error = "cannot create " + path + " for standard input (" + reason + ")";
    return nullptr;
  }
  std::unique_ptr<StdinRecord> record(new StdinRecord(path));
  std::vector<char> piece(1 << 20);
  bool ok = true;
  while (ok) {
    const std::size_t got = std::fread(piece.data(), 1, piece.size(), stdin);
    if (got > 0) ok = sink->Write(piece.data(), got);
    if (got < piece.size()) break;
  }
  if (std::ferror(stdin)) {
    error = std::string("cannot read standard input (") + std::strerror(errno) + ")";
    return nullptr;
  }
  if (!ok || !sink->Commit()) {
    error = "cannot copy standard input to " + path + " (" + sink->FailureReason() + ")";
    return nullptr;
  }
  return record;
}

StdinRecord::~StdinRecord() {
  std::error_code ec;
  std::filesystem::remove(path_, ec);
}

}  // namespace segd::cli
