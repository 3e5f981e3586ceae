// The navigation bar across the top of the screen (class "HHTaskBar", the work area begins below
// it): the title of the window in front, the tray's icons, and an "ok" box when the window in
// front asked for one (WS_EX_CAPTIONOKBTN); a tap on the box sends that window IDOK, a tap on an
// icon sends its owner the icon's callback message. A window that asked SHFullScreen to hide the
// bar has the screen to itself while it is in front. The bar follows the window in front by
// looking again a few times a second; the shell's own calls make it look at once.
#include <algorithm>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "aygshell/shell_state.h"
#include "gwes/ctl_common.h"

namespace zb::shell {
namespace {

constexpr const char16_t* kClass = u"HHTaskBar";
constexpr UINT kLook = WM_APP + 0x2E0;  // look at the window in front again
constexpr UINT_PTR kLookTimer = 1;
constexpr UINT kLookEvery = 250;

struct TrayIcon {
  HWND owner = nullptr;
  UINT id = 0;
  UINT message = 0;
  HICON icon = nullptr;
  std::u16string tip;
};

struct Tray {
  std::mutex lock;
  std::vector<TrayIcon> icons;
};

Tray& TrayIcons() {
  static Tray* tray = new Tray;
  return *tray;
}

struct Shown {
  HWND front = nullptr;
  std::u16string title;
  bool ok = false;
  size_t icons = 0;
  bool operator==(const Shown&) const = default;
};

Shown gShown;  // what the bar of this process last drew (the bar lives on one thread)

Shown Look() {
  Shown s;
  s.front = GetForegroundWindow();
  if (s.front) {
    s.title = zb::wm::WindowText(s.front);
    s.ok = (GetWindowLongW(s.front, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN) != 0;
  }
  s.icons = NotificationsInTray().size();
  std::lock_guard lock(TrayIcons().lock);
  s.icons += TrayIcons().icons.size();
  return s;
}

RECT BarRect() {
  const RECT screen = ScreenRect();
  return RECT{screen.left, 0, screen.right, WorkArea().top};
}

RECT IconRect(const RECT& client, size_t index, bool ok) {
  const int size = GetSystemMetrics(SM_CXSMICON);
  const int right = ok ? zb::wm::TitleOkBox(client).left - zb::wm::Scaled(4) : client.right - zb::wm::Scaled(4);
  const int x = right - static_cast<int>(index + 1) * (size + zb::wm::Scaled(4));
  const int y = (client.top + client.bottom - size) / 2;
  return RECT{x, y, x + size, y + size};
}

void Paint(HWND bar) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(bar, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(bar, &client);
  zb::wm::PaintTitleStrip(dc, client, gShown.title, gShown.ok);
  std::vector<HICON> icons;
  {
    std::lock_guard lock(TrayIcons().lock);
    for (const TrayIcon& icon : TrayIcons().icons) icons.push_back(icon.icon);
  }
  for (const auto& [clsid, id] : NotificationsInTray()) icons.push_back(NotificationIcon(clsid, id));
  for (size_t i = 0; i < icons.size(); ++i) {
    const RECT r = IconRect(client, i, gShown.ok);
    if (icons[i]) {
      DrawIconEx(dc, r.left, r.top, icons[i], r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
    } else {
      zb::wm::Frame(dc, r, GetSysColor(COLOR_CAPTIONTEXT));  // a notification without an icon of its own
    }
  }
  EndPaint(bar, &ps);
}

void Update(HWND bar, bool force) {
  const Shown now = Look();
  const bool hide = now.front && HidesNavigationBar(now.front);
  ShowWindow(bar, hide ? SW_HIDE : SW_SHOWNA);
  if (!force && now == gShown) return;
  gShown = now;
  InvalidateRect(bar, nullptr, TRUE);
}

void Tap(HWND bar, POINT at) {
  RECT client;
  GetClientRect(bar, &client);
  const RECT ok = zb::wm::TitleOkBox(client);
  if (gShown.ok && PtInRect(&ok, at) && gShown.front) {
    PostMessageW(gShown.front, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    return;
  }
  TrayIcon hit;
  size_t index = 0;
  {
    std::lock_guard lock(TrayIcons().lock);
    for (const TrayIcon& icon : TrayIcons().icons) {
      const RECT r = IconRect(client, index++, gShown.ok);
      if (PtInRect(&r, at)) hit = icon;
    }
  }
  for (const auto& [clsid, id] : NotificationsInTray()) {
    const RECT r = IconRect(client, index++, gShown.ok);
    if (PtInRect(&r, at)) {
      ShowNotification(clsid, id);  // the bubble comes back
      return;
    }
  }
  if (hit.owner && hit.message) {
    PostMessageW(hit.owner, hit.message, hit.id, WM_LBUTTONDOWN);
    PostMessageW(hit.owner, hit.message, hit.id, WM_LBUTTONUP);
  }
}

LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetTimer(bar, kLookTimer, kLookEvery, nullptr);
      return 0;
    case WM_TIMER:
      if (wParam == kLookTimer) Update(bar, false);
      return 0;
    case kLook:
      Update(bar, wParam != 0);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(bar); return 0;
    case WM_LBUTTONUP: Tap(bar, zb::wm::PointOf(lParam)); return 0;
    case WM_DESTROY: KillTimer(bar, kLookTimer); return 0;
    default: return DefWindowProcW(bar, message, wParam, lParam);
  }
}

// The bar of the device, made by the first process that needs it (none when the work area
// leaves no room for it).
HWND Bar() {
  if (HWND bar = FindWindowW(kClass, nullptr)) return bar;
  const RECT r = BarRect();
  if (r.bottom <= r.top) return nullptr;
  WNDCLASSW klass{};
  if (!GetClassInfoW(nullptr, kClass, &klass)) {
    klass.lpfnWndProc = BarProc;
    klass.lpszClassName = kClass;
    RegisterClassW(&klass);
  }
  return CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClass, u"", WS_POPUP | WS_VISIBLE, r.left, r.top,
                         r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
}

bool SameIcon(const TrayIcon& icon, const NOTIFYICONDATA& data) { return icon.owner == data.hWnd && icon.id == data.uID; }

}  // namespace

void RefreshNavigationBar() {
  if (HWND bar = Bar()) PostMessageW(bar, kLook, 1, 0);
}

}  // namespace zb::shell

using namespace zb::shell;

extern "C" BOOL Shell_NotifyIcon(DWORD message, PNOTIFYICONDATA data) {
  if (!data || data->cbSize < offsetof(NOTIFYICONDATA, szTip) || (data->hWnd && !IsWindow(data->hWnd))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  {
    Tray& tray = TrayIcons();
    std::lock_guard lock(tray.lock);
    auto it = std::find_if(tray.icons.begin(), tray.icons.end(), [&](const TrayIcon& i) { return SameIcon(i, *data); });
    switch (message) {
      case NIM_ADD:
        if (it != tray.icons.end()) return FALSE;
        tray.icons.emplace_back();
        tray.icons.back().owner = data->hWnd;
        tray.icons.back().id = data->uID;
        it = tray.icons.end() - 1;
        break;
      case NIM_MODIFY:
        if (it == tray.icons.end()) return FALSE;
        break;
      case NIM_DELETE:
        if (it == tray.icons.end()) return FALSE;
        tray.icons.erase(it);
        it = tray.icons.end();
        break;
      default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (it != tray.icons.end()) {
      if (data->uFlags & NIF_MESSAGE) it->message = data->uCallbackMessage;
      if (data->uFlags & NIF_ICON) it->icon = data->hIcon;
      if ((data->uFlags & NIF_TIP) && data->cbSize >= sizeof(NOTIFYICONDATA)) it->tip = data->szTip;
    }
  }
  RefreshNavigationBar();
  return TRUE;
}

namespace zb::shell {

// For the tests: where the tray icon of (owner, id) is drawn on the screen; empty when none.
RECT TrayIconRect(HWND owner, UINT id) {
  HWND bar = FindWindowW(kClass, nullptr);
  if (!bar) return RECT{};
  RECT client;
  GetClientRect(bar, &client);
  std::lock_guard lock(TrayIcons().lock);
  const auto& icons = TrayIcons().icons;
  for (size_t i = 0; i < icons.size(); ++i) {
    if (icons[i].owner == owner && icons[i].id == id) {
      RECT r = IconRect(client, i, gShown.ok);
      MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&r), 2);
      return r;
    }
  }
  return RECT{};
}

}  // namespace zb::shell
