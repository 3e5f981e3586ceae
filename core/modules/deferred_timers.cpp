// The deferred-timer table (see deferred_timers.h). Elapsed times are unsigned tick differences,
// so the 49-day wrap of GetTickCount does not disturb them.
#include "core/modules/deferred_timers.h"

#include <algorithm>

namespace {

constexpr DWORD kHeldWaitMs = 1000;  // while a decoder holds the timers, look again this soon
constexpr DWORD kNothingDue = 0x7FFFFFFF;

}  // namespace

DWORD CDeferredTimers::TimeLeft(const Entry& entry, DWORD now) {
  const DWORD elapsed = now - entry.lastRun;
  return elapsed >= entry.intervalMs ? 0 : entry.intervalMs - elapsed;
}

void CDeferredTimers::Schedule(HWND window, UINT timerId, DWORD intervalMs) {
  CSectionLock hold(lock_);
  std::erase_if(entries_, [&](const Entry& e) { return e.window == window && e.timerId == timerId; });
  entries_.push_back({window, timerId, intervalMs, GetTickCount() - 1});
}

void CDeferredTimers::Cancel(HWND window, UINT timerId) {
  CSectionLock hold(lock_);
  auto at = std::find_if(entries_.begin(), entries_.end(),
                         [&](const Entry& e) { return e.window == window && e.timerId == timerId; });
  if (at != entries_.end()) entries_.erase(at);
}

int CDeferredTimers::Run(const Deliver& deliver, bool hold, DWORD* waitMs) {
  {
    CSectionLock guard(lock_);
    if (!waitMs) return static_cast<int>(entries_.size());
    if (entries_.empty()) return 0;
  }
  if (!hold) {
    HWND window = nullptr;
    UINT timerId = 0;
    bool due = false;
    {
      CSectionLock guard(lock_);
      const DWORD now = GetTickCount();
      DWORD longest = 0;
      Entry* chosen = nullptr;
      for (Entry& e : entries_) {
        const DWORD elapsed = now - e.lastRun;
        if (elapsed < e.intervalMs) continue;  // not due: never run early
        if (!chosen || elapsed > longest) {
          chosen = &e;
          longest = elapsed;
        }
      }
      if (chosen) {
        chosen->lastRun = now;
        window = chosen->window;
        timerId = chosen->timerId;
        due = true;
      }
    }
    // Outside the lock: the window may schedule or cancel while it handles the timer.
    if (due) deliver(window, timerId);
  }
  CSectionLock guard(lock_);
  if (entries_.empty()) return 1;  // the handler cancelled the last entry; nothing to wait for
  const DWORD now = GetTickCount();
  DWORD wait = kNothingDue;
  for (const Entry& e : entries_) wait = std::min(wait, TimeLeft(e, now));
  *waitMs = hold ? std::max(wait, kHeldWaitMs) : wait;
  return 1;
}
