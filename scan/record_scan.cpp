#include "scan/record_scan.h"

#include "scan/record_scan_makes.h"

namespace segd::model {

ScanResult ScanRecord(ByteSource& source, const std::string& path, RecordConsumer& consumer,
                      const ScanOptions& options) {
  if (std::optional<ScanResult> sn388 = ScanSn388Record(source, path, consumer, options)) return *sn388;
  return ScanGenericRecord(source, path, consumer, options);
}

ScanResult ScanRecordFile(const std::string& path, RecordConsumer& consumer, const ScanOptions& options) {
  std::string reason;
  std::unique_ptr<FileByteSource> source = FileByteSource::Open(path, &reason);
  if (!source) {
    ScanResult result;
    result.status = ScanStatus::CannotOpen;
    result.openFailure = reason;
    result.notices.push_back({"Cannot open " + path + (reason.empty() ? "" : " (" + reason + ")"), "Open Failed",
                              NoticeLevel::Warning});
    return result;
  }
  return ScanRecord(*source, path, consumer, options);
}

}  // namespace segd::model
