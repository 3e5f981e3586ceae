// Decoded images onto a DC: straight-alpha RGBA blended over the target's pixels, so that the
// transparent parts of an image keep whatever was under them.
#include "gwes/gdi_dc.h"
#include "gwes/gdi_host.h"

namespace zb::gdi {

bool DrawRgba(HDC hdc, int x, int y, int width, int height, const uint8_t* rgba) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc || !rgba || width <= 0 || height <= 0) return false;
  Surface& dst = dc->Target();
  const POINT at = dc->ToTarget(x, y);
  Region visible = dc->VisibleRegion();
  visible.Intersect(RECT{at.x, at.y, at.x + width, at.y + height});
  std::vector<uint32_t> row;
  for (const RECT& r : visible.Rects()) {
    const int n = r.right - r.left;
    row.resize(n);
    for (int ty = r.top; ty < r.bottom; ++ty) {
      dst.ReadRow(ty, r.left, n, row.data());
      const uint8_t* src = rgba + (static_cast<size_t>(ty - at.y) * width + (r.left - at.x)) * 4;
      for (int i = 0; i < n; ++i, src += 4) {
        const int a = src[3];
        if (a == 0) continue;
        if (a == 255) {
          row[i] = dst.FromRgb(RGB(src[0], src[1], src[2]));
          continue;
        }
        const COLORREF under = dst.ToRgb(row[i]);
        auto mix = [a](int below, int above) { return static_cast<BYTE>((above * a + below * (255 - a) + 127) / 255); };
        row[i] = dst.FromRgb(RGB(mix(GetRValue(under), src[0]), mix(GetGValue(under), src[1]), mix(GetBValue(under), src[2])));
      }
      dst.WriteRow(ty, r.left, n, row.data());
    }
  }
  return true;
}

}  // namespace zb::gdi
