// The user's skin tint: colours go to hue, lightness and saturation in 14-bit steps (a full
// turn of hue is 16384, one sixth 2730), the hue turns and the saturation moves, and they come
// back to RGB with rounding. Greys have no hue to turn and are left exactly as they are.
#include <algorithm>

#include "skin/bitmap_helpers.h"
#include "skin/dib_pixels.h"

using namespace zb::skin;

namespace {

constexpr int kFull = 16383, kHalf = 8191, kSixth = 2730, kThird = 5461, kTwoThirds = 10922, kTurn = 16384;

struct Hls {
  int lightness, saturation, hue;  // 0 ... 16383 each
};

Hls ToHls(int r, int g, int b) {
  const int hi = std::max({r, g, b}), lo = std::min({r, g, b});
  const int sum = hi + lo, diff = hi - lo;
  Hls out{(sum * kFull + 255) / 510, 0, 0};
  if (diff == 0) return out;
  const int base = out.lightness <= kHalf ? sum : 510 - sum;
  out.saturation = std::min(kFull, (diff * kFull + base / 2) / base);
  int hue;
  if (r == hi) {
    hue = (g - b) * kSixth / diff;
  } else if (g == hi) {
    hue = kThird + (b - r) * kSixth / diff;
  } else {
    hue = kTwoThirds + (r - g) * kSixth / diff;
  }
  out.hue = (hue % kTurn + kTurn) % kTurn;
  return out;
}

int HueToValue(int m1, int m2, int hue) {
  hue = (hue % kTurn + kTurn) % kTurn;
  if (hue < kSixth) return m1 + (m2 - m1) * hue / kSixth;
  if (hue < kTurn / 2) return m2;
  if (hue < kTwoThirds) return m1 + (m2 - m1) * (kTwoThirds - hue) / kSixth;
  return m1;
}

int ToByte(int v) { return (v * 255 + kHalf) / kFull; }

COLORREF FromHls(const Hls& c) {
  if (c.saturation == 0) {
    const int v = ToByte(c.lightness);
    return RGB(v, v, v);
  }
  const int l = c.lightness, s = c.saturation;
  const int m2 = l <= kHalf ? l * (kFull + s) / kFull : l + s - l * s / kFull;
  const int m1 = 2 * l - m2;
  return RGB(ToByte(HueToValue(m1, m2, c.hue + kThird)), ToByte(HueToValue(m1, m2, c.hue)),
             ToByte(HueToValue(m1, m2, c.hue - kThird)));
}

}  // namespace

COLORREF AdjustColour(COLORREF colour, int hueDegrees, int saturationDelta) {
  Hls hls = ToHls(GetRValue(colour), GetGValue(colour), GetBValue(colour));
  const int saturationByte = hls.saturation >> 6;
  if (saturationByte < 12) return colour;
  // The packed form keeps the hue in 16 bits; the turn is added there and wraps within it.
  const int64_t hue16 = (int64_t{hls.hue} << 2) + int64_t{hueDegrees} * 65535 / 360;
  hls.hue = static_cast<int>(((hue16 % 65536) + 65536) % 65536) >> 2;
  const int moved = std::clamp(saturationByte + saturationDelta, 0, 255);
  hls.saturation = moved * kFull / 255;
  return FromHls(hls);
}

HBITMAP AdjustBitmapColours(HBITMAP bitmap, int hueDegrees, int saturationDelta) {
  std::optional<DibPixels> p = DibPixels::Of(bitmap);
  if (!p) return bitmap;
  uint32_t lastIn = 0, lastOut = 0;
  bool cached = false;
  for (int y = 0; y < p->height; ++y) {
    uint8_t* row = p->Row(y);
    for (int x = 0; x < p->width; ++x) {
      const uint32_t pixel = p->Get(row, x);
      if (!cached || pixel != lastIn) {
        const COLORREF in = RGB(p->channel[0].ToByte(p->channel[0].Get(pixel)), p->channel[1].ToByte(p->channel[1].Get(pixel)),
                                p->channel[2].ToByte(p->channel[2].Get(pixel)));
        const COLORREF out = AdjustColour(in, hueDegrees, saturationDelta);
        const uint32_t others = pixel & ~(p->channel[0].mask | p->channel[1].mask | p->channel[2].mask);
        lastOut = others | p->channel[0].Put(p->channel[0].FromByte(GetRValue(out))) |
                  p->channel[1].Put(p->channel[1].FromByte(GetGValue(out))) | p->channel[2].Put(p->channel[2].FromByte(GetBValue(out)));
        if (in == out) lastOut = pixel;  // untouched pixels keep their exact bits
        lastIn = pixel;
        cached = true;
      }
      p->Put(row, x, lastOut);
    }
  }
  return bitmap;
}
