#pragma once
// Long work run without the interpreter lock, stoppable with Ctrl-C.
#include <atomic>
#include <functional>

namespace segd::python {

// Runs `work` on a worker thread with the interpreter lock released. The
// calling thread (which holds the lock on entry) looks for signals every
// 50 ms, and once more when the work is done; on Ctrl-C it sets `cancel`,
// waits for the work to return and raises KeyboardInterrupt
// (pybind11::error_already_set). An exception of the work is rethrown here.
void RunInterruptible(const std::function<void()>& work, std::atomic<bool>& cancel);

}  // namespace segd::python
