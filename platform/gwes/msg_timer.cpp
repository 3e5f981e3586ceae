// SetTimer and KillTimer. A timer is a due time on the device clock (the test clock while a
// test holds it) kept by the process; the owner thread's queue turns the earliest due timer into
// WM_TIMER when nothing else waits, and taking it sets the next due time from now, so a busy
// thread gets one WM_TIMER, never a pile of them.
#include <algorithm>

#include "gwes/msg_core.h"
#include "gwes/msg_sources.h"
#include "gwes/wm_links.h"

namespace zb::wm {

bool NextTimer(const ThreadQueue& q, HWND filter, bool remove, MSG* msg) {
  Session& session = CurrentSession();
  const uint64_t now = zb::kernel::NowMs();
  std::lock_guard lock(session.lock);
  Timer* best = nullptr;
  {
    Locked segLock(*session.seg);
    for (Timer& t : session.timers) {
      if (t.queue != q.index || t.due > now || (best && t.due >= best->due)) continue;
      if (!FilterAllows(*session.seg, HwndValue(t.hwnd), filter)) continue;
      best = &t;
    }
  }
  if (!best) return false;
  *msg = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), static_cast<DWORD>(now),
             POINT{0, 0}};
  if (remove) best->due = now + best->period;
  return true;
}

uint64_t NextTimerDue(const ThreadQueue& q) {
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  uint64_t due = kNever;
  for (const Timer& t : session.timers) {
    if (t.queue == q.index) due = std::min(due, t.due);
  }
  return due;
}

bool IsTimerProc(HWND hwnd, UINT_PTR id, LPARAM proc) {
  ThreadQueue* q = MyQueueIfAny();
  if (!q) return false;
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  return std::any_of(session.timers.begin(), session.timers.end(), [&](const Timer& t) {
    return t.queue == q->index && t.hwnd == hwnd && t.id == id && reinterpret_cast<LPARAM>(t.proc) == proc;
  });
}

}  // namespace zb::wm

using namespace zb::wm;

extern "C" UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  uint32_t queue;
  if (hwnd) {
    auto window = LocalWindow(hwnd);
    if (!window) {
      SetLastError(IsWindow(hwnd) ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    queue = window->queue;
  } else {
    ThreadQueue* q = MyQueue();
    if (!q) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    queue = q->index;
  }
  const UINT period = std::max<UINT>(elapse, 1);
  Session& session = CurrentSession();
  UINT_PTR result;
  {
    std::lock_guard lock(session.lock);
    auto it = std::find_if(session.timers.begin(), session.timers.end(), [&](const Timer& t) {
      return t.queue == queue && t.hwnd == hwnd && t.id == id;
    });
    // A thread timer is named by the id SetTimer gave it; any other id makes a new one.
    if (!hwnd && it == session.timers.end()) id = session.nextThreadTimer++;
    Timer timer{queue, hwnd, id, period, zb::kernel::NowMs() + period, proc};
    if (it != session.timers.end()) {
      *it = timer;
    } else {
      session.timers.push_back(timer);
    }
    result = hwnd ? (id ? id : 1) : id;
  }
  // The owner thread may be waiting for a later time than this one; this thread is not waiting.
  ThreadQueue* me = MyQueueIfAny();
  if (!me || me->index != queue) {
    Locked lock(*session.seg);
    WakeQueue(*session.seg, queue);
  }
  return result;
}

extern "C" BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  uint32_t queue = kNone;
  if (hwnd) {
    auto window = LocalWindow(hwnd);
    if (window) queue = window->queue;
  } else if (ThreadQueue* q = MyQueueIfAny()) {
    queue = q->index;
  }
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  auto removed = std::erase_if(session.timers, [&](const Timer& t) {
    return t.queue == queue && t.hwnd == hwnd && t.id == id;
  });
  if (!removed) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}
