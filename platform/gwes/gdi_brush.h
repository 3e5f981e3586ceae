// Brushes and pens. A pattern brush keeps its own copy of the pattern, so the bitmap it was made
// from may be deleted or drawn on afterwards without changing the brush.
#pragma once
#include "gwes/gdi_object.h"
#include "gwes/gdi_surface.h"

namespace zb::gdi {

class Brush : public GdiObject {
 public:
  DWORD Type() const override { return OBJ_BRUSH; }
  int Describe(int size, void* buffer) const override;

  UINT style = BS_SOLID;  // BS_SOLID, BS_NULL or BS_PATTERN
  COLORREF colour = 0;
  std::shared_ptr<Surface> pattern;
};

class Pen : public GdiObject {
 public:
  DWORD Type() const override { return OBJ_PEN; }
  int Describe(int size, void* buffer) const override;

  UINT style = PS_SOLID;
  int width = 1;
  COLORREF colour = 0;
};

HBRUSH AddSolidBrush(COLORREF colour);

}  // namespace zb::gdi
