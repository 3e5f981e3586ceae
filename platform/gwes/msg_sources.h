// What a thread's queue yields besides posted records: WM_PAINT for a window with an update
// area and WM_TIMER for a due timer, both made only when nothing posted waits, and the
// filters that GetMessageW and PeekMessageW apply to every kind alike.
#pragma once
#include <cstdint>
#include <windows.h>

#include "gwes/wm_session.h"

namespace zb::wm {

// Window filter: NULL takes everything, (HWND)-1 only thread messages, a window itself and
// its descendants. Caller holds the segment lock.
bool FilterAllows(Segment& s, uint64_t hwnd, HWND filter);
inline bool RangeAllows(UINT message, UINT min, UINT max) {
  return (min == 0 && max == 0) || (message >= min && message <= max);
}

bool NextPaint(const ThreadQueue& q, HWND filter, MSG* msg);
bool NextTimer(const ThreadQueue& q, HWND filter, bool remove, MSG* msg);
inline constexpr uint64_t kNever = UINT64_MAX;
uint64_t NextTimerDue(const ThreadQueue& q);
// Whether `proc` is the procedure of a timer of this thread (so a forged WM_TIMER cannot make
// DispatchMessageW call an arbitrary address).
bool IsTimerProc(HWND hwnd, UINT_PTR id, LPARAM proc);

}  // namespace zb::wm
