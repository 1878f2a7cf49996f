#pragma once
// The batch's progress bar on standard error (only on a terminal): records
// done, traces per second and the time left, redrawn at most five times a
// second.
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace segd::cli {

class BatchProgress {
 public:
  BatchProgress(bool enabled, std::size_t records);
  void Done(std::int64_t traces);  // one more record finished
  void Clear();                    // wipes the bar before another line is printed

 private:
  using Clock = std::chrono::steady_clock;
  void Draw();
  bool enabled_;
  bool drawn_ = false;
  std::size_t records_;
  std::size_t done_ = 0;
  std::int64_t traces_ = 0;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastDraw_{};
};

}  // namespace segd::cli
