// BitBlt, StretchBlt, PatBlt, MaskBlt and TransparentImage: coordinates from each DC's logical
// space into its target, then the blit engine.
#include "gwes/gdi_blit.h"
#include "gwes/gdi_rop.h"

using namespace zb::gdi;

namespace {

struct Copy {
  HDC dst;
  int x, y, width, height;
  HDC src;  // or, for TransparentImage, a bitmap
  int srcX, srcY, srcWidth, srcHeight;
  DWORD rop;
  HBITMAP mask = nullptr;
  int maskX = 0, maskY = 0;
  bool rop4 = false;
  std::optional<COLORREF> transparent = std::nullopt;
};

BOOL Run(const Copy& c) {
  ZB_GDI_LOCK;
  auto dst = FindDc(c.dst);
  if (!dst) return FALSE;
  const uint8_t fore = Rop3Index(c.rop);
  const uint8_t back = c.rop4 ? static_cast<uint8_t>(c.rop >> 24) : fore;
  const bool needSource = UsesSource(fore) || UsesSource(back) || c.transparent;

  BlitSource source;
  std::shared_ptr<Bitmap> srcBitmap;
  if (needSource) {
    if (auto srcDc = Find<DeviceContext>(c.src)) {
      srcBitmap = srcDc->state.bitmap;
      POINT at = srcDc->ToTarget(c.srcX, c.srcY);
      source.x = at.x;
      source.y = at.y;
      source.bkColour = srcDc->Resolve(srcDc->state.bkColour);
    } else if ((srcBitmap = Find<Bitmap>(c.src))) {
      source.x = c.srcX;
      source.y = c.srcY;
    } else {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    source.surface = srcBitmap->surface.get();
    source.width = c.srcWidth;
    source.height = c.srcHeight;
    source.transparent = c.transparent;
  }

  std::shared_ptr<Bitmap> maskBitmap;
  BlitMask mask;
  if (c.rop4 && c.mask) {
    maskBitmap = Find<Bitmap>(c.mask);
    if (!maskBitmap || maskBitmap->surface->bpp != 1) {
      SetLastError(ERROR_INVALID_PARAMETER);  // the mask must be monochrome
      return FALSE;
    }
    mask.surface = maskBitmap->surface.get();
    mask.x = c.maskX;
    mask.y = c.maskY;
    mask.backRop = back;
  }

  Paint paint = Paint::FromBrush(*dst, *dst->state.brush);
  POINT at = dst->ToTarget(c.x, c.y);
  Blit(*dst, at.x, at.y, c.width, c.height, needSource ? &source : nullptr, &paint, fore,
       mask.surface ? &mask : nullptr);
  return TRUE;
}

}  // namespace

extern "C" BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
  return Run(Copy{dst, x, y, width, height, src, srcX, srcY, width, height, rop});
}

extern "C" BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                           int srcHeight, DWORD rop) {
  return Run(Copy{dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, rop});
}

extern "C" BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
  if (UsesSource(Rop3Index(rop))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return Run(Copy{hdc, x, y, width, height, nullptr, 0, 0, 0, 0, rop});
}

extern "C" BOOL MaskBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, HBITMAP mask,
                        int maskX, int maskY, DWORD rop4) {
  Copy c{dst, x, y, width, height, src, srcX, srcY, width, height, rop4, mask, maskX, maskY, true};
  if (!mask) {
    c.rop4 = false;  // without a mask only the foreground operation applies
  }
  return Run(c);
}

extern "C" BOOL TransparentImage(HDC dst, int x, int y, int width, int height, HANDLE src, int srcX, int srcY,
                                 int srcWidth, int srcHeight, COLORREF transparent) {
  if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Copy c{dst, x, y, width, height, static_cast<HDC>(src), srcX, srcY, srcWidth, srcHeight, SRCCOPY};
  c.transparent = transparent & 0x00FFFFFF;
  return Run(c);
}
