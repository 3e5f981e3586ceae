// Deferred timers: windows of the player that need periodic work register (window, timer id,
// interval) here instead of holding system timers, and the main loop runs the table between
// messages. Only an entry that is due runs, one per call, the one that waited longest; the loop
// then sleeps exactly until the next entry falls due.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "core/common/critical_section.h"

class CDeferredTimers {
 public:
  using Deliver = std::function<void(HWND window, UINT timerId)>;

  // Replaces an entry of the same window and id by {interval, last run a tick ago}.
  void Schedule(HWND window, UINT timerId, DWORD intervalMs);
  // Removes the first entry of that window and id.
  void Cancel(HWND window, UINT timerId);
  // Without `waitMs`: the number of entries. Otherwise 0 when the table is empty (`waitMs`
  // untouched); else runs the longest-waiting due entry unless `hold` and sets `waitMs` to the
  // time until the next one is due (at least 1000 ms while held; untouched when the run left
  // the table empty), and returns 1. `deliver` may schedule and cancel entries itself.
  int Run(const Deliver& deliver, bool hold, DWORD* waitMs);

 private:
  struct Entry {
    HWND window;
    UINT timerId;
    DWORD intervalMs;
    DWORD lastRun;  // GetTickCount of the last run
  };
  static DWORD TimeLeft(const Entry& entry, DWORD now);

  CCriticalSection lock_;
  std::vector<Entry> entries_;
};
