#pragma once
// The temporary files of this process that a termination signal must
// remove. Registration is lock-free, so the removal may run in a signal
// handler (or, on Windows, the console's control thread).
#include <string>

namespace segd {

class RegisteredTempFile {
 public:
  // Registers `path` (a copy is kept); a full table (64 at once) leaves it
  // unregistered, removed by its owner only.
  explicit RegisteredTempFile(const std::string& path);
  ~RegisteredTempFile() { Release(); }
  // Out of the table: the file was moved to its name or removed.
  void Release();
  RegisteredTempFile(const RegisteredTempFile&) = delete;
  RegisteredTempFile& operator=(const RegisteredTempFile&) = delete;

 private:
  int slot_ = -1;
  std::string path_;
};

// Removes every registered file; async-signal-safe.
void RemoveRegisteredTempFiles();

}  // namespace segd
