// Icons: a mask and a colour image copied from the bitmaps given to CreateIconIndirect, drawn
// by DrawIconEx as the platform does: the mask ANDed onto the destination, then the colour XORed
// over it. An icon without a colour image keeps both halves in a double-height mask.
#include "gwes/gdi_blit.h"

using namespace zb::gdi;

namespace {

class Icon : public GdiObject {
 public:
  DWORD Type() const override { return 0; }  // not a GDI object: DestroyIcon frees it
  std::shared_ptr<Surface> mask;
  std::shared_ptr<Surface> colour;  // null: the lower half of the mask is the image
  int width = 0, height = 0;
};

}  // namespace

extern "C" HICON CreateIconIndirect(PICONINFO info) {
  ZB_GDI_LOCK;
  auto mask = info ? Find<Bitmap>(info->hbmMask) : nullptr;
  auto colour = info && info->hbmColor ? Find<Bitmap>(info->hbmColor) : nullptr;
  if (!mask || (info->hbmColor && !colour)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto icon = std::make_shared<Icon>();
  icon->mask = mask->surface->Clone();
  icon->colour = colour ? colour->surface->Clone() : nullptr;
  if (!icon->mask || (colour && !icon->colour)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  icon->width = colour ? colour->surface->width : mask->surface->width;
  icon->height = colour ? colour->surface->height : mask->surface->height / 2;
  if (icon->height <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return As<HICON>(AddObject(icon));
}

extern "C" BOOL DestroyIcon(HICON handle) {
  ZB_GDI_LOCK;
  if (!Find<Icon>(handle)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  RemoveObject(handle);
  return TRUE;
}

extern "C" BOOL DrawIconEx(HDC hdc, int x, int y, HICON handle, int width, int height, UINT step, HBRUSH flickerFree,
                           UINT flags) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  auto icon = Find<Icon>(handle);
  if (!dc || !icon) {
    if (dc) SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (width <= 0) width = icon->width;
  if (height <= 0) height = icon->height;
  const POINT at = dc->ToTarget(x, y);
  if (auto brush = Find<Brush>(flickerFree)) {
    FillTargetRect(*dc, RECT{at.x, at.y, at.x + width, at.y + height}, Paint::FromBrush(*dc, *brush), 0xF0);
  }
  // Monochrome parts draw black and white, whatever colours the DC has.
  const COLORREF text = dc->state.textColour, bk = dc->state.bkColour;
  dc->state.textColour = RGB(0, 0, 0);
  dc->state.bkColour = RGB(255, 255, 255);
  auto draw = [&](const Surface& s, int top, uint8_t rop) {
    BlitSource source;
    source.surface = &s;
    source.y = top;
    source.width = icon->width;
    source.height = icon->height;
    Blit(*dc, at.x, at.y, width, height, &source, nullptr, rop);
  };
  if (flags & DI_MASK) draw(*icon->mask, 0, 0x88);  // SRCAND
  if (flags & DI_IMAGE) {
    const uint8_t rop = (flags & DI_MASK) ? 0x66 : 0xCC;  // XOR over the mask, or a plain copy
    if (icon->colour) draw(*icon->colour, 0, rop);
    else draw(*icon->mask, icon->height, rop);
  }
  dc->state.textColour = text;
  dc->state.bkColour = bk;
  return TRUE;
}
