// SHRecognizeGesture: called when the stylus goes down, it waits while the stylus stays there.
// A hold that lasts is the context-menu gesture (GN_CONTEXTMENU, told to the window's parent with
// SHRG_NOTIFYPARENT); a release, a move beyond a small slop, or a key first ends the wait with 0
// and leaves that input in the queue for the window. Everything else that arrives meanwhile
// (painting, timers, sent messages) is handled as usual.
#include <cstdlib>

#include "aygshell/shell_state.h"

namespace zb::shell {
namespace {

constexpr UINT_PTR kHoldTimer = 0x5E57;
constexpr UINT kHold = 1000, kLongHold = 1500;  // milliseconds

bool PeekRange(MSG* msg, UINT first, UINT last, UINT flags) { return PeekMessageW(msg, nullptr, first, last, flags) != 0; }

enum class Other { None, Handled, Fired, Quit };

// Takes and handles one message that is not input.
Other HandleOther(HWND hwnd) {
  const UINT ranges[][2] = {{0, WM_KEYFIRST - 1}, {WM_KEYLAST + 1, WM_MOUSEFIRST - 1}, {WM_MOUSELAST + 1, 0xFFFFFFFF}};
  for (const auto& range : ranges) {
    MSG msg;
    if (!PeekRange(&msg, range[0], range[1], PM_REMOVE)) continue;
    if (msg.message == WM_TIMER && msg.hwnd == hwnd && msg.wParam == kHoldTimer) return Other::Fired;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that called us
      return Other::Quit;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return Other::Handled;
  }
  return Other::None;
}

}  // namespace
}  // namespace zb::shell

using namespace zb::shell;

extern "C" DWORD SHRecognizeGesture(SHRGINFO* info) {
  if (!info || info->cbSize < sizeof(SHRGINFO) || !IsWindow(info->hwndClient)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  HWND hwnd = info->hwndClient;
  const POINT down = info->ptDown;  // client coordinates of the press
  const int slop = GetSystemMetrics(SM_CXDOUBLECLK) * 2;
  SetTimer(hwnd, kHoldTimer, (info->dwFlags & SHRG_LONGDELAY) ? kLongHold : kHold, nullptr);
  bool fired = false;
  while (!fired && IsWindow(hwnd)) {
    MSG msg;
    if (PeekRange(&msg, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) {
      POINT at{static_cast<SHORT>(LOWORD(msg.lParam)), static_cast<SHORT>(HIWORD(msg.lParam))};
      if (msg.hwnd != hwnd) MapWindowPoints(msg.hwnd, hwnd, &at, 1);
      if (msg.message == WM_MOUSEMOVE && std::abs(at.x - down.x) <= slop && std::abs(at.y - down.y) <= slop) {
        PeekRange(&msg, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);  // a finger's drift
        continue;
      }
      break;  // released or moved away: the window gets that input
    }
    if (PeekRange(&msg, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) break;
    const Other other = HandleOther(hwnd);
    if (other == Other::Fired) fired = true;
    if (other == Other::Quit) break;
    if (other != Other::None) continue;
    MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  KillTimer(hwnd, kHoldTimer);
  if (!fired) return 0;
  POINT screen = down;
  ClientToScreen(hwnd, &screen);
  if (info->dwFlags & SHRG_NOTIFYPARENT) {
    NMRGINFO n{};
    n.hdr.hwndFrom = hwnd;
    n.hdr.idFrom = static_cast<UINT_PTR>(GetWindowLongW(hwnd, GWL_ID));
    n.hdr.code = GN_CONTEXTMENU;
    n.ptAction = screen;
    n.dwItemSpec = 0;
    if (HWND parent = GetParent(hwnd)) SendMessageW(parent, WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
  }
  return GN_CONTEXTMENU;
}
