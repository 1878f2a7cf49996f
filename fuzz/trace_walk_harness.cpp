// A few traces walked over any bytes, decoded and listed with any column
// selection.
//   bytes 0-2  samples per trace S (mod 100000)
//   byte 3     extension count K: 0, 1, 2, 3 or 99999
//   byte 4     traces walked, 1 to 6
//   bytes 5-8  columns: bit i (byte 5 + i / 8, bit i % 8) selects column i
//   the rest   the record from its first trace on
#include <algorithm>
#include <array>

#include "fuzz/harness.h"
#include "scan/makes/sn388/trace_header.h"
#include "output/report/trace_listing.h"
#include "output/report/trace_texts.h"
#include "scan/makes/sn388/trace_walk.h"

namespace segd::fuzz {

namespace {

constexpr std::size_t kPrefix = 9;
constexpr std::int32_t kExtensionCounts[] = {0, 1, 2, 3, 99999};
const std::string kUntouched = "entries 30-35 belong to the window";

// The width of every column text, as a trace of zero bytes gives them.
std::array<std::size_t, kTraceColumns> TextWidths() {
  const std::array<std::uint8_t, 84> zeros{};
  MemoryByteSource source(zeros);
  TraceFields fields;
  std::int64_t position = 1;
  ReadTrace(source, 0, position, 2, fields);
  std::array<std::size_t, kTraceColumns> widths{};
  for (std::size_t i = 0; i < widths.size(); ++i) widths[i] = fields.Text[i].size();
  return widths;
}

}  // namespace

std::string CheckTraceWalk(Input input) {
  if (input.size() < kPrefix) return {};
  const std::int32_t samples = ((input[0] << 16) | (input[1] << 8) | input[2]) % 100000;
  const std::int32_t extensions = kExtensionCounts[input[3] % 5];
  const int traces = input[4] % 6 + 1;
  OutputSelection selection{};
  for (int i = 0; i < kTraceColumns; ++i) selection[static_cast<std::size_t>(i)] = (input[5 + i / 8] >> (i % 8)) & 1;
  const Input record = input.subspan(kPrefix);

  // The decoders alone, on blocks cut short anywhere.
  {
    TraceHeaderRecord header{};
    TraceExtension1Record one{};
    TraceExtension2Record two{};
    DecodeTraceHeader(record.first(std::min<std::size_t>(record.size(), kTraceHeaderBytes)), header);
    DecodeTraceExtension1(record.first(std::min<std::size_t>(record.size(), kTraceExtensionBytes)), one);
    DecodeTraceExtension2(record.first(std::min<std::size_t>(record.size(), kTraceExtensionBytes)), two);
  }

  static const std::array<std::size_t, kTraceColumns> kWidths = TextWidths();
  MemoryByteSource source(record);
  TraceFields fields;
  MemoryByteSink sink;
  ReportWriter report(sink);
  ListTraceHeading(selection, fields, report);
  for (int i = kTraceColumns; i < kSelectionEntries; ++i) fields.Text[static_cast<std::size_t>(i)] = kUntouched;

  std::size_t lowest = 6, highest = 6;
  for (int i = 0; i < kTraceColumns; ++i) {
    if (!selection[static_cast<std::size_t>(i)]) continue;
    lowest += static_cast<std::size_t>(fields.Width[static_cast<std::size_t>(i)]);
    highest += static_cast<std::size_t>(fields.Width[static_cast<std::size_t>(i)]) + 1;
  }

  std::int64_t position = 1;
  std::string line;
  for (int trace = 1; trace <= traces; ++trace) {
    const std::int64_t before = position;
    if (ReadTrace(source, samples, position, extensions, fields) != 0) return "ReadTrace returned other than 0";
    if (position != before + (extensions == 2 ? 84 : 52) + 4 * std::int64_t{samples}) {
      return "the walk did not move past exactly one trace";
    }
    for (int i = kTraceColumns; i < kSelectionEntries; ++i) {
      if (fields.Text[static_cast<std::size_t>(i)] != kUntouched) return "ReadTrace touched entries 30-35";
    }
    for (std::size_t i = 0; i < kWidths.size(); ++i) {
      if (fields.Text[i].size() != kWidths[i]) return "column " + std::to_string(i) + " text changed its width";
    }
    if (extensions != 2) {
      for (std::size_t i : {3u, 4u, 5u}) {
        if (fields.Text[i].find_first_not_of('\0') != std::string::npos) return "extension 2 columns filled without K = 2";
      }
    }
    BuildTraceLine(trace, selection, fields, line);
    if (line.size() < lowest || line.size() > highest) return "a trace line is not as wide as its columns";
    report.WriteLine(line);
  }
  if (!report.Finish()) return "the memory report failed";
  return {};
}

}  // namespace segd::fuzz
