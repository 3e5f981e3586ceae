// The message machinery shared by the window calls: calling a procedure, queueing a record on
// a thread's queue, sends that cross threads and processes (answered ones wait, while the
// waiting thread keeps serving sends addressed to it), and the internal events through which
// one thread asks another to act on its own windows.
#pragma once
#include <memory>
#include <windows.h>

#include "gwes/wm_session.h"

namespace zb::wm {

// Calls the window's procedure on this thread.
LRESULT CallProc(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam, LPARAM lParam);

// Where a window's messages go.
struct Target {
  int32_t pid = 0, tid = 0;
  uint64_t startTime = 0;
  uint32_t queue = kNone, queueGen = 0;
};
// Caller holds the segment lock.
Target TargetOf(Segment& s, const WindowSlot& w);
bool IsThisThread(const Target& t);

// Queues a record (caller holds the segment lock); false when the queue is full.
bool PushPosted(Segment& s, uint32_t q, const Posted& record, bool front = false);
uint32_t WakeBit(PostKind kind);

enum class Internal : uint32_t { Activate, Deactivate, Invalidate };

// Sends to another thread; Send and Hook wait for the answer, Notify and Internal do not.
// `data` is copied into the receiver (WM_COPYDATA), `aux` rides along unchanged.
struct Outgoing {
  SendKind kind = SendKind::Send;
  uint64_t hwnd = 0;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  uint64_t aux[4] = {0, 0, 0, 0};
  const void* data = nullptr;
  uint32_t dataSize = 0;
  bool hasData = false;
};
// False (with the last error set) when the send could not be made or its target went away.
bool SendTo(const Target& target, const Outgoing& out, LRESULT* result);

// Runs an internal event on this thread when the queue is ours, else hands it to that thread.
void RunOrSendInternal(uint32_t queue, uint32_t queueGen, Internal op, uint64_t hwnd, uint64_t a0 = 0,
                       uint64_t a1 = 0, uint64_t a2 = 0);
void RunInternal(Internal op, uint64_t hwnd, const uint64_t* args);

// Serves the sends waiting for this thread, oldest first; true when any ran.
bool DispatchIncoming(ThreadQueue& q);

uint32_t NowTick();

}  // namespace zb::wm
