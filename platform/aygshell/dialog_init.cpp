// Dialogs made for the device and the input panel: SHInitDialog sizes a dialog to the screen's
// free area and gives it the navigation bar's OK button; SHFullScreen hides or shows the
// navigation bar for a window; SHSipInfo, SHSipPreference and the activation and setting-change
// helpers keep the input panel and the windows in step; the Back key reaches an edit as a
// backspace; the idle timer and the memory call.
#include <cstddef>
#include <map>
#include <mutex>

#include "aygshell/shell_state.h"

namespace zb::shell {
namespace {

std::mutex gFullScreenLock;
std::map<HWND, DWORD> gFullScreen;  // SHFS_* last asked for each window

void MoveTo(HWND hwnd, const RECT& r) {
  SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// Whether the navigation bar should make way for the window in front (SHFS_HIDETASKBAR).
bool HidesNavigationBar(HWND front) {
  std::lock_guard lock(gFullScreenLock);
  for (HWND w = front; w; w = GetWindow(w, GW_OWNER)) {
    auto it = gFullScreen.find(w);
    if (it != gFullScreen.end()) return (it->second & SHFS_HIDETASKBAR) != 0;
  }
  return false;
}

}  // namespace zb::shell

using namespace zb::shell;

extern "C" BOOL SHInitDialog(PSHINITDLGINFO info) {
  if (!info || !(info->dwMask & SHIDIM_FLAGS) || !IsWindow(info->hDlg)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HWND dialog = info->hDlg;
  const DWORD flags = info->dwFlags;
  HWND top = TopLevelOf(dialog);
  if (flags & SHIDIF_DONEBUTTON) {
    SetWindowLongW(top, GWL_EXSTYLE, GetWindowLongW(top, GWL_EXSTYLE) | WS_EX_CAPTIONOKBTN);
  }
  // A page inside a property sheet keeps the place its sheet gives it.
  if (!(GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD)) {
    RECT area = WorkArea();
    if (flags & SHIDIF_FULLSCREENNOMENUBAR) {
      MoveTo(dialog, area);
    } else if (flags & SHIDIF_SIZEDLGFULLSCREEN) {
      area.bottom = ScreenRect().bottom - MenuBarHeight();  // room for the menu bar, whatever the input panel does
      MoveTo(dialog, area);
    } else if (flags & SHIDIF_SIZEDLG) {
      MoveTo(dialog, VisibleDesktop());
    }
  }
  if (flags & SHIDIF_SIPDOWN) SetInputPanel(false);
  if (flags & SHIDIF_EMPTYMENU) {
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = dialog;
    bar.dwFlags = SHCMBF_EMPTYBAR;
    SHCreateMenuBar(&bar);
  }
  RefreshNavigationBar();
  return TRUE;
}

extern "C" BOOL SHDoneButton(HWND hwnd, DWORD state) {
  HWND top = TopLevelOf(hwnd);
  if (!IsWindow(top)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  LONG_PTR ex = GetWindowLongW(top, GWL_EXSTYLE);
  if (state & SHDB_SHOW) ex |= WS_EX_CAPTIONOKBTN;
  if (state & SHDB_HIDE) ex &= ~static_cast<LONG_PTR>(WS_EX_CAPTIONOKBTN);
  SetWindowLongW(top, GWL_EXSTYLE, ex);
  RefreshNavigationBar();
  return TRUE;
}

extern "C" BOOL SHFullScreen(HWND hwnd, DWORD state) {
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  {
    std::lock_guard lock(gFullScreenLock);
    DWORD& kept = gFullScreen[TopLevelOf(hwnd)];
    // Each pair of flags is a switch: the newer half of a pair wins.
    for (DWORD pair : {SHFS_SHOWTASKBAR | SHFS_HIDETASKBAR, SHFS_SHOWSIPBUTTON | SHFS_HIDESIPBUTTON,
                       SHFS_SHOWSTARTICON | SHFS_HIDESTARTICON}) {
      if (state & pair) kept = (kept & ~pair) | (state & pair);
    }
  }
  RefreshNavigationBar();
  return TRUE;
}

extern "C" BOOL SHSipPreference(HWND hwnd, SIPSTATE state) {
  if (hwnd && !IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  switch (state) {
    case SIP_UP: SetInputPanel(true); break;
    case SIP_DOWN:
    case SIP_FORCEDOWN: SetInputPanel(false); break;
    default: break;
  }
  return TRUE;
}

extern "C" BOOL SHSipInfo(UINT action, UINT param, PVOID data, UINT) {
  auto* info = static_cast<SIPINFO*>(data);
  (void)param;
  if ((action != SPI_GETSIPINFO && action != SPI_SETSIPINFO) || !info || info->cbSize < offsetof(SIPINFO, dwImDataSize)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (action == SPI_SETSIPINFO) {
    SetInputPanel((info->fdwFlags & SIPF_ON) != 0);
    return TRUE;
  }
  info->fdwFlags = SIPF_DOCKED | (InputPanelUp() ? SIPF_ON : 0);
  info->rcVisibleDesktop = VisibleDesktop();
  info->rcSipRect = InputPanelRect();
  info->dwImDataSize = 0;
  return TRUE;
}

extern "C" BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM, SHACTIVATEINFO* info, DWORD) {
  if (!info || info->cbSize < sizeof(SHACTIVATEINFO)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (LOWORD(wParam) != WA_INACTIVE) {
    info->fActive = 1;
    // The panel comes back as the window left it.
    SetInputPanel(info->fSipUp != 0);
  } else {
    info->fActive = 0;
    info->fSipUp = InputPanelUp() ? 1 : 0;
    HWND focus = GetFocus();
    if (focus && (focus == hwnd || IsChild(hwnd, focus))) info->hwndLastFocus = focus;
  }
  return TRUE;
}

extern "C" BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM, SHACTIVATEINFO* info) {
  if (!info || info->cbSize < sizeof(SHACTIVATEINFO) || !IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (wParam != SPI_SETSIPINFO) return TRUE;
  info->fSipUp = InputPanelUp() ? 1 : 0;
  // The window in front takes the free area: above the panel while it is up.
  if (!(GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) && (info->fActive || GetForegroundWindow() == hwnd)) {
    RECT r, visible = VisibleDesktop();
    GetWindowRect(hwnd, &r);
    SetWindowPos(hwnd, nullptr, r.left, visible.top, r.right - r.left, visible.bottom - visible.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return TRUE;
}

// The Back key given to a window as a hot key reaches the focused control as a backspace.
extern "C" BOOL SHSendBackToFocusWindow(UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_HOTKEY || HIWORD(lParam) != VK_TBACK) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HWND focus = GetFocus();
  if (!focus) return FALSE;
  if (LOWORD(lParam) & MOD_KEYUP) {
    PostMessageW(focus, WM_KEYUP, VK_BACK, 0xC0000001);
  } else {
    PostMessageW(focus, WM_KEYDOWN, VK_BACK, 1);  // the loop's TranslateMessage makes the character
  }
  return TRUE;
}

// The idle timer is the activity event the window system names in the registry.
extern "C" void SHIdleTimerReset() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\GWE", 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  WCHAR name[64] = {};
  DWORD type = 0, size = sizeof name - sizeof(WCHAR);
  const LONG read = RegQueryValueExW(key, u"ActivityEvent", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ || !name[0]) return;
  // Opened by name (made when nobody has it yet, and then nobody is waiting for it).
  if (HANDLE event = CreateEventW(nullptr, FALSE, FALSE, name)) {
    SetEvent(event);
    CloseHandle(event);
  }
}

// No other program is closed for memory here: the host's memory is the host's.
extern "C" HRESULT SHCloseApps(DWORD) { return S_OK; }

extern "C" BOOL SHSetNavBarText(HWND hwnd, LPCWSTR text) {
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  SetWindowTextW(hwnd, text ? text : u"");
  RefreshNavigationBar();
  return TRUE;
}

// The extra controls a device dialog may hold: "SIPPREF", an invisible item standing for the
// input panel's wishes (it takes no part in drawing or input).
namespace {

LRESULT CALLBACK SipPrefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) ShowWindow(hwnd, SW_HIDE);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

// The shell's start call also puts the navigation bar on the screen.
extern "C" void SHInitExtraControls() {
  WNDCLASSW klass{};
  if (!GetClassInfoW(nullptr, u"SIPPREF", &klass)) {
    klass.lpfnWndProc = SipPrefProc;
    klass.lpszClassName = u"SIPPREF";
    RegisterClassW(&klass);
  }
  RefreshNavigationBar();
}
