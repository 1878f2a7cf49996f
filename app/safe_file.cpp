#include "app/safe_file.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace segd::app {

SafeFile::SafeFile(std::string path) : path_(std::move(path)) {
  // mkstemp creates the file exclusively (O_EXCL), never through a link.
  std::string pattern = path_ + ".tmp.XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return;
  temporary_ = pattern;
#ifndef _WIN32
  fchmod(fd, 0644);  // as a plain created file, not mkstemp's 0600
#endif
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    unlink(temporary_.c_str());
    temporary_.clear();
  }
}

SafeFile::~SafeFile() {
  if (file_ != nullptr) std::fclose(file_);
  if (!temporary_.empty()) unlink(temporary_.c_str());
}

bool SafeFile::Write(std::string_view bytes) {
  if (file_ == nullptr) return false;
  if (ok_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) ok_ = false;
  return ok_;
}

bool SafeFile::Commit() {
  if (file_ == nullptr) return false;
  ok_ = std::fflush(file_) == 0 && ok_;
  ok_ = std::fclose(file_) == 0 && ok_;
  file_ = nullptr;
  if (!ok_) return false;
  std::error_code ec;
  std::filesystem::rename(temporary_, path_, ec);
  if (ec) return false;
  temporary_.clear();
  return true;
}

}  // namespace segd::app
