// Dot background, oscilloscope and idle pattern of the built-in view. The spectrum has a file
// of its own (vis_spectrum.cpp).
#include "core/vis/vis_draw.h"

#include <cstdlib>

void PaintVisDots(const VisSurface& s, const COLORREF* colours) {
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x)
      s.Put(x, y, (y & 1) && !(x & 1) ? colours[kVisColourDots] : colours[kVisColourBackground]);
}

void DrawVisOscilloscope(const VisSurface& s, const signed char* samples, const COLORREF* colours, int style) {
  if (style < 0 || style > 2 || s.width <= 0) return;
  const int c0 = s.height / 2;
  int points[256] = {};
  for (int x = 0; x < s.width; ++x) {
    const int pair = (x * 576) / s.width;
    const int left = samples[2 * pair], right = samples[2 * pair + 1];
    points[(x * 256) / s.width] = c0 + ((right * c0) / 128 + (left * c0) / 128) / 2;
  }
  int previous = 0;
  for (int x = 0; x < s.width; ++x) {
    const int y = points[(x * 256) / s.width];
    // A one-row frame has its centre on row 0: everything takes the centre colour.
    const COLORREF colour = colours[kVisColourScopeCentre + (c0 ? (std::abs(y - c0) * 4) / c0 : 0)];
    const int from = style == 1 ? previous : c0;
    if ((style == 1 && x > 0 && std::abs(y - previous) > 1) || style == 2) {
      const int step = y > from ? 1 : -1;
      for (int row = from; row != y; row += step) s.Put(x, row, colour);
    }
    s.Put(x, y, colour);
    previous = y;
  }
}

namespace {

// 0 up to 127, down to -127, up to 0 again over 0..509, each extreme twice.
signed char Triangle(int v) { return static_cast<signed char>(v < 128 ? v : v < 383 ? 255 - v : v - 510); }

}  // namespace

void FillVisIdlePattern(signed char* buffer, int bytes, int mode, unsigned frame) {
  if (bytes <= 0) return;
  if (mode == 2) {
    const int period = static_cast<int>(frame % static_cast<unsigned>(bytes)) + 4;
    for (int i = 0; i < bytes; ++i) buffer[i] = Triangle(((i % period) * 510) / period);
    return;
  }
  const unsigned phase = frame % 510;
  for (int i = 0; i < bytes; ++i) buffer[i] = Triangle(static_cast<int>((phase + i) % 510));
}
