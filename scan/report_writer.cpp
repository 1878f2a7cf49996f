#include "scan/report_writer.h"

#include <cstdio>

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
  std::FILE* file = std::fopen(path.c_str(), "wb");
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
  if (!sink_.Close()) ok_ = false;
  return ok_;
}

}  // namespace segd
