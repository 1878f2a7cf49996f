#include "app/record_walk.h"

#include <optional>

#include "scan/model/both_consumers.h"
#include "scan/samples/sample_fan_out.h"

namespace segd::app {

WalkResults WalkRecord(ByteSource& source, const std::string& path, const WalkOutputs& given) {
  WalkResults results;
  WalkOutputs outputs = given;
  std::optional<model::BothConsumers> both;
  if (outputs.report != nullptr && outputs.rows != nullptr) {
    outputs.rows = &both.emplace(*outputs.rows, *outputs.report);
  } else if (outputs.report != nullptr) {
    outputs.rows = outputs.report;
  }
  samples::SampleFanOut fan;
  if (outputs.samples != nullptr) fan.Add(outputs.samples->Consumer(), outputs.samplesScaled);
  if (outputs.exports != nullptr) fan.Add(outputs.exports->Consumer(), outputs.exports->Scaled());
  if (fan.Empty()) {
    if (outputs.rows != nullptr) results.walk = results.rows = model::ScanRecord(source, path, *outputs.rows, outputs.scan);
    return results;
  }
  samples::SampleOptions options;
  options.scaled = fan.WalkScaled();
  options.scan = outputs.scan;
  // The export alone stops the walk when it fails; beside other outputs the
  // walk goes on for them.
  if (outputs.rows == nullptr && outputs.samples == nullptr && options.scan.cancel == nullptr) {
    options.scan.cancel = outputs.exports->Stop();
  }
  options.rows = outputs.rows;
  options.rowsResult = &results.rows;
  results.walk = samples::WalkTraceSamples(source, path, fan, options);
  return results;
}

WalkResults WalkRecordFile(const std::string& path, const WalkOutputs& outputs) {
  std::string reason;
  std::unique_ptr<FileByteSource> source = FileByteSource::Open(path, &reason);
  if (!source) {
    WalkResults results;
    results.walk.status = model::ScanStatus::CannotOpen;
    results.walk.openFailure = reason;
    results.walk.notices.push_back({"Cannot open " + path + (reason.empty() ? "" : " (" + reason + ")"),
                                    "Open Failed", model::NoticeLevel::Warning});
    results.rows = results.walk;
    return results;
  }
  return WalkRecord(*source, path, outputs);
}

}  // namespace segd::app
