#pragma once
// Runs one job per record on a pool of threads and hands the results back in
// record order, whatever order the jobs finish in. A job may start only while
// it is fewer than `window` records ahead of the oldest result not yet handed
// back, so the results held at once (and the memory) are bounded by the
// window, not by the number of records.
#include <cstddef>
#include <functional>

namespace segd::app {

template <typename Result>
struct OrderedRun {
  std::size_t count = 0;
  unsigned jobs = 1;
  std::size_t window = 0;  // 0: twice the jobs
  std::function<Result(std::size_t index)> work;        // on a pool thread
  std::function<void(std::size_t index, Result&&)> emit;  // on the caller's thread, in index order
};

// Blocks until every result has been emitted.
template <typename Result>
void RunOrdered(OrderedRun<Result>& run);

}  // namespace segd::app

#include "app/batch_runner_impl.h"
