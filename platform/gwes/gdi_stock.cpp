// The stock objects: GetStockObject's brushes, pens, font and palette, and the 1x1 monochrome
// bitmap that new memory DCs hold. They live for the whole process and ignore DeleteObject.
#include "gwes/gdi_bitmap.h"
#include "gwes/gdi_brush.h"
#include "gwes/gdi_font.h"
#include "gwes/gdi_palette.h"

using namespace zb::gdi;

namespace {

std::shared_ptr<GdiObject> MakeStock(int index) {
  struct Stock {
    int index;
    bool pen;
    UINT style;
    COLORREF colour;
  };
  constexpr Stock kStock[] = {
      {WHITE_BRUSH, false, BS_SOLID, RGB(255, 255, 255)}, {LTGRAY_BRUSH, false, BS_SOLID, RGB(192, 192, 192)},
      {GRAY_BRUSH, false, BS_SOLID, RGB(128, 128, 128)},  {DKGRAY_BRUSH, false, BS_SOLID, RGB(64, 64, 64)},
      {BLACK_BRUSH, false, BS_SOLID, RGB(0, 0, 0)},       {NULL_BRUSH, false, BS_NULL, 0},
      {WHITE_PEN, true, PS_SOLID, RGB(255, 255, 255)},    {BLACK_PEN, true, PS_SOLID, RGB(0, 0, 0)},
      {NULL_PEN, true, PS_NULL, 0},
  };
  for (const Stock& k : kStock) {
    if (k.index != index) continue;
    if (k.pen) {
      auto pen = std::make_shared<Pen>();
      pen->style = k.style;
      pen->colour = k.colour;
      return pen;
    }
    auto brush = std::make_shared<Brush>();
    brush->style = k.style;
    brush->colour = k.colour;
    return brush;
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
