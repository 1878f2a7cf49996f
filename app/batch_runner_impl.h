#pragma once
// The template body of RunOrdered (batch_runner.h).
#include <algorithm>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "scan/io/thread_budget.h"

namespace segd::app {

template <typename Result>
void RunOrdered(OrderedRun<Result>& run) {
  // The jobs come out of the process's thread budget (the machine's cores),
  // which the records' walks share.
  ThreadLease lease(static_cast<int>(std::min<std::size_t>(std::max(1u, run.jobs), run.count)));
  const auto jobs = static_cast<std::size_t>(std::max(lease.Count(), 1));
  const std::size_t window = run.window > 0 ? run.window : 2 * jobs;
  std::mutex mutex;
  std::condition_variable changed;
  std::map<std::size_t, Result> done;  // finished, not yet emitted
  std::size_t next = 0;                // next index to start
  std::size_t emitted = 0;             // results handed back so far
  std::exception_ptr failure;          // a job's exception: the run stops and throws it

  auto worker = [&] {
    std::unique_lock lock(mutex);
    for (;;) {
      changed.wait(lock, [&] { return next >= run.count || next < emitted + window; });
      if (next >= run.count) return;
      const std::size_t index = next++;
      lock.unlock();
      try {
        Result result = run.work(index);
        lock.lock();
        done.emplace(index, std::move(result));
      } catch (...) {
        if (!lock.owns_lock()) lock.lock();
        if (!failure) failure = std::current_exception();
        next = run.count;
      }
      changed.notify_all();
    }
  };
  std::vector<std::thread> pool;
  // A thread that cannot be started (the system's limit, no memory) leaves
  // the run to the threads that could; with none, the caller works alone.
  try {
    pool.reserve(jobs);
    for (std::size_t i = 0; i < static_cast<std::size_t>(lease.Count()); ++i) pool.emplace_back(worker);
  } catch (const std::exception&) {
  }
  lease.Keep(static_cast<int>(pool.size()));

  std::unique_lock lock(mutex);
  auto finish = [&] {
    next = run.count;
    changed.notify_all();
    lock.unlock();
    for (std::thread& t : pool) t.join();
  };
  try {
    while (emitted < run.count) {
      if (pool.empty()) {
        lock.unlock();
        Result result = run.work(emitted);
        lock.lock();
        done.emplace(emitted, std::move(result));
      }
      changed.wait(lock, [&] { return failure || done.count(emitted) > 0; });
      if (done.count(emitted) == 0) break;
      auto node = done.extract(emitted);
      lock.unlock();
      run.emit(emitted, std::move(node.mapped()));
      lock.lock();
      ++emitted;
      changed.notify_all();
    }
  } catch (...) {
    if (!lock.owns_lock()) lock.lock();
    finish();
    throw;
  }
  finish();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace segd::app
