#pragma once
// One whole scan of a record file: headers decoded in file order, the report
// named and written, every trace listed. The window and the command line
// differ only in the sinks and file access they lend to the run.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "scan/io/byte_source.h"
#include "scan/model/notice_sink.h"
#include "scan/model/record_model.h"
#include "scan/model/record_scan.h"
#include "output/report/report_writer.h"
#include "output/report/trace_fields.h"

namespace segd {

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void SetRange(std::int32_t lowest, std::int32_t highest) = 0;
  virtual void SetPosition(std::int32_t value) = 0;
};

class ReportViewer {
 public:
  virtual ~ReportViewer() = default;
  // Opens the finished report; reports its own failure.
  virtual void ViewReport(const std::string& path) = 0;
};

class OutputNameSource {
 public:
  virtual ~OutputNameSource() = default;
  // What the user typed as the report's name, read once per run.
  virtual std::string OutputName() = 0;
};

// Opening the record and creating the report; tests substitute memory.
class FileAccess {
 public:
  virtual ~FileAccess() = default;
  // nullptr when the record cannot be opened.
  virtual std::unique_ptr<ByteSource> OpenRecord(const std::string& path) = 0;
  // nullptr when the report cannot be created, or when its path names the
  // record file itself (which must never be emptied). The report counts as
  // written only when the sink's Close succeeds.
  virtual std::unique_ptr<ByteSink> CreateReport(const std::string& reportPath, const std::string& recordPath) = 0;
  // Why the last OpenRecord or CreateReport gave nullptr, in the system's
  // words; empty when not known.
  virtual std::string FailureReason() const { return {}; }
  // "report file PATH", or what else the report goes to, for a message.
  virtual std::string ReportDescription(const std::string& reportPath) const { return "report file " + reportPath; }
};

// The real files of the platform.
class DiskFileAccess final : public FileAccess {
 public:
  std::unique_ptr<ByteSource> OpenRecord(const std::string& path) override;
  // The report is written to a temporary file beside it and moved over the
  // name only when whole (output/files/atomic_file.h).
  std::unique_ptr<ByteSink> CreateReport(const std::string& reportPath, const std::string& recordPath) override;
  std::string FailureReason() const override { return reason_; }

 private:
  std::string reason_;
};

struct ScanContext {
  OutputNameSource& outputName;
  const OutputSelection& selection;
  TraceFields& traceFields;
  NoticeSink& notices;
  ProgressSink& progress;
  ReportViewer& viewer;
  FileAccess& files;
  std::string reportFolder;  // the folder the report is created in
  char separator = '\\';     // of report paths
};

// What became of a run.
inline constexpr std::int32_t kReportWritten = 0;
inline constexpr std::int32_t kNoReport = 1;
// The report was written, but the record ends before its last announced
// trace (told in a notice "Record Cut Short").
inline constexpr std::int32_t kReportWrittenRecordCut = 3;

// The notice of a record whose trace `first` of `total` (and every later one)
// reaches past the end of the file; caption "Record Cut Short", a warning.
inline std::string RecordCutShortText(std::int64_t first, std::int64_t total) {
  const std::string n = std::to_string(first);
  return "The record file ends inside trace " + n + " of " + std::to_string(total) + "; the traces from " + n +
         " on were read past its end";
}
inline constexpr std::string_view kRecordCutShortCaption = "Record Cut Short";

// Scans the record at `inputPath`. Every notice goes through the context's
// sink; returns kReportWritten, kReportWrittenRecordCut or kNoReport.
std::int32_t DecodeFile(const std::string& inputPath, ScanContext& context);

// DecodeFile in its steps, for a caller whose walk of the record feeds the
// data outputs and can feed the trace table too, so that the record is read
// once: Start decodes the headers and writes the report up to its trace
// table; the general decoder's walk then feeds Traces() (or none does);
// Finish lists the traces the walk did not reach, closes the report and
// tells what DecodeFile tells. The report is the same either way.
class ReportRun {
 public:
  ReportRun(const std::string& inputPath, ScanContext& context);
  ~ReportRun();
  // Reads `record` (which must outlive the run) instead of opening the
  // file. False when no report is begun (its notice told): Finish then
  // gives kNoReport.
  bool Start(ByteSource& record);
  // The consumer of the walk's rows (a model::RowTexts too); only after a
  // Start that succeeded.
  model::RecordConsumer& Traces();
  std::int32_t Finish();

 private:
  class Run;
  friend std::int32_t DecodeFile(const std::string& inputPath, ScanContext& context);
  std::unique_ptr<Run> run_;
  bool started_ = false;
};

}  // namespace segd
