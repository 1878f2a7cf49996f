// Placeholder until the SN388 decoder fills the record model.
#include "scan/record_scan_makes.h"

namespace segd::model {

std::optional<ScanResult> ScanSn388Record(ByteSource&, const std::string&, RecordConsumer&, const ScanOptions&) {
  return std::nullopt;
}

}  // namespace segd::model
