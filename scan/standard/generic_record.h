#pragma once
// The general SEG-D decoder, revisions 1.0 to 3.1, any make: its record
// shape and its two steps. ScanGenericRecord (scan/model/record_scan_makes.h) runs
// them: DecodeGenericHeaders fills the record model's headers and the shape
// the walk needs; WalkGenericTraces hands one row per trace to the consumer
// and finds what the record's integrity shows.
//
// What the record model receives (data names):
//   RecordHeaders: revision ("1.0", "2.1", "1.6", "3.0"; none without block
//     2), manufacturer_code and manufacturer (scan/makes/manufacturers.h),
//     format_code, samplesPerTrace (one per channel set walked).
//   generalHeaders: Blocks "general_header_1", "general_header_2", ... with
//     the fields of scan/standard/general_header_tables.h (rev 3 blocks 4 and
//     later by their byte-32 type, unknown types as "bytes" hex); at End also
//     "general_trailer_1", ... when the record announces a trailer.
//   channelSets: one Block "scan_type_S_channel_set_C" per used descriptor
//     (scan/standard/channel_set_tables.h), plus "scan_type_S_skew" (fields
//     "blocks", "bytes" hex) where skew blocks are present.
//   extendedHeader "extended_header" and externalHeader "external_header":
//     "blocks", "bytes", "hex" (first 64 bytes), "text", then the make's
//     documented fields (SmartSolo, Fairfield).
//   summary: date, time, sample_interval_ms, record_length_ms, source_line,
//     source_point, source_easting, source_northing, source_elevation,
//     traces_announced, channel_sets, unused_channel_sets, auxiliary_traces,
//     seismic_traces, trailer_blocks; each only where the record holds it.
//   traceColumns: the six fixed columns, then scan/standard/trace_header_tables.h
//     (trace header, extension 1 of the revision), then the make's columns
//     (scan/makes/make_*.cpp: fairfield_*, smartsolo_*, sercel_*).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scan/io/byte_source.h"
#include "scan/model/record_scan.h"
#include "scan/standard/trace_header_tables.h"
#include "scan/standard/trace_batches.h"

namespace segd::generic {

struct MakeDescriptor;

// One channel set descriptor as the walk needs it.
struct ChannelSetShape {
  int scanType = 0;         // the walk's scan type, from 1
  std::int64_t number = 0;  // channel set number (escapes honoured)
  std::int64_t channels = 0;
  int extensions = 0;                   // trace header extensions the descriptor states
  std::optional<std::int64_t> samples;  // from the descriptor (rev 3) or its times
  int channelType = 0;
  std::int64_t intervalUs = 0;  // rev 3 descriptors' sample interval
};

// What the walk needs from the headers.
struct RecordShape {
  std::uint64_t size = 0;
  int revisionMajor = -1;  // -1: no block 2 (original SEG-D)
  int revisionMinor = -1;
  bool rev3 = false;
  int formatCode = -1;
  int manufacturerCode = -1;
  std::optional<std::int64_t> generalConstants;  // block 1 bytes 5-10 (Sercel: the recorder model)
  bool continuous = false;                       // the extended header says continuous recording
  const MakeDescriptor* make = nullptr;          // scan/makes/makes.h; none for an undocumented make
  std::optional<std::int64_t> fileNumber;
  std::uint64_t firstTrace = 0;  // offset of the first trace header
  std::int64_t trailerBlocks = 0;
  bool multiplexed = false;                     // no trace headers: nothing to walk
  std::vector<ChannelSetShape> sets;            // used descriptors, in walk order
  std::optional<std::int64_t> tracesAnnounced;  // where the make announces a count
};

// Bytes of `samples` samples of format `formatCode`; nullopt for a code the
// walk does not know (8015 packs 4 samples in 10 bytes).
std::optional<std::uint64_t> SampleBytes(int formatCode, std::int64_t samples);

// False when the bytes do not decode as SEG-D (nothing to walk).
bool DecodeGenericHeaders(ByteSource& source, const std::string& path, model::RecordHeaders& headers,
                          RecordShape& shape, std::vector<model::Notice>& notices);

// The trace walk, one loop for every revision. Fills result.integrity and
// adds notices; hands the consumer each trace's row (not Begin or End): by
// Row, or, for a model::RowTexts consumer on a walk long enough for both
// cores (`batching`), by the bytes its TakeRowText takes.
void WalkGenericTraces(ByteSource& source, const RecordShape& shape, model::RecordHeaders& headers,
                       model::RecordConsumer& consumer, const model::ScanOptions& options, model::ScanResult& result,
                       const TraceBatchOptions& batching = {});

}  // namespace segd::generic
