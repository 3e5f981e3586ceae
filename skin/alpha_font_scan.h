// Cutting an alpha font's glyph strip into glyphs: fixed cells, or, for proportional strips, the
// ink colour and the glyph widths read from the strip's marker line.
#pragma once
#include "skin/ui_cache.h"

namespace zb::skin {

// Fills font.widths, font.offsets and font.colour from the strip (glyphWidth, glyphHeight,
// glyphSet and angle are set). False for a proportional strip that cannot be cut: one shorter
// than its glyph set, one whose size cannot be read, or one without its marker line.
bool CutAlphaFont(HBITMAP strip, UICache::AlphaFont& font);

}  // namespace zb::skin
