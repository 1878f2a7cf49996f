#include "fuzz/harness.h"

namespace segd::fuzz {

std::string_view TargetName(Target target) {
  switch (target) {
    case Target::kDecodeRun: return "decode_run";
    case Target::kHeaderDecoders: return "header_decoders";
    case Target::kTraceWalk: return "trace_walk";
    case Target::kConversions: return "conversions";
    case Target::kGenericRecord: return "generic_record";
    case Target::kWriters: return "writers";
    case Target::kSummaryReader: return "summary_reader";
    case Target::kSamples: return "samples";
    case Target::kExport: return "export";
  }
  return "unknown";
}

std::string Check(Target target, Input input) {
  switch (target) {
    case Target::kDecodeRun: return CheckDecodeRun(input);
    case Target::kHeaderDecoders: return CheckHeaderDecoders(input);
    case Target::kTraceWalk: return CheckTraceWalk(input);
    case Target::kConversions: return CheckConversions(input);
    case Target::kGenericRecord: return CheckGenericRecord(input);
    case Target::kWriters: return CheckWriters(input);
    case Target::kSummaryReader: return CheckSummaryReader(input);
    case Target::kSamples: return CheckSamples(input);
    case Target::kExport: return CheckExport(input);
  }
  return {};
}

}  // namespace segd::fuzz
