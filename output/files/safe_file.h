#pragma once
// A batch output that appears under its name only when it is whole: the
// report's atomic file sink (temporary file beside the name, moved over it on
// Commit, removed on failure or on SIGINT/SIGTERM/SIGHUP), with the path and
// the reason of a failure kept for the batch's messages.
#include <memory>
#include <string>
#include <string_view>

#include "output/files/atomic_file.h"

namespace segd::output {

class SafeFile final : public ByteSink {
 public:
  explicit SafeFile(std::string path) : path_(std::move(path)), sink_(CreateAtomicFileSink(path_, reason_)) {}

  bool IsOpen() const { return sink_ != nullptr; }
  bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
  bool Write(const char* data, std::size_t size) override { return sink_ && sink_->Write(data, size); }
  // False (and nothing moved) when any write failed.
  bool Commit();
  bool Close() override { return Commit(); }
  std::string WhyFailed() const override { return sink_ ? sink_->FailureReason() : reason_; }
  const std::string& Path() const { return path_; }
  // "PATH (reason)" for a message.
  std::string Described() const { return reason_.empty() ? path_ : path_ + " (" + reason_ + ")"; }

 private:
  std::string path_;
  std::string reason_;
  std::unique_ptr<AtomicFileSink> sink_;
};

}  // namespace segd::output
