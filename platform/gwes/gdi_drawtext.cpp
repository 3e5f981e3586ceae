// DrawTextW: prefix characters, line breaks, word breaking, alignment, the end ellipsis and
// DT_CALCRECT, laid out in the DC's font and drawn line by line.
#include <string>
#include <vector>

#include "gwes/gdi_text.h"

using namespace zb::gdi;

namespace {

struct Line {
  std::u16string text;
  int underline = -1;  // index of the character a prefix '&' underlines
};

// "&x" underlines x and "&&" is a plain '&'.
std::u16string StripPrefixes(std::u16string_view in, int& underline) {
  std::u16string out;
  underline = -1;
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] == u'&' && i + 1 < in.size()) {
      ++i;
      if (in[i] != u'&') underline = static_cast<int>(out.size());
    }
    out += in[i];
  }
  return out;
}

// Splits at line ends, and with word breaking at spaces so that each line fits the width.
std::vector<Line> BreakLines(FontFace& face, const std::u16string& text, int underline, UINT format, int width) {
  std::vector<Line> lines;
  auto push = [&](size_t from, size_t to) {
    Line line{text.substr(from, to - from), -1};
    if (underline >= static_cast<int>(from) && underline < static_cast<int>(to)) line.underline = underline - static_cast<int>(from);
    lines.push_back(std::move(line));
  };
  if (format & DT_SINGLELINE) {
    push(0, text.size());
    return lines;
  }
  size_t start = 0;
  while (true) {
    size_t end = start;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    if (!(format & DT_WORDBREAK)) {
      push(start, end);
    } else {
      size_t from = start;
      while (true) {
        // Take words while they fit; a word wider than the line stands alone.
        size_t cut = from, scan = from;
        while (scan < end) {
          size_t wordEnd = scan;
          while (wordEnd < end && text[wordEnd] == u' ') ++wordEnd;
          while (wordEnd < end && text[wordEnd] != u' ') ++wordEnd;
          if (cut != from && TextWidth(face, std::u16string_view(text).substr(from, wordEnd - from)) > width) break;
          cut = scan = wordEnd;
        }
        size_t trimmed = cut;
        while (trimmed > from && text[trimmed - 1] == u' ') --trimmed;
        push(from, trimmed);
        from = cut;
        while (from < end && text[from] == u' ') ++from;
        if (from >= end) break;
      }
    }
    if (end >= text.size()) break;
    start = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
  }
  return lines;
}

void AddEllipsis(FontFace& face, Line& line, int width) {
  if (TextWidth(face, line.text) <= width) return;
  const std::u16string dots = u"...";
  const int dotsWidth = TextWidth(face, dots);
  while (!line.text.empty() && TextWidth(face, line.text) + dotsWidth > width) line.text.pop_back();
  if (line.underline >= static_cast<int>(line.text.size())) line.underline = -1;
  line.text += dots;
}

}  // namespace

extern "C" int DrawTextW(HDC hdc, LPCWSTR text, int length, LPRECT rect, UINT format) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return 0;
  if (!rect || (!text && length != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string_view source;
  if (text) {
    size_t n = 0;
    if (length < 0) {
      while (text[n]) ++n;
    } else {
      n = static_cast<size_t>(length);
    }
    source = std::u16string_view(text, n);
  }
  FontFace& face = dc->state.font->Face();
  int underline = -1;
  std::u16string body = (format & DT_NOPREFIX) ? std::u16string(source) : StripPrefixes(source, underline);
  const int width = rect->right - rect->left;
  std::vector<Line> lines = BreakLines(face, body, underline, format, width);
  if (format & DT_END_ELLIPSIS) {
    for (Line& line : lines) AddEllipsis(face, line, width);
  }
  const int lineHeight = face.height;
  const int total = lineHeight * static_cast<int>(lines.size());

  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const Line& line : lines) widest = std::max(widest, TextWidth(face, line.text));
    rect->right = rect->left + widest;
    rect->bottom = rect->top + total;
    return total;
  }

  int y = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    else if (format & DT_BOTTOM) y = rect->bottom - lineHeight;
  }
  const int offset = y - rect->top;
  for (const Line& line : lines) {
    const int lineWidth = TextWidth(face, line.text);
    int x = rect->left;
    if (format & DT_CENTER) x = rect->left + (width - lineWidth) / 2;
    else if (format & DT_RIGHT) x = rect->right - lineWidth;
    TextLine draw;
    draw.x = x;
    draw.y = y;
    draw.text = line.text;
    draw.clip = (format & DT_NOCLIP) ? nullptr : rect;
    if (line.underline >= 0) {
      draw.underlineFrom = TextWidth(face, std::u16string_view(line.text).substr(0, line.underline));
      draw.underlineTo = draw.underlineFrom + face.Advance(line.text[line.underline]);
    }
    DrawTextLine(*dc, draw);
    y += lineHeight;
  }
  return (format & (DT_VCENTER | DT_BOTTOM)) && (format & DT_SINGLELINE) ? offset + total : total;
}
