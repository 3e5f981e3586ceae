// Helpers of the built-in controls (see ctl_common.h).
#include "gwes/ctl_common.h"

#include <algorithm>

#include "gwes/gdi_host.h"

namespace zb::wm {

HFONT FontOr(HFONT font) { return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }

HBRUSH ParentColours(HWND control, HDC dc, HFONT font, UINT message) {
  SelectObject(dc, FontOr(font));
  HWND parent = GetParent(control);
  HBRUSH brush = nullptr;
  if (parent && parent != control) {
    brush = reinterpret_cast<HBRUSH>(
        SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
  }
  if (!brush) {
    brush = reinterpret_cast<HBRUSH>(
        DefWindowProcW(control, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
  }
  return brush;
}

void NotifyCommand(HWND control, UINT code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  const int id = static_cast<int>(GetWindowLongW(control, GWL_ID));
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

LRESULT NotifyParent(HWND control, UINT code, NMHDR* header) {
  header->hwndFrom = control;
  header->idFrom = static_cast<UINT_PTR>(GetWindowLongW(control, GWL_ID));
  header->code = code;
  HWND parent = GetParent(control);
  if (!parent) return 0;
  return SendMessageW(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

int TextHeight(HWND hwnd, HFONT font) {
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, FontOr(font));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return tm.tmHeight;
}

std::u16string WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::u16string text(static_cast<size_t>(std::max(length, 0)) + 1, u'\0');
  const int got = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Frame(HDC dc, const RECT& r, COLORREF colour) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  Fill(dc, RECT{r.left, r.top, r.right, r.top + 1}, colour);
  Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, colour);
  Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, colour);
  Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, colour);
}

namespace {

void Triangle(HDC dc, const POINT (&points)[3], COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  Polygon(dc, points, 3);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

}  // namespace

void Arrow(HDC dc, const RECT& r, bool up, COLORREF colour) {
  const int size = std::max<int>(2, std::min<int>(r.right - r.left, r.bottom - r.top) / 4);
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  if (up) {
    Triangle(dc, {{cx - size, cy + size / 2}, {cx + size, cy + size / 2}, {cx, cy - size / 2 - 1}}, colour);
  } else {
    Triangle(dc, {{cx - size, cy - size / 2}, {cx + size, cy - size / 2}, {cx, cy + size / 2 + 1}}, colour);
  }
}

void SideArrow(HDC dc, const RECT& r, bool right, COLORREF colour) {
  const int size = std::max<int>(2, std::min<int>(r.right - r.left, r.bottom - r.top) / 4);
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  if (right) {
    Triangle(dc, {{cx - size / 2, cy - size}, {cx - size / 2, cy + size}, {cx + size / 2 + 1, cy}}, colour);
  } else {
    Triangle(dc, {{cx + size / 2, cy - size}, {cx + size / 2, cy + size}, {cx - size / 2 - 1, cy}}, colour);
  }
}

int TitleStripHeight() { return GetSystemMetrics(SM_CYCAPTION); }

RECT TitleOkBox(const RECT& strip) {
  const int inset = Scaled(3);
  const int width = Scaled(28);
  return RECT{strip.right - inset - width, strip.top + inset, strip.right - inset, strip.bottom - inset};
}

void PaintTitleStrip(HDC dc, const RECT& strip, const std::u16string& title, bool ok) {
  Fill(dc, strip, GetSysColor(COLOR_ACTIVECAPTION));
  LOGFONTW bold{};
  GetObjectW(GetStockObject(SYSTEM_FONT), sizeof bold, &bold);
  bold.lfWeight = FW_BOLD;
  HFONT font = CreateFontIndirectW(&bold);
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
  RECT text{strip.left + Scaled(6), strip.top, strip.right - Scaled(6), strip.bottom};
  if (ok) {
    const RECT box = TitleOkBox(strip);
    text.right = box.left - Scaled(4);
    Frame(dc, box, GetSysColor(COLOR_CAPTIONTEXT));
    RECT label = box;
    DrawTextW(dc, u"ok", 2, &label, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  }
  DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
  DeleteObject(font);
}

int Scaled(int at96) { return at96 * gdi::CurrentScreenMode().dpi / 96; }

}  // namespace zb::wm
