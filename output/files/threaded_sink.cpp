#include "output/files/threaded_sink.h"

#include <algorithm>
#include <string>

#if !defined(__GLIBCXX__) || defined(_GLIBCXX_HAS_GTHREADS)
#define SEGD_WRITER_THREAD 1
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace segd {

#ifdef SEGD_WRITER_THREAD
namespace {

class ThreadedSink final : public ByteSink {
 public:
  ThreadedSink(std::unique_ptr<ByteSink> sink, std::size_t bufferBytes)
      : sink_(std::move(sink)), bufferBytes_(std::max<std::size_t>(bufferBytes, 1)) {
    filling_.reserve(bufferBytes_);
    pending_.reserve(bufferBytes_);
    writer_ = std::thread([this] { WriteLoop(); });
  }
  // Without a Close (a run given up on), what was accepted is still written,
  // as the wrapped sink would have done on its own destruction.
  ~ThreadedSink() override { Stop(); }

  bool Write(const char* data, std::size_t size) override {
    while (size > 0) {
      if (Failed()) return false;
      const std::size_t n = std::min(size, bufferBytes_ - filling_.size());
      filling_.append(data, n);
      data += n;
      size -= n;
      if (filling_.size() == bufferBytes_) HandOver();
    }
    return !Failed();
  }

  bool Close() override {
    Stop();
    const bool closed = sink_->Close();
    return !failed_ && closed;
  }
  std::string WhyFailed() const override { return sink_->WhyFailed(); }

 private:
  bool Failed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_;
  }

  // Gives the filled buffer to the writer once it is done with the last.
  void HandOver() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !hasPending_; });
    filling_.swap(pending_);
    hasPending_ = true;
    changed_.notify_all();
  }

  void Stop() {
    if (!writer_.joinable()) return;
    if (!filling_.empty()) HandOver();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      changed_.notify_all();
    }
    writer_.join();
  }

  void WriteLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return hasPending_ || stopping_; });
      if (!hasPending_) return;
      const bool skip = failed_;  // nothing more after a failed write
      lock.unlock();
      const bool ok = skip || sink_->Write(pending_.data(), pending_.size());
      pending_.clear();
      lock.lock();
      if (!ok) failed_ = true;
      hasPending_ = false;
      changed_.notify_all();
    }
  }

  std::unique_ptr<ByteSink> sink_;
  const std::size_t bufferBytes_;
  std::string filling_;  // the caller's
  std::string pending_;  // the writer's while hasPending_
  std::mutex mutex_;
  std::condition_variable changed_;
  bool hasPending_ = false;
  bool stopping_ = false;
  bool failed_ = false;
  std::thread writer_;
};

}  // namespace
#endif

std::unique_ptr<ByteSink> WithWriterThread(std::unique_ptr<ByteSink> sink, std::size_t bufferBytes) {
#ifdef SEGD_WRITER_THREAD
  if (sink) return std::make_unique<ThreadedSink>(std::move(sink), bufferBytes);
#else
  (void)bufferBytes;
#endif
  return sink;
}

}  // namespace segd
