// Placeholder until the general SEG-D decoder fills the record model.
#include "scan/record_scan_makes.h"

namespace segd::model {

ScanResult ScanGenericRecord(ByteSource&, const std::string&, RecordConsumer&, const ScanOptions&) {
  ScanResult result;
  result.status = ScanStatus::NotSegd;
  return result;
}

}  // namespace segd::model
