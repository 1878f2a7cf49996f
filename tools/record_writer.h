#pragma once
// Composes whole SN388 field records from field values, for the tests and
// for the sample record. The common case is one call:
//
//   RecordSpec spec = SampleShot();          // sample_shot.h
//   spec.samplesPerTrace = 250;
//   Bytes bytes = Compose(spec);
//
// A record is laid out as the recorder writes it: general header blocks 1 to
// 3, one channel set header per channel set, the extended header, the
// external header, then every trace of every channel set in order, each a
// 20-byte trace header, K extension blocks of 32 bytes and S samples of 4
// bytes. With `derive` set (the default), Compose first copies the counts
// and lengths into every place a recorder repeats them (Derive), so the
// record agrees with itself; clear it to write the header values exactly as
// given, disagreements included.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "tools/byte_put.h"
#include "tools/channel_set.h"
#include "tools/extended_header.h"
#include "tools/general_headers.h"
#include "tools/trace_blocks.h"

namespace segd::writer {

struct TraceSpec {
  TraceHeader header;
  TraceExtension1 extension1;
  TraceExtension2 extension2;
  // Extension blocks 3 to K when K is above 2; zero blocks where missing.
  std::vector<Block32> moreExtensions;
  // The first sample values (big-endian IEEE singles); the record's sample
  // fill supplies the rest.
  std::vector<float> samples;
};

struct ChannelSetSpec {
  ChannelSetHeader header;
  std::vector<TraceSpec> traces;  // in recording order
};

// How a count is written where the format offers a decimal-coded field and,
// for larger counts, an all-F marker with the count in general header block 2.
enum class LengthForm : std::uint8_t {
  kAuto,      // decimal-coded while it fits the digits, otherwise the F form
  kBcd,       // decimal-coded always (the lowest digits when it does not fit)
  kExtended,  // F form always: FF (FFF for the record length), count in block 2
};

enum class SampleFill : std::uint8_t {
  kSynthetic,  // wavelets and noise (synthetic_samples.h)
  kZero,
  kByte,       // every sample byte is `fillByte`
};

struct RecordSpec {
  // Record-wide values; Derive copies them into every place that repeats them.
  std::uint32_t fileNumber = 1;        // BCD in block 1 up to 9999, FFFF above
  std::uint32_t samplesPerTrace = 1000;  // S, written for every trace
  std::uint32_t traceExtensions = 2;   // K, extension blocks written per trace
  LengthForm channelSetCountForm = LengthForm::kAuto;
  LengthForm recordLengthForm = LengthForm::kAuto;
  LengthForm extendedLengthForm = LengthForm::kAuto;
  LengthForm externalLengthForm = LengthForm::kAuto;
  bool derive = true;

  GeneralHeader1 general1;
  GeneralHeader2 general2;
  GeneralHeader3 general3;
  std::vector<ChannelSetSpec> channelSets;
  Sn388ExtendedHeader extended;
  std::size_t extendedHeaderSize = kSn388ExtendedHeaderBytes;
  std::optional<Bytes> rawExtendedHeader;  // written instead of `extended`
  Bytes externalHeader;                    // any bytes, e.g. a text

  SampleFill sampleFill = SampleFill::kSynthetic;
  std::uint8_t fillByte = 0;
};

// Fills the derived fields, in the places a recorder repeats them:
// - general header 1 file number, channel set count, record length (from
//   S and the base scan interval), extended and external header lengths,
//   with their block 2 counterparts (expanded file number, extended channel
//   sets, extended record length in ms, header block counts) and block 3's
//   expanded file number;
// - each channel set: channel count = its traces, end time = the record
//   length in 2 ms units, trace header extension count = K;
// - each trace header: file number, scan type, channel set number, trace
//   number within its set (from 1), extension count = K, extended file
//   number; extension 1 bytes 8-10: S;
// - the extended header: acquisition length, sample rate, total, auxiliary,
//   seismic, dead (trace edit 2) and live trace counts, samples per trace,
//   trace header extension count, source line and point from block 3.
// Header blocks given as raw bytes are left alone.
void Derive(RecordSpec& spec);

// Where each part of the record lies (0-based byte offsets); the header
// sizes are whole 32-byte blocks.
struct RecordLayout {
  std::uint64_t channelSetsOffset = 96;
  std::uint64_t extendedHeaderOffset = 0;
  std::uint64_t extendedHeaderSize = 0;
  std::uint64_t externalHeaderOffset = 0;
  std::uint64_t externalHeaderSize = 0;
  std::uint64_t firstTraceOffset = 0;
  std::uint64_t traceSize = 0;  // 20 + 32 K + 4 S
  std::uint64_t traceCount = 0;
  std::uint64_t totalSize = 0;

  // Offset of trace `index` (0-based, across all channel sets).
  std::uint64_t TraceOffset(std::uint64_t index) const { return firstTraceOffset + index * traceSize; }
};
RecordLayout LayoutOf(const RecordSpec& spec);

// The whole record in memory.
Bytes Compose(const RecordSpec& spec);

enum class FileMode : std::uint8_t {
  kFull,    // every byte written, samples included
  kSparse,  // header bytes only; the samples are sought over and read as zero
};

// Streams the record to `path` (created or replaced) without holding it in
// memory; positions are 64-bit, so records beyond 4 GiB are fine. False when
// the file could not be written completely.
bool WriteRecordFile(const RecordSpec& spec, const std::filesystem::path& path, FileMode mode = FileMode::kFull);

}  // namespace segd::writer
