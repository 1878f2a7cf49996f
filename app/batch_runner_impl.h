#pragma once
// The template body of RunOrdered (batch_runner.h).
#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace segd::app {

template <typename Result>
void RunOrdered(OrderedRun<Result>& run) {
  const unsigned jobs = std::max(1u, run.jobs);
  const std::size_t window = run.window > 0 ? run.window : 2 * static_cast<std::size_t>(jobs);
  std::mutex mutex;
  std::condition_variable changed;
  std::map<std::size_t, Result> done;  // finished, not yet emitted
  std::size_t next = 0;                // next index to start
  std::size_t emitted = 0;             // results handed back so far

  auto worker = [&] {
    std::unique_lock lock(mutex);
    for (;;) {
      changed.wait(lock, [&] { return next >= run.count || next < emitted + window; });
      if (next >= run.count) return;
      const std::size_t index = next++;
      lock.unlock();
      Result result = run.work(index);
      lock.lock();
      done.emplace(index, std::move(result));
      changed.notify_all();
    }
  };
  std::vector<std::thread> pool;
  for (unsigned i = 0; i < std::min<std::size_t>(jobs, run.count); ++i) pool.emplace_back(worker);

  std::unique_lock lock(mutex);
  while (emitted < run.count) {
    changed.wait(lock, [&] { return done.count(emitted) > 0; });
    auto node = done.extract(emitted);
    lock.unlock();
    run.emit(emitted, std::move(node.mapped()));
    lock.lock();
    ++emitted;
    changed.notify_all();
  }
  lock.unlock();
  for (std::thread& t : pool) t.join();
}

}  // namespace segd::app
