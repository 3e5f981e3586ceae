// The shell's shared state (see shell_state.h).
#include "aygshell/shell_state.h"

#include <atomic>

#include "gwes/ctl_common.h"

namespace zb::shell {
namespace {

std::atomic<bool> gInputPanelUp{false};

// Tells every top-level window of the device that the input panel moved.
void BroadcastInputPanel() {
  HWND any = GetForegroundWindow();
  if (!any) return;
  for (HWND w = GetWindow(TopLevelOf(any), GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT)) {
    PostMessageW(w, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
  }
}

}  // namespace

RECT ScreenRect() { return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

RECT WorkArea() {
  RECT work{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) work = ScreenRect();
  return work;
}

int MenuBarHeight() { return zb::wm::Scaled(26); }
int InputPanelHeight() { return zb::wm::Scaled(80); }

bool InputPanelUp() { return gInputPanelUp.load(); }

void SetInputPanel(bool up) {
  if (gInputPanelUp.exchange(up) == up) return;
  BroadcastInputPanel();
  RefreshNavigationBar();
}

RECT InputPanelRect() {
  const RECT screen = ScreenRect();
  const int bottom = screen.bottom - MenuBarHeight();
  return RECT{screen.left, bottom - InputPanelHeight(), screen.right, bottom};
}

RECT VisibleDesktop() {
  RECT area = WorkArea();
  area.bottom = InputPanelUp() ? InputPanelRect().top : ScreenRect().bottom - MenuBarHeight();
  return area;
}

HWND TopLevelOf(HWND hwnd) {
  while (hwnd && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) hwnd = GetParent(hwnd);
  return hwnd;
}

}  // namespace zb::shell
