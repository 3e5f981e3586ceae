// The device screen: a bitmap of the device's size and depth that display DCs draw into. Its
// pixels live in the device's shared screen, so every process on the device draws on the same
// screen and the presenter and zbdev read it from outside.
#include "gwes/gdi_screen.h"

#include <cstdlib>

#include "device/device.h"
#include "device/profile.h"
#include "gwes/gdi_dc.h"
#include "gwes/gdi_palette.h"
#include "gwes/screen_picture.h"
#include "gwes/shared_screen.h"

namespace zb::gdi {
namespace {

struct Screen {
  unsigned generation = 0;
  ScreenMode profile;
  ScreenMode mode;
  std::shared_ptr<screen::SharedScreen> shared;
  std::shared_ptr<Bitmap> bitmap;
  bool drawn = false;  // since the last announcement
};

Screen& State() {
  static Screen* screen = new Screen;
  return *screen;
}

// The screen the device profile describes; what the screen cannot have falls back to the default.
ScreenMode ProfileMode() {
  auto profile = device::CurrentProfile();
  if (!profile) return ScreenMode{};
  ScreenMode m{static_cast<int>(profile->screenWidth), static_cast<int>(profile->screenHeight),
               static_cast<int>(profile->colorDepth), static_cast<int>(profile->dpi)};
  return screen::ValidMode(m) ? m : ScreenMode{};
}

bool SameMode(const ScreenMode& a, const ScreenMode& b) {
  return a.width == b.width && a.height == b.height && a.bpp == b.bpp && a.dpi == b.dpi;
}

// Draws from now on on `attached`; DCs made earlier keep the bitmap they have.
void Adopt(Screen& s, screen::Attached attached) {
  if (!attached.pixels) {
    device::DebugLog("gwes: no memory for the screen\r\n");
    std::abort();
  }
  if (!SameMode(attached.mode, s.mode)) ResetSystemPalette();
  if (s.bitmap) RemoveObject(s.bitmap->handle);
  if (attached.mode.bpp == 8) attached.pixels->SetColours(SystemPaletteColours());
  s.shared = std::move(attached.screen);
  s.mode = attached.mode;
  s.bitmap = std::make_shared<Bitmap>(std::move(attached.pixels), false);
  s.bitmap->stock = true;
  AddObject(s.bitmap);
}

Screen& Current() {
  Screen& s = State();
  const unsigned generation = device::Generation();
  if (!s.bitmap || s.generation != generation) {
    s.generation = generation;
    s.profile = ProfileMode();
    ResetSystemPalette();
    Adopt(s, screen::SharedScreen::Attach(s.profile));
  } else if (s.shared->Stale()) {
    Adopt(s, screen::SharedScreen::Attach(s.profile));  // another process changed the mode
  }
  return s;
}

}  // namespace

void MarkScreenDrawn() { State().drawn = true; }

void PublishScreenDrawing() {
  Screen& s = State();
  if (!s.shared) return;
  s.shared->Publish(*s.bitmap->surface, s.drawn);
  s.drawn = false;
}

ScreenMode CurrentScreenMode() {
  ZB_GDI_LOCK;
  return Current().mode;
}

bool SetScreenMode(const ScreenMode& mode) {
  if (!screen::ValidMode(mode)) return false;
  ZB_GDI_LOCK;
  Screen& s = Current();
  ResetSystemPalette();
  Adopt(s, screen::SharedScreen::Resize(mode, s.profile));
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
  screen::Picture picture;
  {
    ZB_GDI_LOCK;
    picture = screen::PictureOf(*ScreenBitmap()->surface);
  }
  return screen::WritePng(picture, path);
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
