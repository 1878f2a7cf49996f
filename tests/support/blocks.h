#pragma once
// Hand-built header blocks: zeroed bytes with values poked at the recording
// format's 1-based byte positions.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "output/report/report_writer.h"

namespace segd::testing {

using Block = std::array<std::uint8_t, 32>;

// Sets bytes first, first+1, ... (1-based) to `values`.
inline void Poke(Block& block, std::size_t first, std::initializer_list<std::uint8_t> values) {
  for (std::uint8_t v : values) block[first++ - 1] = v;
}

// General header block 1 of an SN388 record: file 1234, format 8058, year 06
// day 045 (two additional blocks), 09:41:07, Sercel, 1 ms, normal record,
// one channel set, 32 extended and 0 external blocks.
inline Block Sn388Block1() {
  Block b{};
  Poke(b, 1, {0x12, 0x34, 0x80, 0x58});
  Poke(b, 11, {0x06, 0x20, 0x45, 0x09, 0x41, 0x07, 0x13, 0x01, 0x23});
  Poke(b, 23, {0x10, 0x00, 0x00, 0x86, 0x00, 0x01, 0x01, 0x00, 0x32, 0x00});
  return b;
}

inline void Append(std::vector<std::uint8_t>& out, const Block& block) { out.insert(out.end(), block.begin(), block.end()); }

// Splits text at CR LF.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Runs a listing into memory and returns its lines.
template <class F>
std::vector<std::string> ListingLines(F&& list) {
  MemoryByteSink sink;
  {
    ReportWriter report(sink);
    list(report);
    report.Finish();
  }
  return Lines(sink.Text());
}

}  // namespace segd::testing
