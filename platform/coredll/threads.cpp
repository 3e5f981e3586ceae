// CreateThread and the calls on threads. Threads run on host threads; the device's priority is
// stored and reported back (the host scheduler is left alone), and TerminateThread only marks a
// thread, which then ends at its next wait or sleep by unwinding to its start.
#include "coredll/threads.h"

#include <pthread.h>
#include <sched.h>
#include <string>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "device/device.h"

namespace zb {
namespace {

const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(0x41);

// Releases what a thread the layer did not start still owns when it ends.
struct ThreadExitHook {
  bool used = false;
  ~ThreadExitHook() {
    if (used) kernel::AbandonMutexesOf(kernel::ThisPid(), kernel::ThisTid());
  }
};

thread_local std::shared_ptr<ThreadState> t_state;
thread_local ThreadExitHook t_exitHook;

ThreadState* StateOf(HANDLE thread) {
  if (thread == kCurrentThread) return &CurrentThread();
  auto object = LookupHandleAs<ThreadObject>(thread);
  return object ? &object->state() : nullptr;
}

void Run(std::shared_ptr<ThreadState> state, kernel::ObjectRef record, LPTHREAD_START_ROUTINE start,
         LPVOID parameter) {
  t_state = state;
  const int32_t tid = kernel::ThisTid();
  kernel::SetThreadTid(record, tid);
  {
    std::unique_lock lock(state->lock);
    state->tid = tid;
    state->changed.notify_all();
    state->changed.wait(lock, [&] { return state->suspendCount == 0 || state->cancel.load(); });
  }
  DWORD code = state->cancelCode.load();
  if (!state->cancel.load()) {
    try {
      code = start(parameter);
    } catch (const ThreadEnd& end) {
      code = end.exitCode;
    }
  }
  kernel::AbandonMutexesOf(kernel::ThisPid(), tid);
  kernel::EndThread(record, code);
}

}  // namespace

ThreadState& CurrentThread() {
  if (!t_state) {
    t_state = std::make_shared<ThreadState>();
    t_state->tid = kernel::ThisTid();
    t_exitHook.used = true;
  }
  return *t_state;
}

}  // namespace zb

using zb::ThreadState;

extern "C" HANDLE CreateThread(LPSECURITY_ATTRIBUTES, DWORD, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                               DWORD flags, LPDWORD threadId) {
  if (!start) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto state = std::make_shared<ThreadState>();
  state->ours = true;
  state->suspendCount = (flags & CREATE_SUSPENDED) ? 1 : 0;
  zb::kernel::Created record = zb::kernel::CreateThreadRecord(0);
  if (record.status != zb::kernel::Status::Ok) {
    SetLastError(zb::ErrorOf(record.status));
    return nullptr;
  }
  auto object = std::make_shared<zb::ThreadObject>(record.ref, state);
  try {
    std::thread(zb::Run, state, record.ref, start, parameter).detach();
  } catch (const std::system_error&) {
    zb::kernel::EndThread(record.ref, 0);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // The id is the host's, known once the thread runs; a suspended thread gets that far too.
  {
    std::unique_lock lock(state->lock);
    state->changed.wait(lock, [&] { return state->tid.load() != 0; });
  }
  HANDLE handle = zb::HandleFor(object);
  if (threadId) *threadId = static_cast<DWORD>(state->tid.load());
  return handle;
}

extern "C" DWORD ResumeThread(HANDLE thread) {
  ThreadState* state = zb::StateOf(thread);
  if (!state) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0xFFFFFFFF;
  }
  std::lock_guard lock(state->lock);
  DWORD previous = state->suspendCount;
  if (previous && --state->suspendCount == 0) state->changed.notify_all();
  return previous;
}

extern "C" void ExitThread(DWORD exitCode) {
  ThreadState& self = zb::CurrentThread();
  if (self.ours) throw zb::ThreadEnd{exitCode};
  zb::kernel::AbandonMutexesOf(zb::kernel::ThisPid(), zb::kernel::ThisTid());
  pthread_exit(nullptr);
}

extern "C" BOOL TerminateThread(HANDLE thread, DWORD exitCode) {
  auto object = zb::LookupHandleAs<zb::ThreadObject>(thread);
  if (thread == zb::kCurrentThread ||
      (object && object->state().tid.load() == zb::kernel::ThisTid())) {
    ExitThread(exitCode);
  }
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (zb::kernel::ThreadExitCode(object->ref())) return TRUE;  // already ended
  ThreadState& state = object->state();
  {
    std::lock_guard lock(state.lock);
    state.cancelCode = exitCode;
    state.cancel = true;
    state.changed.notify_all();  // a suspended thread ends without running
  }
  zb::kernel::WakeThread(*object->ref().segment, state.tid.load());
  zb::device::DebugLog("TerminateThread: thread " + std::to_string(state.tid.load()) +
                       " marked to end at its next wait or sleep\r\n");
  return TRUE;
}

extern "C" BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
  if (!exitCode) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (thread == zb::kCurrentThread) {
    *exitCode = STILL_ACTIVE;
    return TRUE;
  }
  auto object = zb::LookupHandleAs<zb::ThreadObject>(thread);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *exitCode = zb::kernel::ThreadExitCode(object->ref()).value_or(STILL_ACTIVE);
  return TRUE;
}

extern "C" HANDLE GetCurrentThread() { return zb::kCurrentThread; }

extern "C" DWORD GetCurrentThreadId() { return static_cast<DWORD>(zb::kernel::ThisTid()); }

extern "C" int GetThreadPriority(HANDLE thread) {
  ThreadState* state = zb::StateOf(thread);
  if (!state) {
    SetLastError(ERROR_INVALID_HANDLE);
    return THREAD_PRIORITY_ERROR_RETURN;
  }
  return state->priority.load();
}

extern "C" BOOL SetThreadPriority(HANDLE thread, int priority) {
  ThreadState* state = zb::StateOf(thread);
  if (!state) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (priority < THREAD_PRIORITY_TIME_CRITICAL || priority > THREAD_PRIORITY_IDLE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  state->priority = priority;
  return TRUE;
}

extern "C" void Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    ThreadState& self = zb::CurrentThread();
    if (self.ours && self.cancel.load()) throw zb::ThreadEnd{self.cancelCode.load()};
    sched_yield();
    return;
  }
  zb::WaitAsThread({}, false, milliseconds);
}
