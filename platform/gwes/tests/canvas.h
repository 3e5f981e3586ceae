// Test support: a DIB section of a chosen depth selected into its own memory DC, with its
// pixels read and written straight through the section's bits, so checks never go through the
// code they test.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "testing/test_device.h"

namespace zb::testing {

struct CanvasFormat {
  CanvasFormat(int bits = 16, bool isTopDown = true, bool is565 = false, std::vector<RGBQUAD> table = {})
      : bpp(bits), topDown(isTopDown), bitfields565(is565), colours(std::move(table)) {}
  int bpp;
  bool topDown;
  bool bitfields565;             // 16 bits: 5-6-5 through BI_BITFIELDS instead of 5-5-5
  std::vector<RGBQUAD> colours;  // tables for 8 bits and fewer (default: a grey ramp)
};

class Canvas {
 public:
  Canvas(int width, int height, CanvasFormat format = {}) : width_(width), height_(height), format_(format) {
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = format.topDown ? -height : height;
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(format.bpp);
    h->biCompression = format.bitfields565 ? BI_BITFIELDS : BI_RGB;
    auto* table = info.data() + sizeof(BITMAPINFOHEADER);
    if (format.bitfields565) {
      const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
      std::memcpy(table, masks, sizeof masks);
    } else if (format.bpp <= 8) {
      std::vector<RGBQUAD> colours = format.colours;
      const int n = 1 << format.bpp;
      if (colours.empty()) {
        for (int i = 0; i < n; ++i) {
          BYTE v = static_cast<BYTE>(i * 255 / (n - 1));
          colours.push_back(RGBQUAD{v, v, v, 0});
        }
      }
      h->biClrUsed = static_cast<DWORD>(colours.size());
      std::memcpy(table, colours.data(), colours.size() * sizeof(RGBQUAD));
    }
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits_, nullptr, 0);
    EXPECT_NE(bitmap, nullptr);
    old_ = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, old_);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int Stride() const { return ((width_ * format_.bpp + 31) / 32) * 4; }
  uint8_t* RowBytes(int y) const {
    return static_cast<uint8_t*>(bits_) + static_cast<size_t>(format_.topDown ? y : height_ - 1 - y) * Stride();
  }
  uint32_t Raw(int x, int y) const {
    const uint8_t* row = RowBytes(y);
    const int bpp = format_.bpp;
    if (bpp < 8) return (row[x * bpp / 8] >> (8 - bpp - (x * bpp) % 8)) & ((1u << bpp) - 1);
    uint32_t v = 0;
    std::memcpy(&v, row + x * (bpp / 8), bpp / 8);
    return v;
  }
  void SetRaw(int x, int y, uint32_t v) {
    uint8_t* row = RowBytes(y);
    const int bpp = format_.bpp;
    if (bpp < 8) {
      const int shift = 8 - bpp - (x * bpp) % 8;
      uint8_t& b = row[x * bpp / 8];
      b = static_cast<uint8_t>((b & ~(((1u << bpp) - 1) << shift)) | ((v & ((1u << bpp) - 1)) << shift));
      return;
    }
    std::memcpy(row + x * (bpp / 8), &v, bpp / 8);
  }
  void FillRaw(uint32_t v) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) SetRaw(x, y, v);
  }
  uint32_t ValueMask() const { return format_.bpp >= 32 ? 0xFFFFFFFFu : (1u << format_.bpp) - 1; }
  int width() const { return width_; }
  int height() const { return height_; }

  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;

 private:
  int width_, height_;
  CanvasFormat format_;
  void* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Every test gets a device of its own, so the screen and system palette start fresh.
class GdiTest : public ::testing::Test {
 protected:
  TestDevice device_;
};

}  // namespace zb::testing
