// A real window standing in for the player's main window in the core's tests: it records the
// timers, control messages and stream ends it gets (with the thread priority they ran at) and
// hands them to the core as the main window does: timers 11 to 15 to its timer handler, message
// 1123 and the timers 4 (killed) and 17 to its end of stream. It has the main window's extra words. Windows of the same class stand in for the
// player's other windows that register deferred timers.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "core/window/main_window_messages.h"
#include "core/window/main_window_protocol.h"
#include "core/player/player_core.h"

namespace zb::testing {

struct WindowMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  int priority;  // the receiving thread's priority while the window handled it
  bool operator==(const WindowMessage&) const = default;
};

inline std::vector<WindowMessage>& ReceivedMessages() {
  static std::vector<WindowMessage> received;
  return received;
}

inline LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER || message == WM_ZB_CONTROL || message == WM_ZB_STREAM_END) {
    ReceivedMessages().push_back({window, message, wParam, lParam, GetThreadPriority(GetCurrentThread())});
    CPlayerCore* core = PeekPlayerCore();
    if (!core) return 0;
    if (message == WM_ZB_STREAM_END) {
      core->OnStreamEnded(static_cast<int>(wParam));
    } else if (message == WM_TIMER && wParam >= CORE_TIMER_FIRST && wParam <= CORE_TIMER_LAST) {
      core->OnTimer(wParam);
    } else if (message == WM_TIMER && wParam == MAIN_TIMER_PLAY_FAILED) {
      KillTimer(window, wParam);
      core->OnStreamEnded(STREAM_ENDED_PLAY_FAILED);
    } else if (message == WM_TIMER && wParam == MAIN_TIMER_DRAIN) {
      core->OnStreamEnded(STREAM_ENDED_DRAIN_CHECK);
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class StandInWindow {
 public:
  StandInWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = StandInProc;
    windowClass.cbWndExtra = MAIN_EXTRA_BYTES;
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);  // once per device; a second time fails harmlessly
    window_ = CreateWindowExW(0, kClass, u"", 0, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
  }
  ~StandInWindow() {
    if (window_) DestroyWindow(window_);
  }
  StandInWindow(const StandInWindow&) = delete;
  StandInWindow& operator=(const StandInWindow&) = delete;

  HWND Handle() const { return window_; }

 private:
  static constexpr const WCHAR* kClass = u"ZonbrelCoreTestWindow";
  HWND window_ = nullptr;
};

// Dispatches what this thread's queue holds (due timers included); the messages the stand-in
// windows got since the last call, oldest first.
inline std::vector<WindowMessage> PumpStandIns() {
  MSG msg;
  for (int n = 0; n < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) DispatchMessageW(&msg);
  return std::exchange(ReceivedMessages(), {});
}

}  // namespace zb::testing
