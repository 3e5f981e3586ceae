// Threads as the layer sees them: host threads with a record in the kernel segment (waitable,
// signalled at exit), a priority on the device's scale, and a cancellation mark. A thread marked
// by TerminateThread, or calling ExitThread, ends by unwinding to its start with ThreadEnd:
// destructors run and nothing dies mid-instruction. Product code must let ThreadEnd pass (a
// catch (...) that swallows it only delays the end to the next wait).
#pragma once
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <windows.h>

#include "coredll/waitable.h"

namespace zb {

struct ThreadEnd {
  DWORD exitCode;
};

struct ThreadState {
  std::atomic<int32_t> tid{0};
  std::atomic<int> priority{THREAD_PRIORITY_NORMAL};
  std::atomic<bool> cancel{false};
  std::atomic<DWORD> cancelCode{0};
  bool ours = false;  // started by CreateThread, so ThreadEnd has somewhere to land
  std::mutex lock;
  std::condition_variable changed;
  DWORD suspendCount = 0;
};

// The calling thread's state (made on first use for threads the layer did not start).
ThreadState& CurrentThread();

class ThreadObject : public WaitableObject {
 public:
  ThreadObject(const kernel::ObjectRef& ref, std::shared_ptr<ThreadState> state)
      : WaitableObject(ref), state_(std::move(state)) {}
  ThreadState& state() { return *state_; }

 private:
  std::shared_ptr<ThreadState> state_;
};

}  // namespace zb
