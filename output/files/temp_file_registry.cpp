#include "output/files/temp_file_registry.h"

#ifdef _WIN32
#include <io.h>
#define SEGD_UNLINK _unlink
#else
#include <time.h>
#include <unistd.h>
#define SEGD_UNLINK ::unlink
#endif

namespace segd {

namespace {

struct SlotBlock {
  static constexpr int kSlots = 64;
  std::atomic<const char*> slots[kSlots] = {};
  std::atomic<SlotBlock*> next{nullptr};
};

// The first block is static; later ones are added at the end, once each.
SlotBlock gFirst;

std::atomic<int> gCreating{0};
std::atomic<bool> gEnding{false};

}  // namespace

RegisteredTempFile::RegisteredTempFile(const std::string& path) : path_(path) {
  if (path_.empty()) return;  // nothing to remove: an output written in place
  for (SlotBlock* block = &gFirst;;) {
    for (std::atomic<const char*>& slot : block->slots) {
      const char* expected = nullptr;
      if (slot.compare_exchange_strong(expected, path_.c_str())) {
        slot_ = &slot;
        return;
      }
    }
    SlotBlock* next = block->next.load();
    if (!next) {
      auto* added = new SlotBlock;
      if (block->next.compare_exchange_strong(next, added)) {
        next = added;
      } else {
        delete added;  // another thread added one first: `next` is it
      }
    }
    block = next;
  }
}

void RegisteredTempFile::Release() {
  // Out of the table before the text goes away.
  if (slot_) slot_->store(nullptr);
  slot_ = nullptr;
}

TempFileCreation::TempFileCreation() { gCreating.fetch_add(1); }
TempFileCreation::~TempFileCreation() { gCreating.fetch_sub(1); }
bool TempFileCreation::Allowed() const { return !gEnding.load(); }

void RemoveRegisteredTempFiles() {
  // A creation that saw no ending registers before the count drops; one
  // that starts later sees the ending and creates nothing.
  gEnding.store(true);
#ifndef _WIN32
  for (int waited = 0; waited < 1000 && gCreating.load() > 0; ++waited) {
    const timespec millisecond{0, 1000000};
    nanosleep(&millisecond, nullptr);  // async-signal-safe
  }
#endif
  for (SlotBlock* block = &gFirst; block; block = block->next.load()) {
    for (std::atomic<const char*>& slot : block->slots) {
      // unlink() is async-signal-safe; on Windows the file was opened with
      // delete sharing, so it goes when the dying process closes it.
      if (const char* path = slot.exchange(nullptr)) SEGD_UNLINK(path);
    }
  }
}

int RegisteredTempFileCount() {
  int count = 0;
  for (const SlotBlock* block = &gFirst; block; block = block->next.load()) {
    for (const std::atomic<const char*>& slot : block->slots) count += slot.load() != nullptr;
  }
  return count;
}

}  // namespace segd
