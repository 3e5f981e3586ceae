// The GDI's entries for the rest of the layer: the screen's mode and pixels, display DCs for
// the window room, and a PNG copy of the screen for tests and tools.
#pragma once
#include <filesystem>
#include <memory>
#include <windows.h>

namespace zb::gdi {

struct ScreenMode {
  int width = 240;
  int height = 320;
  int bpp = 16;  // 16 is 5-6-5; 8 and below take the system palette
  int dpi = 96;
};

// The screen of the current device: its profile's mode, or the default 240x320 5-6-5 at 96 dpi.
ScreenMode CurrentScreenMode();
// Gives this device a screen of another mode, cleared to black, until the device (or its
// profile) changes. For tests and tools; returns false for a mode the screen cannot have.
bool SetScreenMode(const ScreenMode& mode);

// A DC on the screen whose (0, 0) lies at origin and which never draws outside clip (screen
// coordinates). Freed with ReleaseDC. GetDC(NULL) is this with the whole screen.
HDC CreateDisplayDC(POINT origin, const RECT& clip);

// Lays an image of straight-alpha RGBA pixels (4 bytes each, rows top-down) onto a DC at the
// logical point (x, y), blended with what is there and inside the DC's clip. For decoders.
bool DrawRgba(HDC hdc, int x, int y, int width, int height, const uint8_t* rgba);

// The screen's pixels as 0x00RRGGBB, for tests that read what was drawn.
COLORREF ScreenPixel(int x, int y);

// Writes the screen as a 24-bit PNG. False when the file cannot be written.
bool SaveScreenPng(const std::filesystem::path& path);

}  // namespace zb::gdi
