// Making bitmaps: monochrome and device bitmaps, bitmaps compatible with a DC, and DIB sections
// in every depth from their BITMAPINFO; and what GetObjectW reports about them.
#include "gwes/gdi_bitmap.h"

#include <cstring>

#include "gwes/gdi_dc.h"
#include "gwes/gdi_screen.h"

namespace zb::gdi {

int Bitmap::Describe(int size, void* buffer) const {
  const Surface& s = *surface;
  BITMAP bm{0, s.width, s.height, s.stride, 1, static_cast<WORD>(s.bpp), dib ? s.bits : nullptr};
  const bool full = dib && size >= static_cast<int>(sizeof(DIBSECTION));
  if (!buffer) return dib ? sizeof(DIBSECTION) : sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  if (!full) {
    std::memcpy(buffer, &bm, sizeof bm);
    return sizeof bm;
  }
  DIBSECTION ds{};
  ds.dsBm = bm;
  BITMAPINFOHEADER& h = ds.dsBmih;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = s.width;
  h.biHeight = s.topDown ? -s.height : s.height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(s.bpp);
  h.biCompression = compression;
  h.biSizeImage = static_cast<DWORD>(s.SizeBytes());
  h.biClrUsed = s.Palettized() ? (1u << s.bpp) : 0;
  if (s.bpp == 16 || s.bpp == 32) {
    ds.dsBitfields[0] = s.Red().mask;
    ds.dsBitfields[1] = s.Green().mask;
    ds.dsBitfields[2] = s.Blue().mask;
  }
  std::memcpy(buffer, &ds, sizeof ds);
  return sizeof ds;
}

HBITMAP AddBitmap(std::shared_ptr<Surface> surface, bool dibSection, DWORD compression) {
  if (!surface) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto bitmap = std::make_shared<Bitmap>(std::move(surface), dibSection);
  bitmap->compression = compression;
  return As<HBITMAP>(AddObject(bitmap));
}

}  // namespace zb::gdi

using namespace zb::gdi;

namespace {

bool ValidDepth(int bpp) { return bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32; }

// A device bitmap of the given depth in the screen's layouts.
std::shared_ptr<Surface> DeviceSurface(int width, int height, int bpp) {
  if (bpp == 1) return Surface::Create(width, height, 1, true, nullptr, {}, true);
  if (bpp == 8) return Surface::Create(width, height, 8, true, nullptr, SystemPaletteColours());
  return Surface::Create(width, height, bpp, true, bpp == 16 ? kMasks565 : nullptr);
}

}  // namespace

extern "C" HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (width < 0 || height < 0 || planes != 1 || !ValidDepth(static_cast<int>(bitsPerPixel))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  ZB_GDI_LOCK;
  if (width == 0 || height == 0) return As<HBITMAP>(DefaultMemoryBitmap()->handle);
  auto surface = DeviceSurface(width, height, static_cast<int>(bitsPerPixel));
  if (surface && bits) {
    // The caller's rows are padded to 16 bits.
    const size_t rowBytes = ((static_cast<size_t>(width) * bitsPerPixel + 15) / 16) * 2;
    const size_t used = (static_cast<size_t>(width) * bitsPerPixel + 7) / 8;
    for (int y = 0; y < height; ++y)
      std::memcpy(surface->Row(y), static_cast<const uint8_t*>(bits) + rowBytes * y, used);
  }
  return AddBitmap(surface, false);
}

extern "C" HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return nullptr;
  if (width < 0 || height < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (width == 0 || height == 0) return As<HBITMAP>(DefaultMemoryBitmap()->handle);
  // The layout of what the DC draws into: a memory DC's own bitmap (so a fresh memory DC gives
  // a monochrome bitmap), or the screen.
  const Bitmap& model = *dc->state.bitmap;
  const Surface& m = *model.surface;
  const uint32_t masks[3] = {m.Red().mask, m.Green().mask, m.Blue().mask};
  auto surface = Surface::Create(width, height, m.bpp, true, masks, m.Colours(), m.mono);
  return AddBitmap(surface, model.dib, model.compression);
}

extern "C" HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                   DWORD offset) {
  if (bits) *bits = nullptr;
  if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || section ||
      (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int bpp = h.biBitCount;
  const bool bitfields = h.biCompression == BI_BITFIELDS;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN || h.biPlanes != 1 || !ValidDepth(bpp) ||
      (h.biCompression != BI_RGB && !bitfields) || (bitfields && bpp != 16 && bpp != 32)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  ZB_GDI_LOCK;
  std::shared_ptr<DeviceContext> dc;
  if (usage == DIB_PAL_COLORS && !(dc = FindDc(hdc))) return nullptr;

  const uint8_t* table = reinterpret_cast<const uint8_t*>(info) + h.biSize;
  std::vector<RGBQUAD> colours;
  uint32_t masks[3] = {0, 0, 0};
  if (bpp <= 8) {
    const DWORD count = h.biClrUsed && h.biClrUsed < (1u << bpp) ? h.biClrUsed : (1u << bpp);
    colours.resize(count);
    for (DWORD i = 0; i < count; ++i) {
      if (usage == DIB_RGB_COLORS) {
        std::memcpy(&colours[i], table + 4 * i, sizeof(RGBQUAD));
        colours[i].rgbReserved = 0;
      } else {
        WORD index;
        std::memcpy(&index, table + 2 * i, sizeof index);
        COLORREF c = dc->Resolve(PALETTEINDEX(index));
        colours[i] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
      }
    }
  } else if (bitfields) {
    std::memcpy(masks, table, sizeof masks);
    if ((masks[0] & masks[1]) || (masks[1] & masks[2]) || (masks[0] & masks[2]) || !masks[0] || !masks[1] || !masks[2] ||
        (bpp == 16 && ((masks[0] | masks[1] | masks[2]) >> 16))) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
  }
  auto surface = Surface::Create(h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight, bpp, h.biHeight < 0,
                                 bitfields ? masks : nullptr, std::move(colours));
  HBITMAP bitmap = AddBitmap(surface, true, bitfields ? BI_BITFIELDS : BI_RGB);
  if (bitmap && bits) *bits = surface->bits;
  return bitmap;
}
