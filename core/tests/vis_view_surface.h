// A DIB section of a given size seen as the built-in view's surface, with a distinct colour per
// table entry, so a test reads back which entry each pixel took.
#pragma once
#include <windows.h>

#include "core/interface/vis_module.h"
#include "core/vis/vis_draw.h"

namespace zb::testing {

class ViewSurface {
 public:
  ViewSurface(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    DIBSECTION section = {};
    GetObjectW(bitmap_, sizeof section, &section);
    surface.bits = static_cast<BYTE*>(bits);
    surface.stride = section.dsBm.bmWidthBytes;
    surface.width = width;
    surface.height = height;
    for (int i = 0; i < VIS_COLOURS; ++i) colours[i] = static_cast<COLORREF>(0x010203 * (i + 1));
  }
  ~ViewSurface() { DeleteObject(bitmap_); }
  ViewSurface(const ViewSurface&) = delete;
  ViewSurface& operator=(const ViewSurface&) = delete;

  // The colour entry at (x, y), -1 for a colour outside the table.
  int Entry(int x, int y) const {
    const COLORREF c = surface.Get(x, y);
    for (int i = 0; i < VIS_COLOURS; ++i)
      if (colours[i] == c) return i;
    return -1;
  }
  void Fill(int entry) {
    for (int y = 0; y < surface.height; ++y)
      for (int x = 0; x < surface.width; ++x) surface.Put(x, y, colours[entry]);
  }

  VisSurface surface;
  COLORREF colours[VIS_COLOURS] = {};

 private:
  HBITMAP bitmap_ = nullptr;
};

}  // namespace zb::testing
