// GradientFill for rectangles: each channel moves linearly across the rectangle, from the upper
// left vertex's colour at its first column (or row) toward the lower right vertex's colour.
#include <algorithm>

#include "gwes/gdi_blit.h"

using namespace zb::gdi;

namespace {

BYTE Channel(COLOR16 from, COLOR16 to, int64_t step, int64_t steps) {
  return static_cast<BYTE>((from + (static_cast<int64_t>(to) - from) * step / steps) >> 8);
}

COLORREF Between(const TRIVERTEX& a, const TRIVERTEX& b, int64_t step, int64_t steps) {
  return RGB(Channel(a.Red, b.Red, step, steps), Channel(a.Green, b.Green, step, steps),
             Channel(a.Blue, b.Blue, step, steps));
}

}  // namespace

extern "C" BOOL GradientFill(HDC hdc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh, ULONG meshCount, ULONG mode) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return FALSE;
  if (!vertices || !mesh || (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
  for (ULONG i = 0; i < meshCount; ++i) {
    if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
  }
  Surface& dst = dc->Target();
  const Region visible = dc->VisibleRegion();
  const bool across = mode == GRADIENT_FILL_RECT_H;
  std::vector<uint32_t> row;
  for (ULONG i = 0; i < meshCount; ++i) {
    const TRIVERTEX* a = &vertices[rects[i].UpperLeft];
    const TRIVERTEX* b = &vertices[rects[i].LowerRight];
    // A rectangle given from the other end runs its colours from that end.
    if ((across && a->x > b->x) || (!across && a->y > b->y)) std::swap(a, b);
    const POINT p = dc->ToTarget(a->x, a->y), q = dc->ToTarget(b->x, b->y);
    const RECT area{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
    const int64_t steps = across ? area.right - area.left : area.bottom - area.top;
    if (steps <= 0) continue;
    for (const RECT& clip : visible.Rects()) {
      RECT r;
      if (!IntersectRects(r, area, clip)) continue;
      const int n = r.right - r.left;
      row.resize(n);
      for (int y = r.top; y < r.bottom; ++y) {
        for (int k = 0; k < n; ++k) {
          const int64_t step = across ? r.left + k - area.left : y - area.top;
          row[k] = dst.FromRgb(Between(*a, *b, step, steps));
        }
        dst.WriteRow(y, r.left, n, row.data());
      }
    }
  }
  return TRUE;
}
