// The glyph cutter. A proportional strip carries a marker line (a row, or a column for turned
// text) whose colour changes where each glyph starts; the ink colour is found per colour byte
// as the value farthest from the space glyph's background within the first ten cells.
#include "skin/alpha_font_scan.h"

#include <array>
#include <cstdlib>

namespace zb::skin {
namespace {

// The strip's pixels as the scan walks them: position p along the text direction on line t.
class StripReader {
 public:
  StripReader(HBITMAP strip, int angle) : angle_(angle) {
    dc_ = CreateCompatibleDC(nullptr);
    old_ = dc_ ? SelectObject(dc_, strip) : nullptr;
  }
  ~StripReader() {
    if (dc_) {
      SelectObject(dc_, old_);
      DeleteDC(dc_);
    }
  }
  bool Ready() const { return dc_ && old_; }
  COLORREF At(int p, int t) const { return angle_ == 0 ? GetPixel(dc_, p, t) : GetPixel(dc_, t, p); }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  int angle_;
};

BYTE Part(COLORREF c, int k) { return static_cast<BYTE>(c >> (8 * k)); }

// The ink of one line: per colour byte, the value in the first ten cells farthest from the
// first cell's most frequent value.
COLORREF InkOfLine(const StripReader& strip, int t, int cell, int length, COLORREF* background) {
  COLORREF ink = 0, back = 0;
  for (int k = 0; k < 3; ++k) {
    std::array<int, 256> inFirst{}, inTen{};
    for (int p = 0; p < cell; ++p) ++inFirst[Part(strip.At(p, t), k)];
    for (int p = 0; p < 10 * cell && p < length; ++p) ++inTen[Part(strip.At(p, t), k)];
    int bg = 0;
    for (int v = 1; v < 256; ++v)
      if (inFirst[v] > inFirst[bg]) bg = v;
    int best = bg, distance = 0;
    for (int v = 0; v < 256; ++v)
      if (inTen[v] && std::abs(v - bg) > distance) {
        distance = std::abs(v - bg);
        best = v;
      }
    back |= static_cast<COLORREF>(bg) << (8 * k);
    ink |= static_cast<COLORREF>(best) << (8 * k);
  }
  *background = back;
  return ink;
}

}  // namespace

bool CutAlphaFont(HBITMAP strip, UICache::AlphaFont& font) {
  const int n = GetAlphaGlyphSetLength(font.glyphSet);
  font.widths.assign(n, font.glyphWidth);
  font.offsets.assign(n, 0);
  font.colour = 0;
  BITMAP bm{};
  const bool sized = strip && GetObjectW(strip, sizeof bm, &bm) >= static_cast<int>(sizeof bm);
  const int width = sized ? bm.bmWidth : 0, height = sized ? std::abs(bm.bmHeight) : 0;
  const int length = font.angle == 0 ? width : height, across = font.angle == 0 ? height : width;
  const bool cuttable = sized && length >= 1 && length <= 65535 && across >= 1 && across <= 65535 && length >= n;

  if (font.glyphWidth <= 0) {
    // Proportional: the marker line must lie inside the strip, which must hold every glyph.
    if (!cuttable || font.glyphWidth == 0 || font.glyphHeight < 0 || font.glyphHeight >= across) return false;
    StripReader reader(strip, font.angle);
    if (!reader.Ready()) return false;
    const int cell = length / n;
    for (int i = 0; i < across; ++i) {
      COLORREF back = 0;
      font.colour = InkOfLine(reader, (across / 4 + i) % across, cell, length, &back);
      if (font.colour != back) break;
    }
    // Walk the marker line (from the far end for text turned to 270 degrees).
    int started = 1, current = 0;
    font.widths[0] = 1;
    COLORREF previous = reader.At(font.angle == 270 ? length - 1 : 0, font.glyphHeight);
    for (int p = 1; p < length && started <= n; ++p) {
      const COLORREF here = reader.At(font.angle == 270 ? length - 1 - p : p, font.glyphHeight);
      if (here == previous) {
        ++font.widths[current];
      } else if (started < n) {
        current = started++;
        font.widths[current] = 1;
      } else {
        break;
      }
      previous = here;
    }
    for (int g = started; g < n; ++g) font.widths[g] = font.widths[current];
  }

  for (int g = 1; g < n; ++g) {
    const int next = font.offsets[g - 1] + font.widths[g - 1];
    font.offsets[g] = font.glyphWidth <= 0 && next >= length ? font.offsets[g - 1] : next;
  }
  // Text turned to 270 degrees reads the strip from its far end, fixed cells as well.
  if (font.angle == 270 && length > 0) {
    for (int& offset : font.offsets) offset = length - offset - 1;
  }
  return true;
}

}  // namespace zb::skin
