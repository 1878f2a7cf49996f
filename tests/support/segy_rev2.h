#pragma once
// A SEG-Y revision 2.0 reader for the tests (segyio 1.8 reads revision 1
// only): the binary header's revision, 32-bit counts and byte-order marker,
// then each trace through its standard header and the additional trace
// headers the binary header announces, its sample count from trace header
// extension 1 (bytes 137-140) where nonzero, else bytes 115-116 read
// unsigned, else the binary header's. Fails the test on a file that does not
// hold together.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace segd::test {

struct SegyRev2 {
  std::string bytes;  // the whole file
  struct Trace {
    std::size_t at;        // the standard trace header's offset
    std::size_t headers;   // 240-byte headers before the samples
    std::uint64_t samples;
    std::size_t data;      // the first sample's offset
  };
  std::vector<Trace> traces;

  // Big-endian, at a 1-based SEG-Y byte position from `base`.
  std::uint64_t Big(std::size_t base, std::size_t firstByte, int width) const {
    std::uint64_t v = 0;
    for (int i = 0; i < width; ++i) v = (v << 8) | static_cast<unsigned char>(bytes.at(base + firstByte - 1 + i));
    return v;
  }
  std::uint64_t File(std::size_t firstByte, int width) const { return Big(0, firstByte, width); }
  std::string Name(std::size_t base) const { return bytes.substr(base + 232, 8); }
  std::uint32_t SampleBits(std::size_t trace, std::size_t k) const {
    return static_cast<std::uint32_t>(Big(traces.at(trace).data, 1 + 4 * k, 4));
  }
};

inline SegyRev2 ReadSegyRev2(const std::string& path) {
  SegyRev2 f;
  std::ifstream in(path, std::ios::binary);
  f.bytes.assign(std::istreambuf_iterator<char>(in), {});
  if (f.bytes.size() < 3600) {
    ADD_FAILURE() << path << " is too short";
    return f;
  }
  EXPECT_EQ(f.File(3501, 1), 2u) << "major revision";
  EXPECT_EQ(f.File(3297, 4), 0x01020304u) << "byte order";
  const std::uint64_t extra = f.File(3507, 4);
  const std::uint64_t binarySamples = f.File(3269, 4) ? f.File(3269, 4) : f.File(3221, 2);
  std::size_t at = 3600 + 3200 * f.File(3505, 2);
  EXPECT_EQ(at, f.File(3521, 8));
  while (at < f.bytes.size()) {
    SegyRev2::Trace t{at, 1 + extra, 0, 0};
    if (extra) {
      EXPECT_EQ(f.Name(at) + f.Name(at + 240), "SEG00000SEG00001");
    }
    t.samples = extra && f.Big(at + 240, 137, 4) ? f.Big(at + 240, 137, 4) : f.Big(at, 115, 2);
    t.samples = t.samples ? t.samples : binarySamples;
    t.data = at + 240 * t.headers;
    at = t.data + 4 * t.samples;
    EXPECT_LE(at, f.bytes.size()) << "trace " << f.traces.size() + 1 << " cut short";
    f.traces.push_back(t);
  }
  EXPECT_EQ(f.traces.size(), f.File(3513, 8));
  return f;
}

}  // namespace segd::test
