#include "app/export_files.h"

#include <memory>

#include "app/safe_file.h"
#include "output/export_walk.h"

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
  auto file = std::make_unique<SafeFile>(*path);
  if (!file->IsOpen()) {
    failed = true;
    notices.push_back({"Cannot create the " + std::string(what) + " file " + file->Described(), "Output Not Written",
                       model::NoticeLevel::Warning});
    return nullptr;
  }
  return file;
}

}  // namespace

ExportRun WriteExportFiles(const std::string& record, const ExportRequest& request,
                           std::vector<model::Notice>& notices) {
  ExportRun run;
  bool failed = false;
  std::unique_ptr<ByteSink> segy = Open(request.segy, request, "SEG-Y", notices, failed);
  std::unique_ptr<ByteSink> mseed = Open(request.mseed, request, "miniSEED", notices, failed);
  if (failed) return run;

  output::RecordExport exporter(segy.get(), request.segyOptions, mseed.get(), request.mseedOptions,
                                request.toolVersion);
  exporter.StopWhen(request.interrupt);
  samples::SampleOptions options;
  options.scaled = request.scaled;
  options.scan.cancel = exporter.Stop();
  const model::ScanResult result = samples::WalkTraceSamplesFile(record, exporter, options);
  for (const model::Notice& notice : result.notices) notices.push_back(notice);
  run.cut = result.integrity.tracesPastEnd > 0;
  if (result.status == model::ScanStatus::CannotOpen || result.status == model::ScanStatus::NotSegd) return run;
  run.written = exporter.Finish();
  if (!run.written) {
    notices.push_back({exporter.Error(), "Output Not Written", model::NoticeLevel::Warning});
  }
  // Dropping an uncommitted safe file removes its temporary file.
  return run;
}

}  // namespace segd::app
