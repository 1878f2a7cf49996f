#include "scan/model/record_scan.h"

#include <array>

#include "scan/model/record_scan_makes.h"
#include "scan/standard/record_signature.h"

namespace segd::model {

std::optional<ScanResult> RefusedAsNoRecord(ByteSource& source, const std::string& path) {
  // The same rule as a folder's search: a file whose first block is no
  // general header is refused with the reason, whatever decoder might take it.
  std::array<std::uint8_t, 32> first{};
  source.ReadAt(0, first);
  const std::string notHeader =
      NotGeneralHeaderReason(std::span<const std::uint8_t>(first).first(std::min<std::uint64_t>(source.Size(), 32)));
  if (notHeader.empty()) return std::nullopt;
  ScanResult result;
  result.status = ScanStatus::NotSegd;
  result.notices.push_back({path + " is not a SEG-D record: " + notHeader + ".", "SEG-D Record", NoticeLevel::Warning});
  return result;
}

ScanResult ScanRecord(ByteSource& source, const std::string& path, RecordConsumer& consumer,
                      const ScanOptions& options) {
  if (auto refused = RefusedAsNoRecord(source, path)) return std::move(*refused);
  return ScanGenericRecord(source, path, consumer, options);
}

ScanResult ScanRecordFile(const std::string& path, RecordConsumer& consumer, const ScanOptions& options) {
  std::string reason;
  std::unique_ptr<FileByteSource> source = FileByteSource::Open(path, &reason);
  if (!source) {
    ScanResult result;
    result.status = ScanStatus::CannotOpen;
    result.openFailure = reason;
    result.notices.push_back(
        {"Cannot open " + path + (reason.empty() ? "" : " (" + reason + ")"), "Open Failed", NoticeLevel::Warning});
    return result;
  }
  return ScanRecord(*source, path, consumer, options);
}

}  // namespace segd::model
