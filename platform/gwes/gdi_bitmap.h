// Bitmap objects: device bitmaps (CreateBitmap, CreateCompatibleBitmap) and DIB sections, both
// held as a Surface. A bitmap is selected into at most one DC at a time, and is not deleted
// while it is.
#pragma once
#include "gwes/gdi_object.h"
#include "gwes/gdi_surface.h"

namespace zb::gdi {

class Bitmap : public GdiObject {
 public:
  Bitmap(std::shared_ptr<Surface> s, bool dibSection) : surface(std::move(s)), dib(dibSection) {}
  DWORD Type() const override { return OBJ_BITMAP; }
  int Describe(int size, void* buffer) const override;
  bool CanDelete() const override { return selectedInto == nullptr; }

  std::shared_ptr<Surface> surface;
  bool dib = false;
  DWORD compression = BI_RGB;  // as the DIB section was made
  HDC selectedInto = nullptr;
};

// Adds a bitmap over the surface to the handle table (null when the surface is null).
HBITMAP AddBitmap(std::shared_ptr<Surface> surface, bool dibSection, DWORD compression = BI_RGB);

// The 1x1 monochrome bitmap that every new memory DC starts with.
std::shared_ptr<Bitmap> DefaultMemoryBitmap();

}  // namespace zb::gdi
