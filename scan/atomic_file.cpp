#include "scan/atomic_file.h"

#include <chrono>
#include <cstring>

#include "scan/temp_file_registry.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace segd {

std::string FolderPrefix(const std::string& path) {
#ifdef _WIN32
  const std::size_t last = path.find_last_of("\\/:");
#else
  const std::size_t last = path.rfind('/');
#endif
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string SystemMessage(int error) { return std::strerror(error); }

// A name no other run picks: the process, a counter and the clock.
std::string TemporaryName(const std::string& path, unsigned attempt, unsigned long process) {
  static unsigned counter = 0;
  const auto ticks = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  const unsigned long long mix = (ticks * 2654435761ull) ^ (static_cast<unsigned long long>(process) << 20) ^
                                 (++counter * 40503ull) ^ attempt;
  char digits[17];
  static constexpr char kHex[] = "0123456789abcdef";
  for (int i = 0; i < 16; ++i) digits[i] = kHex[(mix >> (4 * i)) & 15];
  digits[16] = '\0';
  return FolderPrefix(path) + ".segdreport-" + digits + ".tmp";
}

#ifndef _WIN32

namespace {

class PosixAtomicFileSink final : public AtomicFileSink {
 public:
  PosixAtomicFileSink(int fd, std::string temp, std::string target)
      : fd_(fd), temp_(std::move(temp)), target_(std::move(target)), registered_(temp_) {}
  ~PosixAtomicFileSink() override { Discard(); }

  bool Write(const char* data, std::size_t size) override {
    while (fd_ >= 0 && size > 0) {
      const ssize_t n = ::write(fd_, data, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return Fail(n < 0 ? errno : ENOSPC);
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return fd_ >= 0;
  }

  // The whole report has reached the system when the rename makes it visible:
  // an interrupted, failed or concurrent run can never leave a part of one
  // under the name. It is not forced to the disk first (fsync): that took
  // about a second for a 45 MB report here, ten times the whole scan, and
  // guards only against a power loss.
  bool Commit() override {
    if (fd_ < 0) return false;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return Fail(errno);
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return Fail(errno);
    temp_.clear();
    registered_.Release();
    return true;
  }

  const std::string& FailureReason() const override { return reason_; }

 private:
  bool Fail(int error) {
    reason_ = SystemMessage(error);
    Discard();
    return false;
  }
  void Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    registered_.Release();
  }

  int fd_;
  std::string temp_;  // empty once moved or removed
  std::string target_;
  RegisteredTempFile registered_;
  std::string reason_;
};

extern "C" void RemoveTemporaryFilesAndEnd(int signal) {
  RemoveRegisteredTempFiles();
  // Ended as the signal asks, so the caller sees the signal.
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  sigemptyset(&standard.sa_mask);
  sigaction(signal, &standard, nullptr);
  raise(signal);
}

}  // namespace

std::unique_ptr<AtomicFileSink> CreateAtomicFileSink(const std::string& path, std::string& reason) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    std::string temp = TemporaryName(path, attempt, static_cast<unsigned long>(::getpid()));
    // Blocking the termination signals from the creation to the
    // registration: a signal in between would leave the file behind.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &old);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    const int error = errno;
    std::unique_ptr<AtomicFileSink> sink;
    if (fd >= 0) sink = std::make_unique<PosixAtomicFileSink>(fd, std::move(temp), path);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    if (sink) return sink;
    if (error != EEXIST) {
      reason = SystemMessage(error);
      return nullptr;
    }
  }
  reason = SystemMessage(EEXIST);
  return nullptr;
}

void RemoveTemporaryFilesOnTermination() {
  struct sigaction action {};
  action.sa_handler = RemoveTemporaryFilesAndEnd;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old {};
    // A signal ignored by whoever started us stays ignored.
    if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

#endif

}  // namespace segd
