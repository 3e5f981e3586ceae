// The built-in view's drawing surface: the rows of a 24-bit top-down DIB section seen as plain
// memory, so a frame is drawn with integer stores and reaches the window with one blit.
#pragma once
#include <windows.h>

struct VisSurface {
  BYTE* bits = nullptr;
  int stride = 0;  // bytes per row
  int width = 0;
  int height = 0;  // rows of one frame (the bitmap holds twice as many)

  // Colours are red | green << 8 | blue << 16; the DIB stores blue, green, red.
  void Put(int x, int y, COLORREF colour) const {
    if (x < 0 || x >= width || y < 0 || y >= height) return;
    BYTE* p = bits + y * stride + 3 * x;
    p[0] = static_cast<BYTE>(colour >> 16);
    p[1] = static_cast<BYTE>(colour >> 8);
    p[2] = static_cast<BYTE>(colour);
  }
  COLORREF Get(int x, int y) const {
    const BYTE* p = bits + y * stride + 3 * x;
    return p[2] | p[1] << 8 | p[0] << 16;
  }
};
