#pragma once
// The trace walk split over both cores: the traces of a record lie at fixed
// places, so batches of consecutive traces are read, decoded and formatted by
// worker threads at once, and handed over in file order on the calling
// thread, which writes them. A fixed number of batches is in flight, so
// memory does not grow with the record. The pipeline under it (BatchSteps)
// also serves walks whose traces must be located one after the other (the
// general decoder's).
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scan/io/byte_source.h"
#include "scan/model/record_model.h"
#include "scan/makes/sn388/trace_header.h"

namespace segd {

// The traces a walk steps through, as the one-by-one walk (ReadTraceRecords)
// does: trace 1 at `firstPosition` (1-based), each next one after the
// previous one's header blocks and samples.
struct TraceWalkPlan {
  std::int32_t samplesPerTrace = 0;
  std::int32_t extensionCount = 0;
  std::int32_t traces = 0;
  std::int64_t firstPosition = 1;
};

// The 1-based position of trace `sequence` (from 1) of the plan.
std::int64_t TracePosition(const TraceWalkPlan& plan, std::int64_t sequence);

// Consecutive traces of a walk and what a worker made of them.
struct TraceBatch {
  std::int32_t first = 0;  // sequence of its first trace
  std::int32_t count = 0;
  std::string text;     // appended to per trace
  TraceRecords last{};  // the decoded records of its last trace
};

// What the workers make of each trace. Called on several threads at once:
// it may only read state of its own.
class TraceBatchFormat {
 public:
  virtual ~TraceBatchFormat() = default;
  // Trace `sequence`, its header at 1-based `position`, its 20 header bytes
  // `header`: adds its part to `batch` (in which it is trace
  // sequence - batch.first).
  virtual void Add(std::int32_t sequence, std::int64_t position, const TraceRecords& records,
                   const std::uint8_t* header, TraceBatch& batch) const = 0;
};

struct TraceBatchOptions {
  std::int32_t batchTraces = 512;
  // Below this many traces the walk stays on the calling thread.
  std::int32_t fewestTraces = 2048;
  int workers = 2;
};

// The pipeline under every walk on both cores, whatever its batches hold:
// batch b (from 0) is made in slot b % BatchSlots(workers), once the batch
// that used the slot before has been delivered. The caller keeps the slots.
struct BatchSteps {
  std::int64_t batches = 0;
  // When given: on the calling thread, in batch order, as far ahead as the
  // slots allow; fills what the workers need (where the traces lie, when
  // each one's place depends on the one before).
  std::function<void(std::int64_t batch, std::size_t slot)> locate;
  // On the workers, several batches at once: makes the batch in its slot.
  // `worker` (from 0) tells whose scratch memory it may use.
  std::function<void(std::int64_t batch, std::size_t slot, int worker)> make;
  // On the calling thread, in batch order; false stops the walk there.
  std::function<bool(std::int64_t batch, std::size_t slot)> deliver;
};

// Slots enough for two batches per worker and two more: one being
// delivered, one ready.
std::size_t BatchSlots(int workers);

// Runs `steps` on `workers` threads. False, having run no step, when not one
// worker could be started (or the standard library has no threads). An
// exception of a make step is thrown again here, once the batches before
// its batch have been delivered.
bool RunBatchSteps(const BatchSteps& steps, int workers);

// Whether RunTraceBatches can walk this plan: threads exist, the source
// reads on several threads, the traces move forward and are many enough.
bool TraceBatchesSuit(const ByteSource& source, const TraceWalkPlan& plan, const TraceBatchOptions& options = {});

// Walks every trace of the plan (TraceBatchesSuit must hold): the workers
// read each batch's header blocks (one read of the batch's bytes a megabyte
// at a time when traces lie close, one read per header when far apart, so
// samples are never read for nothing), decode them and call `format`;
// `deliver` takes each batch on the calling thread, in order, and returns
// false to stop the walk there. Bytes past the end of the record read as
// zeros.
void RunTraceBatches(ByteSource& source, const TraceWalkPlan& plan, const TraceBatchFormat& format,
                     const std::function<bool(TraceBatch&)>& deliver, const TraceBatchOptions& options = {});

}  // namespace segd
