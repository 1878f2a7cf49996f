#include "scan/record_scan.h"

#include "scan/record_scan_makes.h"

namespace segd::model {

ScanResult ScanRecord(ByteSource& source, const std::string& path, RecordConsumer& consumer,
                      const ScanOptions& options) {
  return ScanGenericRecord(source, path, consumer, options);
}

ScanResult ScanRecordFile(const std::string& path, RecordConsumer& consumer, const ScanOptions& options) {
  std::unique_ptr<FileByteSource> source = FileByteSource::Open(path);
  if (!source) {
    ScanResult result;
    result.status = ScanStatus::CannotOpen;
    result.notices.push_back({"Cannot open " + path, "Open Failed", NoticeLevel::Warning});
    return result;
  }
  return ScanRecord(*source, path, consumer, options);
}

}  // namespace segd::model
