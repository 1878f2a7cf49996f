#include "output/report/trace_feed.h"

#include <algorithm>
#include <array>
#include <span>

#include "scan/makes/sn388/trace_walk.h"

namespace segd {

TraceFeed::TraceFeed(ByteSource& record, const TraceWalkPlan& plan, const TraceLineBuilder& cells,
                     ReportWriter& report)
    : record_(record), plan_(plan), cells_(cells), report_(report),
      forward_(plan.samplesPerTrace >= 0 && plan.firstPosition >= 1), next_(plan.firstPosition) {}

void TraceFeed::Decode(std::int64_t position, const model::TraceRow* row, bool shared, TraceRecords& records) const {
  const std::size_t wanted = TraceHeaderBytesRead(plan_.extensionCount);
  if (row != nullptr && position >= 1 && row->byteOffset == static_cast<std::uint64_t>(position - 1) &&
      row->headerBytes.size() >= wanted) {
    DecodeTraceBlocks(row->headerBytes.first(wanted), plan_.extensionCount, records);
    return;
  }
  // A place before the first byte reads as zeros, as in the report's walk.
  std::array<std::uint8_t, kTraceHeaderBytes + 2 * kTraceExtensionBytes> bytes{};
  const std::span<std::uint8_t> blocks(bytes.data(), wanted);
  if (position >= 1) {
    if (shared) {
      record_.ReadShared(static_cast<std::uint64_t>(position - 1), blocks);
    } else {
      record_.ReadAt(static_cast<std::uint64_t>(position - 1), blocks);
    }
  }
  DecodeTraceBlocks(blocks, plan_.extensionCount, records);
}

void TraceFeed::Row(const model::TraceRow& row) {
  fed_ = row.trace;
  if (row.trace < 1 || row.trace > plan_.traces) return;
  TraceRecords records;
  Decode(next_, &row, false, records);
  next_ = NextTracePosition(next_, plan_.samplesPerTrace, plan_.extensionCount);
  cells_.Build(static_cast<std::int32_t>(row.trace), records, line_);
  report_.WriteLine(line_);
}

void TraceFeed::AppendRowText(std::size_t, const model::TraceRow& row, std::string& out) const {
  if (row.trace < 1 || row.trace > plan_.traces) return;
  TraceRecords records;
  Decode(TracePosition(plan_, row.trace), &row, record_.SharedReads(), records);
  cells_.Append(static_cast<std::int32_t>(row.trace), records, out);
  out += "\r\n";
}

void TraceFeed::ListRest(TraceRecords& last) {
  if (plan_.traces <= 0) return;
  const std::int64_t from = std::clamp<std::int64_t>(fed_, 0, plan_.traces) + 1;
  // Row keeps the place of the next trace; lines made on the walk's
  // threads leave it to be worked out (their places go forward).
  std::int64_t position = forward_ ? TracePosition(plan_, from) : next_;
  for (std::int64_t i = from; i <= plan_.traces; ++i) {
    Decode(position, nullptr, false, last);
    position = NextTracePosition(position, plan_.samplesPerTrace, plan_.extensionCount);
    cells_.Build(static_cast<std::int32_t>(i), last, line_);
    report_.WriteLine(line_);
  }
  // The window shows the last trace's texts: read again when the walk
  // listed it.
  if (from > plan_.traces) Decode(TracePosition(plan_, plan_.traces), nullptr, false, last);
}

}  // namespace segd
