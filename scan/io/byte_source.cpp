#include "scan/io/byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <unistd.h>
#endif

namespace segd {

namespace {

// Reads up to out.size() bytes at `offset`; returns the count read.
std::size_t ReadFileAt(int fd, std::uint64_t offset, std::uint8_t* out, std::size_t size) {
  std::size_t done = 0;
#ifdef _WIN32
  if (_lseeki64(fd, static_cast<__int64>(offset), SEEK_SET) < 0) return 0;
  while (done < size) {
    const int r = _read(fd, out + done, static_cast<unsigned>(size - done));
    if (r <= 0) break;
    done += static_cast<std::size_t>(r);
  }
#else
  while (done < size) {
    const ssize_t r = pread(fd, out + done, size - done, static_cast<off_t>(offset + done));
    if (r <= 0) break;
    done += static_cast<std::size_t>(r);
  }
#endif
  return done;
}

// Why the open failed: the system's message, or the kind of file refused.
std::nullptr_t Refuse(std::string* reason, int error, bool isFolder = false) {
  if (reason) *reason = error ? std::strerror(error) : isFolder ? std::strerror(EISDIR) : "Not a regular file";
  return nullptr;
}

std::size_t ReadFile(void* fd, std::uint64_t offset, std::uint8_t* out, std::size_t size) {
  return ReadFileAt(*static_cast<int*>(fd), offset, out, size);
}

}  // namespace

void MemoryByteSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  std::size_t have = 0;
  if (offset < bytes_.size()) {
    have = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), bytes_.size() - offset));
    // An empty span may have no buffer at all: memcpy must not see it.
    if (have > 0) std::memcpy(out.data(), bytes_.data() + offset, have);
  }
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(have), out.end(), std::uint8_t{0});
}

std::unique_ptr<FileByteSource> FileByteSource::Open(const std::string& path, std::string* reason) {
#ifdef _WIN32
  // Exclusive use: a record that another program holds open is not read.
  const int fd = _sopen(path.c_str(), _O_RDONLY | _O_BINARY, _SH_DENYRW);
  if (fd < 0) return Refuse(reason, errno);
  struct _stati64 st {};
  if (_fstati64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) {
    _close(fd);
    return Refuse(reason, 0, (st.st_mode & _S_IFMT) == _S_IFDIR);
  }
  return std::unique_ptr<FileByteSource>(new FileByteSource(fd, static_cast<std::uint64_t>(st.st_size)));
#else
  // Without waiting: a named pipe with no writer would block the open for
  // ever; it is refused below like any file that is not a regular one, and a
  // regular file is read in the ordinary blocking way.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return Refuse(reason, errno);
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    return Refuse(reason, S_ISREG(st.st_mode) ? error : 0, S_ISDIR(st.st_mode));
  }
  return std::unique_ptr<FileByteSource>(new FileByteSource(fd, static_cast<std::uint64_t>(st.st_size)));
#endif
}

FileByteSource::~FileByteSource() {
#ifdef _WIN32
  _close(fd_);
#else
  ::close(fd_);
#endif
}

void FileByteSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  std::uint8_t* dest = out.data();
  std::size_t want = out.size();
  std::uint64_t size = Size();
  // Past the end: zeros, without asking the system.
  const std::size_t inFile = offset >= size ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(want, size - offset));
  std::fill(dest + inFile, dest + want, std::uint8_t{0});
  want = inFile;
  if (want == 0) return;

  // A file that shrank since it was opened gives fewer bytes: the rest read
  // as zeros too.
  const std::size_t got = reads_.Read(offset, std::span<std::uint8_t>(dest, want), size, &ReadFile, &fd_);
  // Its end, lowered to where a read found it, holds for every later read
  // and for Size.
  size_.store(size, std::memory_order_relaxed);
  std::fill(dest + got, dest + want, std::uint8_t{0});
}

bool FileByteSource::SharedReads() const {
#ifdef _WIN32
  return false;
#else
  return true;
#endif
}

void FileByteSource::ReadShared(std::uint64_t offset, std::span<std::uint8_t> out) {
#ifdef _WIN32
  ReadAt(offset, out);
#else
  std::uint8_t* dest = out.data();
  const std::uint64_t size = Size();
  const std::size_t inFile =
      offset >= size ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), size - offset));
  const std::size_t got = inFile == 0 ? 0 : ReadFileAt(fd_, offset, dest, inFile);
  std::fill(dest + got, dest + out.size(), std::uint8_t{0});
  if (got == inFile) return;
  // The file ends here now: lower the size, unless another read found an
  // earlier end.
  std::uint64_t known = size_.load(std::memory_order_relaxed);
  while (offset + got < known && !size_.compare_exchange_weak(known, offset + got, std::memory_order_relaxed)) {
  }
#endif
}

}  // namespace segd
