// Brushes, pens and the stock objects.
#include "gwes/gdi_brush.h"

#include <cstring>

#include "gwes/gdi_bitmap.h"

namespace zb::gdi {

int Brush::Describe(int size, void* buffer) const {
  if (!buffer) return sizeof(LOGBRUSH);
  if (size < static_cast<int>(sizeof(LOGBRUSH))) return 0;
  LOGBRUSH out{style, colour, 0};
  std::memcpy(buffer, &out, sizeof out);
  return sizeof out;
}

int Pen::Describe(int size, void* buffer) const {
  if (!buffer) return sizeof(LOGPEN);
  if (size < static_cast<int>(sizeof(LOGPEN))) return 0;
  LOGPEN out{style, POINT{width, 0}, colour};
  std::memcpy(buffer, &out, sizeof out);
  return sizeof out;
}

HBRUSH AddSolidBrush(COLORREF colour) {
  auto brush = std::make_shared<Brush>();
  brush->style = BS_SOLID;
  brush->colour = colour;
  return As<HBRUSH>(AddObject(brush));
}

}  // namespace zb::gdi

using namespace zb::gdi;

extern "C" HBRUSH CreateSolidBrush(COLORREF colour) {
  ZB_GDI_LOCK;
  return AddSolidBrush(colour);
}

extern "C" HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  ZB_GDI_LOCK;
  auto source = Find<Bitmap>(bitmap);
  if (!source) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto brush = std::make_shared<Brush>();
  brush->style = BS_PATTERN;
  brush->pattern = source->surface->Clone();
  if (!brush->pattern) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return As<HBRUSH>(AddObject(brush));
}

extern "C" HPEN CreatePen(int style, int width, COLORREF colour) {
  if (style != PS_SOLID && style != PS_DASH && style != PS_NULL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  ZB_GDI_LOCK;
  auto pen = std::make_shared<Pen>();
  pen->style = static_cast<UINT>(style);
  pen->width = width < 1 ? 1 : width;  // width 0 draws one pixel wide
  pen->colour = colour;
  return As<HPEN>(AddObject(pen));
}

extern "C" HPEN CreatePenIndirect(const LOGPEN* pen) {
  if (!pen) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}
