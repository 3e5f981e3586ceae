// InvalidateRect, ValidateRect, UpdateWindow, BeginPaint and EndPaint, and GetDC for windows.
// A window only paints after something invalidated it: being shown, moved or resized, or a call.
// Invalidating another process's window asks its owner thread to do it, through the queue.
#include <algorithm>
#include <climits>
#include <vector>

#include "gwes/gdi_host.h"
#include "gwes/msg_core.h"
#include "gwes/msg_sources.h"
#include "gwes/wm_links.h"
#include "gwes/wm_paint.h"

namespace zb::wm {
namespace {

// The rectangle calls, as values.
bool Empty(const RECT& r) { return IsRectEmpty(&r); }
RECT Intersect(const RECT& a, const RECT& b) {
  RECT r;
  IntersectRect(&r, &a, &b);
  return r;
}
RECT Union(const RECT& a, const RECT& b) {
  RECT r;
  UnionRect(&r, &a, &b);
  return r;
}

uint64_t Pack(LONG lo, LONG hi) {
  return static_cast<uint32_t>(lo) | static_cast<uint64_t>(static_cast<uint32_t>(hi)) << 32;
}

RECT VisibleLocked(Segment& s, const WindowSlot& w, POINT* origin) {
  POINT o = ScreenOrigin(s, w);
  RECT r{o.x, o.y, o.x + (w.rect.right - w.rect.left), o.y + (w.rect.bottom - w.rect.top)};
  for (uint32_t p = ParentIndex(s, w); p != kNone; p = ParentIndex(s, s.windows[p])) {
    POINT po = ScreenOrigin(s, s.windows[p]);
    const RECT& pr = s.windows[p].rect;
    r = Intersect(r, RECT{po.x, po.y, po.x + (pr.right - pr.left), po.y + (pr.bottom - pr.top)});
  }
  gdi::ScreenMode mode = gdi::CurrentScreenMode();
  r = Intersect(r, RECT{0, 0, mode.width, mode.height});
  if (origin) *origin = o;
  return r;
}

}  // namespace

bool HasPaint(const ThreadQueue& q) {
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  for (auto& [value, w] : session.windows) {
    if (w->queue == q.index && w->invalid) return true;
  }
  return false;
}

bool NextPaint(const ThreadQueue& q, HWND filter, MSG* msg) {
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  Window* best = nullptr;
  Locked segLock(*session.seg);
  for (auto& [value, w] : session.windows) {
    if (w->queue != q.index || !w->invalid || (best && w->serial >= best->serial)) continue;
    if (!FilterAllows(*session.seg, value, filter)) continue;
    best = w.get();
  }
  if (!best) return false;
  *msg = MSG{best->hwnd, WM_PAINT, 0, 0, NowTick(), POINT{0, 0}};
  return true;
}

RECT VisibleScreenRect(HWND hwnd, POINT* origin) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = Slot(s, hwnd);
  if (!w) return RECT{0, 0, 0, 0};
  return VisibleLocked(s, *w, origin);
}

void InvalidateTree(HWND hwnd) {
  std::vector<HWND> shown;
  {
    Segment& s = *CurrentSession().seg;
    Locked lock(s);
    WindowSlot* w = Slot(s, hwnd);
    if (!w) return;
    const uint32_t root = IndexOf(s, *w);
    for (uint32_t i = 0; i < kMaxWindows; ++i) {
      if (s.windows[i].live && IsDescendant(s, i, root) && ShownOnScreen(s, s.windows[i]))
        shown.push_back(HandleOf(s, s.windows[i]));
    }
  }
  for (HWND h : shown) InvalidateRect(h, nullptr, TRUE);
}

void InvalidateScreenArea(const RECT& screen, HWND skip) {
  struct Hit {
    HWND hwnd;
    RECT rect;
  };
  std::vector<Hit> hits;
  {
    Segment& s = *CurrentSession().seg;
    Locked lock(s);
    WindowSlot* skipped = Slot(s, skip);
    const uint32_t skipIndex = skipped ? IndexOf(s, *skipped) : kNone;
    for (uint32_t i = 0; i < kMaxWindows; ++i) {
      const WindowSlot& w = s.windows[i];
      if (!w.live || !ShownOnScreen(s, w) || (skipIndex != kNone && IsDescendant(s, i, skipIndex))) continue;
      POINT origin;
      RECT part = Intersect(VisibleLocked(s, w, &origin), screen);
      if (Empty(part)) continue;
      OffsetRect(&part, -origin.x, -origin.y);
      hits.push_back({HandleOf(s, w), part});
    }
  }
  for (const Hit& h : hits) InvalidateRect(h.hwnd, &h.rect, TRUE);
}

// What lies over a window, in its own coordinates: its shown children, and the shown windows
// above it and above each of its ancestors. Drawing on the device never covers those (children
// and siblings are always clipped), so the order windows paint in does not matter. Group boxes
// are the exception: they only frame, and what they frame is painted by others.
std::vector<RECT> CoveringRects(HWND hwnd) {
  std::vector<RECT> out;
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = Slot(s, hwnd);
  if (!w) return out;
  const POINT self = ScreenOrigin(s, *w);
  auto add = [&](const WindowSlot& c) {
    if (!(c.style & WS_VISIBLE) || IsGroupBox(c)) return;
    const POINT o = ScreenOrigin(s, c);
    RECT r{o.x - self.x, o.y - self.y, o.x - self.x + (c.rect.right - c.rect.left), o.y - self.y + (c.rect.bottom - c.rect.top)};
    out.push_back(r);
  };
  for (uint32_t c = w->firstChild; c != kNone; c = s.windows[c].next) add(s.windows[c]);
  for (uint32_t i = IndexOf(s, *w); i != kNone; i = ParentIndex(s, s.windows[i])) {
    const uint32_t parent = ParentIndex(s, s.windows[i]);
    const uint32_t first = parent == kNone ? s.topFirst : s.windows[parent].firstChild;
    for (uint32_t above = first; above != kNone && above != i; above = s.windows[above].next) add(s.windows[above]);
  }
  return out;
}

void ClipCovered(HWND hwnd, HDC hdc) {
  if (!hdc) return;
  for (const RECT& r : CoveringRects(hwnd)) ExcludeClipRect(hdc, r.left, r.top, r.right, r.bottom);
  HRGN region = nullptr;
  if (auto window = LocalWindow(hwnd)) {
    std::lock_guard lock(CurrentSession().lock);
    region = window->region;
  }
  RECT box;
  if (region && GetRgnBox(region, &box) != ERROR) IntersectClipRect(hdc, box.left, box.top, box.right, box.bottom);
}

}  // namespace zb::wm

using namespace zb::wm;

extern "C" BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  auto window = hwnd ? LocalWindow(hwnd) : nullptr;
  Session& session = CurrentSession();
  Segment& s = *session.seg;
  if (!window) {
    Target t;
    {
      Locked lock(s);
      WindowSlot* w = SlotOrFail(s, hwnd);
      if (!w) return FALSE;
      t = TargetOf(s, *w);
    }
    RECT r = rect ? *rect : RECT{0, 0, 0, 0};
    RunOrSendInternal(t.queue, t.queueGen, Internal::Invalidate, HwndValue(hwnd), Pack(r.left, r.top),
                      Pack(r.right, r.bottom), (erase ? 1 : 0) | (rect ? 0 : 2));
    return TRUE;
  }
  std::lock_guard lock(session.lock);
  Locked segLock(s);
  WindowSlot* w = SlotOrFail(s, hwnd);
  if (!w) return FALSE;
  if (!ShownOnScreen(s, *w)) return TRUE;  // a hidden window is painted whole when shown
  RECT client{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  RECT part = rect ? Intersect(*rect, client) : client;
  if (Empty(part)) return TRUE;
  window->update = window->invalid ? Union(window->update, part) : part;
  window->invalid = true;
  window->erase = window->erase || erase;
  s.queues[window->queue].changed |= QS_PAINT;
  if (window->tid != MyTid()) WakeQueue(s, window->queue);
  return TRUE;
}

extern "C" BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  auto window = LocalWindowOrFail(hwnd);
  if (!window) return FALSE;
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  if (!window->invalid) return TRUE;
  RECT left;
  if (!rect) {
    window->invalid = false;
  } else if (SubtractRect(&left, &window->update, rect)) {
    // The update area is one rectangle, so only a cut that leaves a rectangle shrinks it.
    window->update = left;
  } else {
    window->invalid = false;
  }
  if (!window->invalid) window->erase = false;
  return TRUE;
}

extern "C" BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
  auto window = LocalWindowOrFail(hwnd);
  if (!window) return FALSE;
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  if (rect) *rect = window->invalid ? window->update : RECT{0, 0, 0, 0};
  return window->invalid ? TRUE : FALSE;
}

extern "C" BOOL UpdateWindow(HWND hwnd) {
  auto window = LocalWindow(hwnd);
  if (!window) {
    if (IsWindow(hwnd)) return TRUE;  // another process paints its own windows
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  bool invalid;
  {
    Session& session = CurrentSession();
    std::lock_guard lock(session.lock);
    invalid = window->invalid;
  }
  if (invalid) SendMessageW(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

extern "C" HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
  auto window = LocalWindow(hwnd);
  if (!window || !paint || window->tid != MyTid()) {
    SetLastError(window ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  RECT update{0, 0, 0, 0};
  bool erase = false;
  {
    Session& session = CurrentSession();
    std::lock_guard lock(session.lock);
    if (window->invalid) update = window->update;
    erase = window->erase;
    window->invalid = window->erase = false;
  }
  POINT origin{0, 0};
  RECT visible = VisibleScreenRect(hwnd, &origin);
  RECT clip = update;
  OffsetRect(&clip, origin.x, origin.y);
  clip = Intersect(clip, visible);
  HDC hdc = zb::gdi::CreateDisplayDC(origin, clip);
  ClipCovered(hwnd, hdc);
  *paint = PAINTSTRUCT{};
  paint->hdc = hdc;
  paint->rcPaint = update;
  if (erase && hdc) paint->fErase = SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
  return hdc;
}

extern "C" BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
  if (!paint) return FALSE;
  if (paint->hdc) ReleaseDC(hwnd, paint->hdc);
  return TRUE;
}

extern "C" HDC GetDC(HWND hwnd) {
  if (!hwnd) {
    zb::gdi::ScreenMode mode = zb::gdi::CurrentScreenMode();
    return zb::gdi::CreateDisplayDC(POINT{0, 0}, RECT{0, 0, mode.width, mode.height});
  }
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  POINT origin{0, 0};
  RECT visible = VisibleScreenRect(hwnd, &origin);
  HDC hdc = zb::gdi::CreateDisplayDC(origin, visible);
  ClipCovered(hwnd, hdc);
  return hdc;
}
