#include "output/report/report_writer.h"

#include <cstdio>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace segd {

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

class FileByteSink final : public ByteSink {
 public:
  explicit FileByteSink(std::FILE* file) : file_(file) {}
  ~FileByteSink() override {
    if (file_) std::fclose(file_);
  }
  bool Write(const char* data, std::size_t size) override {
    return file_ && std::fwrite(data, 1, size, file_) == size;
  }
  bool Close() override {
    if (!file_) return false;
    const bool flushed = std::fflush(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return flushed && closed;
  }

 private:
  std::FILE* file_;
};

}  // namespace

std::unique_ptr<ByteSink> CreateFileSink(const std::string& path) {
#ifdef _WIN32
  std::FILE* file = std::fopen(path.c_str(), "wb");
#else
  // Without waiting: a named pipe that nobody reads would block the open for
  // ever; it is no place for a report, like a missing folder. Once open, the
  // file is written in the ordinary blocking way.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 ? fdopen(fd, "wb") : nullptr;
  if (!file) ::close(fd);
#endif
  if (!file) return nullptr;
  return std::make_unique<FileByteSink>(file);
}

ReportWriter::ReportWriter(ByteSink& sink) : sink_(sink) { buffer_.reserve(kBufferSize); }

void ReportWriter::Write(std::string_view text) {
  if (buffer_.size() + text.size() > kBufferSize) Flush();
  if (text.size() >= kBufferSize) {
    if (ok_ && !sink_.Write(text.data(), text.size())) ok_ = false;
    return;
  }
  buffer_.append(text);
}

void ReportWriter::Flush() {
  if (buffer_.empty()) return;
  // After a failed write nothing more is tried: the report is incomplete
  // whatever follows.
  if (ok_ && !sink_.Write(buffer_.data(), buffer_.size())) ok_ = false;
  buffer_.clear();
}

bool ReportWriter::Finish() {
  Flush();
  // An incomplete report is never closed as done: an atomic sink would move
  // it over the earlier one. Dropping the sink discards it.
  if (ok_ && !sink_.Close()) ok_ = false;
  return ok_;
}

}  // namespace segd
