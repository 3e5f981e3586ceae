// Notification bubbles: SHNotificationAdd keeps a notification (by its class id and number) and,
// unless it goes straight to the tray, shows it as a bubble under the navigation bar: its title,
// its HTML body with links and buttons, and up to two soft keys. A tapped link or button tells
// the sink SHNN_LINKSEL with its target and the bubble goes away (the notification stays, as an
// icon in the tray that shows the bubble again); a soft key sends the sink its command and then
// dismisses, hides or keeps the bubble as its flags say. A bubble with a duration hides by itself
// when the duration is over (SHNN_DISMISS with the timeout flag).
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "aygshell/bubble_html.h"
#include "aygshell/shell_state.h"
#include "gwes/ctl_common.h"

namespace zb::shell {
namespace {

constexpr const char16_t* kClass = u"SHNotificationBubble";
constexpr UINT_PTR kDurationTimer = 1;
constexpr DWORD kNewFormSize = sizeof(SHNOTIFICATIONDATA);
constexpr DWORD kOldFormSize = offsetof(SHNOTIFICATIONDATA, lParam) + sizeof(LPARAM);

struct SoftKey {
  std::u16string title;
  SOFTKEYCMD command{};
};

struct Notification {
  CLSID clsid{};
  DWORD id = 0;
  SHNP priority = SHNP_INFORM;
  DWORD duration = 0;
  HICON icon = nullptr;
  DWORD flags = 0;
  HWND sink = nullptr;
  std::u16string html, title;
  LPARAM lParam = 0;
  SoftKey keys[NOTIF_NUM_SOFTKEYS];
  HWND bubble = nullptr;
  std::vector<HtmlPiece> pieces;
};

struct Store {
  std::recursive_mutex lock;
  std::vector<std::shared_ptr<Notification>> all;
};

Store& Notifications() {
  static Store* store = new Store;
  return *store;
}

std::shared_ptr<Notification> Find(const CLSID& clsid, DWORD id) {
  Store& s = Notifications();
  std::lock_guard lock(s.lock);
  for (auto& n : s.all)
    if (n->id == id && std::memcmp(&n->clsid, &clsid, sizeof clsid) == 0) return n;
  return nullptr;
}

std::shared_ptr<Notification> OfBubble(HWND bubble) {
  Store& s = Notifications();
  std::lock_guard lock(s.lock);
  for (auto& n : s.all)
    if (n->bubble == bubble) return n;
  return nullptr;
}

std::u16string Copy(LPCWSTR text) { return text && !IS_INTRESOURCE(text) ? std::u16string(text) : std::u16string(); }

// The bubble's parts, in its client coordinates.
struct Parts {
  RECT title, body, keys;
  std::vector<HtmlBox> boxes;  // offset into `body`
};

struct Fonts {
  HFONT plain, bold;
  Fonts() {
    LOGFONTW f{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof f, &f);
    plain = CreateFontIndirectW(&f);
    f.lfWeight = FW_BOLD;
    bold = CreateFontIndirectW(&f);
  }
  ~Fonts() {
    DeleteObject(plain);
    DeleteObject(bold);
  }
};

bool HasKeys(const Notification& n) { return !n.keys[0].title.empty() || !n.keys[1].title.empty(); }

Parts LayOut(HWND bubble, const Notification& n, int width, int* height) {
  Parts p;
  const int margin = zb::wm::Scaled(6);
  const int strip = zb::wm::TitleStripHeight();
  p.title = RECT{0, 0, width, strip};
  HDC dc = GetDC(bubble);
  Fonts fonts;
  int bodyHeight = 0;
  p.boxes = LayOutBubbleHtml(dc, fonts.plain, fonts.bold, n.pieces, width - 2 * margin, &bodyHeight);
  ReleaseDC(bubble, dc);
  p.body = RECT{margin, strip + margin, width - margin, strip + margin + bodyHeight};
  const int keys = HasKeys(n) ? MenuBarHeight() : 0;
  p.keys = RECT{0, p.body.bottom + margin, width, p.body.bottom + margin + keys};
  *height = p.keys.bottom + 1;
  return p;
}

RECT KeyRect(const Parts& p, int index) {
  const int mid = (p.keys.left + p.keys.right) / 2;
  return index == 0 ? RECT{p.keys.left, p.keys.top, mid, p.keys.bottom} : RECT{mid, p.keys.top, p.keys.right, p.keys.bottom};
}

void Paint(HWND bubble, const Notification& n) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(bubble, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(bubble, &client);
  int height = 0;
  const Parts p = LayOut(bubble, n, client.right, &height);
  zb::wm::Fill(dc, client, GetSysColor(COLOR_INFOBK));
  zb::wm::PaintTitleStrip(dc, p.title, n.title, false);
  Fonts fonts;
  SetBkMode(dc, TRANSPARENT);
  for (const HtmlBox& box : p.boxes) {
    const HtmlPiece& piece = n.pieces[box.piece];
    RECT r = box.rect;
    OffsetRect(&r, p.body.left, p.body.top);
    SelectObject(dc, piece.bold ? fonts.bold : fonts.plain);
    switch (piece.kind) {
      case HtmlPiece::Rule:
        zb::wm::Fill(dc, r, GetSysColor(COLOR_GRAYTEXT));
        break;
      case HtmlPiece::Button:
        zb::wm::Frame(dc, r, GetSysColor(COLOR_WINDOWFRAME));
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(dc, piece.text.c_str(), static_cast<int>(piece.text.size()), &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        break;
      case HtmlPiece::Link:
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        DrawTextW(dc, piece.text.c_str(), static_cast<int>(piece.text.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
        zb::wm::Fill(dc, RECT{r.left, r.bottom - 2, r.right, r.bottom - 1}, GetSysColor(COLOR_HIGHLIGHT));
        break;
      default:
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        DrawTextW(dc, piece.text.c_str() + box.start, static_cast<int>(box.length), &r, DT_SINGLELINE | DT_NOPREFIX);
        break;
    }
  }
  if (HasKeys(n)) {
    SelectObject(dc, fonts.plain);
    zb::wm::Fill(dc, p.keys, GetSysColor(COLOR_BTNFACE));
    for (int k = 0; k < NOTIF_NUM_SOFTKEYS; ++k) {
      RECT r = KeyRect(p, k);
      const bool disabled = n.keys[k].command.grfFlags & NOTIF_SOFTKEY_FLAGS_DISABLED;
      SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
      DrawTextW(dc, n.keys[k].title.c_str(), static_cast<int>(n.keys[k].title.size()), &r,
                DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    }
  }
  zb::wm::Frame(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  EndPaint(bubble, &ps);
}

void Tell(const Notification& n, HWND bubble, UINT code, const std::u16string* link, BOOL timeout, DWORD* answer) {
  if (!n.sink) return;
  NMSHN m{};
  m.hdr.hwndFrom = bubble;
  m.hdr.idFrom = n.id;
  m.hdr.code = code;
  m.lParam = n.lParam;
  if (link) {
    m.pszLink = link->c_str();
  } else {
    m.fTimeout = timeout;
  }
  SendMessageW(n.sink, WM_NOTIFY, n.id, reinterpret_cast<LPARAM>(&m));
  if (answer) *answer = m.dwReturn;
}

void Hide(const std::shared_ptr<Notification>& n, bool timeout) {
  HWND bubble = std::exchange(n->bubble, nullptr);
  if (!bubble) return;
  DestroyWindow(bubble);
  Tell(*n, bubble, SHNN_DISMISS, nullptr, timeout ? TRUE : FALSE, nullptr);
  RefreshNavigationBar();
}

void Remove(const std::shared_ptr<Notification>& n) {
  Hide(n, false);
  Store& s = Notifications();
  std::lock_guard lock(s.lock);
  s.all.erase(std::remove(s.all.begin(), s.all.end(), n), s.all.end());
}

void Tap(HWND bubble, POINT at) {
  auto n = OfBubble(bubble);
  if (!n) return;
  RECT client;
  GetClientRect(bubble, &client);
  int height = 0;
  const Parts p = LayOut(bubble, *n, client.right, &height);
  for (const HtmlBox& box : p.boxes) {
    RECT r = box.rect;
    OffsetRect(&r, p.body.left, p.body.top);
    const HtmlPiece& piece = n->pieces[box.piece];
    if ((piece.kind == HtmlPiece::Link || piece.kind == HtmlPiece::Button) && PtInRect(&r, at)) {
      const std::u16string target = piece.target;
      DWORD answer = 0;
      Tell(*n, bubble, SHNN_LINKSEL, &target, FALSE, &answer);
      Hide(n, false);
      return;
    }
  }
  if (!HasKeys(*n)) return;
  for (int k = 0; k < NOTIF_NUM_SOFTKEYS; ++k) {
    const RECT r = KeyRect(p, k);
    const SoftKey key = n->keys[k];
    if (!PtInRect(&r, at) || key.title.empty() || (key.command.grfFlags & NOTIF_SOFTKEY_FLAGS_DISABLED)) continue;
    if (n->sink) PostMessageW(n->sink, WM_COMMAND, key.command.wpCmd, 0);
    if (key.command.grfFlags & NOTIF_SOFTKEY_FLAGS_STAYOPEN) return;
    if (key.command.grfFlags & NOTIF_SOFTKEY_FLAGS_HIDE) {
      Hide(n, false);
    } else {
      Remove(n);
    }
    return;
  }
}

LRESULT CALLBACK BubbleProc(HWND bubble, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
      if (auto n = OfBubble(bubble)) {
        Paint(bubble, *n);
      } else {
        ValidateRect(bubble, nullptr);
      }
      return 0;
    case WM_LBUTTONUP: Tap(bubble, zb::wm::PointOf(lParam)); return 0;
    case WM_TIMER:
      if (wParam == kDurationTimer) {
        KillTimer(bubble, kDurationTimer);
        if (auto n = OfBubble(bubble)) Hide(n, true);
      }
      return 0;
    default: return DefWindowProcW(bubble, message, wParam, lParam);
  }
}

void Place(HWND bubble, const Notification& n) {
  const RECT work = WorkArea();
  const int margin = zb::wm::Scaled(4);
  const int width = work.right - work.left - 2 * margin;
  int height = 0;
  LayOut(bubble, n, width, &height);
  height = std::min<int>(height, (work.bottom - work.top) * 2 / 3);
  SetWindowPos(bubble, HWND_TOPMOST, work.left + margin, work.top + margin, width, height, SWP_NOACTIVATE);
}

void Show(const std::shared_ptr<Notification>& n) {
  if (!n->bubble) {
    WNDCLASSW klass{};
    if (!GetClassInfoW(nullptr, kClass, &klass)) {
      klass.lpfnWndProc = BubbleProc;
      klass.lpszClassName = kClass;
      RegisterClassW(&klass);
    }
    n->bubble = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClass, n->title.c_str(), WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, nullptr, nullptr);
    if (!n->bubble) return;
  }
  Place(n->bubble, *n);
  ShowWindow(n->bubble, SW_SHOWNA);
  InvalidateRect(n->bubble, nullptr, TRUE);
  // A duration in seconds that a timer can hold hides the bubble when it is over.
  if (n->duration > 0 && n->duration < 0x7FFFFFFF / 1000) {
    SetTimer(n->bubble, kDurationTimer, n->duration * 1000, nullptr);
  } else {
    KillTimer(n->bubble, kDurationTimer);
  }
  Tell(*n, n->bubble, SHNN_SHOW, nullptr, FALSE, nullptr);
  RefreshNavigationBar();
}

void Fill(Notification& n, const SHNOTIFICATIONDATA& data, DWORD mask) {
  if (mask & SHNUM_PRIORITY) n.priority = data.npPriority;
  if (mask & SHNUM_DURATION) n.duration = data.csDuration;
  if (mask & SHNUM_ICON) n.icon = data.hicon;
  if (mask & SHNUM_HTML) {
    n.html = Copy(data.pszHTML);
    n.pieces = ParseBubbleHtml(n.html);
  }
  if (mask & SHNUM_TITLE) n.title = Copy(data.pszTitle);
}

bool Valid(const SHNOTIFICATIONDATA* data) { return data && data->cbStruct >= kOldFormSize; }

}  // namespace

// For the navigation bar and the tests: the notifications' icons, a bubble's window, and where a
// link or soft key of a bubble is on the screen.
std::vector<std::pair<CLSID, DWORD>> NotificationsInTray() {
  Store& s = Notifications();
  std::lock_guard lock(s.lock);
  std::vector<std::pair<CLSID, DWORD>> out;
  for (auto& n : s.all) out.emplace_back(n->clsid, n->id);
  return out;
}

HICON NotificationIcon(const CLSID& clsid, DWORD id) {
  auto n = Find(clsid, id);
  return n ? n->icon : nullptr;
}

void ShowNotification(const CLSID& clsid, DWORD id) {
  if (auto n = Find(clsid, id)) Show(n);
}

HWND BubbleWindow(const CLSID& clsid, DWORD id) {
  auto n = Find(clsid, id);
  return n ? n->bubble : nullptr;
}

RECT BubbleTargetRect(HWND bubble, std::u16string_view target) {
  auto n = OfBubble(bubble);
  if (!n) return RECT{};
  RECT client;
  GetClientRect(bubble, &client);
  int height = 0;
  const Parts p = LayOut(bubble, *n, client.right, &height);
  for (const HtmlBox& box : p.boxes) {
    const HtmlPiece& piece = n->pieces[box.piece];
    if ((piece.kind == HtmlPiece::Link || piece.kind == HtmlPiece::Button) && piece.target == target) {
      RECT r = box.rect;
      OffsetRect(&r, p.body.left, p.body.top);
      MapWindowPoints(bubble, nullptr, reinterpret_cast<POINT*>(&r), 2);
      return r;
    }
  }
  for (int k = 0; k < NOTIF_NUM_SOFTKEYS && HasKeys(*n); ++k) {
    if (n->keys[k].title == target) {
      RECT r = KeyRect(p, k);
      MapWindowPoints(bubble, nullptr, reinterpret_cast<POINT*>(&r), 2);
      return r;
    }
  }
  return RECT{};
}

}  // namespace zb::shell

using namespace zb::shell;

extern "C" HRESULT SHNotificationAdd(SHNOTIFICATIONDATA* data) {
  if (!Valid(data)) return E_INVALIDARG;
  if (Find(data->clsid, data->dwID)) return E_INVALIDARG;  // the pair names one notification
  auto n = std::make_shared<Notification>();
  n->clsid = data->clsid;
  n->id = data->dwID;
  n->flags = data->grfFlags;
  n->sink = data->hwndSink;
  n->lParam = data->lParam;
  Fill(*n, *data, SHNUM_PRIORITY | SHNUM_DURATION | SHNUM_ICON | SHNUM_HTML | SHNUM_TITLE);
  if (data->cbStruct >= kNewFormSize && !(data->grfFlags & SHNF_HASMENU)) {
    for (int k = 0; k < NOTIF_NUM_SOFTKEYS; ++k) {
      n->keys[k].title = Copy(data->rgskn[k].pszTitle);
      n->keys[k].command = data->rgskn[k].skc;
    }
  }
  {
    Store& s = Notifications();
    std::lock_guard lock(s.lock);
    s.all.push_back(n);
  }
  if (!(n->flags & SHNF_STRAIGHTTOTRAY)) {
    Show(n);
  } else {
    RefreshNavigationBar();
  }
  return S_OK;
}

extern "C" HRESULT SHNotificationUpdate(DWORD mask, SHNOTIFICATIONDATA* data) {
  if (!Valid(data)) return E_INVALIDARG;
  auto n = Find(data->clsid, data->dwID);
  if (!n) return E_INVALIDARG;
  Fill(*n, *data, mask);
  if (n->bubble) {
    if ((mask & SHNUM_DURATION) && n->duration == 0) {
      Hide(n, false);
    } else {
      Show(n);
    }
  }
  RefreshNavigationBar();
  return S_OK;
}

extern "C" HRESULT SHNotificationRemove(const CLSID* clsid, DWORD id) {
  if (!clsid) return E_INVALIDARG;
  auto n = Find(*clsid, id);
  if (!n) return E_INVALIDARG;
  Remove(n);
  RefreshNavigationBar();
  return S_OK;
}

// The strings stay the shell's: the record comes back without them.
extern "C" HRESULT SHNotificationGetData(const CLSID* clsid, DWORD id, SHNOTIFICATIONDATA* data) {
  if (!clsid || !Valid(data)) return E_INVALIDARG;
  auto n = Find(*clsid, id);
  if (!n) return E_INVALIDARG;
  const DWORD size = data->cbStruct;
  data->dwID = n->id;
  data->npPriority = n->priority;
  data->csDuration = n->duration;
  data->hicon = n->icon;
  data->grfFlags = n->flags;
  data->clsid = n->clsid;
  data->hwndSink = n->sink;
  data->pszHTML = nullptr;
  data->pszTitle = nullptr;
  data->lParam = n->lParam;
  data->cbStruct = size;
  return S_OK;
}
