// The window system's drawing helpers: FillRect, DrawFocusRect and the check box and radio
// button faces of DrawFrameControl.
#include <algorithm>

#include "gwes/gdi_blit.h"

using namespace zb::gdi;

namespace {

// FillRect also takes a system colour index plus one in place of a brush.
std::shared_ptr<Brush> BrushOf(HBRUSH brush) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(brush);
  if (value > 0 && value <= COLOR_GRADIENTINACTIVECAPTION + 1) return Find<Brush>(GetSysColorBrush(static_cast<int>(value - 1)));
  return Find<Brush>(brush);
}

}  // namespace

extern "C" int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  auto b = BrushOf(brush);
  if (!dc || !rect || !b) {
    if (dc) SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  FillTargetRect(*dc, dc->ToTarget(*rect), Paint::FromBrush(*dc, *b), 0xF0);
  return 1;
}

extern "C" BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc || !rect) return FALSE;
  // A dotted frame drawn by inverting every other pixel, so drawing it twice takes it away.
  const RECT r = dc->ToTarget(*rect);
  if (EmptyRect(r)) return TRUE;
  std::vector<RECT> dots;
  for (int x = r.left; x < r.right; ++x) {
    for (int y : {static_cast<int>(r.top), static_cast<int>(r.bottom - 1)}) {
      if (((x + y) & 1) == 0 && (y == r.top || r.bottom - 1 > r.top)) dots.push_back(RECT{x, y, x + 1, y + 1});
    }
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    for (int x : {static_cast<int>(r.left), static_cast<int>(r.right - 1)}) {
      if (((x + y) & 1) == 0 && (x == r.left || r.right - 1 > r.left)) dots.push_back(RECT{x, y, x + 1, y + 1});
    }
  }
  FillTargetRects(*dc, dots, Paint::Solid(*dc, 0), 0x55);
  return TRUE;
}

extern "C" BOOL DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc || !rect || type != DFC_BUTTON) {
    if (dc) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const RECT r = dc->ToTarget(*rect);
  const int size = std::min(r.right - r.left, r.bottom - r.top);
  if (size < 3) return TRUE;
  const RECT box{r.left, r.top, r.left + size, r.top + size};
  const COLORREF face = (state & (DFCS_INACTIVE | DFCS_PUSHED)) ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW);
  const COLORREF ink = (state & DFCS_INACTIVE) ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_WINDOWTEXT);
  std::vector<RECT> frame, inside, mark;
  const bool radio = (state & DFCS_BUTTONRADIO) != 0;
  const double c = size / 2.0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const RECT px{box.left + x, box.top + y, box.left + x + 1, box.top + y + 1};
      if (radio) {
        const double d2 = (x + 0.5 - c) * (x + 0.5 - c) + (y + 0.5 - c) * (y + 0.5 - c);
        if (d2 > c * c) continue;
        if (d2 > (c - 1) * (c - 1)) frame.push_back(px);
        else if ((state & DFCS_CHECKED) && d2 <= (c / 2.5) * (c / 2.5)) mark.push_back(px);
        else inside.push_back(px);
      } else if (x == 0 || y == 0 || x == size - 1 || y == size - 1) {
        frame.push_back(px);
      } else {
        // The tick: down from the left third to the bottom third, then up to the right.
        const int m = size / 3, ty = x <= m ? size / 2 + x - m / 2 : size / 2 + m - (x - m) / 2 - m / 2;
        const bool tick = (state & DFCS_CHECKED) && x >= 2 && x <= size - 3 && (y == ty || y == ty - 1);
        (tick ? mark : inside).push_back(px);
      }
    }
  }
  FillTargetRects(*dc, inside, Paint::Solid(*dc, face), 0xF0);
  FillTargetRects(*dc, frame, Paint::Solid(*dc, ink), 0xF0);
  FillTargetRects(*dc, mark, Paint::Solid(*dc, ink), 0xF0);
  return TRUE;
}
