#pragma once
// The threads a process starts for its work, bounded by the machine's cores
// whatever asks for them: a batch's record jobs and each record's walk
// workers draw on the same count, so `--jobs N` does not add N walks' two
// workers each on top. A walk that gets no thread runs on its caller's.
#include <atomic>

namespace segd {

// Threads taken from the process's budget; given back when it ends.
class ThreadLease {
 public:
  // Up to `wanted` threads, as many as are free (possibly none).
  explicit ThreadLease(int wanted);
  ~ThreadLease();
  ThreadLease(const ThreadLease&) = delete;
  ThreadLease& operator=(const ThreadLease&) = delete;
  int Count() const { return count_; }
  // Gives back the threads beyond `used` (some could not be started).
  void Keep(int used);

 private:
  int count_ = 0;
};

// The budget: the machine's cores (at least one).
int ThreadBudget();

}  // namespace segd
