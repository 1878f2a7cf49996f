// The Windows half of the atomic file: CreateFile, FlushFileBuffers and
// MoveFileEx. The scan core's sources are gathered by a wildcard on every
// build, so this file is empty outside Windows.
#ifdef _WIN32
#include <windows.h>

#include "output/files/atomic_file.h"
#include "output/files/temp_file_registry.h"

namespace segd {

namespace {

// FormatMessage's text without its closing period and line end.
std::string WindowsMessage(DWORD error) {
  char* text = nullptr;
  const DWORD size = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = size && text ? std::string(text, size) : "error " + std::to_string(error);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' ' ||
                              message.back() == '.')) {
    message.pop_back();
  }
  return message;
}

class WindowsAtomicFileSink final : public AtomicFileSink {
 public:
  WindowsAtomicFileSink(HANDLE file, std::string temp, std::string target)
      : file_(file), temp_(std::move(temp)), target_(std::move(target)), registered_(temp_) {}
  ~WindowsAtomicFileSink() override { Discard(); }

  bool Write(const char* data, std::size_t size) override {
    while (file_ != INVALID_HANDLE_VALUE && size > 0) {
      const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(file_, data, chunk, &written, nullptr)) return Fail(GetLastError());
      if (written == 0) return Fail(ERROR_DISK_FULL);
      data += written;
      size -= written;
    }
    return file_ != INVALID_HANDLE_VALUE;
  }

  bool Commit() override {
    if (file_ == INVALID_HANDLE_VALUE) return false;
    if (!FlushFileBuffers(file_)) return Fail(GetLastError());
    const HANDLE file = file_;
    file_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(file)) return Fail(GetLastError());
    // Replaces a file or link of that name; fails on a file held open
    // without delete sharing (the record being read is such a file).
    if (!MoveFileExA(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return Fail(GetLastError());
    }
    temp_.clear();
    registered_.Release();
    return true;
  }

  const std::string& FailureReason() const override { return reason_; }

 private:
  bool Fail(DWORD error) {
    reason_ = WindowsMessage(error);
    Discard();
    return false;
  }
  void Discard() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    if (!temp_.empty()) DeleteFileA(temp_.c_str());
    temp_.clear();
    registered_.Release();
  }

  HANDLE file_;
  std::string temp_;
  std::string target_;
  RegisteredTempFile registered_;
  std::string reason_;
};

BOOL WINAPI RemoveOnConsoleEnd(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT ||
      event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    RemoveRegisteredTempFiles();
  }
  return FALSE;  // the process ends as it would have
}

}  // namespace

std::unique_ptr<AtomicFileSink> CreateAtomicFileSink(const std::string& path, std::string& reason) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    std::string temp = TemporaryName(path, attempt, GetCurrentProcessId());
    // Delete sharing lets a console's end remove the file while it is open.
    const HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return std::make_unique<WindowsAtomicFileSink>(file, std::move(temp), path);
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      reason = WindowsMessage(error);
      return nullptr;
    }
  }
  reason = WindowsMessage(ERROR_FILE_EXISTS);
  return nullptr;
}

void RemoveTemporaryFilesOnTermination() { SetConsoleCtrlHandler(RemoveOnConsoleEnd, TRUE); }

}  // namespace segd
#endif
