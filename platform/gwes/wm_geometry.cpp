// Where windows are and whether they show: rectangles and point mapping, SetWindowPos,
// MoveWindow, ShowWindow and EnableWindow. A window that moves, grows or appears is painted
// whole, and what it uncovers is invalidated on the windows beneath; WM_MOVE comes before
// WM_SIZE, each only when that changed.
#include "gwes/msg_core.h"
#include "gwes/wm_focus.h"
#include "gwes/wm_links.h"
#include "gwes/wm_paint.h"

using namespace zb::wm;

namespace {

bool Origin(HWND hwnd, POINT* origin) {
  if (!hwnd) {
    *origin = POINT{0, 0};  // the screen
    return true;
  }
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = SlotOrFail(s, hwnd);
  if (!w) return false;
  *origin = ScreenOrigin(s, *w);
  return true;
}

struct Change {
  bool moved = false, sized = false, shown = false, hidden = false, topLevel = false;
  RECT before{0, 0, 0, 0};  // visible screen area before the change
  RECT rect{0, 0, 0, 0};
};

}  // namespace

extern "C" BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = SlotOrFail(s, hwnd);
  if (!w) return FALSE;
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  POINT o = ScreenOrigin(s, *w);
  *rect = RECT{o.x, o.y, o.x + (w->rect.right - w->rect.left), o.y + (w->rect.bottom - w->rect.top)};
  return TRUE;
}

extern "C" BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  // No non-client area: the client area is the window's rectangle moved to (0, 0).
  if (!GetWindowRect(hwnd, rect)) return FALSE;
  OffsetRect(rect, -rect->left, -rect->top);
  return TRUE;
}

extern "C" int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  POINT a, b;
  if (!Origin(from, &a) || !Origin(to, &b)) return 0;
  const LONG dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  SetLastError(0);  // a zero result is then no failure
  return MAKELONG(dx, dy);
}

extern "C" BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
  POINT o;
  if (!point || !hwnd || !Origin(hwnd, &o)) return FALSE;
  point->x += o.x;
  point->y += o.y;
  return TRUE;
}

extern "C" BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  Segment& s = *CurrentSession().seg;
  Change c;
  {
    Locked lock(s);
    WindowSlot* w = SlotOrFail(s, hwnd);
    if (!w) return FALSE;
    const uint32_t index = IndexOf(s, *w);
    const uint32_t parent = ParentIndex(s, *w);
    c.topLevel = parent == kNone;
    const bool wasShown = ShownOnScreen(s, *w);
    if (wasShown) {
      POINT o = ScreenOrigin(s, *w);
      c.before = RECT{o.x, o.y, o.x + (w->rect.right - w->rect.left), o.y + (w->rect.bottom - w->rect.top)};
    }
    RECT r = w->rect;
    if (!(flags & SWP_NOMOVE)) {
      c.moved = x != r.left || y != r.top;
      OffsetRect(&r, x - r.left, y - r.top);
    }
    if (!(flags & SWP_NOSIZE)) {
      width = std::max(width, 0);
      height = std::max(height, 0);
      c.sized = width != r.right - r.left || height != r.bottom - r.top;
      r.right = r.left + width;
      r.bottom = r.top + height;
    }
    w->rect = r;
    c.rect = r;
    if (!(flags & SWP_NOZORDER)) {
      WindowSlot* after = Slot(s, insertAfter);
      if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        if (insertAfter == HWND_TOPMOST) {
          w->exStyle |= WS_EX_TOPMOST;
        } else {
          w->exStyle &= ~WS_EX_TOPMOST;
        }
        UnlinkWindow(s, index);
        LinkWindow(s, index, parent, Place::Top);
      } else if (insertAfter == HWND_BOTTOM) {
        w->exStyle &= ~WS_EX_TOPMOST;
        UnlinkWindow(s, index);
        LinkWindow(s, index, parent, Place::Bottom);
      } else if (after && after != w && ParentIndex(s, *after) == parent) {
        UnlinkWindow(s, index);
        LinkWindow(s, index, parent, Place::After, IndexOf(s, *after));
      } else if (!insertAfter) {
        if (c.topLevel && !(flags & SWP_NOOWNERZORDER)) {
          BringToTop(s, index);
        } else {
          UnlinkWindow(s, index);
          LinkWindow(s, index, parent, Place::Top);
        }
      }
    }
    if ((flags & SWP_SHOWWINDOW) && !(w->style & WS_VISIBLE)) {
      w->style |= WS_VISIBLE;
      c.shown = true;
    }
    if ((flags & SWP_HIDEWINDOW) && (w->style & WS_VISIBLE)) {
      w->style &= ~WS_VISIBLE;
      c.hidden = true;
    }
  }
  if (c.moved) SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(c.rect.left, c.rect.top));
  if (c.sized)
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.rect.right - c.rect.left, c.rect.bottom - c.rect.top));
  if (!(flags & SWP_NOREDRAW)) {
    if (!IsRectEmpty(&c.before) && (c.moved || c.sized || c.hidden)) InvalidateScreenArea(c.before, hwnd);
    if (c.moved || c.sized || c.shown || (flags & SWP_FRAMECHANGED)) InvalidateTree(hwnd);
  }
  if (c.hidden) AfterHidden(hwnd);
  if (c.shown && c.topLevel && !(flags & SWP_NOACTIVATE)) ChangeForeground(hwnd, false);
  return TRUE;
}

extern "C" BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

extern "C" BOOL ShowWindow(HWND hwnd, int command) {
  bool wasVisible, topLevel, noActivate;
  {
    Segment& s = *CurrentSession().seg;
    Locked lock(s);
    WindowSlot* w = SlotOrFail(s, hwnd);
    if (!w) return FALSE;
    wasVisible = (w->style & WS_VISIBLE) != 0;
    topLevel = ParentIndex(s, *w) == kNone;
    noActivate = (w->exStyle & WS_EX_NOACTIVATE) != 0;
  }
  // The device has no minimised state: minimising hides.
  const bool hide = command == SW_HIDE || command == SW_MINIMIZE || command == SW_SHOWMINNOACTIVE;
  const bool activate = !hide && topLevel && !noActivate &&
                        (command == SW_SHOW || command == SW_SHOWNORMAL || command == SW_SHOWMAXIMIZED ||
                         command == SW_RESTORE);
  UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  if (hide) {
    if (wasVisible) SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, flags | SWP_HIDEWINDOW);
  } else {
    if (!wasVisible) SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, flags | SWP_SHOWWINDOW);
    if (activate && GetForegroundWindow() != hwnd) ChangeForeground(hwnd, false);
  }
  return wasVisible ? TRUE : FALSE;
}

extern "C" BOOL EnableWindow(HWND hwnd, BOOL enable) {
  bool wasDisabled;
  {
    Segment& s = *CurrentSession().seg;
    Locked lock(s);
    WindowSlot* w = SlotOrFail(s, hwnd);
    if (!w) return FALSE;
    wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable) {
      w->style &= ~WS_DISABLED;
    } else {
      w->style |= WS_DISABLED;
    }
  }
  if (wasDisabled == !enable) return wasDisabled ? TRUE : FALSE;
  if (!enable) DropFocusFrom(hwnd);
  SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled ? TRUE : FALSE;
}
