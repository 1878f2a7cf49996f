#include "python/interruptible.h"

#include <pybind11/pybind11.h>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace segd::python {

void RunInterruptible(const std::function<void()>& work, std::atomic<bool>& cancel) {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  bool interrupted = false;
  std::exception_ptr failure;

  // Started with the interpreter's lock still held, so that a thread that
  // cannot be started (std::system_error, std::bad_alloc) reaches Python as
  // RuntimeError or MemoryError rather than ending the interpreter.
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(mutex);
    done = true;
    finished.notify_all();
  });
  PyThreadState* state = PyEval_SaveThread();
  {
    std::unique_lock<std::mutex> lock(mutex);
    while (!finished.wait_for(lock, std::chrono::milliseconds(50), [&] { return done; })) {
      if (interrupted) continue;
      lock.unlock();
      // Signal handlers run only on the main thread and with the lock held;
      // the error they set stays with this thread until it is raised below.
      PyEval_RestoreThread(state);
      interrupted = PyErr_CheckSignals() != 0;
      state = PyEval_SaveThread();
      if (interrupted) cancel = true;
      lock.lock();
    }
  }
  worker.join();
  PyEval_RestoreThread(state);
  // A Ctrl-C that came after the last look still stops this call: raised
  // here, not at whatever the interpreter runs next.
  if (!interrupted) interrupted = PyErr_CheckSignals() != 0;
  if (interrupted) throw pybind11::error_already_set();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace segd::python
