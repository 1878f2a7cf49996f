// SN388 records into the record model: the report's own header decoding and
// trace walk, each trace handed on as one row of the report's texts.
#include <memory>

#include "scan/decode_file.h"
#include "scan/record_scan_makes.h"
#include "scan/sn388_decode.h"
#include "scan/sn388_model.h"
#include "scan/trace_batches.h"
#include "scan/trace_walk.h"

namespace segd::model {

namespace {

// Progress is reported once per this many traces, and at the end.
constexpr std::int64_t kProgressStep = 4096;

class CollectedNotices final : public NoticeSink {
 public:
  std::vector<Notice> notices;
  void ShowNotice(std::string_view text, std::string_view caption, NoticeKind kind) override {
    notices.push_back({std::string(text), std::string(caption),
                       kind == NoticeKind::Warning ? NoticeLevel::Warning : NoticeLevel::Plain});
  }
};

// The per-run state: the decoded records are a few kilobytes, so on the heap.
struct Sn388Scan {
  Sn388Headers headers;
  CollectedNotices notices;
};

// Each trace's row, made on the walk's worker threads.
class RowBatchFormat final : public TraceBatchFormat {
 public:
  explicit RowBatchFormat(const Sn388ModelFeed& feed) : feed_(feed) {}
  void Add(std::int32_t sequence, std::int64_t position, const TraceRecords& records, const std::uint8_t* header,
           TraceBatch& batch) const override {
    feed_.AddToBatch(sequence, position - 1, header, records, batch);
  }

 private:
  const Sn388ModelFeed& feed_;
};

}  // namespace

std::optional<ScanResult> ScanSn388Record(ByteSource& source, const std::string& path, RecordConsumer& consumer,
                                          const ScanOptions& options) {
  auto scan = std::make_unique<Sn388Scan>();
  const bool decoded = DecodeSn388Headers(source, scan->headers, scan->notices);
  if (!scan->headers.IsSn388()) return std::nullopt;

  ScanResult result;
  if (!decoded) {
    result.status = ScanStatus::NotSegd;
    result.notices = std::move(scan->notices.notices);
    return result;
  }

  const Sn388Headers& h = scan->headers;
  Sn388ModelFeed feed(h, path, source.Size(), consumer);
  feed.Begin();
  const TraceWalkPlan plan{h.SamplesPerTrace(), h.TraceExtensions(), h.TotalTraces(), h.firstTraceOffset + 1};
  const std::int32_t traces = plan.traces;
  std::int64_t position = plan.firstPosition;  // the walk counts from 1
  bool cancelled = false;
  auto cancel = [&options, &cancelled] {
    cancelled = options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed);
    return cancelled;
  };
  auto progress = [&options, traces](std::int32_t i) {
    if (options.progress && (i % kProgressStep == 0 || i == traces)) options.progress(i, traces);
  };
  if (TraceBatchesSuit(source, plan)) {
    // Rows made on both cores, handed on here in file order; a cancel
    // takes effect between batches.
    const RowBatchFormat format(feed);
    RunTraceBatches(source, plan, format, [&](TraceBatch& batch) {
      if (cancel()) return false;
      feed.TakeBatch(batch);
      for (std::int32_t k = 0; k < batch.count; ++k) {
        position = NextTracePosition(position, plan.samplesPerTrace, plan.extensionCount);
        progress(batch.first + k);
      }
      return true;
    });
  } else {
    std::array<std::uint8_t, kTraceHeaderBytes> header{};
    TraceRecords records;
    for (std::int32_t i = 1; i <= traces && i > 0; ++i) {
      if (cancel()) break;
      const std::int64_t offset = position - 1;
      ReadTraceRecords(source, plan.samplesPerTrace, position, plan.extensionCount, records, header.data());
      feed.Trace(i, offset, header.data(), records);
      progress(i);
    }
  }

  result.notices = std::move(scan->notices.notices);
  if (const std::optional<std::int64_t> first = feed.FirstTracePastEnd(); first && !cancelled) {
    result.notices.push_back({RecordCutShortText(*first, traces), std::string(kRecordCutShortCaption), NoticeLevel::Warning});
  }
  result.integrity = feed.End(position - 1, result.notices);
  if (cancelled) {
    result.status = ScanStatus::Cancelled;
  } else if (!result.notices.empty() || !result.integrity.problems.empty()) {
    result.status = ScanStatus::Findings;
  }
  return result;
}

}  // namespace segd::model
