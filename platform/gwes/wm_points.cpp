// Points and the window tree: ScreenToClient, which window lies under a point, IsChild and
// walking a window's children.
#include <vector>

#include "gwes/wm_links.h"
#include "gwes/wm_session.h"

using namespace zb::wm;

extern "C" BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
  POINT origin{0, 0};
  if (!point || !ClientToScreen(hwnd, &origin)) return FALSE;
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

extern "C" BOOL IsChild(HWND parent, HWND hwnd) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* p = Slot(s, parent);
  WindowSlot* w = Slot(s, hwnd);
  if (!p || !w || p == w) return FALSE;
  // Only the chain of child windows counts; an owned top-level window is no child.
  for (WindowSlot* c = w; c->parent;) {
    WindowSlot* up = Slot(s, reinterpret_cast<HWND>(c->parent));
    if (!up) return FALSE;
    if (up == p) return TRUE;
    c = up;
  }
  return FALSE;
}

extern "C" HWND WindowFromPoint(POINT point) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  const uint32_t hit = WindowAt(s, point);
  return hit == kNone ? nullptr : HandleOf(s, s.windows[hit]);
}

extern "C" HWND ChildWindowFromPoint(HWND parent, POINT point) {
  RECT client;
  if (!GetClientRect(parent, &client) || !PtInRect(&client, point)) return nullptr;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(c, &r);
    POINT origin{0, 0};
    ClientToScreen(parent, &origin);
    OffsetRect(&r, -origin.x, -origin.y);
    if (PtInRect(&r, point)) return c;
  }
  return parent;
}

namespace {

void Descendants(HWND parent, std::vector<HWND>& out) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    out.push_back(c);
    Descendants(c, out);
  }
}

}  // namespace

extern "C" BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param) {
  if (!proc) return FALSE;
  std::vector<HWND> all;  // taken first, so the procedure may change the tree
  Descendants(parent, all);
  for (HWND c : all) {
    if (IsWindow(c) && !proc(c, param)) return FALSE;
  }
  return TRUE;
}
