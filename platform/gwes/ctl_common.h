// What the built-in controls share: their font, the colours their parent chooses through
// WM_CTLCOLOR*, notifications to the parent, and the flat frames and marks of the device's
// look (black lines on white, the selection in the highlight colour).
#pragma once
#include <string>
#include <windows.h>

namespace zb::wm {

// The font a control draws with: the one WM_SETFONT gave it, else the system font.
HFONT FontOr(HFONT font);

// Selects the control's font into `dc`, then asks the parent for the colours (WM_CTLCOLOR*),
// which may set the DC's text colour, background and font; answers the brush to fill with.
HBRUSH ParentColours(HWND control, HDC dc, HFONT font, UINT message);

// WM_COMMAND to the parent with the control's id and the code.
void NotifyCommand(HWND control, UINT code);
// WM_NOTIFY to the parent with `header` filled in (window, id, code); answers the parent's answer.
LRESULT NotifyParent(HWND control, UINT code, NMHDR* header);

// The height of a line of text in `font` (the system font when none), as the window draws it.
int TextHeight(HWND hwnd, HFONT font);

// The control's text as WM_GETTEXT would give it.
std::u16string WindowText(HWND hwnd);

// A one-pixel frame inside `r`.
void Frame(HDC dc, const RECT& r, COLORREF colour);
void Fill(HDC dc, const RECT& r, COLORREF colour);
// A small filled triangle pointing down (or up) centred in `r`, as a drop-down or spin mark.
void Arrow(HDC dc, const RECT& r, bool up, COLORREF colour);
// A filled triangle pointing left or right.
void SideArrow(HDC dc, const RECT& r, bool right, COLORREF colour);

// The device's title strip across the top of a full-screen window: the title in bold on the
// left and, with `ok`, an "ok" box on the right (tapping it answers IDOK).
int TitleStripHeight();
RECT TitleOkBox(const RECT& strip);
void PaintTitleStrip(HDC dc, const RECT& strip, const std::u16string& title, bool ok);

// Point from a mouse message's lParam.
inline POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
}

// Device pixels for a size given at 96 dpi.
int Scaled(int at96);

}  // namespace zb::wm
