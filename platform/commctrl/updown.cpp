// The "msctls_updown32" class: two arrow halves that step a position within a range, wrapping
// with UDS_WRAP. A step is first offered to the parent as UDN_DELTAPOS (which may refuse it),
// then shown in the buddy: its text with UDS_SETBUDDYINT, or its selection when the buddy is a
// list box; the parent hears WM_VSCROLL (WM_HSCROLL with UDS_HORZ) with SB_THUMBPOSITION.
#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <vector>

#include "commctrl/cc_procs.h"
#include "gwes/control_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {
namespace {

struct UpDown {
  int low = 100, high = 0;  // the platform's default range runs downward
  int pos = 0;
  int base = 10;
  HWND buddy = nullptr;
  WNDPROC buddyProc = nullptr;  // the buddy's own procedure, under UDS_ARROWKEYS
  int pressed = 0;              // +1 the up half, -1 the down half
  std::vector<UDACCEL> accel{{0, 1}};
};

LONG_PTR Style(HWND hwnd) { return GetWindowLongW(hwnd, GWL_STYLE); }

bool BuddyIsList(const UpDown& u) {
  char16_t name[16] = {};
  return u.buddy && GetClassNameW(u.buddy, name, 16) && _wcsicmp(name, u"LISTBOX") == 0;
}

void ShowInBuddy(HWND hwnd, const UpDown& u) {
  if (!u.buddy || !(Style(hwnd) & UDS_SETBUDDYINT)) return;
  if (BuddyIsList(u)) {
    SendMessageW(u.buddy, LB_SETCURSEL, u.pos, 0);
    return;
  }
  char text[24];
  if (u.base == 16) {
    std::snprintf(text, sizeof text, "0x%04X", u.pos);
  } else {
    std::snprintf(text, sizeof text, "%d", u.pos);
  }
  std::u16string wide(text, text + std::char_traits<char>::length(text));
  SetWindowTextW(u.buddy, wide.c_str());
}

// The buddy's value, when it shows one.
void ReadBuddy(UpDown& u) {
  if (!u.buddy) return;
  if (BuddyIsList(u)) {
    const LRESULT selection = SendMessageW(u.buddy, LB_GETCURSEL, 0, 0);
    if (selection >= 0) u.pos = static_cast<int>(selection);
    return;
  }
  const std::u16string text = zb::wm::WindowText(u.buddy);
  if (text.empty()) return;
  std::string narrow(text.begin(), text.end());
  long value = 0;
  char* end = nullptr;
  value = std::strtol(narrow.c_str(), &end, u.base == 16 ? 16 : 10);
  if (end && *end == 0) u.pos = static_cast<int>(value);
}

void Range(const UpDown& u, int* lo, int* hi) {
  *lo = std::min(u.low, u.high);
  *hi = std::max(u.low, u.high);
}

// One step up (+1) or down (-1), as the user asks it.
void Step(HWND hwnd, UpDown& u, int direction) {
  ReadBuddy(u);
  if (BuddyIsList(u)) {
    u.low = 0;
    u.high = std::max<int>(static_cast<int>(SendMessageW(u.buddy, LB_GETCOUNT, 0, 0)) - 1, 0);
  }
  // "Up" moves toward the range's second value, whichever way it runs.
  const int delta = (u.high >= u.low ? direction : -direction) * static_cast<int>(u.accel.front().nInc);
  NMUPDOWN n{};
  n.iPos = u.pos;
  n.iDelta = delta;
  if (zb::wm::NotifyParent(hwnd, UDN_DELTAPOS, &n.hdr)) return;  // the parent refused it
  int lo, hi;
  Range(u, &lo, &hi);
  int next = u.pos + n.iDelta;
  if (next > hi) next = (Style(hwnd) & UDS_WRAP) ? lo : hi;
  if (next < lo) next = (Style(hwnd) & UDS_WRAP) ? hi : lo;
  u.pos = next;
  ShowInBuddy(hwnd, u);
  if (HWND parent = GetParent(hwnd))
    SendMessageW(parent, (Style(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, u.pos),
                 reinterpret_cast<LPARAM>(hwnd));
}

// The up-downs whose buddies take their arrow keys (UDS_ARROWKEYS), by buddy.
struct Buddies {
  std::mutex lock;
  std::map<HWND, HWND> upDownOf;
};
Buddies& TheBuddies() {
  static Buddies* b = new Buddies;
  return *b;
}

HWND UpDownOf(HWND buddy) {
  Buddies& b = TheBuddies();
  std::lock_guard lock(b.lock);
  auto it = b.upDownOf.find(buddy);
  return it == b.upDownOf.end() ? nullptr : it->second;
}

LRESULT CALLBACK BuddyKeys(HWND buddy, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = UpDownOf(buddy);
  auto u = hwnd ? zb::wm::StateOf<UpDown>(hwnd) : nullptr;
  if (!u || !u->buddyProc) return DefWindowProcW(buddy, message, wParam, lParam);
  const WNDPROC own = u->buddyProc;
  if (message == WM_GETDLGCODE) return CallWindowProcW(own, buddy, message, wParam, lParam) | DLGC_WANTARROWS;
  if (message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
    Step(hwnd, *u, wParam == VK_UP ? 1 : -1);
    return 0;
  }
  if (message == WM_DESTROY) {
    Buddies& b = TheBuddies();
    std::lock_guard lock(b.lock);
    b.upDownOf.erase(buddy);
  }
  return CallWindowProcW(own, buddy, message, wParam, lParam);
}

void Attach(HWND hwnd, UpDown& u, HWND buddy) {
  u.buddy = buddy;
  if (!buddy) return;
  const LONG_PTR style = Style(hwnd);
  if (style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)) {
    // The up-down sits at the buddy's edge, as high as it, and the buddy gives up that width.
    RECT b;
    GetWindowRect(buddy, &b);
    HWND parent = GetParent(buddy);
    POINT origin{0, 0};
    if (parent) ClientToScreen(parent, &origin);
    OffsetRect(&b, -origin.x, -origin.y);
    RECT self;
    GetWindowRect(hwnd, &self);
    const int width = std::max<int>(self.right - self.left, GetSystemMetrics(SM_CXVSCROLL));
    const bool right = (style & UDS_ALIGNRIGHT) != 0;
    MoveWindow(hwnd, right ? b.right - width : b.left, b.top, width, b.bottom - b.top, TRUE);
    MoveWindow(buddy, right ? b.left : b.left + width, b.top, std::max<int>(b.right - b.left - width, 0), b.bottom - b.top, TRUE);
  }
  if ((style & UDS_ARROWKEYS) && !BuddyIsList(u)) {
    {
      Buddies& b = TheBuddies();
      std::lock_guard lock(b.lock);
      b.upDownOf[buddy] = hwnd;
    }
    u.buddyProc = reinterpret_cast<WNDPROC>(SetWindowLongW(buddy, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyKeys)));
  }
  ShowInBuddy(hwnd, u);
}

RECT Half(HWND hwnd, int direction) {
  RECT r;
  GetClientRect(hwnd, &r);
  if (Style(hwnd) & UDS_HORZ) {
    const int mid = (r.left + r.right) / 2;
    return direction > 0 ? RECT{mid, r.top, r.right, r.bottom} : RECT{r.left, r.top, mid, r.bottom};
  }
  const int mid = (r.top + r.bottom) / 2;
  return direction > 0 ? RECT{r.left, r.top, r.right, mid} : RECT{r.left, mid, r.right, r.bottom};
}

void Paint(HWND hwnd, const UpDown& u) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  const bool enabled = IsWindowEnabled(hwnd);
  const COLORREF ink = enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
  const bool horizontal = (Style(hwnd) & UDS_HORZ) != 0;
  for (int direction : {1, -1}) {
    const RECT half = Half(hwnd, direction);
    const bool pushed = u.pressed == direction;
    zb::wm::Fill(dc, half, pushed ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_WINDOW));
    zb::wm::Frame(dc, half, ink);
    const COLORREF mark = pushed ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ink;
    if (horizontal) {
      zb::wm::SideArrow(dc, half, direction > 0, mark);
    } else {
      zb::wm::Arrow(dc, half, direction > 0, mark);
    }
  }
  EndPaint(hwnd, &ps);
}

LRESULT Handle(HWND hwnd, UpDown& u, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (Style(hwnd) & UDS_AUTOBUDDY) Attach(hwnd, u, GetWindow(hwnd, GW_HWNDPREV));
      return 0;
    case UDM_SETBUDDY: {
      HWND previous = u.buddy;
      Attach(hwnd, u, reinterpret_cast<HWND>(wParam));
      return reinterpret_cast<LRESULT>(previous);
    }
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(u.buddy);
    case UDM_SETRANGE:
      u.high = static_cast<SHORT>(LOWORD(lParam));
      u.low = static_cast<SHORT>(HIWORD(lParam));
      return 0;
    case UDM_GETRANGE: return MAKELRESULT(static_cast<WORD>(u.high), static_cast<WORD>(u.low));
    case UDM_SETRANGE32:
      u.low = static_cast<int>(wParam);
      u.high = static_cast<int>(lParam);
      return 0;
    case UDM_GETRANGE32:
      if (wParam) *reinterpret_cast<int*>(wParam) = u.low;
      if (lParam) *reinterpret_cast<int*>(lParam) = u.high;
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      const int previous = u.pos;
      int lo, hi;
      Range(u, &lo, &hi);
      u.pos = std::clamp(message == UDM_SETPOS ? static_cast<int>(static_cast<SHORT>(LOWORD(lParam))) : static_cast<int>(lParam), lo, hi);
      ShowInBuddy(hwnd, u);
      return previous;
    }
    case UDM_GETPOS:
    case UDM_GETPOS32: {
      ReadBuddy(u);
      if (message == UDM_GETPOS32) return u.pos;
      return MAKELRESULT(static_cast<WORD>(u.pos), 0);
    }
    case UDM_SETBASE: {
      const int previous = u.base;
      if (wParam != 10 && wParam != 16) return 0;
      u.base = static_cast<int>(wParam);
      ShowInBuddy(hwnd, u);
      return previous;
    }
    case UDM_GETBASE: return u.base;
    case UDM_SETACCEL: {
      const auto* accel = reinterpret_cast<const UDACCEL*>(lParam);
      if (!accel || wParam == 0) return FALSE;
      u.accel.assign(accel, accel + wParam);
      return TRUE;
    }
    case UDM_GETACCEL: {
      auto* out = reinterpret_cast<UDACCEL*>(lParam);
      for (size_t i = 0; out && i < u.accel.size() && i < wParam; ++i) out[i] = u.accel[i];
      return static_cast<LRESULT>(u.accel.size());
    }
    case WM_LBUTTONDOWN: {
      const POINT p = zb::wm::PointOf(lParam);
      const RECT up = Half(hwnd, 1);
      u.pressed = PtInRect(&up, p) ? 1 : -1;
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, TRUE);
      Step(hwnd, u, u.pressed);
      return 0;
    }
    case WM_LBUTTONUP:
      if (u.pressed) {
        u.pressed = 0;
        ReleaseCapture();
        InvalidateRect(hwnd, nullptr, TRUE);
        if (HWND parent = GetParent(hwnd))
          SendMessageW(parent, (Style(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, u.pos),
                       reinterpret_cast<LPARAM>(hwnd));
      }
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(hwnd, u); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK UpDownProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return zb::wm::WithState<UpDown, Handle>(hwnd, message, wParam, lParam);
}

}  // namespace zb::cc
