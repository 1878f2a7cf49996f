#include "python/report_run.h"

#include "output/report/decode_file.h"

namespace segd::python {

namespace {

struct Cancelled {};

class StringSink final : public ByteSink {
 public:
  explicit StringSink(std::string& bytes) : bytes_(bytes) {}
  bool Write(const char* data, std::size_t size) override {
    bytes_.append(data, size);
    return true;
  }
  bool Close() override { return true; }

 private:
  std::string& bytes_;
};

// The record from disk, the report into memory.
class MemoryReportAccess final : public FileAccess {
 public:
  explicit MemoryReportAccess(std::string& bytes) : bytes_(bytes) {}
  std::unique_ptr<ByteSource> OpenRecord(const std::string& path) override { return FileByteSource::Open(path); }
  std::unique_ptr<ByteSink> CreateReport(const std::string&, const std::string&) override {
    bytes_.clear();
    return std::make_unique<StringSink>(bytes_);
  }

 private:
  std::string& bytes_;
};

class CollectedNotices final : public NoticeSink {
 public:
  explicit CollectedNotices(std::vector<model::Notice>& notices) : notices_(notices) {}
  void ShowNotice(std::string_view text, std::string_view caption, NoticeKind kind) override {
    notices_.push_back({std::string(text), std::string(caption),
                        kind == NoticeKind::Warning ? model::NoticeLevel::Warning : model::NoticeLevel::Plain});
  }

 private:
  std::vector<model::Notice>& notices_;
};

// Progress is where the run can be stopped: between traces.
class CancelCheck final : public ProgressSink {
 public:
  explicit CancelCheck(const std::atomic<bool>& cancel) : cancel_(cancel) {}
  void SetRange(std::int32_t, std::int32_t) override { Check(); }
  void SetPosition(std::int32_t) override { Check(); }

 private:
  void Check() {
    if (cancel_.load(std::memory_order_relaxed)) throw Cancelled{};
  }
  const std::atomic<bool>& cancel_;
};

class NoViewer final : public ReportViewer {
 public:
  void ViewReport(const std::string&) override {}
};

class FixedName final : public OutputNameSource {
 public:
  std::string OutputName() override { return "report"; }
};

}  // namespace

ReportOutcome RunReport(const std::string& path, const OutputSelection& selection, const std::atomic<bool>& cancel) {
  ReportOutcome outcome;
  OutputSelection chosen = selection;
  chosen[kSelectViewReport] = 0;
  TraceFields traceFields;
  FixedName name;
  CollectedNotices notices(outcome.notices);
  CancelCheck progress(cancel);
  NoViewer viewer;
  MemoryReportAccess files(outcome.bytes);
  ScanContext context{name, chosen, traceFields, notices, progress, viewer, files, ".", '/'};
  try {
    outcome.written = DecodeFile(path, context) == kReportWritten;
  } catch (const Cancelled&) {
    outcome.cancelled = true;
    outcome.bytes.clear();
  }
  if (!outcome.written) outcome.bytes.clear();
  return outcome;
}

}  // namespace segd::python
