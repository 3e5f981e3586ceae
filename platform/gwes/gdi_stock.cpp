// The stock objects: GetStockObject's brushes, pens, font and palette, and the 1x1 monochrome
// bitmap that new memory DCs hold. They live for the whole process and ignore DeleteObject.
#include "gwes/gdi_bitmap.h"
#include "gwes/gdi_brush.h"
#include "gwes/gdi_font.h"
#include "gwes/gdi_palette.h"

using namespace zb::gdi;

namespace {

std::shared_ptr<GdiObject> MakeStock(int index) {
  struct BrushStock {
    int index;
    UINT style;
    COLORREF colour;
  };
  constexpr BrushStock brushes[] = {
      {WHITE_BRUSH, BS_SOLID, RGB(255, 255, 255)}, {LTGRAY_BRUSH, BS_SOLID, RGB(192, 192, 192)},
      {GRAY_BRUSH, BS_SOLID, RGB(128, 128, 128)},  {DKGRAY_BRUSH, BS_SOLID, RGB(64, 64, 64)},
      {BLACK_BRUSH, BS_SOLID, RGB(0, 0, 0)},       {NULL_BRUSH, BS_NULL, 0},
  };
  for (const BrushStock& b : brushes) {
    if (b.index != index) continue;
    auto brush = std::make_shared<Brush>();
    brush->style = b.style;
    brush->colour = b.colour;
    return brush;
  }
  struct PenStock {
    int index;
    UINT style;
    COLORREF colour;
  };
  constexpr PenStock pens[] = {
      {WHITE_PEN, PS_SOLID, RGB(255, 255, 255)}, {BLACK_PEN, PS_SOLID, RGB(0, 0, 0)}, {NULL_PEN, PS_NULL, 0}};
  for (const PenStock& p : pens) {
    if (p.index != index) continue;
    auto pen = std::make_shared<Pen>();
    pen->style = p.style;
    pen->colour = p.colour;
    return pen;
  }
  if (index == SYSTEM_FONT) return MakeSystemFont();
  if (index == DEFAULT_PALETTE) return MakeDefaultPalette();
  return nullptr;
}

}  // namespace

extern "C" HGDIOBJ GetStockObject(int index) {
  constexpr int kCount = DEFAULT_PALETTE + 1;
  static HGDIOBJ handles[kCount] = {};
  if (index < 0 || index >= kCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  ZB_GDI_LOCK;
  if (!handles[index]) {
    auto object = MakeStock(index);
    if (!object) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    object->stock = true;
    handles[index] = AddObject(object);
  }
  return handles[index];
}


namespace zb::gdi {

std::shared_ptr<Font> SystemFont() { return Find<Font>(GetStockObject(SYSTEM_FONT)); }

std::shared_ptr<Palette> DefaultPalette() { return Find<Palette>(GetStockObject(DEFAULT_PALETTE)); }

std::shared_ptr<Bitmap> DefaultMemoryBitmap() {
  ZB_GDI_LOCK;
  static std::shared_ptr<Bitmap> bitmap = [] {
    auto b = std::make_shared<Bitmap>(Surface::Create(1, 1, 1, true, nullptr, {}, true), false);
    b->stock = true;
    AddObject(b);
    return b;
  }();
  return bitmap;
}

}  // namespace zb::gdi
