// Device contexts: the drawing state (selected objects, colours, modes, origins, clip) over a
// target bitmap. Memory DCs draw into the bitmap selected into them; display DCs draw into the
// screen, offset by an origin and limited by a system clip rectangle that the window room sets.
#pragma once
#include <optional>
#include <vector>

#include "gwes/gdi_bitmap.h"
#include "gwes/gdi_brush.h"
#include "gwes/gdi_font.h"
#include "gwes/gdi_palette.h"
#include "gwes/gdi_region.h"

namespace zb::gdi {

struct DcState {
  std::shared_ptr<Bitmap> bitmap;
  std::shared_ptr<Brush> brush;
  std::shared_ptr<Pen> pen;
  std::shared_ptr<Font> font;
  std::shared_ptr<Palette> palette;
  POINT viewportOrg{0, 0};
  POINT brushOrg{0, 0};
  COLORREF textColour = RGB(0, 0, 0);
  COLORREF bkColour = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  std::optional<Region> clip;  // device units relative to the DC origin; none = no clipping
};

class DeviceContext : public GdiObject {
 public:
  DWORD Type() const override { return memory ? OBJ_MEMDC : OBJ_DC; }

  bool memory = true;
  POINT origin{0, 0};      // where the DC's (0, 0) lies on its target
  RECT systemClip{0, 0, 0, 0};  // on the target; display DCs only
  DcState state;
  std::vector<DcState> saved;

  Surface& Target() const {
    if (!memory) MarkScreenDrawn();
    return *state.bitmap->surface;
  }
  // Logical to target coordinates.
  POINT ToTarget(int x, int y) const {
    return POINT{x + state.viewportOrg.x + origin.x, y + state.viewportOrg.y + origin.y};
  }
  RECT ToTarget(const RECT& r) const;
  // The area drawing may touch, in target coordinates.
  Region VisibleRegion() const;
  // The area the DC covers before any clip region, relative to its origin.
  RECT Extent() const;
  // PALETTEINDEX colours resolved through the selected palette.
  COLORREF Resolve(COLORREF colour) const;
};

std::shared_ptr<DeviceContext> FindDc(HDC hdc);  // sets ERROR_INVALID_HANDLE when missing
HDC AddDc(std::shared_ptr<DeviceContext> dc);
// Drops a DC: hands its bitmap back and removes its handle.
void DropDc(HDC hdc);

}  // namespace zb::gdi
