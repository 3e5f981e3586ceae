// The rectangle helpers of the window system. Empty means no area (right <= left or
// bottom <= top); results that come out empty are set to all zeros, as the platform does.
#include <algorithm>
#include <windows.h>

namespace {

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

BOOL Set(LPRECT out, const RECT& r) {
  if (Empty(r)) {
    *out = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *out = r;
  return TRUE;
}

}  // namespace

extern "C" BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (!rect) return FALSE;
  *rect = RECT{left, top, right, bottom};
  return TRUE;
}

extern "C" BOOL IsRectEmpty(const RECT* rect) { return !rect || Empty(*rect); }

extern "C" BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

extern "C" BOOL PtInRect(const RECT* rect, POINT p) {
  return rect && p.x >= rect->left && p.x < rect->right && p.y >= rect->top && p.y < rect->bottom;
}

extern "C" BOOL OffsetRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
  return TRUE;
}

extern "C" BOOL InflateRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left -= dx;
  rect->right += dx;
  rect->top -= dy;
  rect->bottom += dy;
  return TRUE;
}

extern "C" BOOL CopyRect(LPRECT out, const RECT* in) {
  if (!out || !in) return FALSE;
  *out = *in;
  return TRUE;
}

extern "C" BOOL SetRectEmpty(LPRECT rect) {
  if (!rect) return FALSE;
  *rect = RECT{0, 0, 0, 0};
  return TRUE;
}

extern "C" BOOL IntersectRect(LPRECT out, const RECT* a, const RECT* b) {
  if (!out || !a || !b) return FALSE;
  return Set(out, RECT{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
                       std::min(a->bottom, b->bottom)});
}

extern "C" BOOL UnionRect(LPRECT out, const RECT* a, const RECT* b) {
  if (!out || !a || !b) return FALSE;
  if (Empty(*a)) return Set(out, *b);
  if (Empty(*b)) return Set(out, *a);
  return Set(out, RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                       std::max(a->bottom, b->bottom)});
}

extern "C" BOOL SubtractRect(LPRECT out, const RECT* from, const RECT* cut) {
  if (!out || !from || !cut) return FALSE;
  RECT r = *from;
  RECT overlap;
  if (!IntersectRect(&overlap, from, cut)) return Set(out, r);
  // Only a cut spanning a whole side leaves a rectangle behind.
  if (overlap.top == r.top && overlap.bottom == r.bottom) {
    if (overlap.left == r.left) r.left = overlap.right;
    else if (overlap.right == r.right) r.right = overlap.left;
  } else if (overlap.left == r.left && overlap.right == r.right) {
    if (overlap.top == r.top) r.top = overlap.bottom;
    else if (overlap.bottom == r.bottom) r.bottom = overlap.top;
  }
  return Set(out, r);
}
