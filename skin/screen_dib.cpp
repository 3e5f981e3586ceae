// Screen-format DIB sections: bitmaps the skin can both blit to the screen without conversion
// and reach pixel by pixel (for shrinking and tinting), and resizing through them.
#include <cstring>
#include <vector>

#include "skin/bitmap_helpers.h"

HBITMAP CreateScreenDib(HDC dc, int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  HBITMAP probe = CreateCompatibleBitmap(dc, 1, 1);
  if (!probe) return nullptr;
  DIBSECTION model{};
  const int got = GetObjectW(probe, sizeof model, &model);
  DeleteObject(probe);
  if (got < static_cast<int>(sizeof(BITMAP))) return nullptr;
  const int bits = model.dsBm.bmBitsPixel;

  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info{};
  info.header = {sizeof(BITMAPINFOHEADER), width, -height, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0, 0, 0};
  if (bits == 16) {
    // The screen's own channel layout; 5-6-5 when the model does not tell.
    DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    if (got >= static_cast<int>(sizeof(DIBSECTION)) && model.dsBitfields[0]) std::memcpy(masks, model.dsBitfields, sizeof masks);
    info.header.biCompression = BI_BITFIELDS;
    std::memcpy(info.colours, masks, sizeof masks);
  } else if (bits >= 2 && bits <= 8) {
    const int n = 1 << bits;
    std::vector<PALETTEENTRY> system(n);
    if (GetSystemPaletteEntries(dc, 0, n, system.data()) == static_cast<UINT>(n)) {
      for (int i = 0; i < n; ++i) info.colours[i] = RGBQUAD{system[i].peBlue, system[i].peGreen, system[i].peRed, 0};
    } else {
      for (int i = 0; i < n; ++i) {
        const BYTE v = static_cast<BYTE>(i * 255 / (n - 1));
        info.colours[i] = RGBQUAD{v, v, v, 0};
      }
    }
    info.header.biClrUsed = n;
  }
  return CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, nullptr, nullptr, 0);
}

HBITMAP ResizeBitmap(int mode, HWND window, HBITMAP bitmap, int width, int height) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) return bitmap;
  const int oldHeight = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  if (bm.bmWidth == width && oldHeight == height) return bitmap;
  HDC screen = GetDC(window);
  HBITMAP resized = CreateScreenDib(screen, width, height);
  HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
  if (resized && from && to) {
    HGDIOBJ oldFrom = SelectObject(from, bitmap), oldTo = SelectObject(to, resized);
    StretchSmooth(mode, to, 0, 0, width, height, from, 0, 0, bm.bmWidth, oldHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
  }
  if (from) DeleteDC(from);
  if (to) DeleteDC(to);
  ReleaseDC(window, screen);
  if (!resized || !from || !to) {
    if (resized) DeleteObject(resized);
    return bitmap;
  }
  DeleteObject(bitmap);
  return resized;
}
