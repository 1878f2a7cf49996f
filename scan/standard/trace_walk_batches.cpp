// The general decoder's trace walk on both cores. Each trace's place follows
// from the one before, so the calling thread locates the traces of a batch,
// copying their header bytes; the workers make the batch's rows from those
// bytes (and, for a consumer that makes each row's bytes itself, those
// bytes); the calling thread then takes the batches in walk order, with
// what the walk finds. Nothing is read on the workers.
#include "scan/model/row_texts.h"
#include "scan/standard/trace_walk_steps.h"

namespace segd::generic {

namespace {

// Consecutive traces: their places and header bytes as located, and what a
// worker made of them.
struct Batch {
  std::vector<TracePlace> places;
  std::vector<std::uint8_t> bytes;       // HeaderStride() per trace
  std::vector<std::uint8_t> mismatches;  // per trace
  std::vector<model::TraceRow> rows;     // one per trace; one, reused, when the rows become texts
  std::vector<std::string> texts;        // one per text of a RowTexts consumer
};

}  // namespace

bool WalkTracesInBatches(ByteSource& source, std::int64_t traces, TraceLocator& locator, const RowMaker& rows,
                         WalkFindings& findings, model::RecordConsumer& consumer, const model::ScanOptions& options,
                         std::int64_t announced, const TraceBatchOptions& batching, bool& cancelled) {
  // The workers read nothing, but a source that does not share its reads
  // keeps its reads in step with the walk's rows.
  if (batching.workers <= 0 || traces < std::max(batching.fewestTraces, 1) || !source.SharedReads()) return false;
  const std::int64_t batchTraces = std::max(batching.batchTraces, 1);
  auto* const rowTexts = dynamic_cast<model::RowTexts*>(&consumer);
  const std::size_t textCount = rowTexts != nullptr ? rowTexts->RowTextCount() : 0;
  const std::size_t stride = locator.HeaderStride();
  std::vector<Batch> slots(BatchSlots(batching.workers));

  BatchSteps steps;
  steps.batches = (traces + batchTraces - 1) / batchTraces;
  steps.locate = [&](std::int64_t b, std::size_t slot) {
    Batch& batch = slots[slot];
    const auto count = static_cast<std::size_t>(std::min(batchTraces, traces - b * batchTraces));
    batch.places.resize(count);
    batch.bytes.resize(count * stride);
    for (std::size_t k = 0; k < count; ++k) {
      if (!locator.Next(batch.places[k], batch.bytes.data() + k * stride)) {
        batch.places.resize(k);  // not expected: `traces` is the locator's limit
        break;
      }
    }
  };
  steps.make = [&](std::int64_t, std::size_t slot, int) {
    Batch& batch = slots[slot];
    const std::size_t count = batch.places.size();
    batch.mismatches.resize(count);
    if (textCount == 0) {
      batch.rows.resize(count);
      for (std::size_t k = 0; k < count; ++k)
        batch.mismatches[k] = rows.Fill(batch.places[k], batch.bytes.data() + k * stride, batch.rows[k]);
      return;
    }
    batch.rows.resize(1);
    batch.texts.resize(textCount);
    for (std::string& text : batch.texts) text.clear();
    for (std::size_t k = 0; k < count; ++k) {
      batch.mismatches[k] = rows.Fill(batch.places[k], batch.bytes.data() + k * stride, batch.rows.front());
      for (std::size_t j = 0; j < textCount; ++j) rowTexts->AppendRowText(j, batch.rows.front(), batch.texts[j]);
    }
  };
  steps.deliver = [&](std::int64_t, std::size_t slot) {
    if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed)) {
      cancelled = true;
      return false;
    }
    const Batch& batch = slots[slot];
    for (std::size_t j = 0; j < textCount; ++j) rowTexts->TakeRowText(j, batch.texts[j]);
    for (std::size_t k = 0; k < batch.places.size(); ++k) {
      const TracePlace& place = batch.places[k];
      findings.Take(place, batch.mismatches[k]);
      if (textCount == 0) consumer.Row(batch.rows[k]);
      if (options.progress && place.listed % kProgressStep == 0) options.progress(place.listed, announced);
    }
    return true;
  };
  return RunBatchSteps(steps, batching.workers);
}

}  // namespace segd::generic
