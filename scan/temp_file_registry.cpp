#include "scan/temp_file_registry.h"

#include <atomic>

#ifdef _WIN32
#include <io.h>
#define SEGD_UNLINK _unlink
#else
#include <unistd.h>
#define SEGD_UNLINK ::unlink
#endif

namespace segd {

namespace {

constexpr int kSlots = 64;
std::atomic<const char*> gSlots[kSlots];

}  // namespace

RegisteredTempFile::RegisteredTempFile(const std::string& path) : path_(path) {
  if (path_.empty()) return;  // nothing to remove: an output written in place
  for (int i = 0; i < kSlots; ++i) {
    const char* expected = nullptr;
    if (gSlots[i].compare_exchange_strong(expected, path_.c_str())) {
      slot_ = i;
      return;
    }
  }
}

void RegisteredTempFile::Release() {
  // Out of the table before the text goes away.
  if (slot_ >= 0) gSlots[slot_].store(nullptr);
  slot_ = -1;
}

void RemoveRegisteredTempFiles() {
  for (std::atomic<const char*>& slot : gSlots) {
    // unlink() is async-signal-safe; on Windows the file was opened with
    // delete sharing, so it goes when the dying process closes it.
    if (const char* path = slot.exchange(nullptr)) SEGD_UNLINK(path);
  }
}

}  // namespace segd
