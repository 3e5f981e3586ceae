// The plain attributes of a DC: origins, colours, modes, and what GetDeviceCaps reports.
#include "gwes/gdi_dc.h"
#include "gwes/gdi_screen.h"

using namespace zb::gdi;

namespace {

// Reads or replaces one attribute of a DC; returns `failed` for a bad handle.
template <class T, class F>
T WithDc(HDC hdc, T failed, F&& f) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  return dc ? f(dc->state) : failed;
}

template <class T>
T Exchange(T& field, T value) {
  T old = field;
  field = value;
  return old;
}

BOOL SetPoint(HDC hdc, POINT DcState::*field, int x, int y, LPPOINT previous) {
  return WithDc(hdc, FALSE, [&](DcState& s) {
    if (previous) *previous = s.*field;
    s.*field = POINT{x, y};
    return TRUE;
  });
}

BOOL GetPoint(HDC hdc, POINT DcState::*field, LPPOINT out) {
  if (!out) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return WithDc(hdc, FALSE, [&](DcState& s) {
    *out = s.*field;
    return TRUE;
  });
}

}  // namespace

extern "C" BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT previous) {
  return SetPoint(hdc, &DcState::viewportOrg, x, y, previous);
}
extern "C" BOOL GetViewportOrgEx(HDC hdc, LPPOINT origin) { return GetPoint(hdc, &DcState::viewportOrg, origin); }
extern "C" BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT previous) {
  return SetPoint(hdc, &DcState::brushOrg, x, y, previous);
}
extern "C" BOOL GetBrushOrgEx(HDC hdc, LPPOINT origin) { return GetPoint(hdc, &DcState::brushOrg, origin); }

extern "C" COLORREF SetTextColor(HDC hdc, COLORREF colour) {
  return WithDc(hdc, CLR_INVALID, [&](DcState& s) { return Exchange(s.textColour, colour); });
}
extern "C" COLORREF GetTextColor(HDC hdc) {
  return WithDc(hdc, CLR_INVALID, [](DcState& s) { return s.textColour; });
}
extern "C" COLORREF SetBkColor(HDC hdc, COLORREF colour) {
  return WithDc(hdc, CLR_INVALID, [&](DcState& s) { return Exchange(s.bkColour, colour); });
}
extern "C" COLORREF GetBkColor(HDC hdc) {
  return WithDc(hdc, CLR_INVALID, [](DcState& s) { return s.bkColour; });
}

extern "C" int SetBkMode(HDC hdc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return WithDc(hdc, 0, [&](DcState& s) { return Exchange(s.bkMode, mode); });
}
extern "C" int GetBkMode(HDC hdc) {
  return WithDc(hdc, 0, [](DcState& s) { return s.bkMode; });
}

extern "C" int SetROP2(HDC hdc, int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return WithDc(hdc, 0, [&](DcState& s) { return Exchange(s.rop2, mode); });
}
extern "C" int GetROP2(HDC hdc) {
  return WithDc(hdc, 0, [](DcState& s) { return s.rop2; });
}

extern "C" int GetDeviceCaps(HDC hdc, int index) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return 0;
  // A memory DC answers for the screen it is compatible with, whatever bitmap it holds.
  const ScreenMode mode = CurrentScreenMode();
  const int bpp = mode.bpp;
  struct Cap {
    int index;
    int value;
  };
  const Cap caps[] = {
      {DRIVERVERSION, 0x0400},
      {TECHNOLOGY, DT_RASDISPLAY},
      {HORZSIZE, mode.width * 254 / (mode.dpi * 10)},
      {VERTSIZE, mode.height * 254 / (mode.dpi * 10)},
      {HORZRES, mode.width},
      {VERTRES, mode.height},
      {BITSPIXEL, bpp},
      {PLANES, 1},
      {NUMCOLORS, bpp <= 8 ? (1 << bpp) : -1},
      {RASTERCAPS, RC_BITBLT | RC_STRETCHBLT | (mode.bpp <= 8 ? RC_PALETTE : 0)},
      {LOGPIXELSX, mode.dpi},
      {LOGPIXELSY, mode.dpi},
      {SIZEPALETTE, mode.bpp <= 8 ? (1 << mode.bpp) : 0},
      {NUMRESERVED, mode.bpp == 8 ? 20 : 0},
      {COLORRES, mode.bpp <= 8 ? 18 : 24},
  };
  for (const Cap& c : caps) {
    if (c.index == index) return c.value;
  }
  return 0;
}
