#pragma once
// The decoded SN388 headers and trace texts as the record model: what the
// data outputs consume, built from the same texts the report shows.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "scan/record_model.h"
#include "scan/sn388_decode.h"
#include "scan/row_texts.h"
#include "scan/trace_batches.h"
#include "scan/trace_columns.h"
#include "scan/trace_header.h"

namespace segd {

// Fills `out` from the decoded headers of the record at `path` of `size`
// bytes: identity, every general header, listed channel set, extended header
// field and decoded text, the external header, the summary and the trace
// columns.
void FillSn388Headers(const Sn388Headers& headers, const std::string& path, std::uint64_t size,
                      model::RecordHeaders& out);

// Where a trace lies and what the walk read of it.
struct TracePlace {
  std::int64_t sequence = 0;    // from 1
  std::int64_t offset = 0;      // 0-based offset of the trace header
  std::uint64_t headerBytes = 0;
  std::int64_t sampleBytes = 0;
};

// Whether a trace's header blocks or samples reach past the end of a file of
// `size` bytes.
bool TracePastEnd(const TracePlace& place, std::uint64_t size);

// Fills `row` (its values sized to the columns on first use, reused after)
// from the trace's place, its 20 header bytes and its decoded records. When
// `previous` holds the records `row` was last filled from, the columns whose
// text is unchanged keep their values.
void FillSn388Row(const TracePlace& place, bool pastEnd, const std::uint8_t* header, const TraceRecords& records,
                  model::TraceRow& row, const TraceRecords* previous = nullptr, std::uint64_t columnsRead = ~std::uint64_t{0});

// Counts what the walk finds for the record's Integrity.
class Sn388IntegrityCount {
 public:
  Sn388IntegrityCount(const Sn388Headers& headers, std::uint64_t size);
  void Trace(std::int64_t sequence, bool pastEnd);
  // `endOffset`: the 0-based offset after the last trace walked.
  model::Integrity Finish(std::int64_t endOffset) const;
  std::optional<std::int64_t> FirstTracePastEnd() const { return integrity_.firstTracePastEnd; }

 private:
  model::Integrity integrity_;
  std::uint64_t trailerBytes_ = 0;
};

// The record model of a walk that someone else drives (the report run, or
// ScanSn388Record): Begin once the headers are decoded, Trace after each
// trace read (or FillRow, on any thread, and Row in walk order), End after
// the last.
class Sn388ModelFeed {
 public:
  Sn388ModelFeed(const Sn388Headers& headers, const std::string& path, std::uint64_t size,
                 model::RecordConsumer& consumer);
  void Begin();
  // Trace `sequence` (from 1) whose header starts at 0-based `offset`.
  void Trace(std::int32_t sequence, std::int64_t offset, const std::uint8_t* header, const TraceRecords& records) {
    FillRow(sequence, offset, header, records, row_);
    Row(row_);
  }
  // The row of a trace, as Trace makes it; may run on several threads at once.
  void FillRow(std::int32_t sequence, std::int64_t offset, const std::uint8_t* header, const TraceRecords& records,
               model::TraceRow& row, const TraceRecords* previous = nullptr) const;
  // Counts the row and hands it on.
  void Row(const model::TraceRow& row);
  // The batch form (scan/trace_batches.h): AddToBatch on the walk's workers,
  // TakeBatch in walk order. A consumer that makes its rows' bytes itself
  // (model::RowTexts) has them made on the workers too.
  void AddToBatch(std::int32_t sequence, std::int64_t offset, const std::uint8_t* header, const TraceRecords& records,
                  TraceBatch& batch) const;
  void TakeBatch(const TraceBatch& batch);
  // `endOffset`: the 0-based offset after the last trace walked.
  model::Integrity End(std::int64_t endOffset, const std::vector<model::Notice>& notices);
  // The first trace walked so far that reaches past the end of the file.
  std::optional<std::int64_t> FirstTracePastEnd() const { return integrity_.FirstTracePastEnd(); }

 private:
  const Sn388Headers& headers_;
  const std::string& path_;
  std::uint64_t size_;
  model::RecordConsumer& consumer_;
  model::RecordHeaders model_;
  model::TraceRow row_;
  Sn388IntegrityCount integrity_;
  TracePlace place_;
  model::RowTexts* texts_ = nullptr;
  std::size_t textCount_ = 0;  // known once the consumer has begun
  std::uint64_t columnsRead_ = ~std::uint64_t{0};  // bit i: the consumer reads trace column i
};

}  // namespace segd
