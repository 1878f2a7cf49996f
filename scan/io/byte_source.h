#pragma once
// The one reading seam of the scanner: read N bytes at a position, the part
// beyond the end of the record being zero bytes. The real program reads a
// file, the tests and the fuzzer read memory.
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "scan/io/chunked_reads.h"

namespace segd {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills `out` with the bytes at 0-based `offset`; bytes the record does not
  // have read as 0. Never fails.
  virtual void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
  virtual std::uint64_t Size() const = 0;

  // Whether ReadShared may be called from several threads at once, and
  // alongside Size. A source that counts, fails or changes its reads says no
  // (the default): its walk then reads through ReadAt alone, in order.
  virtual bool SharedReads() const { return false; }
  // ReadAt without the reader's own state (no chunk kept, nothing learned
  // from the previous read): the bytes at `offset`, those the record does not
  // have read as 0. A read that finds the end of a file that shrank lowers
  // Size as ReadAt does. Only when SharedReads says so may several threads
  // call it; otherwise it is ReadAt.
  virtual void ReadShared(std::uint64_t offset, std::span<std::uint8_t> out) { ReadAt(offset, out); }
};

class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;
  std::uint64_t Size() const override { return bytes_.size(); }
  bool SharedReads() const override { return true; }
  void ReadShared(std::uint64_t offset, std::span<std::uint8_t> out) override { ReadAt(offset, out); }

 private:
  std::span<const std::uint8_t> bytes_;
};

// A record file opened read-only (and, on Windows, denying other writers and
// readers, as the recorder's tools expect). Reads past the end of the file
// cost no system call; reads in small forward strides are served from large
// sequential chunks (scan/io/chunked_reads.h).
class FileByteSource final : public ByteSource {
 public:
  // nullptr when the file cannot be opened for reading or is not a regular
  // file; `reason`, when given, then receives the system's message.
  static std::unique_ptr<FileByteSource> Open(const std::string& path, std::string* reason = nullptr);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;
  std::uint64_t Size() const override { return size_.load(std::memory_order_relaxed); }
  // A plain positioned read; on Windows reading moves the file's one
  // position, so there it is not shared.
  bool SharedReads() const override;
  void ReadShared(std::uint64_t offset, std::span<std::uint8_t> out) override;

 private:
  FileByteSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  int fd_;
  // Lowered to where a read found the end of a file that shrank; shared
  // reads may lower it from several threads.
  std::atomic<std::uint64_t> size_;
  ChunkedReads reads_;
};

}  // namespace segd
