// Aligned GDI text for labels: the ten alignment codes place a text in its rectangle, and code
// 9 shrinks a text that is at most twice too wide before centring it.
#include "skin/skin_label.h"

void DrawTextAligned(HDC dc, int x, int y, int align, UINT options, const RECT* rect, LPCWSTR text) {
  if (!text || !rect) return;
  const int n = static_cast<int>(wcslen(text));
  const int w = rect->right - rect->left, h = rect->bottom - rect->top;
  HFONT shrunk = nullptr;
  HGDIOBJ previous = nullptr;
  if (align >= 1 && align <= 9) {
    SIZE size{};
    GetTextExtentExPointW(dc, text, n, 0, nullptr, nullptr, &size);
    if (align == 9) {
      if (size.cx > w && size.cx <= 2 * w) {
        LOGFONTW lf{};
        if (GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf)) {
          lf.lfHeight = static_cast<LONG>(int64_t{lf.lfHeight} * w / size.cx);
          if ((shrunk = CreateFontIndirectW(&lf))) {
            previous = SelectObject(dc, shrunk);
            GetTextExtentExPointW(dc, text, n, 0, nullptr, nullptr, &size);
          }
        }
      }
      if (size.cx < w) x += (w - size.cx) / 2;
      y += (h - size.cy) / 2;
    } else {
      const int across = align % 3, down = align / 3;
      if (across == 1 && size.cx < w) x += (w - size.cx) / 2;
      if (across == 2 && size.cx < w) x += w - size.cx;
      if (down == 1) y += (h - size.cy) / 2;
      if (down == 2 && size.cy < h) y += h - size.cy;
    }
  }
  ExtTextOutW(dc, x, y, options, rect, text, static_cast<UINT>(n), nullptr);
  if (shrunk) {
    SelectObject(dc, previous);
    DeleteObject(shrunk);
  }
}
