// Scaling the whole cache when a skin is fitted to a screen of another size: every named bitmap
// is stretched to its new size and replaced everywhere it is used, and the font metrics follow.
#include <cstdlib>

#include "skin/bitmap_helpers.h"
#include "skin/ui_cache.h"

namespace {

// Sums in 64 bits: the numerators are products of two screen sizes, and long glyph strips have
// offsets of thousands of pixels.
int Scaled(int v, int num, int den) { return static_cast<int>(int64_t{v} * num / den); }

}  // namespace

void UICache::Rescale(int numX, int numY, int den) {
  if (numX == 0 || numY == 0 || den == 0) return;
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
  for (size_t i = 0; i < named_.size(); ++i) {
    const HBITMAP old = named_[i].bitmap;
    BITMAP bm{};
    if (!from || !to || !GetObjectW(old, sizeof bm, &bm)) continue;
    const int w = bm.bmWidth, h = std::abs(bm.bmHeight);
    const int64_t nw = int64_t{w} * numX / den, nh = int64_t{h} * numY / den;
    if (nw <= 0 || nh <= 0 || nw > 32767 || nh > 32767) continue;  // such a bitmap cannot be made; the old one stays
    HBITMAP scaled = bm.bmBitsPixel > 1 ? CreateScreenDib(screen, static_cast<int>(nw), static_cast<int>(nh))
                                        : CreateBitmap(static_cast<int>(nw), static_cast<int>(nh), 1, 1, nullptr);
    if (!scaled) continue;
    HGDIOBJ oldFrom = SelectObject(from, old), oldTo = SelectObject(to, scaled);
    StretchSmooth(stretchMode_, to, 0, 0, static_cast<int>(nw), static_cast<int>(nh), from, 0, 0, w, h, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    const std::u16string name = named_[i].name;
    ReplaceBitmap(name.empty() ? nullptr : name.c_str(), old, scaled);
  }
  if (from) DeleteDC(from);
  if (to) DeleteDC(to);
  ReleaseDC(nullptr, screen);

  for (AlphaFont& f : alphaFonts_) {
    f.glyphWidth = Scaled(f.glyphWidth, numX, den);
    f.glyphHeight = Scaled(f.glyphHeight, numY, den);
    for (int& w : f.widths) w = Scaled(w, numX, den);
    for (int& o : f.offsets) o = Scaled(o, numX, den);
  }
  for (GdiFont& f : gdiFonts_) {
    if (f.height <= 0) continue;
    f.height = Scaled(f.height, numX > numY ? numY : numX, den);
    if (f.font) DeleteObject(f.font);
    f.font = nullptr;
  }
}
