#include "output/files/atomic_file.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>

#include "output/files/temp_file_registry.h"

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

// Writes every byte; 0, or the error that stopped it (ENOSPC for a write
// that took nothing).
int WriteWhole(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : ENOSPC;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

// With no temporary name the file is the output itself: a terminal,
// /dev/null or a pipe named as the output, written in place (moving a file
// over such a name would put a plain file where the device or pipe was; as
// root, even over /dev/null).
class PosixAtomicFileSink final : public AtomicFileSink {
 public:
  PosixAtomicFileSink(int fd, std::string temp, std::string target)
      : fd_(fd), temp_(std::move(temp)), target_(std::move(target)), registered_(temp_) {}
  explicit PosixAtomicFileSink(int fd) : fd_(fd), registered_(temp_) {}
  ~PosixAtomicFileSink() override { Discard(); }

  bool Write(const char* data, std::size_t size) override {
    if (fd_ < 0) return false;
    const int error = WriteWhole(fd_, data, size);
    return error == 0 || Fail(error);
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
    if (temp_.empty()) return true;  // written in place
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


// True for a name in /dev or /proc (after the folder's links): /dev/null,
// /dev/stdout, /dev/fd/N. Nothing is ever created or moved there.
bool InDeviceFolder(const std::string& path) {
  const std::string folder = FolderPrefix(path);
  char* real = ::realpath(folder.empty() ? "." : folder.c_str(), nullptr);
  if (!real) return false;
  const std::string canonical = std::string(real) + "/";
  std::free(real);
  return canonical.rfind("/dev/", 0) == 0 || canonical.rfind("/proc/", 0) == 0;
}

// What stands at the output's name decides how it is written: nothing, a
// plain file or a link (the link itself is replaced, never followed) through
// a temporary file; a device or pipe, or any name in /dev or /proc, directly;
// anything else is refused.
enum class Target { Replace, Direct, Refuse };
Target TargetKind(const std::string& path, int& error) {
  if (InDeviceFolder(path)) return Target::Direct;
  struct stat entry {};
  if (::lstat(path.c_str(), &entry) != 0 || S_ISREG(entry.st_mode) || S_ISLNK(entry.st_mode)) return Target::Replace;
  if (S_ISCHR(entry.st_mode) || S_ISFIFO(entry.st_mode)) return Target::Direct;
  error = S_ISDIR(entry.st_mode) ? EISDIR : EINVAL;
  return Target::Refuse;
}

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
  int error = 0;
  switch (TargetKind(path, error)) {
    case Target::Refuse:
      reason = SystemMessage(error);
      return nullptr;
    case Target::Direct: {
      // A pipe with no reader is refused at once rather than waited on.
      const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0) {
        reason = SystemMessage(errno);
        return nullptr;
      }
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      return std::make_unique<PosixAtomicFileSink>(fd);
    }
    case Target::Replace:
      break;
  }
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    std::string temp = TemporaryName(path, attempt, static_cast<unsigned long>(::getpid()));
    // Blocking the termination signals from the creation to the
    // registration: a signal in between would leave the file behind.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &old);
    // Another thread may be taking the signal meanwhile: its removal waits
    // for this creation to be registered, and none starts once it began.
    std::optional<TempFileCreation> creation(std::in_place);
    const int fd = creation->Allowed()
                       ? ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666)
                       : -1;
    const int error = creation->Allowed() ? errno : EINTR;
    std::unique_ptr<AtomicFileSink> sink;
    bool noMemory = false;
    if (fd >= 0) {
      try {
        sink = std::make_unique<PosixAtomicFileSink>(fd, temp, path);
      } catch (const std::bad_alloc&) {
        // Not registered: removed here, before any signal can come.
        ::close(fd);
        ::unlink(temp.c_str());
        noMemory = true;
      }
    }
    creation.reset();
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    if (sink) return sink;
    if (noMemory) {
      reason = SystemMessage(ENOMEM);
      return nullptr;
    }
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
