// ScrollDC: moves the pixels of a rectangle by (dx, dy) inside a clip rectangle and reports the
// part of it that the move uncovered, which the caller then paints.
#include "gwes/gdi_blit.h"

using namespace zb::gdi;

extern "C" BOOL ScrollDC(HDC hdc, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, LPRECT updateRect) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return FALSE;
  std::shared_ptr<RegionObject> updateObject;
  if (update && !(updateObject = Find<RegionObject>(update))) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // All in logical coordinates.
  const POINT v = dc->state.viewportOrg;
  RECT whole = dc->Extent();
  whole = RECT{whole.left - v.x, whole.top - v.y, whole.right - v.x, whole.bottom - v.y};
  const RECT from = scroll ? *scroll : whole;
  RECT bound = clip ? *clip : from;
  RECT moved{from.left + dx, from.top + dy, from.right + dx, from.bottom + dy};
  RECT target;
  if (IntersectRects(target, moved, bound)) {
    BlitSource source;
    source.surface = &dc->Target();
    const POINT s = dc->ToTarget(target.left - dx, target.top - dy);
    source.x = s.x;
    source.y = s.y;
    source.width = target.right - target.left;
    source.height = target.bottom - target.top;
    const POINT t = dc->ToTarget(target.left, target.top);
    Blit(*dc, t.x, t.y, source.width, source.height, &source, nullptr, 0xCC);
  }
  RECT exposedArea;
  Region exposed;
  if (IntersectRects(exposedArea, from, bound)) {
    exposed = Region(exposedArea);
    exposed.Subtract(target);
  }
  if (updateObject) updateObject->region = exposed;
  if (updateRect) *updateRect = exposed.Bounds();
  return TRUE;
}
