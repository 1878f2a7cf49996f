// The record file read through chunks gives exactly the bytes a plain read
// gives, whatever the read pattern; and the report written through the
// writer thread holds exactly the bytes written, or says it does not.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "scan/io/byte_source.h"
#include "output/files/threaded_sink.h"

namespace segd {
namespace {

namespace fs = std::filesystem;

struct Pattern {
  const char* name;
  std::size_t fileBytes;
  std::uint64_t minStep, maxStep;  // forward distance between reads
  std::size_t maxRead;
  double backwards;      // share of reads that jump to a random place
  int shrinkAfter = -1;  // the file is cut to shrinkTo after this read
  std::size_t shrinkTo = 0;
};

TEST(ChunkedReads, GiveThePlainReadsBytesAndZerosPastTheEndWhateverThePattern) {
  const Pattern patterns[] = {
      {"header blocks and short traces", 3u << 20, 32, 4100, 84, 0.0},
      {"traces just under and over the chunking stride", 6u << 20, 7000, 9500, 84, 0.0},
      {"far-apart traces", 6u << 20, 40000, 90000, 84, 0.0},
      {"random jumps, reads over the end", 2u << 20, 1, 3000, 2000, 0.2},
      {"reads larger than half a chunk", 3u << 20, 1, 4000, 700000, 0.3},
      {"file shrinking in the middle of the walk", 4u << 20, 2000, 6000, 84, 0.0, 300, 1500000},
      {"file emptied after the first read", 1u << 20, 32, 64, 32, 0.0, 0, 0},
  };
  for (const Pattern& p : patterns) {
    SCOPED_TRACE(p.name);
    std::mt19937_64 random(42);
    std::vector<std::uint8_t> bytes(p.fileBytes);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random() % 255 + 1);  // no zero: a zero shows a cut
    const fs::path path = fs::temp_directory_path() / ("segd-chunked-" + std::to_string(::getpid()));
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
    auto file = FileByteSource::Open(path.string());
    ASSERT_NE(file, nullptr);
    MemoryByteSource plain(bytes);

    std::uint64_t offset = 0;
    bool shrunk = false;
    for (int i = 0; i < 2000; ++i) {
      const std::size_t size = 1 + random() % p.maxRead;
      std::vector<std::uint8_t> got(size, 0xEE), want(size, 0xEE);
      file->ReadAt(offset, got);
      plain.ReadAt(offset, want);
      for (std::size_t k = 0; got != want && k < size; ++k) {
        // After the cut a byte past it may still come from a chunk read
        // before; it is the record's byte or zero, nothing else.
        const bool cutAway = shrunk && offset + k >= p.shrinkTo;
        if (got[k] != want[k] && !(cutAway && got[k] == 0)) {
          FAIL() << "read " << i << " of " << size << " bytes at " << offset << ": byte " << k;
        }
      }
      if (i == p.shrinkAfter) {
        fs::resize_file(path, p.shrinkTo);
        shrunk = true;
      }
      const bool jump = std::uniform_real_distribution<>(0, 1)(random) < p.backwards;
      offset = jump ? random() % (p.fileBytes + 4096) : offset + p.minStep + random() % (p.maxStep - p.minStep + 1);
      if (offset > p.fileBytes + 8192) offset = 0;
    }
    file.reset();
    fs::remove(path);
  }
}

// Accepts `limit` bytes, then fails every write.
class LimitedSink final : public ByteSink {
 public:
  explicit LimitedSink(std::string& text, std::size_t limit) : text_(text), limit_(limit) {}
  bool Write(const char* data, std::size_t size) override {
    if (text_.size() + size > limit_) return false;
    text_.append(data, size);
    return true;
  }
  bool Close() override { return true; }

 private:
  std::string& text_;
  std::size_t limit_;
};

TEST(WriterThread, PassesEveryByteInOrderAndReportsAFailedWriteByClose) {
  struct Case {
    const char* name;
    std::size_t bufferBytes;
    std::size_t largestWrite;
    std::size_t limit;  // the sink fails past this many bytes
  };
  const Case cases[] = {
      {"many buffers", 1000, 3000, SIZE_MAX},
      {"seven-byte buffers", 7, 100, SIZE_MAX},
      {"writes larger than the buffer", 4096, 20000, SIZE_MAX},
      {"failure at the start", 4096, 3000, 0},
      {"failure after some buffers", 4096, 3000, 50000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string expected;
    std::string written;
    auto sink = WithWriterThread(std::make_unique<LimitedSink>(written, c.limit), c.bufferBytes);
    std::mt19937 random(7);
    bool accepted = true;
    for (int i = 0; i < 300 && accepted; ++i) {
      const std::string piece(random() % (c.largestWrite + 1), static_cast<char>('a' + i % 26));
      expected += piece;
      accepted = sink->Write(piece.data(), piece.size());
    }
    const bool closed = sink->Close();
    if (c.limit == SIZE_MAX) {
      EXPECT_TRUE(accepted && closed);
      EXPECT_EQ(written, expected);
    } else {
      EXPECT_FALSE(closed);
      EXPECT_LE(written.size(), c.limit);
      EXPECT_EQ(written, expected.substr(0, written.size()));  // nothing after the failure
    }
  }
}

}  // namespace
}  // namespace segd
