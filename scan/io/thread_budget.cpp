#include "scan/io/thread_budget.h"

#include <algorithm>

#if !defined(__GLIBCXX__) || defined(_GLIBCXX_HAS_GTHREADS)
#include <thread>
#define SEGD_HAS_THREADS 1
#endif

namespace segd {

namespace {

std::atomic<int>& Free() {
  static std::atomic<int> free{ThreadBudget()};
  return free;
}

}  // namespace

int ThreadBudget() {
#ifdef SEGD_HAS_THREADS
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
#else
  return 1;
#endif
}

ThreadLease::ThreadLease(int wanted) {
  std::atomic<int>& free = Free();
  int now = free.load();
  do {
    count_ = std::clamp(now, 0, std::max(wanted, 0));
  } while (!free.compare_exchange_weak(now, now - count_));
}

ThreadLease::~ThreadLease() { Keep(0); }

void ThreadLease::Keep(int used) {
  used = std::clamp(used, 0, count_);
  Free().fetch_add(count_ - used);
  count_ = used;
}

}  // namespace segd
