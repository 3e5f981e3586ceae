// A surface: the pixels of a bitmap in one of the device-independent layouts (1, 2, 4, 8, 16,
// 24 or 32 bits), with its colour table or channel masks. Raster operations work on native pixel
// values; colours cross between layouts through COLORREF.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>
#include <windows.h>

namespace zb::gdi {

struct Channel {
  uint32_t mask = 0;
  int shift = 0;  // of the channel's lowest bit
  int bits = 0;
};

class Surface {
 public:
  // Masks are used for 16 and 32 bits (null: 5-5-5 and 8-8-8); colours for 8 bits and fewer
  // (empty: a grey ramp). A mono surface is a monochrome device bitmap: its 0 and 1 take the
  // text and background colours when copied into colour. Null when the size is out of range.
  static std::shared_ptr<Surface> Create(int width, int height, int bpp, bool topDown,
                                         const uint32_t* masks = nullptr, std::vector<RGBQUAD> colours = {},
                                         bool mono = false);
  // The same over pixels kept elsewhere (the shared screen): `bits` holds StrideFor(width, bpp)
  // bytes a row, and `owner` keeps them alive as long as the surface.
  static std::shared_ptr<Surface> CreateOver(uint8_t* bits, std::shared_ptr<void> owner, int width, int height,
                                             int bpp, const uint32_t* masks, std::vector<RGBQUAD> colours = {});
  // Bytes per row of a surface of that width and depth: whole 32-bit words.
  static size_t StrideFor(int width, int bpp) { return ((static_cast<size_t>(width) * bpp + 31) / 32) * 4; }

  int width = 0;
  int height = 0;
  int bpp = 0;
  int stride = 0;  // bytes per row, a multiple of 4
  bool topDown = true;
  bool mono = false;
  uint8_t* bits = nullptr;

  uint8_t* Row(int y) { return bits + static_cast<size_t>(topDown ? y : height - 1 - y) * stride; }
  const uint8_t* Row(int y) const { return bits + static_cast<size_t>(topDown ? y : height - 1 - y) * stride; }
  size_t SizeBytes() const { return static_cast<size_t>(stride) * height; }

  std::shared_ptr<Surface> Clone() const;

  uint32_t Get(int x, int y) const;
  void Set(int x, int y, uint32_t value);
  // n native values of row y from column x on; the caller keeps the span inside the surface.
  void ReadRow(int y, int x, int n, uint32_t* out) const;
  void WriteRow(int y, int x, int n, const uint32_t* in);

  COLORREF ToRgb(uint32_t value) const;
  uint32_t FromRgb(COLORREF colour) const;  // exact where the layout allows, else nearest
  uint32_t ValueMask() const { return bpp >= 32 ? 0xFFFFFFFFu : (1u << bpp) - 1; }
  bool Palettized() const { return bpp <= 8; }
  bool SameLayout(const Surface& other) const;

  const std::vector<RGBQUAD>& Colours() const { return colours_; }
  void SetColours(std::vector<RGBQUAD> colours);
  const Channel& Red() const { return channel_[0]; }
  const Channel& Green() const { return channel_[1]; }
  const Channel& Blue() const { return channel_[2]; }

 private:
  uint32_t Nearest(COLORREF colour) const;
  static std::shared_ptr<Surface> Layout(int width, int height, int bpp, bool topDown, const uint32_t* masks,
                                         std::vector<RGBQUAD> colours, bool mono);

  std::vector<uint8_t> storage_;
  std::shared_ptr<void> owner_;
  std::vector<RGBQUAD> colours_;
  Channel channel_[3];
  mutable std::vector<int16_t> nearest_;  // 5-5-5 colour -> index cache for palettized layouts
};

// The 5-6-5 masks of the screen and of BI_BITFIELDS 16-bit sections.
inline constexpr uint32_t kMasks565[3] = {0xF800, 0x07E0, 0x001F};
inline constexpr uint32_t kMasks555[3] = {0x7C00, 0x03E0, 0x001F};
inline constexpr uint32_t kMasks888[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};

}  // namespace zb::gdi
