// Text in the DC's font: metrics, extents, ExtTextOutW. A line is rendered into a coverage
// buffer in its own frame, then laid onto the target through the escapement's quarter turn,
// blended with the text colour (or thresholded where the target has a colour table).
#include "gwes/gdi_text.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "gwes/gdi_blit.h"

namespace zb::gdi {
namespace {

uint8_t Mix(int from, int to, int coverage) { return static_cast<uint8_t>(from + (to - from) * coverage / 255); }

// Frame (u, v) of the line, u along the text and v down from its top, to target pixels.
struct Turn {
  int escapement;
  POINT origin;  // target coordinates of the line's top-left corner
  int length, height;
  RECT Bounds() const {
    switch (escapement) {
      case 900:
        return RECT{origin.x, origin.y - length, origin.x + height, origin.y};
      case 1800:
        return RECT{origin.x - length, origin.y - height, origin.x, origin.y};
      case 2700:
        return RECT{origin.x - height, origin.y, origin.x, origin.y + length};
      default:
        return RECT{origin.x, origin.y, origin.x + length, origin.y + height};
    }
  }
  // Target pixel back to the frame.
  void ToFrame(int x, int y, int& u, int& v) const {
    switch (escapement) {
      case 900:
        u = origin.y - 1 - y;
        v = x - origin.x;
        break;
      case 1800:
        u = origin.x - 1 - x;
        v = origin.y - 1 - y;
        break;
      case 2700:
        u = y - origin.y;
        v = origin.x - 1 - x;
        break;
      default:
        u = x - origin.x;
        v = y - origin.y;
        break;
    }
  }
};

}  // namespace

int TextWidth(FontFace& face, std::u16string_view text) {
  int width = 0;
  for (char16_t c : text) width += face.Advance(c);
  return width;
}

void DrawTextLine(DeviceContext& dc, const TextLine& line) {
  Font& font = *dc.state.font;
  FontFace& face = font.Face();
  const int n = static_cast<int>(line.text.size());
  std::vector<int> pen(n + 1, 0);
  for (int i = 0; i < n; ++i) pen[i + 1] = pen[i] + (line.dx ? line.dx[i] : face.Advance(line.text[i]));
  const int length = std::max(pen[n], 0);
  const int height = face.height;

  Turn turn{font.log.lfEscapement, dc.ToTarget(line.x, line.y), length, height};
  Region visible = dc.VisibleRegion();
  if (line.clip) visible.Intersect(dc.ToTarget(*line.clip));
  visible.Intersect(turn.Bounds());
  if (visible.Empty() || length == 0) return;

  if (dc.state.bkMode == OPAQUE) {
    Region saved = visible;
    for (const RECT& r : saved.Rects()) FillTargetRect(dc, r, Paint::Solid(dc, dc.state.bkColour), 0xF0);
  }

  // Coverage in the line's own frame.
  std::vector<uint8_t> cover(static_cast<size_t>(length) * height, 0);
  for (int i = 0; i < n; ++i) {
    const Glyph& g = face.GlyphOf(line.text[i]);
    for (int gy = 0; gy < g.rows; ++gy) {
      const int v = face.ascent - g.top + gy;
      if (v < 0 || v >= height) continue;
      for (int gx = 0; gx < g.width; ++gx) {
        const int u = pen[i] + g.left + gx;
        if (u < 0 || u >= length) continue;
        uint8_t& c = cover[static_cast<size_t>(v) * length + u];
        c = std::max(c, g.coverage[static_cast<size_t>(gy) * g.width + gx]);
      }
    }
  }
  auto underline = [&](int from, int to) {
    const int v = std::min(face.ascent + 1, height - 1);
    for (int u = std::max(from, 0); u < std::min(to, length); ++u) cover[static_cast<size_t>(v) * length + u] = 255;
  };
  if (font.log.lfUnderline) underline(0, length);
  if (line.underlineTo > line.underlineFrom) underline(line.underlineFrom, line.underlineTo);

  Surface& dst = dc.Target();
  const COLORREF text = dc.Resolve(dc.state.textColour);
  const uint32_t solid = dst.FromRgb(text);
  std::vector<uint32_t> row;
  for (const RECT& r : visible.Rects()) {
    const int w = r.right - r.left;
    row.resize(w);
    for (int y = r.top; y < r.bottom; ++y) {
      dst.ReadRow(y, r.left, w, row.data());
      bool touched = false;
      for (int i = 0; i < w; ++i) {
        int u, v;
        turn.ToFrame(r.left + i, y, u, v);
        if (u < 0 || v < 0 || u >= length || v >= height) continue;
        const int c = cover[static_cast<size_t>(v) * length + u];
        if (c == 0) continue;
        touched = true;
        if (dst.Palettized() || c == 255) {
          if (c >= 128) row[i] = solid;
          continue;
        }
        const COLORREF under = dst.ToRgb(row[i]);
        row[i] = dst.FromRgb(RGB(Mix(GetRValue(under), GetRValue(text), c), Mix(GetGValue(under), GetGValue(text), c),
                                 Mix(GetBValue(under), GetBValue(text), c)));
      }
      if (touched) dst.WriteRow(y, r.left, w, row.data());
    }
  }
}

}  // namespace zb::gdi

using namespace zb::gdi;

extern "C" BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW metrics) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc || !metrics) {
    if (dc) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const Font& font = *dc->state.font;
  FontFace& face = dc->state.font->Face();
  TEXTMETRICW tm{};
  tm.tmHeight = face.height;
  tm.tmAscent = face.ascent;
  tm.tmDescent = face.descent;
  tm.tmInternalLeading = face.internalLeading;
  tm.tmAveCharWidth = face.aveCharWidth;
  tm.tmMaxCharWidth = face.maxCharWidth;
  tm.tmWeight = font.log.lfWeight ? font.log.lfWeight : FW_NORMAL;
  tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFFFC;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = font.log.lfItalic;
  tm.tmUnderlined = font.log.lfUnderline;
  tm.tmStruckOut = font.log.lfStrikeOut;
  // As on the platform, the fixed-pitch bit is set for variable-pitch fonts.
  tm.tmPitchAndFamily = static_cast<BYTE>((face.fixedPitch ? 0 : TMPF_FIXED_PITCH) | (face.trueType ? TMPF_TRUETYPE | TMPF_VECTOR : 0));
  tm.tmCharSet = font.log.lfCharSet;
  *metrics = tm;
  return TRUE;
}

extern "C" BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR text, int length, int maxExtent, LPINT fit, LPINT extents,
                                      LPSIZE size) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return FALSE;
  if (length < 0 || (length > 0 && !text)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  FontFace& face = dc->state.font->Face();
  int total = 0, fits = 0;
  for (int i = 0; i < length; ++i) {
    total += face.Advance(text[i]);
    if (extents) extents[i] = total;
    if (total <= maxExtent && fits == i) fits = i + 1;
  }
  if (fit) *fit = fits;
  if (size) *size = SIZE{total, face.height};
  return TRUE;
}

extern "C" BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int length, LPSIZE size) {
  if (!size) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return GetTextExtentExPointW(hdc, text, length, 0, nullptr, nullptr, size);
}

extern "C" BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT length,
                            const int* dx) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return FALSE;
  if (length > 0 && !text) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if ((options & ETO_OPAQUE) && rect) {
    FillTargetRect(*dc, dc->ToTarget(*rect), Paint::Solid(*dc, dc->state.bkColour), 0xF0);
  }
  TextLine line;
  line.x = x;
  line.y = y;
  line.text = std::u16string_view(text ? text : u"", length);
  line.dx = dx;
  line.clip = (options & ETO_CLIPPED) ? rect : nullptr;
  DrawTextLine(*dc, line);
  return TRUE;
}
