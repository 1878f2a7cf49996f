#pragma once
// The general decoder's steps, one translation unit per header kind, as
// DecodeGenericHeaders calls them in file order.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scan/standard/generic_record.h"

namespace segd::generic {

// Finds a table row by data name at compile time (a name no row has does
// not compile), so the decoder's own reads share the table's positions.
template <std::size_t N>
consteval const FieldSpec& Row(const FieldSpec (&table)[N], std::string_view name) {
  for (const FieldSpec& f : table) {
    if (f.name == name) return f;
  }
  throw "no such field";
}

// The counts general header blocks 1 and 2 give, escapes resolved.
struct HeaderCounts {
  std::int64_t additionalBlocks = 0;
  std::int64_t scanTypes = 0;
  std::int64_t channelSets = 0;  // per scan type
  std::int64_t skewBlocks = 0;   // per scan type
  std::int64_t extendedBlocks = 0;
  std::int64_t externalBlocks = 0;
  double baseIntervalMs = 0;  // 0: not given (rev 3 FF)
};

struct Notices {
  std::vector<model::Notice>& list;
  void Warn(std::string text) const;
};

// Bytes read at `offset` (zeros past the end).
std::vector<std::uint8_t> ReadBytes(ByteSource& source, std::uint64_t offset, std::size_t count);

// General header blocks 3 and later (rev 1/2 source blocks, rev 3 typed
// blocks), from offset 64; adds the summary's source line and point.
void DecodeAdditionalBlocks(ByteSource& source, const RecordShape& shape, std::int64_t blocks,
                            model::RecordHeaders& headers);

// The scan type headers from `offset`: every descriptor of every scan type
// (unused ones counted), then the scan type's skew blocks. Returns the
// offset after them.
std::uint64_t DecodeScanTypeHeaders(ByteSource& source, std::uint64_t offset, const HeaderCounts& counts,
                                    RecordShape& shape, model::RecordHeaders& headers, const Notices& notices);

// A scan type's skew blocks as raw bytes.
void DecodeSkewBlocks(ByteSource& source, std::uint64_t offset, int scanType, std::int64_t blocks,
                      model::RecordHeaders& headers);

// The extended and external headers, raw and, where the make's layout is
// documented, field by field. Adds the summary facts they hold.
void DecodeExtendedHeader(ByteSource& source, std::uint64_t offset, std::int64_t blocks, RecordShape& shape,
                          model::RecordHeaders& headers);
void DecodeExternalHeader(ByteSource& source, std::uint64_t offset, std::int64_t blocks, const RecordShape& shape,
                          model::RecordHeaders& headers);

// The general trailer blocks at `offset` (after the last trace).
void DecodeTrailer(ByteSource& source, std::uint64_t offset, std::int64_t blocks, model::RecordHeaders& headers);

// True when the `bytes` at `offset` are whole 32-byte blocks, each with the
// rev 3 general trailer type (0x70) in byte 32.
bool TypedTrailerBlocks(ByteSource& source, std::uint64_t offset, std::uint64_t bytes);

// The column list of a record and the record model's columns from it.
std::vector<ColumnSpec> TraceColumnSpecs(const RecordShape& shape);
std::vector<model::Column> ModelColumns(std::span<const ColumnSpec> specs);

// Samples per channel set as the first trace of each set states them (one
// header read per set), falling back on the descriptor.
std::vector<std::int64_t> PredictSamples(ByteSource& source, const RecordShape& shape);

// Raw bytes as a Block's fields: blocks, bytes, hex (first 64 bytes), text.
void AddRawFields(std::span<const std::uint8_t> bytes, std::int64_t blocks, model::Block& block);

void AddSummary(model::RecordHeaders& headers, std::string_view name, model::Value value);

// The top-level facts of RecordHeaders (interval, length, trace count, start
// time), once the headers are decoded.
void AddRecordFacts(const RecordShape& shape, model::RecordHeaders& headers);

// "2021-05-08T20:06:00.000000Z" from microseconds since the GPS epoch.
std::string GpsMicrosecondsToIso(std::int64_t gpsMicros);

}  // namespace segd::generic
