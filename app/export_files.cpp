#include "app/export_files.h"

#include <memory>

#include "output/files/safe_file.h"

namespace segd::app {
namespace {

// Standard output's sink without closing it (the caller owns it).
class Borrowed final : public ByteSink {
 public:
  explicit Borrowed(ByteSink& sink) : sink_(sink) {}
  bool Write(const char* data, std::size_t size) override { return sink_.Write(data, size); }
  bool Close() override { return sink_.Close(); }

 private:
  ByteSink& sink_;
};

std::unique_ptr<ByteSink> Open(const std::optional<std::string>& path, const ExportRequest& request, const char* what,
                               std::vector<model::Notice>& notices, bool& failed) {
  if (!path) return nullptr;
  if (*path == "-") {
    if (request.standardOutput) return std::make_unique<Borrowed>(*request.standardOutput);
    failed = true;
    notices.push_back({std::string(what) + ": standard output is not available here", "Output Not Written",
                       model::NoticeLevel::Warning});
    return nullptr;
  }
  auto file = std::make_unique<output::SafeFile>(*path);
  if (!file->IsOpen()) {
    failed = true;
    notices.push_back({"Cannot create the " + std::string(what) + " file " + file->Described(), "Output Not Written",
                       model::NoticeLevel::Warning});
    return nullptr;
  }
  return file;
}

}  // namespace

ExportFiles::ExportFiles(const ExportRequest& request, std::vector<model::Notice>& notices)
    : scaled_(request.scaled) {
  bool failed = false;
  segy_ = Open(request.segy, request, "SEG-Y", notices, failed);
  mseed_ = Open(request.mseed, request, "miniSEED", notices, failed);
  if (failed) {
    segy_.reset();  // an uncommitted safe file removes its temporary file
    mseed_.reset();
    return;
  }
  exporter_ = std::make_unique<output::RecordExport>(segy_.get(), request.segyOptions, mseed_.get(),
                                                     request.mseedOptions, request.toolVersion);
  exporter_->StopWhen(request.interrupt);
  // Options the writers refuse (a SEED code too long, Steim2 without a bit
  // weight, miniSEED in a build without libmseed): refused now, the record
  // unread.
  if (!exporter_->Error().empty()) {
    notices.push_back({exporter_->Error(), "Output Not Written", model::NoticeLevel::Warning});
    exporter_.reset();
    segy_.reset();
    mseed_.reset();
  }
}

ExportFiles::~ExportFiles() = default;

samples::TraceSampleConsumer& ExportFiles::Consumer() { return *exporter_; }

const std::atomic<bool>* ExportFiles::Stop() const { return exporter_->Stop(); }

ExportRun ExportFiles::Finish(const model::ScanResult& result, std::vector<model::Notice>& notices, bool keep) {
  ExportRun run;
  run.cut = result.integrity.tracesPastEnd > 0;
  if (!keep || result.status == model::ScanStatus::CannotOpen || result.status == model::ScanStatus::NotSegd) {
    return run;
  }
  run.written = exporter_->Finish();
  if (!run.written) {
    notices.push_back({exporter_->Error(), "Output Not Written", model::NoticeLevel::Warning});
  }
  // Dropping an uncommitted safe file removes its temporary file.
  return run;
}

ExportRun WriteExportFiles(const std::string& record, const ExportRequest& request,
                           std::vector<model::Notice>& notices) {
  ExportFiles files(request, notices);
  if (!files.Opened()) return {};
  samples::SampleOptions options;
  options.scaled = request.scaled;
  options.scan.cancel = files.Stop();
  const model::ScanResult walk = samples::WalkTraceSamplesFile(record, files.Consumer(), options);
  notices.insert(notices.end(), walk.notices.begin(), walk.notices.end());
  return files.Finish(walk, notices);
}

}  // namespace segd::app
