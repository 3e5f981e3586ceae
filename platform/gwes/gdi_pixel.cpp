// GetPixel and SetPixel: one pixel, through the DC's origin and clip.
#include "gwes/gdi_dc.h"

using namespace zb::gdi;

extern "C" COLORREF GetPixel(HDC hdc, int x, int y) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  POINT at = dc->ToTarget(x, y);
  if (!dc->VisibleRegion().Contains(at.x, at.y)) return CLR_INVALID;
  const Surface& s = dc->Target();
  return s.ToRgb(s.Get(at.x, at.y));
}

extern "C" COLORREF SetPixel(HDC hdc, int x, int y, COLORREF colour) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  POINT at = dc->ToTarget(x, y);
  if (!dc->VisibleRegion().Contains(at.x, at.y)) return CLR_INVALID;
  Surface& s = dc->Target();
  // The nearest colour the bitmap can hold; GetPixel then reports that colour.
  uint32_t value = s.FromRgb(dc->Resolve(colour));
  s.Set(at.x, at.y, value);
  return s.ToRgb(value);
}
