// Test support for the skin engine: a fresh device per test, files written into it, and pixels
// read back from bitmaps through a DC of their own.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "testing/test_device.h"

namespace zb::testing {

class SkinTest : public ::testing::Test {
 public:
  // Writes bytes to the device file "\<name>" and returns its device path.
  std::u16string PutFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(device_.Host(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return u"\\" + std::u16string(name.begin(), name.end());
  }

 protected:
  TestDevice device_;
};

// The colour of pixel (x, y) of a bitmap (y counted from the top), as GetPixel gives it.
inline COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

inline SIZE SizeOf(HBITMAP bitmap) {
  BITMAP bm{};
  GetObjectW(bitmap, sizeof bm, &bm);
  return SIZE{bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
}

inline int DepthOf(HBITMAP bitmap) {
  BITMAP bm{};
  GetObjectW(bitmap, sizeof bm, &bm);
  return bm.bmBitsPixel;
}

}  // namespace zb::testing
