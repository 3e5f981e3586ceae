// The window's chrome (see window_chrome.h). The shell's menu-bar, full-screen and input-panel
// calls are bound by ordinal from aygshell, so a device without them keeps its plain window.
#include "core/device/window_chrome.h"

#include <aygshell.h>

#include "core/device/button_lock.h"
#include "core/device/shell_notifications.h"
#include "core/modules/bound_function.h"
#include "core/player/player_core_neighbours.h"
#include "core/settings/settings.h"
#include "core/window/main_window_state.h"
#include "core/window/program_state.h"
#include "settingsui/shell_platform.h"

namespace {

constexpr WORD kSipInfoOrdinal = 4;
constexpr WORD kMenuBarOrdinal = 34;
constexpr WORD kFullScreenOrdinal = 65;
constexpr UINT kMenuResource = 168;
constexpr int kBubbleIcon = 106;
constexpr UINT kExitCommand = 10;
constexpr int kUiWantsMenuBar = 19;
constexpr int kUiTaskbarRoom = 12;

struct Chrome {
  HWND menuBar = nullptr;
  BOOL minimised = FALSE;
  int topOffset = 0;
};

Chrome& State() {
  static Chrome chrome;
  return chrome;
}

template <class Function>
Function Shell(WORD ordinal) {
  return BoundFunction<Function>(GetModuleHandleW(u"aygshell"), MAKEINTRESOURCEW(ordinal));
}

void FullScreen(HWND window, DWORD flags) {
  if (auto call = Shell<BOOL (*)(HWND, DWORD)>(kFullScreenOrdinal)) call(window, flags);
}

RECT WorkArea() {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

void PlaceTop(HWND window, int top, int bottom) {
  RECT r{};
  GetWindowRect(window, &r);
  if (r.top == top) return;
  SetWindowPos(window, nullptr, r.left, top, r.right - r.left, bottom - top, SWP_NOZORDER);
  InvalidateRect(window, nullptr, TRUE);
}

void StoreTaskbar(DWORD value) {
  if (CSettings* settings = GetSettings()) settings->taskbar = value;
}

void CreateBubble(HWND window) {
  const std::u16string html = BubbleTransportRow();
  SHNOTIFICATIONDATA data{};
  data.cbStruct = sizeof data;
  data.dwID = kBubbleId;
  data.npPriority = SHNP_INFORM;
  data.csDuration = 0x40000000;
  data.hicon = LoadNotificationIcon(kBubbleIcon);
  data.grfFlags = SHNF_STRAIGHTTOTRAY;
  data.clsid = kPlayerBubbleClsid;
  data.hwndSink = window;
  data.pszHTML = html.c_str();
  data.pszTitle = u"Zonbrel";
  if (!WriteNotificationOptions(kPlayerBubbleClsid)) return;
  CSettings* settings = GetSettings();
  if (!settings || !settings->showNotificationIcon) return;
  data.rgskn[1] = SOFTKEYNOTIFY{u"Exit Player", {kExitCommand, NOTIF_SOFTKEY_FLAGS_DISMISS}};
  ShellNotificationAdd(&data);
}

void MenuBarStep(HWND window, int mode) {
  Chrome& c = State();
  const bool smartphone = IsSmartphonePlatform();
  const bool wanted = smartphone || RunUserInterfaceCommand(kUiWantsMenuBar, nullptr) != 0;
  if (!c.menuBar && wanted) {
    SHMENUBARINFO info{};
    info.cbSize = 36;
    info.hwndParent = window;
    info.nToolBarId = kMenuResource;
    info.hInstRes = Program().instance;
    if (auto create = Shell<BOOL (*)(SHMENUBARINFO*)>(kMenuBarOrdinal); create && create(&info))
      c.menuBar = info.hwndMB;
  } else if (c.menuBar && !smartphone && !wanted) {
    DestroyWindow(c.menuBar);
    c.menuBar = nullptr;
  }
  if (c.minimised) ShowNotificationBubble(window, 0xA0);
  CSettings* settings = GetSettings();
  ShowNotificationBubble(window, settings && settings->taskbar ? 4 : 2);
  (void)mode;
}

void ShowTaskbar(HWND window, int mode) {
  Chrome& c = State();
  DWORD flags = SHFS_SHOWTASKBAR;
  if (c.menuBar) {
    if (!IsWindowVisible(c.menuBar)) ShowWindow(c.menuBar, SW_SHOWNA);
    flags |= SHFS_SHOWSIPBUTTON;
  } else {
    flags |= SHFS_HIDESIPBUTTON;
  }
  FullScreen(window, flags);
  const bool smartphone = IsSmartphonePlatform();
  const RECT area = WorkArea();
  c.topOffset = RunUserInterfaceCommand(kUiTaskbarRoom, nullptr) ? area.top : 0;
  RECT r{};
  GetWindowRect(window, &r);
  if (r.top != c.topOffset) PlaceTop(window, c.topOffset, smartphone ? area.bottom : r.bottom);
  if (!(mode & 0x80)) StoreTaskbar(0);
}

void HideTaskbar(HWND window, int mode) {
  Chrome& c = State();
  DWORD flags = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON;
  if (c.menuBar) {
    if (!(mode & 0x100)) {
      ShowWindow(c.menuBar, SW_SHOWNA);
      flags = SHFS_HIDETASKBAR | SHFS_SHOWSIPBUTTON;
    } else {
      ShowWindow(c.menuBar, SW_HIDE);
    }
  }
  FullScreen(window, flags);
  RunUserInterfaceCommand(kUiTaskbarRoom, nullptr);
  c.topOffset = 0;
  RECT r{};
  GetWindowRect(window, &r);
  if (r.top != 0) PlaceTop(window, 0, IsSmartphonePlatform() ? GetSystemMetrics(SM_CYSCREEN) : r.bottom);
  if (!(mode & 0x80)) StoreTaskbar(1);
}

}  // namespace

std::u16string BubbleTransportRow() {
  return u"<html><body><form method=\"POST\" action=><table width=100%><tr>"
         u"<td width=20% align=\"center\">|&lt;&lt;<BR><a href=\"zb-14\">Back</a></td>"
         u"<td width=20% align=\"center\">&gt;<BR><a href=\"zb-11\">Play</a></td>"
         u"<td width=20% align=\"center\">||<BR><a href=\"zb-12\">Pause</a></td>"
         u"<td width=20% align=\"center\">[]<BR><a href=\"zb-13\">Stop</a></td>"
         u"<td width=20% align=\"center\">&gt;&gt;|<BR><a href=\"zb-15\">Next</a></td></tr></table>";
}

void ShowNotificationBubble(HWND window, int mode) {
  if (!window && mode != 0x40) return;
  if (mode == 0) return CreateBubble(window);
  if (mode == 0x40) {
    ShellNotificationRemove(kPlayerBubbleClsid, kBubbleId);
    ShellNotificationRemove(kPlayerBubbleClsid, kBubbleId);
    return;
  }
  Chrome& c = State();
  if ((mode & 0x1000) || (mode & 0x82) == 0x82) MainWindow().restoreOwnedWindow = TRUE;
  if (mode & 0x01) MenuBarStep(window, mode);
  if (mode & 0x02) ShowTaskbar(window, mode);
  if (mode & 0x04) HideTaskbar(window, mode);
  if (mode & 0x10) {
    c.minimised = TRUE;
    ShowWindow(window, SW_MINIMIZE);
  }
  if (mode & 0x20) {
    c.minimised = FALSE;
    if (!(mode & 0x80)) {
      ShowWindow(window, SW_SHOW);
      SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(window) | 1));
    }
  }
}

void ShowInputPanel(BOOL show) {
  auto sipInfo = Shell<BOOL (*)(UINT, UINT, PVOID, UINT)>(kSipInfoOrdinal);
  if (!sipInfo) return;
  SIPINFO info{};
  info.cbSize = sizeof info;
  if (!sipInfo(SPI_GETSIPINFO, 0, &info, 0)) return;
  info.fdwFlags = show ? (info.fdwFlags | SIPF_ON) : (info.fdwFlags & ~static_cast<DWORD>(SIPF_ON));
  sipInfo(SPI_SETSIPINFO, 0, &info, 0);
}

BOOL IsWindowMinimised() { return State().minimised; }
HWND ChromeMenuBar() { return State().menuBar; }

void ResetWindowChrome() {
  Chrome& c = State();
  if (c.menuBar && IsWindow(c.menuBar)) DestroyWindow(c.menuBar);
  c = Chrome{};
}
