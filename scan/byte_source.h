#pragma once
// The one reading seam of the scanner: read N bytes at a position, the part
// beyond the end of the record being zero bytes. The real program reads a
// file, the tests and the fuzzer read memory.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "scan/chunked_reads.h"

namespace segd {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills `out` with the bytes at 0-based `offset`; bytes the record does not
  // have read as 0. Never fails.
  virtual void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
  virtual std::uint64_t Size() const = 0;
};

class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;
  std::uint64_t Size() const override { return bytes_.size(); }

 private:
  std::span<const std::uint8_t> bytes_;
};

// A record file opened read-only (and, on Windows, denying other writers and
// readers, as the recorder's tools expect). Reads past the end of the file
// cost no system call; reads in small forward strides are served from large
// sequential chunks (scan/chunked_reads.h).
class FileByteSource final : public ByteSource {
 public:
  // nullptr when the file cannot be opened for reading or is not a regular
  // file; `reason`, when given, then receives the system's message.
  static std::unique_ptr<FileByteSource> Open(const std::string& path, std::string* reason = nullptr);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;
  std::uint64_t Size() const override { return size_; }

 private:
  FileByteSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  int fd_;
  std::uint64_t size_;
  ChunkedReads reads_;
};

}  // namespace segd
