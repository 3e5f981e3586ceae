// The message loop of the program (see message_loop.h). Timer 10 runs around each dispatch so
// that a long message still lets the deferred timers run from the main window.
#include "core/program/message_loop.h"

#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_protocol.h"
#include "core/player/player_core.h"
#include "core/window/program_state.h"
#include "core/settings/settings.h"

namespace {

constexpr UINT kArrowPairKey = 131;  // VK_F20
constexpr DWORD kWakeMask = 0x7F;

void DispatchOne(MSG& msg) {
  HWND window = Program().mainWindow;
  SetTimer(window, MAIN_TIMER_LOOP, 1, nullptr);
  PreTranslateMessage(&msg);
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  KillTimer(window, MAIN_TIMER_LOOP);
}

// Dispatches what is queued; false when WM_QUIT came (its wParam in *exitCode).
bool Drain(MSG& msg, int* exitCode) {
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      *exitCode = static_cast<int>(msg.wParam);
      return false;
    }
    DispatchOne(msg);
  }
  return true;
}

}  // namespace

BOOL PreTranslateMessage(MSG* msg) {
  CSettings* settings = GetSettings();
  if (msg->message >= WM_MOUSEMOVE && msg->message <= 0x20A && IsHoldModeOn() && settings &&
      settings->lockScreenWithButtons) {
    msg->message = 0;
    return TRUE;
  }
  if (Program().arrowPairing && msg->message == WM_KEYDOWN && (msg->wParam == VK_UP || msg->wParam == VK_DOWN)) {
    // A quick arrow press whose release is already queued also reads as a press of F20.
    MSG up;
    if (PeekMessageW(&up, msg->hwnd, WM_KEYUP, WM_KEYUP, PM_REMOVE)) {
      if (up.wParam == msg->wParam) {
        PostMessageW(msg->hwnd, WM_KEYDOWN, kArrowPairKey, 1);
        PostMessageW(msg->hwnd, WM_KEYUP, kArrowPairKey, static_cast<LPARAM>(0xC0000001));
      }
      PostMessageW(up.hwnd, up.message, up.wParam, up.lParam);
    }
  }
  return TRUE;
}

int RunMessageLoop() {
  MSG msg{};
  int exitCode = 0;
  for (;;) {
    if (!Drain(msg, &exitCode)) return exitCode;
    CPlayerCore* core = PeekPlayerCore();
    DWORD wait = 0;
    if (core && core->RunScheduledCall(&wait)) {
      const DWORD start = GetTickCount();
      while (wait && GetTickCount() - start < wait) {
        const DWORD left = wait - (GetTickCount() - start);
        if (MsgWaitForMultipleObjectsEx(0, nullptr, left, kWakeMask, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0 &&
            !Drain(msg, &exitCode))
          return exitCode;
      }
      continue;
    }
    // Nothing scheduled: block on the queue until a timer is scheduled.
    for (;;) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0 || got == -1) return got == 0 ? static_cast<int>(msg.wParam) : 0;
      DispatchOne(msg);
      core = PeekPlayerCore();
      if (core && core->RunScheduledCall(nullptr) > 0) break;
    }
  }
}
