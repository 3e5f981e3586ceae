// The blit engine under BitBlt, StretchBlt, PatBlt, MaskBlt, TransparentImage and every fill:
// source pixels are sampled, converted into the destination's layout, combined with the pattern
// and the destination by a ROP3 (or a ROP4 through a mask), and written inside the DC's clip.
#pragma once
#include <optional>
#include <vector>

#include "gwes/gdi_dc.h"

namespace zb::gdi {

// The pattern of a fill, in the destination's layout, anchored at a point of the target.
class Paint {
 public:
  static Paint FromBrush(const DeviceContext& dc, const Brush& brush);
  static Paint Solid(const DeviceContext& dc, COLORREF colour);
  bool None() const { return none_; }
  void Row(int x, int y, int n, uint32_t* out) const;

 private:
  bool none_ = false;
  uint32_t solid_ = 0;
  std::vector<uint32_t> pattern_;
  int width_ = 0, height_ = 0, orgX_ = 0, orgY_ = 0;
};

// Turns source pixel values into destination values: monochrome into the destination DC's text
// and background colours, colour into monochrome by the source DC's background colour, and
// colour into colour through RGB.
class Converter {
 public:
  Converter(const Surface& src, const Surface& dst, COLORREF srcBk, COLORREF dstText, COLORREF dstBk);
  bool Identity() const { return kind_ == Kind::kSame; }
  void Row(const uint32_t* in, uint32_t* out, int n) const;

 private:
  enum class Kind { kSame, kTable, kToMono, kRgb } kind_;
  const Surface& src_;
  const Surface& dst_;
  std::vector<uint32_t> table_;
  uint32_t key_ = 0;
};

struct BlitSource {
  const Surface* surface = nullptr;
  int x = 0, y = 0, width = 0, height = 0;  // target coordinates of the source; negative sizes mirror
  COLORREF bkColour = RGB(255, 255, 255);     // of the source DC
  std::optional<COLORREF> transparent;        // source pixels of this colour are not drawn
};

struct BlitMask {
  const Surface* surface = nullptr;  // one bit per pixel: 1 takes the foreground ROP
  int x = 0, y = 0;
  uint8_t backRop = 0xAA;
};

// Draws into (x, y, width, height) of dc's target (target coordinates; negative sizes extend
// left or up from x, y). Without a source the ROP must not use one.
void Blit(DeviceContext& dc, int x, int y, int width, int height, const BlitSource* source, const Paint* paint,
          uint8_t rop, const BlitMask* mask = nullptr);

// Fills target rectangles (or one) with a paint through a ROP, inside the DC's clip.
void FillTargetRects(DeviceContext& dc, const std::vector<RECT>& rects, const Paint& paint, uint8_t rop);
void FillTargetRect(DeviceContext& dc, const RECT& rect, const Paint& paint, uint8_t rop);

}  // namespace zb::gdi
