// Any SEG-D record, revisions 1.0 to 3.1, any make: the general decoder's
// headers, then its walk, handed to the consumer.
#include "scan/model/record_scan_makes.h"
#include "scan/standard/decoder_parts.h"

namespace segd::model {

ScanResult ScanGenericRecord(ByteSource& source, const std::string& path, RecordConsumer& consumer,
                             const ScanOptions& options, const TraceBatchOptions& batching) {
  ScanResult result;
  RecordHeaders headers;
  generic::RecordShape shape;
  if (!generic::DecodeGenericHeaders(source, path, headers, shape, result.notices)) {
    result.status = ScanStatus::NotSegd;
    result.notices.push_back({path + " is not a SEG-D record: its general header block 1 does not decode.",
                              "SEG-D Record", NoticeLevel::Warning});
    return result;
  }
  headers.traceColumns = generic::ModelColumns(generic::TraceColumnSpecs(shape));
  headers.samplesPerTrace = generic::PredictSamples(source, shape);
  generic::AddRecordFacts(shape, headers);
  consumer.Begin(headers);
  generic::WalkGenericTraces(source, shape, headers, consumer, options, result, batching);
  if (result.status != ScanStatus::Cancelled) {
    result.status = result.notices.empty() && result.integrity.problems.empty() ? ScanStatus::Ok : ScanStatus::Findings;
  }
  consumer.End(headers, result.integrity, result.notices);
  return result;
}

}  // namespace segd::model
