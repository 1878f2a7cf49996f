#pragma once
// The one writer of the report: buffered, lines ended by CR LF, and it
// remembers whether every byte reached its sink.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace segd {

// Where report bytes go: a file in the programs, memory in the tests.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False when not all bytes could be written.
  virtual bool Write(const char* data, std::size_t size) = 0;
  // False when the last bytes could not be flushed or the sink not closed.
  virtual bool Close() = 0;
  // The system's message for the failure of a file sink; empty when not known.
  virtual std::string WhyFailed() const { return {}; }
};

class MemoryByteSink final : public ByteSink {
 public:
  bool Write(const char* data, std::size_t size) override {
    text_.append(data, size);
    return true;
  }
  bool Close() override { return true; }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// Creates or empties the file at `path`; nullptr when it cannot.
std::unique_ptr<ByteSink> CreateFileSink(const std::string& path);

class ReportWriter {
 public:
  explicit ReportWriter(ByteSink& sink);
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  void Write(std::string_view text);
  void WriteLine(std::string_view line) {
    Write(line);
    Write("\r\n");
  }
  // Flushes and closes the sink; false when any write failed (the sink is
  // then left unclosed, for its owner to drop).
  bool Finish();
  bool Ok() const { return ok_; }

 private:
  void Flush();
  ByteSink& sink_;
  std::string buffer_;
  bool ok_ = true;
};

}  // namespace segd
