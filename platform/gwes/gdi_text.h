// One line of text: measuring it in the DC's font, and drawing it (with its background, and an
// optional underlined stretch) in quarter turns as the font's escapement says.
#pragma once
#include <string_view>

#include "gwes/gdi_dc.h"

namespace zb::gdi {

int TextWidth(FontFace& face, std::u16string_view text);

struct TextLine {
  int x = 0, y = 0;  // logical position of the line's top-left corner, before turning
  std::u16string_view text;
  const int* dx = nullptr;          // advances to use instead of the font's
  const RECT* clip = nullptr;       // logical
  int underlineFrom = 0, underlineTo = 0;  // pixels along the line
};

void DrawTextLine(DeviceContext& dc, const TextLine& line);

}  // namespace zb::gdi
