#include "app/batch_job.h"

#include "app/record_walk.h"
#include "app/samples_files.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <system_error>

#include "output/files/safe_file.h"
#include "output/report/decode_file.h"
#include "output/writers.h"
#include "scan/model/record_scan.h"

namespace segd::app {

namespace fs = std::filesystem;

namespace {

std::string FileName(const std::string& path) { return fs::path(path).filename().string(); }

std::uint32_t Fnv1a(std::string_view text) {
  std::uint32_t hash = 2166136261u;
  for (const char c : text) hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
  return hash;
}

class BatchReportAccess final : public FileAccess {
 public:
  explicit BatchReportAccess(std::string reportPath) : reportPath_(std::move(reportPath)) {}
  std::unique_ptr<ByteSource> OpenRecord(const std::string& path) override { return disk_.OpenRecord(path); }
  std::unique_ptr<ByteSink> CreateReport(const std::string&, const std::string&) override {
    created = true;
    // The report goes into a SafeFile whatever name the run gives it.
    auto sink = std::make_unique<output::SafeFile>(reportPath_);
    if (!sink->IsOpen()) return nullptr;
    return sink;
  }
  bool created = false;

 private:
  DiskFileAccess disk_;
  std::string reportPath_;
};

// The report's own notices repeat the model scan's; the last one says why
// no report was written, when none was.
class LastNotice final : public NoticeSink {
 public:
  void ShowNotice(std::string_view text, std::string_view, NoticeKind) override {
    last = std::string(text.substr(0, text.find_last_not_of(' ') + 1));
  }
  std::string last;
};
class NoProgress final : public ProgressSink {
 public:
  void SetRange(std::int32_t, std::int32_t) override {}
  void SetPosition(std::int32_t) override {}
};
class NoViewer final : public ReportViewer {
 public:
  void ViewReport(const std::string&) override {}
};
class BatchName final : public OutputNameSource {
 public:
  std::string OutputName() override { return "batch"; }
};

// The text report of one record, begun before the walk that feeds its
// trace table (the record is read once).
class TextReport {
 public:
  TextReport(const std::string& record, const std::string& reportPath, const OutputSelection& selection)
      : files_(reportPath), selection_(selection), run_(record, context_), reportPath_(reportPath) {
    selection_[kSelectViewReport] = 0;
  }
  // The consumer of the walk's rows; null when the report's decoder does not
  // take the record.
  model::RecordConsumer* Start(ByteSource& record) { return run_.Start(record) ? &run_.Traces() : nullptr; }
  // Empty when the report was written (a cut record's included); otherwise
  // why not: it was begun but not written whole, or the report's decoder
  // could not take the record.
  std::string Finish() {
    const std::int32_t outcome = run_.Finish();
    if (outcome == kReportWritten || outcome == kReportWrittenRecordCut) return {};
    const std::string why = notices_.last.empty() ? "" : " (" + notices_.last + ")";
    return files_.created ? "cannot write " + reportPath_ + why : "no text report" + why;
  }

 private:
  BatchReportAccess files_;
  LastNotice notices_;
  NoProgress progress_;
  NoViewer viewer_;
  BatchName name_;
  TraceFields fields_;
  OutputSelection selection_;
  ScanContext context_{name_, selection_, fields_, notices_, progress_, viewer_, files_, ".", '/'};
  ReportRun run_;
  std::string reportPath_;
};

}  // namespace

std::string FileJoin(const std::string& folder, const std::string& name) { return (fs::path(folder) / name).string(); }

std::vector<std::string> OutputStems(const std::vector<std::string>& paths) {
  std::map<std::string, int> uses;
  for (const std::string& p : paths) ++uses[FileName(p)];
  std::vector<std::string> stems;
  std::map<std::string, int> taken;
  for (const std::string& p : paths) {
    std::string stem = FileName(p);
    if (uses[stem] > 1) {
      std::error_code ec;
      const fs::path absolute = fs::absolute(p, ec).lexically_normal();
      char hex[9];
      std::snprintf(hex, sizeof hex, "%08x", Fnv1a(absolute.string()));
      stem += std::string("@") + hex;
    }
    // Two different paths whose hashes meet (or one path given twice) still
    // get names of their own.
    if (const int n = ++taken[stem]; n > 1) stem.append("-").append(std::to_string(n));
    stems.push_back(std::move(stem));
  }
  return stems;
}

namespace {

// The record's file of a registry writer asked for: FOLDER/STEM.EXT.
std::optional<std::string> OutputPath(const BatchOutputs& outputs, const std::string& stem, std::string_view name) {
  const auto folder = outputs.Dir(name);
  if (!folder) return std::nullopt;
  return FileJoin(*folder, stem + std::string(output::FindWriter(name)->extension));
}

RecordOutcome ScanOrThrow(const std::string& path, const std::string& stem, const BatchOutputs& outputs) {
  RecordOutcome outcome;
  SummaryConsumer summary(&outputs.allowance);
  std::vector<model::RecordConsumer*> consumers{&summary};
  // The registry's writers of trace rows (CSV, JSON) ride on the summary's walk.
  struct RowOutput {
    std::unique_ptr<output::SafeFile> file;
    std::unique_ptr<output::RowWriter> writer;
  };
  std::vector<RowOutput> rowOutputs;
  for (const output::WriterKind& kind : output::Writers()) {
    const auto file = kind.make ? OutputPath(outputs, stem, kind.name) : std::nullopt;
    if (!file) continue;
    RowOutput& row = rowOutputs.emplace_back();
    row.file = std::make_unique<output::SafeFile>(*file);
    row.writer = kind.make(*row.file);
    consumers.push_back(row.writer.get());
  }

  // The record opened once, for the walk and the text report.
  const std::unique_ptr<FileByteSource> source = FileByteSource::Open(path);
  std::optional<TextReport> report;
  std::optional<std::string> reportFailure;
  if (const auto reportPath = OutputPath(outputs, stem, "report"); reportPath && source) {
    report.emplace(path, *reportPath, outputs.selection);
    if (model::RecordConsumer* traces = report->Start(*source)) {
      consumers.push_back(traces);
    } else {
      reportFailure = report->Finish();
      report.reset();
    }
  }

  FanOut fan(consumers);
  // One walk feeds the rows, the samples and the export asked for.
  const auto samplesPath = OutputPath(outputs, stem, "samples");
  std::vector<model::Notice> samplesNotices, exportNotices;
  std::optional<SamplesFiles> samplesFiles;
  if (samplesPath) samplesFiles.emplace(*samplesPath, samplesNotices);
  ExportRequest request = outputs.exports;
  request.segy = OutputPath(outputs, stem, "segy");
  request.mseed = OutputPath(outputs, stem, "mseed");
  std::optional<ExportFiles> exportFiles;
  if (request.Any()) exportFiles.emplace(request, exportNotices);
  WalkOutputs walk;
  walk.rows = &fan;
  walk.samples = samplesFiles && samplesFiles->Opened() ? &*samplesFiles : nullptr;
  walk.samplesScaled = outputs.scaled;
  walk.exports = exportFiles && exportFiles->Opened() ? &*exportFiles : nullptr;
  const WalkResults walked = source ? WalkRecord(*source, path, walk) : WalkRecordFile(path, walk);
  outcome.traces = summary.Traces();
  outcome.row = summary.Finish(path, walked.rows);
  const bool decoded = StatusOf(outcome.row) != RecordStatus::Failed;
  // A record that did not decode leaves no output (and no earlier one is
  // touched); one that did must be written whole. Finish closes the sink,
  // which moves the file into place.
  for (RowOutput& row : rowOutputs) {
    if (decoded && !row.writer->Finish()) outcome.outputFailures.push_back("cannot write " + row.file->Described());
  }
  if (exportFiles) {
    const bool written = walk.exports != nullptr && exportFiles->Finish(walked.walk, exportNotices, decoded).written;
    if (decoded && !written) {
      // Why: the last warning of the walk's and the export's own.
      std::string why;
      for (const std::vector<model::Notice>* told :
           std::initializer_list<const std::vector<model::Notice>*>{&walked.walk.notices, &exportNotices}) {
        for (const model::Notice& n : *told) {
          if (n.level == model::NoticeLevel::Warning) why = n.text;
        }
      }
      outcome.outputFailures.push_back("cannot export " + path + (why.empty() ? "" : " (" + why + ")"));
    }
  }
  std::optional<SamplesRun> samples;
  if (samplesFiles) samples = walk.samples != nullptr ? samplesFiles->Finish(walked.walk, samplesNotices) : SamplesRun{};
  if (decoded && samples && !samples->written) outcome.outputFailures.push_back("cannot write " + *samplesPath);
  // A record the report's decoder does not take is told and counted, not
  // passed over in silence; a report of a record that did not decode is
  // dropped unwritten.
  if (report && decoded) reportFailure = report->Finish();
  if (reportFailure && decoded && !reportFailure->empty()) outcome.outputFailures.push_back(std::move(*reportFailure));
  return outcome;
}

}  // namespace

SummaryRow FailedRow(const std::string& path, const std::string& problem) {
  SummaryRow row;
  row.Set("path", PathText(path));
  row.Set("status", "failed");
  row.Set("problems", problem);
  return row;
}

RecordOutcome ScanOneRecord(const std::string& path, const std::string& stem, const BatchOutputs& outputs) {
  // A record that exhausts memory or threads fails alone; the run goes on
  // (its outputs, begun in temporary files, are removed as they unwind).
  try {
    return ScanOrThrow(path, stem, outputs);
  } catch (const std::bad_alloc&) {
    RecordOutcome outcome;
    outcome.row = FailedRow(path, "out of memory");
    return outcome;
  } catch (const std::exception& e) {
    RecordOutcome outcome;
    outcome.row = FailedRow(path, e.what());
    return outcome;
  }
}

}  // namespace segd::app
