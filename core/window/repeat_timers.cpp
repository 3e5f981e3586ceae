// The repeat-timer table and the seek acceleration (see repeat_timers.h). Only the main thread
// uses them, inside the control message's critical section.
#include "core/window/repeat_timers.h"

#include <map>
#include <utility>

namespace {

std::map<std::pair<HWND, UINT_PTR>, bool>& Timers() {
  static std::map<std::pair<HWND, UINT_PTR>, bool> timers;
  return timers;
}

int g_acceleration = 1000;

}  // namespace

int RepeatTimerCommand(UINT_PTR id) {
  return (id & 0xFFFF) == kRepeatTimerMark ? static_cast<int>((id >> 16) & 0xFFFF) : 0;
}

UINT_PTR StartRepeatTimer(HWND window, UINT_PTR id, UINT period, BOOL force) {
  bool& active = Timers()[{window, id}];
  if (active && !force) return static_cast<UINT_PTR>(-1);
  active = true;
  return SetTimer(window, id, period, nullptr);
}

void StopRepeatTimer(HWND window, UINT_PTR id) {
  Timers()[{window, id}] = false;
  KillTimer(window, id);
}

BOOL IsRepeatTimerActive(HWND window, UINT_PTR id) {
  auto found = Timers().find({window, id});
  return found != Timers().end() && found->second;
}

void ClearRepeatTimers() { Timers().clear(); }

void ResetSeekAcceleration() { g_acceleration = 1000; }

void AccelerateSeek(int x) { g_acceleration += g_acceleration * x / 10000; }

int ScaleBySeekAcceleration(int x) { return g_acceleration * x / 1000; }
