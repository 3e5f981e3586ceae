// The moving window: a "STATIC" window given our own procedure, which makes the progress bar
// on WM_USER and moves it on WM_USER+1, repainting at once (the mover holds the library lock
// on this thread, so nothing else would paint it).
#include "library_move_window.h"

#include <commctrl.h>

// The progress bar's class and messages, until the common controls' header carries them.
#ifndef PBM_SETPOS
#define PROGRESS_CLASSW u"msctls_progress32"
#define PBS_SMOOTH 0x01
#define PBM_SETRANGE (WM_USER + 1)
#define PBM_SETPOS (WM_USER + 2)
#endif

namespace {

constexpr UINT kCreateBar = WM_USER;
constexpr UINT kSetPosition = WM_USER + 1;
constexpr int kBarId = 1;

LRESULT CALLBACK MovingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto base = reinterpret_cast<WNDPROC>(GetWindowLongW(window, GWL_USERDATA));
  if (message == kCreateBar) {
    RECT client{};
    GetClientRect(window, &client);
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, u"", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 0, 0, client.right,
                               client.bottom, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)),
                               GetModuleHandleW(nullptr), nullptr);
    if (bar) SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    return 0;
  }
  if (message == kSetPosition) {
    if (HWND bar = GetWindow(window, GW_CHILD)) {  // the bar is its only child
      SendMessageW(bar, PBM_SETPOS, wParam, 0);
      UpdateWindow(bar);
    }
    return 0;
  }
  return base ? CallWindowProcW(base, window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND CreateMovingLibraryWindow(HWND parent) {
  const int width = GetSystemMetrics(SM_CXSCREEN) * 3 / 4;
  const int height = GetSystemMetrics(SM_CYCAPTION) * 2;
  RECT client{};
  POINT origin{};
  if (parent) {
    GetClientRect(parent, &client);
    ClientToScreen(parent, &origin);
  }
  const int x = origin.x + (client.right - client.left - width) / 2;
  const int y = origin.y + (client.bottom - client.top - height) / 4;
  HWND window = CreateWindowExW(0, u"STATIC", u"Moving Library...", WS_CAPTION, x, y, width, height, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) return nullptr;
  SetWindowLongW(window, GWL_USERDATA, GetWindowLongW(window, GWL_WNDPROC));
  SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(MovingWindowProc));
  SendMessageW(window, kCreateBar, 0, 0);
  SetWindowPos(window, HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW);
  UpdateWindow(window);
  return window;
}

void ReportMoveProgress(int percent, void* window) {
  HWND moving = static_cast<HWND>(window);
  if (moving && IsWindow(moving)) SendMessageW(moving, kSetPosition, static_cast<WPARAM>(percent), 0);
}
