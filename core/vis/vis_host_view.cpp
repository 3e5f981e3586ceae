// The built-in view's surface (a DIB section twice as high as the small area: the frame above,
// the skin's background below) and the frame that goes from it into the small area.
#include <cstring>

#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "core/vis/vis_host.h"

namespace {

constexpr int kUiCommandSkinBackground = 17;
constexpr int kUiCommandPaintBackground = 18;

// The built-in spectrum's levels live as long as the process.
VisSpectrumState g_spectrum;

}  // namespace

void CVisHost::DropSurface() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  surface_ = VisSurface();
}

bool CVisHost::PrepareSurface() {
  DropSurface();
  const int width = smallRect_.right - smallRect_.left, height = smallRect_.bottom - smallRect_.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -2 * height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!bitmap_ || !bits) {
    DropSurface();
    return false;
  }
  DIBSECTION section = {};
  GetObjectW(bitmap_, sizeof section, &section);
  surface_.bits = static_cast<BYTE*>(bits);
  surface_.stride = section.dsBm.bmWidthBytes;
  surface_.width = section.dsBm.bmWidth;
  surface_.height = (section.dsBm.bmHeight < 0 ? -section.dsBm.bmHeight : section.dsBm.bmHeight) / 2;
  if (core_ && core_->SendUiCommand(kUiCommandSkinBackground, nullptr)) {
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap_);
    core_->SendUiCommand(kUiCommandPaintBackground, memory);
    BitBlt(memory, 0, surface_.height, surface_.width, surface_.height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  return true;
}

void CVisHost::DrawBuiltInView(HWND window, int byteCount, const signed char* samples, int) {
  if ((module_ && !IsOverlay()) || hidden_ || !bitmap_ || mode_ == 0 || byteCount < 1024) return;
  CSettings* settings = GetSettings();
  HDC screen = window ? GetDC(window) : nullptr;
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap_);
  const VisSurface& s = surface_;
  if (core_ && core_->SendUiCommand(kUiCommandSkinBackground, nullptr)) {
    BitBlt(memory, 0, 0, s.width, s.height, memory, 0, s.height, SRCCOPY);
  } else {
    PaintVisDots(s, colours_);
  }
  if (mode_ == 1) DrawVisOscilloscope(s, samples, colours_, settings ? settings->visOscilloMode : -1);
  if (mode_ == 2)
    DrawVisSpectrum(s, samples, byteCount, colours_, visSpeed_, settings ? static_cast<int>(settings->visSpectrumMode) : 0,
                    g_spectrum);
  // The album-art view (mode 3) draws nothing here.
  if ((mode_ == 1 || mode_ == 2) && screen) {
    const int w = smallRect_.right - smallRect_.left, h = smallRect_.bottom - smallRect_.top;
    if (w == s.width && h == s.height) {
      BitBlt(screen, smallRect_.left, smallRect_.top, w, h, memory, 0, 0, SRCCOPY);
    } else {
      StretchBlt(screen, smallRect_.left, smallRect_.top, w, h, memory, 0, 0, s.width, s.height, SRCCOPY);
    }
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  if (screen) ReleaseDC(window, screen);
}
