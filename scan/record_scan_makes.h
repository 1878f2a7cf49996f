#pragma once
// The makes' scans behind ScanRecord: SN388 records keep their own decoder;
// every other record goes through the general SEG-D decoder.
#include <optional>
#include <string>

#include "scan/record_scan.h"
#include "scan/trace_batches.h"

namespace segd::model {

// nullopt when the record is not an SN388 record (nothing is handed to the
// consumer then).
std::optional<ScanResult> ScanSn388Record(ByteSource& source, const std::string& path, RecordConsumer& consumer,
                                          const ScanOptions& options);

// Any SEG-D record, revisions 1.0 to 3.1, any make; `batching` says when and
// how its trace walk runs on both cores.
ScanResult ScanGenericRecord(ByteSource& source, const std::string& path, RecordConsumer& consumer,
                             const ScanOptions& options, const TraceBatchOptions& batching = {});

}  // namespace segd::model
