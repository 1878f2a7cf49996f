#pragma once
// The temporary files of this process that a termination signal must
// remove. Registration is lock-free, so the removal may run in a signal
// handler (or, on Windows, the console's control thread). The table has no
// fixed size: it grows by blocks of slots, never freed or moved, so a
// handler can walk it whatever is being registered at that moment.
#include <atomic>
#include <string>

namespace segd {

class RegisteredTempFile {
 public:
  // Registers `path` (a copy is kept); throws std::bad_alloc when the table
  // cannot grow.
  explicit RegisteredTempFile(const std::string& path);
  ~RegisteredTempFile() { Release(); }
  // Out of the table: the file was moved to its name or removed.
  void Release();
  RegisteredTempFile(const RegisteredTempFile&) = delete;
  RegisteredTempFile& operator=(const RegisteredTempFile&) = delete;

 private:
  std::atomic<const char*>* slot_ = nullptr;
  std::string path_;
};

// Held from just before a temporary file is created until it is registered:
// a removal that has begun waits for such creations to register (so none is
// missed) and forbids new ones (Allowed false: the process is ending).
class TempFileCreation {
 public:
  TempFileCreation();
  ~TempFileCreation();
  TempFileCreation(const TempFileCreation&) = delete;
  TempFileCreation& operator=(const TempFileCreation&) = delete;
  bool Allowed() const;
};

// Removes every registered file, after creations under way have registered
// theirs (waiting at most a second); async-signal-safe. No file can be
// created afterwards.
void RemoveRegisteredTempFiles();

// Files registered now (for tests).
int RegisteredTempFileCount();

}  // namespace segd
