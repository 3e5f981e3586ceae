// Low-level bitmap services of the skin engine and other windows: screen-format DIB sections,
// the smooth shrink used when a skin is scaled, HLS tinting of colours and whole bitmaps, and
// drawing off-screen into a copy of a DC's rectangle.
#pragma once
#include <windows.h>

// A DIB section of w x h in the format of the DC's bitmaps (a system-palette table, or a grey
// ramp, for 8 bits and fewer).
HBITMAP CreateScreenDib(HDC dc, int width, int height);

// The bitmap itself when it has that size already; otherwise a new screen DIB with the old one
// stretched into it, and the old one deleted. On failure the old bitmap comes back untouched.
HBITMAP ResizeBitmap(int mode, HWND window, HBITMAP bitmap, int width, int height);

// As StretchBlt; with SRCCOPY and a non-zero mode, a shrink between DIB sections of 16 or 24 bits
// averages the source pixels each destination pixel covers.
BOOL StretchSmooth(int mode, HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop);

// Turns the hue by hueDegrees and moves the saturation byte (0-255) by saturationDelta. Greys
// (saturation byte below 12) stay as they are.
COLORREF AdjustColour(COLORREF colour, int hueDegrees, int saturationDelta);
// The same for every pixel of a DIB section of more than 8 bits, in place; returns the bitmap.
HBITMAP AdjustBitmapColours(HBITMAP bitmap, int hueDegrees, int saturationDelta);

// What BeginOffscreen swapped, for EndOffscreen to put back.
struct OffscreenState {
  HDC target = nullptr;
  HDC memory = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previousBitmap = nullptr;
  RECT rect{};
  HGDIOBJ font = nullptr, pen = nullptr, brush = nullptr;
};

// A memory DC holding a copy of `rect` of dc, in dc's coordinates and with its font, pen, brush,
// colours and modes; dc itself for an empty rectangle (or when no copy can be made).
HDC BeginOffscreen(HDC dc, const RECT* rect, OffscreenState* state);
// Copies the rectangle back to the target and puts everything back.
void EndOffscreen(HDC result, OffscreenState* state);
