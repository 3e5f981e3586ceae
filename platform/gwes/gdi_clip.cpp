// The clip calls. A DC's clip region is kept in device units relative to the DC's origin;
// rectangles given to IntersectClipRect and ExcludeClipRect are logical and move by the
// viewport origin when they are given, as on the device.
#include "gwes/gdi_dc.h"

using namespace zb::gdi;

namespace {

// The complexity of what a DC can draw in now.
int VisibleComplexity(const DeviceContext& dc) { return dc.VisibleRegion().Complexity(); }

RECT Logical(const DeviceContext& dc, int left, int top, int right, int bottom) {
  const POINT v = dc.state.viewportOrg;
  return RECT{left + v.x, top + v.y, right + v.x, bottom + v.y};
}

}  // namespace

extern "C" int SelectClipRgn(HDC hdc, HRGN region) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return ERROR;
  if (!region) {
    dc->state.clip.reset();
  } else {
    auto object = Find<RegionObject>(region);
    if (!object) {
      SetLastError(ERROR_INVALID_HANDLE);
      return ERROR;
    }
    dc->state.clip = object->region;  // a copy: later changes to the region do not reach the DC
  }
  return VisibleComplexity(*dc);
}

// Narrows the clip region (or the DC's whole area, when it has none) by a logical rectangle.
static int ChangeClip(HDC hdc, const RECT& logical, bool keepInside) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return ERROR;
  Region clip = dc->state.clip ? *dc->state.clip : Region(dc->Extent());
  const RECT r = Logical(*dc, logical.left, logical.top, logical.right, logical.bottom);
  if (keepInside) {
    clip.Intersect(r);
  } else {
    clip.Subtract(r);
  }
  dc->state.clip = std::move(clip);
  return VisibleComplexity(*dc);
}

extern "C" int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  return ChangeClip(hdc, RECT{left, top, right, bottom}, true);
}

extern "C" int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  return ChangeClip(hdc, RECT{left, top, right, bottom}, false);
}

extern "C" int GetClipBox(HDC hdc, LPRECT rect) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc || !rect) {
    if (dc) SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  Region visible = dc->VisibleRegion();
  visible.Offset(-(dc->origin.x + dc->state.viewportOrg.x), -(dc->origin.y + dc->state.viewportOrg.y));
  *rect = visible.Bounds();
  return visible.Complexity();
}

extern "C" BOOL RectVisible(HDC hdc, const RECT* rect) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc || !rect) return FALSE;
  return dc->VisibleRegion().Touches(dc->ToTarget(*rect)) ? TRUE : FALSE;
}
