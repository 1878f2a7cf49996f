#pragma once
// The buffer every data writer appends to: handed to its sink in large
// pieces, reused so that a row costs no allocation, and it remembers whether
// every byte reached the sink.
#include <string>
#include <string_view>

#include "output/report/report_writer.h"

namespace segd::output {

class OutputBuffer {
 public:
  explicit OutputBuffer(ByteSink& sink) : sink_(sink) { text_.reserve(2 * kFlushAt); }
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  // Append here, then call Commit.
  std::string& Text() { return text_; }
  void Commit() {
    if (text_.size() >= kFlushAt) Flush();
  }
  // Appends `bytes`; a large piece (a batch of rows) goes to the sink as
  // it is, after what the buffer holds, instead of being copied first.
  void Append(std::string_view bytes) {
    if (bytes.size() < kFlushAt) {
      text_.append(bytes);
      Commit();
      return;
    }
    Flush();
    if (ok_ && !sink_.Write(bytes.data(), bytes.size())) ok_ = false;
  }
  void Flush() {
    // After a failed write nothing more is tried: the output is incomplete
    // whatever follows.
    if (ok_ && !text_.empty() && !sink_.Write(text_.data(), text_.size())) ok_ = false;
    text_.clear();
  }
  // Flushes and closes the sink (once); false when any byte was lost.
  bool Finish() {
    Flush();
    if (!closed_ && !sink_.Close()) ok_ = false;
    closed_ = true;
    return ok_;
  }
  bool Ok() const { return ok_; }

 private:
  static constexpr std::size_t kFlushAt = 1 << 16;
  ByteSink& sink_;
  std::string text_;
  bool ok_ = true;
  bool closed_ = false;
};

}  // namespace segd::output
