#pragma once
// The scan behind ScanRecord: every record, SN388 records included, goes
// through the general SEG-D decoder.
#include <optional>
#include <string>

#include "scan/model/record_scan.h"
#include "scan/standard/trace_batches.h"

namespace segd::model {

// Any SEG-D record, revisions 1.0 to 3.1, any make; `batching` says when and
// how its trace walk runs on both cores.
ScanResult ScanGenericRecord(ByteSource& source, const std::string& path, RecordConsumer& consumer,
                             const ScanOptions& options, const TraceBatchOptions& batching = {});

// ScanRecord's refusal of a file whose first block is no general header
// (NotSegd with the reason); nullopt when the file may be decoded.
std::optional<ScanResult> RefusedAsNoRecord(ByteSource& source, const std::string& path);

}  // namespace segd::model
