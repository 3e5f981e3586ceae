// The device screen: a bitmap of the device's size and depth that display DCs draw into. With
// no display attached it is only read by tests and saved as PNG.
#include "gwes/gdi_screen.h"

#include <png.h>

#include <vector>

#include "device/device.h"
#include "device/profile.h"
#include "gwes/gdi_dc.h"
#include "gwes/gdi_palette.h"

namespace zb::gdi {
namespace {

struct Screen {
  unsigned generation = 0;
  ScreenMode mode;
  std::shared_ptr<Bitmap> bitmap;
};

Screen& State() {
  static Screen* screen = new Screen;
  return *screen;
}

bool ValidMode(const ScreenMode& m) {
  const bool depth = m.bpp == 1 || m.bpp == 2 || m.bpp == 4 || m.bpp == 8 || m.bpp == 16 || m.bpp == 24 || m.bpp == 32;
  return depth && m.width > 0 && m.height > 0 && m.width <= 4096 && m.height <= 4096 && m.dpi > 0 && m.dpi <= 1000;
}

// The screen the device profile describes; what the screen cannot have falls back to the default.
ScreenMode ProfileMode() {
  auto profile = device::CurrentProfile();
  if (!profile) return ScreenMode{};
  ScreenMode m{static_cast<int>(profile->screenWidth), static_cast<int>(profile->screenHeight),
               static_cast<int>(profile->colorDepth), static_cast<int>(profile->dpi)};
  return ValidMode(m) ? m : ScreenMode{};
}

std::shared_ptr<Bitmap> MakeScreen(const ScreenMode& m) {
  std::vector<RGBQUAD> colours;
  if (m.bpp == 8) colours = SystemPaletteColours();
  auto surface = Surface::Create(m.width, m.height, m.bpp, true, m.bpp == 16 ? kMasks565 : nullptr, colours);
  auto bitmap = std::make_shared<Bitmap>(surface, false);
  bitmap->stock = true;
  AddObject(bitmap);
  return bitmap;
}

Screen& Current() {
  Screen& s = State();
  unsigned generation = device::Generation();
  if (!s.bitmap || s.generation != generation) {
    ResetSystemPalette();
    s.generation = generation;
    s.mode = ProfileMode();
    if (s.bitmap) RemoveObject(s.bitmap->handle);
    s.bitmap = MakeScreen(s.mode);
  }
  return s;
}

}  // namespace

ScreenMode CurrentScreenMode() {
  ZB_GDI_LOCK;
  return Current().mode;
}

bool SetScreenMode(const ScreenMode& mode) {
  if (!ValidMode(mode)) return false;
  ZB_GDI_LOCK;
  Screen& s = Current();
  ResetSystemPalette();
  RemoveObject(s.bitmap->handle);
  s.mode = mode;
  s.bitmap = MakeScreen(mode);
  return true;
}

std::shared_ptr<Bitmap> ScreenBitmap() {
  ZB_GDI_LOCK;
  return Current().bitmap;
}

int ScreenDpi() {
  ZB_GDI_LOCK;
  return Current().mode.dpi;
}

HDC CreateDisplayDC(POINT origin, const RECT& clip) {
  ZB_GDI_LOCK;
  auto dc = std::make_shared<DeviceContext>();
  dc->memory = false;
  dc->origin = origin;
  dc->state.bitmap = ScreenBitmap();
  const Surface& s = *dc->state.bitmap->surface;
  IntersectRects(dc->systemClip, clip, RECT{0, 0, s.width, s.height});
  return AddDc(dc);
}

COLORREF ScreenPixel(int x, int y) {
  ZB_GDI_LOCK;
  const Surface& s = *ScreenBitmap()->surface;
  if (x < 0 || y < 0 || x >= s.width || y >= s.height) return CLR_INVALID;
  return s.ToRgb(s.Get(x, y));
}

bool SaveScreenPng(const std::filesystem::path& path) {
  std::vector<uint8_t> rgb;
  png_image image{};
  {
    ZB_GDI_LOCK;
    const Surface& s = *ScreenBitmap()->surface;
    rgb.resize(static_cast<size_t>(s.width) * s.height * 3);
    std::vector<uint32_t> row(s.width);
    for (int y = 0; y < s.height; ++y) {
      s.ReadRow(y, 0, s.width, row.data());
      uint8_t* out = rgb.data() + static_cast<size_t>(y) * s.width * 3;
      for (int x = 0; x < s.width; ++x) {
        COLORREF c = s.ToRgb(row[x]);
        out[3 * x] = GetRValue(c);
        out[3 * x + 1] = GetGValue(c);
        out[3 * x + 2] = GetBValue(c);
      }
    }
    image.width = s.width;
    image.height = s.height;
  }
  image.version = PNG_IMAGE_VERSION;
  image.format = PNG_FORMAT_RGB;
  bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

}  // namespace zb::gdi

using namespace zb::gdi;

extern "C" int ReleaseDC(HWND window, HDC hdc) {
  ZB_GDI_LOCK;
  auto dc = Find<DeviceContext>(hdc);
  if (!dc || dc->memory) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  DropDc(hdc);
  return 1;
}
