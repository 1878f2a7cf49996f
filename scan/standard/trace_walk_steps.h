#pragma once
// The general decoder's trace walk in three steps, so that it can run on one
// thread or on both cores with the same results: locating each trace (in
// walk order: a trace's length comes from its own header, so each place
// follows from the one before), making its row from the bytes located (pure:
// any thread), and counting what the walk finds (in walk order again).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "scan/standard/decoder_parts.h"
#include "scan/standard/trace_batches.h"

namespace segd::generic {

// Header bytes a trace's row may need: the header and every extension a
// column reads.
inline constexpr std::size_t kMostHeaderBytes = kTraceHeaderBytes + kExtensionBytes * kMostExtensionsRead;

// Progress is reported once per this many traces, and at the end.
inline constexpr std::int64_t kProgressStep = 4096;

// Where one trace lies and what locating it found.
struct TracePlace {
  std::uint64_t position = 0;  // offset of its header
  std::uint64_t samplesAt = 0; // offset of its samples
  std::int64_t listed = 0;     // the walk's sequence, from 1
  std::int64_t channel = 0;    // in its channel set, from 1
  std::int64_t samples = 0;    // as walked
  std::size_t set = 0;         // index into the shape's sets
  int have = 0;                // extensions read (no more than the columns use)
  bool pastEnd = false;
  bool headerInFile = false;  // only such a header is checked against the walk
  bool noCount = false;       // neither extension 1 nor the channel set gives a sample count
};

// What a trace header says against the walk's position (bits).
enum Mismatch : std::uint8_t { kOtherChannelSet = 1, kOtherTraceNumber = 2, kOtherFileNumber = 4 };

// Steps from trace to trace: per channel set, per channel, until `limit`.
class TraceLocator {
 public:
  TraceLocator(ByteSource& source, const RecordShape& shape, int blocksRead, std::int64_t limit);
  // Bytes a trace's header takes in `bytes` below.
  std::size_t HeaderStride() const { return kTraceHeaderBytes + kExtensionBytes * static_cast<std::size_t>(blocksRead_); }
  // Whether a trace is left to locate.
  bool More();
  // Reads the next trace's header and the extensions the columns use into
  // `bytes`; false after the last trace.
  bool Next(TracePlace& place, std::uint8_t* bytes);
  // The offset after the last trace located.
  std::uint64_t Position() const { return position_; }

 private:
  ByteSource& source_;
  const RecordShape& shape_;
  const int blocksRead_;
  const std::int64_t limit_;
  const FieldSpec& samplesField_;
  std::size_t set_ = 0;
  std::int64_t channel_ = 0;
  std::int64_t listed_ = 0;
  std::uint64_t position_;
  std::int64_t statedCount_ = 0;                  // the sample count a trace last stated
  std::optional<std::int64_t> statedSetSamples_;  // its channel set's count from the descriptor
};

// A trace's row from its place and header bytes. Reads only its own state:
// may run on several threads at once.
class RowMaker {
 public:
  // `read`: the columns the consumer reads (the others stay Null).
  RowMaker(const RecordShape& shape, std::vector<ColumnSpec> specs, std::vector<bool> read);
  // Fills `row` and returns the trace's Mismatch bits.
  std::uint8_t Fill(const TracePlace& place, const std::uint8_t* bytes, model::TraceRow& row) const;

 private:
  const RecordShape& shape_;
  std::vector<ColumnSpec> specs_;
  std::vector<bool> read_;
  // Per spec, worked out once: whether it is read, and where its bytes lie
  // among the header bytes (`at`, `count`), for the check of a reused row.
  struct Place {
    bool read;
    std::uint8_t block;
    std::uint16_t at;
    std::uint16_t count;
  };
  std::vector<Place> places_;
};

// A finding counted over the walk and reported once.
struct Mismatches {
  std::int64_t count = 0;
  std::int64_t firstTrace = 0;
  void Add(std::int64_t trace) {
    if (count++ == 0) firstTrace = trace;
  }
};

// What the walk finds, trace by trace in walk order.
class WalkFindings {
 public:
  WalkFindings(const RecordShape& shape, model::Integrity& integrity, const Notices& notices)
      : shape_(shape), integrity_(integrity), notices_(notices) {}
  void Take(const TracePlace& place, std::uint8_t mismatches);
  // After the last trace taken: the notice of its channel set, if it has one.
  void Finish() { EndSet(); }

  std::int64_t listed = 0;
  Mismatches channelSet, traceNumber, fileNumber;
  std::vector<std::int64_t> walkedSamples;  // per channel set walked, its first trace's

 private:
  void EndSet();

  const RecordShape& shape_;
  model::Integrity& integrity_;
  const Notices& notices_;
  std::optional<std::size_t> set_;  // the channel set of the last trace taken
  bool noCount_ = false;            // one of its traces had no sample count
};

// The walk on both cores, when the walk's `traces` suit it: locating and
// counting on the calling thread, the rows (and, for a model::RowTexts
// consumer, their bytes) made on the workers. False, having located
// nothing, when it cannot run. Sets `cancelled` when options.cancel stopped
// it (checked between batches).
bool WalkTracesInBatches(ByteSource& source, std::int64_t traces, TraceLocator& locator, const RowMaker& rows,
                         WalkFindings& findings, model::RecordConsumer& consumer, const model::ScanOptions& options,
                         std::int64_t announced, const TraceBatchOptions& batching, bool& cancelled);

}  // namespace segd::generic
