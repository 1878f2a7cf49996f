#include "scan/standard/trace_batches.h"

#include <algorithm>
#include <atomic>
#include <memory>

#include "scan/io/chunked_reads.h"
#include "scan/io/thread_budget.h"
#include "scan/makes/sn388/trace_walk.h"

#if !defined(__GLIBCXX__) || defined(_GLIBCXX_HAS_GTHREADS)
#define SEGD_WALK_THREADS 1
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#endif

namespace segd {

namespace {

constexpr std::int64_t kPositionLimit = std::int64_t{1} << 62;  // as the one-by-one walk's
// A worker reads close traces this many bytes at a time, whatever the batch.
constexpr std::size_t kChunkBytes = std::size_t{1} << 18;

std::int64_t Stride(const TraceWalkPlan& plan) {
  return static_cast<std::int64_t>(TraceHeaderBytesRead(plan.extensionCount)) + std::int64_t{4} * plan.samplesPerTrace;
}

// Reads, decodes and formats the `count` traces from `first` into `batch`.
// `chunk` is the worker's read buffer (kChunkBytes) for close traces.
void FillBatch(ByteSource& source, const TraceWalkPlan& plan, const TraceBatchFormat& format, std::int32_t first,
               std::int32_t count, std::uint8_t* chunk, TraceBatch& batch) {
  batch.first = first;
  batch.count = count;
  batch.text.clear();
  const std::size_t headerBytes = TraceHeaderBytesRead(plan.extensionCount);
  const std::int64_t stride = Stride(plan);
  const bool close = stride <= static_cast<std::int64_t>(ChunkedReads::kLargestChunkedStride);
  std::array<std::uint8_t, kTraceHeaderBytes + 2 * kTraceExtensionBytes> own{};
  std::int64_t position = TracePosition(plan, first);
  std::int64_t chunkStart = 0;  // 1-based positions [chunkStart, chunkEnd) are in `chunk`
  std::int64_t chunkEnd = 0;
  TraceRecords records;
  for (std::int32_t k = 0; k < count; ++k) {
    const std::uint8_t* blocks = own.data();
    if (!close) {
      source.ReadShared(static_cast<std::uint64_t>(position - 1), std::span<std::uint8_t>(own.data(), headerBytes));
    } else {
      if (position < chunkStart || position + static_cast<std::int64_t>(headerBytes) > chunkEnd) {
        // From this header to the last one of the batch, as much as fits.
        const std::int64_t wanted = std::int64_t{count - k - 1} * stride + static_cast<std::int64_t>(headerBytes);
        const auto length = static_cast<std::size_t>(std::min<std::int64_t>(wanted, kChunkBytes));
        source.ReadShared(static_cast<std::uint64_t>(position - 1), std::span<std::uint8_t>(chunk, length));
        chunkStart = position;
        chunkEnd = position + static_cast<std::int64_t>(length);
      }
      blocks = chunk + (position - chunkStart);
    }
    DecodeTraceBlocks(ByteSpan(blocks, headerBytes), plan.extensionCount, records);
    format.Add(first + k, position, records, blocks, batch);
    position = NextTracePosition(position, plan.samplesPerTrace, plan.extensionCount);
  }
  batch.last = records;
}

// Every batch on the calling thread, one after the other.
void RunInline(ByteSource& source, const TraceWalkPlan& plan, const TraceBatchFormat& format,
               const std::function<bool(TraceBatch&)>& deliver, std::int32_t batchTraces) {
  auto chunk = std::make_unique_for_overwrite<std::uint8_t[]>(kChunkBytes);
  TraceBatch batch;
  for (std::int64_t first = 1; first <= plan.traces; first += batchTraces) {
    const auto count = static_cast<std::int32_t>(std::min<std::int64_t>(batchTraces, plan.traces - first + 1));
    FillBatch(source, plan, format, static_cast<std::int32_t>(first), count, chunk.get(), batch);
    if (!deliver(batch)) return;
  }
}

#ifdef SEGD_WALK_THREADS
// Batch b is made in slot b % slots by whichever worker claims it, once the
// batch that used the slot before has been delivered and, with a locate
// step, once b has been located.
class Pipeline {
 public:
  Pipeline(const BatchSteps& steps, std::size_t slots) : steps_(steps), slots_(slots) {
    for (std::size_t i = 0; i < slots_.size(); ++i) slots_[i].turn = steps_.locate ? -1 : static_cast<std::int64_t>(i);
  }
  // Stops the workers however the delivery ends (a throw included).
  ~Pipeline() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    freed_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }

  // False when not one worker could be started.
  bool Start(int workers) {
    for (int i = 0; i < workers; ++i) {
      try {
        workers_.emplace_back([this, i] { Work(i); });
      } catch (const std::system_error&) {
        break;
      }
    }
    return !workers_.empty();
  }

  void Deliver() {
    const auto slots = static_cast<std::int64_t>(slots_.size());
    std::int64_t located = 0;
    for (std::int64_t d = 0; d < steps_.batches; ++d) {
      // As far ahead as the slots delivered so far allow.
      for (; steps_.locate && located < steps_.batches && located < d + slots; ++located) {
        steps_.locate(located, static_cast<std::size_t>(located % slots));
        {
          std::lock_guard<std::mutex> lock(mutex_);
          slots_[static_cast<std::size_t>(located % slots)].turn = located;
        }
        freed_.notify_all();
      }
      const auto s = static_cast<std::size_t>(d % slots);
      Slot& slot = slots_[s];
      {
        std::unique_lock<std::mutex> lock(mutex_);
        filled_.wait(lock, [&slot] { return slot.filled; });
      }
      if (slot.failure) std::rethrow_exception(slot.failure);
      const bool more = steps_.deliver(d, s);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        slot.filled = false;
        slot.turn = steps_.locate ? -1 : d + slots;
        stop_ = !more;
      }
      freed_.notify_all();
      if (!more) return;
    }
  }

 private:
  struct Slot {
    std::int64_t turn = 0;  // the batch it may take next; -1: none located yet
    bool filled = false;
    std::exception_ptr failure;  // the make step's exception, thrown again where the batch is due
  };

  void Work(int worker) {
    for (;;) {
      const std::int64_t b = next_.fetch_add(1);
      if (b >= steps_.batches) return;
      const auto s = static_cast<std::size_t>(b % static_cast<std::int64_t>(slots_.size()));
      Slot& slot = slots_[s];
      {
        std::unique_lock<std::mutex> lock(mutex_);
        freed_.wait(lock, [&] { return stop_ || slot.turn == b; });
        if (stop_) return;
      }
      std::exception_ptr failure;
      try {
        steps_.make(b, s, worker);
      } catch (...) {
        failure = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        slot.failure = failure;
        slot.filled = true;
      }
      filled_.notify_one();
    }
  }

  const BatchSteps& steps_;
  std::vector<Slot> slots_;
  std::atomic<std::int64_t> next_{0};
  std::mutex mutex_;
  std::condition_variable freed_;   // a slot's turn came, or the walk stops
  std::condition_variable filled_;  // a batch is ready
  bool stop_ = false;
  std::vector<std::thread> workers_;
};
#endif

}  // namespace

std::int64_t TracePosition(const TraceWalkPlan& plan, std::int64_t sequence) {
  const std::int64_t stride = Stride(plan);
  std::int64_t position = plan.firstPosition;
  const std::int64_t steps = sequence - 1;
  if (stride < 0 || position > kPositionLimit || position < -kPositionLimit) {
    for (std::int64_t i = 0; i < steps; ++i) position = NextTracePosition(position, plan.samplesPerTrace, plan.extensionCount);
    return position;
  }
  // Forward steps saturate at the limit, as the walk's clamp does.
  if (steps > 0 && stride > (kPositionLimit - position) / steps) return kPositionLimit;
  return position + steps * stride;
}

bool TraceBatchesSuit(const ByteSource& source, const TraceWalkPlan& plan, const TraceBatchOptions& options) {
#ifdef SEGD_WALK_THREADS
  return options.workers > 0 && plan.traces >= std::max(options.fewestTraces, 1) && plan.samplesPerTrace >= 0 &&
         plan.firstPosition >= 1 && plan.firstPosition <= kPositionLimit && source.SharedReads();
#else
  (void)source, (void)plan, (void)options;
  return false;
#endif
}

std::size_t BatchSlots(int workers) { return 2 * static_cast<std::size_t>(std::max(workers, 1)) + 2; }

bool RunBatchSteps(const BatchSteps& steps, int workers) {
#ifdef SEGD_WALK_THREADS
  // The workers come out of the process's thread budget: none free (every
  // core busy with other records' jobs), and the walk stays on its caller.
  ThreadLease lease(std::max(workers, 1));
  if (lease.Count() == 0) return false;
  Pipeline pipeline(steps, BatchSlots(workers));
  if (!pipeline.Start(lease.Count())) return false;
  pipeline.Deliver();
  return true;
#else
  (void)steps, (void)workers;
  return false;
#endif
}

void RunTraceBatches(ByteSource& source, const TraceWalkPlan& plan, const TraceBatchFormat& format,
                     const std::function<bool(TraceBatch&)>& deliver, const TraceBatchOptions& options) {
  const std::int32_t batchTraces = std::max(options.batchTraces, 1);
  if (plan.traces <= 0) return;
  const int workers = std::max(options.workers, 1);
  std::vector<TraceBatch> slots(BatchSlots(workers));
  std::vector<std::unique_ptr<std::uint8_t[]>> chunks(static_cast<std::size_t>(workers));
  BatchSteps steps;
  steps.batches = (std::int64_t{plan.traces} + batchTraces - 1) / batchTraces;
  steps.make = [&](std::int64_t b, std::size_t slot, int worker) {
    std::unique_ptr<std::uint8_t[]>& chunk = chunks[static_cast<std::size_t>(worker)];
    if (!chunk) chunk = std::make_unique_for_overwrite<std::uint8_t[]>(kChunkBytes);
    const auto first = static_cast<std::int32_t>(b * batchTraces + 1);
    FillBatch(source, plan, format, first, std::min(batchTraces, plan.traces - first + 1), chunk.get(), slots[slot]);
  };
  steps.deliver = [&](std::int64_t, std::size_t slot) { return deliver(slots[slot]); };
  if (!RunBatchSteps(steps, workers)) RunInline(source, plan, format, deliver, batchTraces);
}

}  // namespace segd
