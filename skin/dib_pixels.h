// Direct access to the pixels of a DIB section of 16, 24 or 32 bits, channel by channel in the
// section's own layout (5-5-5, 5-6-5 or any other bit fields), for the shrink and the tint.
#pragma once
#include <windows.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

namespace zb::skin {

struct DibChannel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  uint32_t Get(uint32_t pixel) const { return (pixel & mask) >> shift; }
  uint32_t Put(uint32_t value) const { return (value << shift) & mask; }
  // Widened to 0 ... 255 by repeating the top bits, and back.
  uint8_t ToByte(uint32_t value) const {
    if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
    uint32_t out = value << (8 - bits);
    for (int have = bits; have > 0 && have < 8; have += bits) out |= out >> bits;
    return static_cast<uint8_t>(out);
  }
  uint32_t FromByte(uint8_t value) const { return bits >= 8 ? uint32_t{value} << (bits - 8) : value >> (8 - bits); }
};

struct DibPixels {
  uint8_t* bits = nullptr;
  int width = 0, height = 0, stride = 0, bpp = 0;
  bool topDown = false;
  DibChannel channel[3];  // red, green, blue

  // The section's pixels, or nothing for a bitmap that is not a DIB section of 16, 24 or 32 bits.
  static std::optional<DibPixels> Of(HBITMAP bitmap) {
    DIBSECTION ds{};
    if (!bitmap || GetObjectW(bitmap, sizeof ds, &ds) != static_cast<int>(sizeof ds) || !ds.dsBm.bmBits) return std::nullopt;
    DibPixels p;
    p.bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
    p.width = ds.dsBm.bmWidth;
    p.height = ds.dsBm.bmHeight < 0 ? -ds.dsBm.bmHeight : ds.dsBm.bmHeight;
    p.stride = ds.dsBm.bmWidthBytes;
    p.bpp = ds.dsBm.bmBitsPixel;
    p.topDown = ds.dsBmih.biHeight < 0;
    if (p.bpp != 16 && p.bpp != 24 && p.bpp != 32) return std::nullopt;
    DWORD masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    if (p.bpp == 16) {
      masks[0] = 0x7C00;
      masks[1] = 0x03E0;
      masks[2] = 0x001F;
    }
    if (p.bpp != 24 && ds.dsBitfields[0] && ds.dsBitfields[1] && ds.dsBitfields[2])
      std::memcpy(masks, ds.dsBitfields, sizeof masks);
    for (int i = 0; i < 3; ++i) {
      p.channel[i].mask = masks[i];
      p.channel[i].shift = std::countr_zero(masks[i]);
      p.channel[i].bits = std::popcount(masks[i]);
    }
    return p;
  }

  // Row y of the picture, counted from the top.
  uint8_t* Row(int y) const { return bits + static_cast<size_t>(topDown ? y : height - 1 - y) * stride; }
  uint32_t Get(const uint8_t* row, int x) const {
    const int bytes = bpp / 8;
    uint32_t v = 0;
    std::memcpy(&v, row + static_cast<size_t>(x) * bytes, bytes);
    return v;
  }
  void Put(uint8_t* row, int x, uint32_t v) const { std::memcpy(row + static_cast<size_t>(x) * (bpp / 8), &v, bpp / 8); }
};

}  // namespace zb::skin
