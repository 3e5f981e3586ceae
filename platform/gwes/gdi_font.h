// Fonts: the LOGFONTW a font was made from, and its realization at a pixel size. Device faces
// are stood in for by DejaVu through FreeType; the face kTestFontFace is a fixed-metric font
// whose glyphs are plain boxes, for tests of layout that must not depend on glyph shapes.
#pragma once
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "gwes/gdi_object.h"

namespace zb::gdi {

inline constexpr char16_t kTestFontFace[] = u"Zonbrel Test Fixed";

// One glyph's coverage (0..255), placed relative to the pen position on the baseline.
struct Glyph {
  int advance = 0;
  int left = 0;  // columns right of the pen position
  int top = 0;   // rows above the baseline
  int width = 0;
  int rows = 0;
  std::vector<uint8_t> coverage;
};

class FontFace {
 public:
  virtual ~FontFace() = default;
  virtual const Glyph& GlyphOf(char16_t c) = 0;
  int Advance(char16_t c) { return GlyphOf(c).advance; }

  int height = 0;  // ascent + descent
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  bool fixedPitch = false;
  bool trueType = false;
};

// The face that draws a font; never null (an unusable font file falls back to the test face).
std::shared_ptr<FontFace> Realize(const LOGFONTW& font);

class Font : public GdiObject {
 public:
  DWORD Type() const override { return OBJ_FONT; }
  int Describe(int size, void* buffer) const override;
  FontFace& Face();

  LOGFONTW log{};

 private:
  std::shared_ptr<FontFace> face_;
};

// The stock SYSTEM_FONT, and the maker GetStockObject uses for it.
std::shared_ptr<Font> SystemFont();
std::shared_ptr<Font> MakeSystemFont();

}  // namespace zb::gdi
