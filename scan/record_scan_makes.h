#pragma once
// The makes' scans behind ScanRecord: SN388 records keep their own decoder;
// every other record goes through the general SEG-D decoder.
#include <optional>
#include <string>

#include "scan/record_scan.h"

namespace segd::model {

// nullopt when the record is not an SN388 record (nothing is handed to the
// consumer then).
std::optional<ScanResult> ScanSn388Record(ByteSource& source, const std::string& path, RecordConsumer& consumer,
                                          const ScanOptions& options);

// Any SEG-D record, revisions 1.0 to 3.1, any make.
ScanResult ScanGenericRecord(ByteSource& source, const std::string& path, RecordConsumer& consumer,
                             const ScanOptions& options);

}  // namespace segd::model
