// SN388 records into the record model: the report's own header decoding and
// trace walk, each trace handed on as one row of the report's texts.
#include <memory>

#include "scan/decode_file.h"
#include "scan/record_scan_makes.h"
#include "scan/sn388_decode.h"
#include "scan/sn388_model.h"
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
  TraceFields fields;
  CollectedNotices notices;
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
  const std::int32_t samples = h.SamplesPerTrace();
  const std::int32_t traces = h.TotalTraces();
  const std::int32_t extensions = h.TraceExtensions();
  std::array<std::uint8_t, kTraceHeaderBytes> header{};
  std::int64_t position = h.firstTraceOffset + 1;  // the walk counts from 1
  bool cancelled = false;
  for (std::int32_t i = 1; i <= traces && i > 0; ++i) {
    if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed)) {
      cancelled = true;
      break;
    }
    const std::int64_t offset = position - 1;
    ReadTrace(source, samples, position, extensions, scan->fields, header);
    feed.Trace(i, offset, header, scan->fields);
    if (options.progress && (i % kProgressStep == 0 || i == traces)) options.progress(i, traces);
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
