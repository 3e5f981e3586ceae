// The "STATIC" class: text (wrapped or on one line), icons and bitmaps, filled and framed
// rectangles, owner-drawn areas. The parent picks colours and font through WM_CTLCOLORSTATIC,
// after the control has selected its own font into the DC. Without SS_NOTIFY a static takes no
// taps: they reach whatever lies beneath (the window table skips it).
#include <algorithm>

#include "gwes/control_state.h"
#include "gwes/ctl_common.h"
#include "gwes/ctl_procs.h"

namespace zb::wm {
namespace {

struct StaticState {
  HFONT font = nullptr;
  HANDLE image = nullptr;
  UINT imageType = IMAGE_ICON;
};

// A static made from a template item whose title is an ordinal names its image that way.
void LoadTemplateImage(HWND hwnd, StaticState& s, const CREATESTRUCTW& create) {
  const UINT kind = static_cast<UINT>(create.style & SS_TYPEMASK);
  if ((kind != SS_ICON && kind != SS_BITMAP) || !create.lpszName || !create.lpszName[0]) return;
  LPCWSTR name = create.lpszName;
  if (name[0] == 0xFFFF) name = MAKEINTRESOURCEW(name[1]);
  if (kind == SS_ICON) {
    s.image = LoadIconW(create.hInstance, name);
    s.imageType = IMAGE_ICON;
  } else {
    s.image = LoadBitmapW(create.hInstance, name);
    s.imageType = IMAGE_BITMAP;
  }
  SetWindowTextW(hwnd, u"");
}

UINT TextFormat(LONG_PTR style) {
  UINT format = DT_EXPANDTABS;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP: format |= DT_SINGLELINE; break;
    default: format |= DT_WORDBREAK; break;
  }
  if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_ENDELLIPSIS) format |= DT_END_ELLIPSIS | DT_SINGLELINE;
  return format;
}

void DrawImage(HDC dc, const RECT& client, const StaticState& s, LONG_PTR style) {
  if (!s.image) return;
  const bool centre = (style & SS_CENTERIMAGE) != 0;
  if (s.imageType == IMAGE_ICON || s.imageType == IMAGE_CURSOR) {
    const int size = GetSystemMetrics(SM_CXICON);
    const int x = centre ? (client.right - size) / 2 : 0, y = centre ? (client.bottom - size) / 2 : 0;
    DrawIconEx(dc, x, y, static_cast<HICON>(s.image), 0, 0, 0, nullptr, DI_NORMAL);
    return;
  }
  BITMAP bm{};
  if (!GetObjectW(s.image, sizeof bm, &bm)) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, s.image);
  const int x = centre ? (client.right - bm.bmWidth) / 2 : 0, y = centre ? (client.bottom - bm.bmHeight) / 2 : 0;
  BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

struct Shade {
  UINT kind;
  int colour;
  bool frame;
};
constexpr Shade kShades[] = {
    {SS_BLACKRECT, COLOR_WINDOWFRAME, false}, {SS_GRAYRECT, COLOR_GRAYTEXT, false},
    {SS_WHITERECT, COLOR_WINDOW, false},      {SS_BLACKFRAME, COLOR_WINDOWFRAME, true},
    {SS_GRAYFRAME, COLOR_GRAYTEXT, true},     {SS_WHITEFRAME, COLOR_WINDOW, true},
};

void Paint(HWND hwnd, StaticState& s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  const UINT kind = static_cast<UINT>(style & SS_TYPEMASK);
  const int saved = SaveDC(dc);
  if (kind == SS_OWNERDRAW) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_STATIC;
    item.CtlID = static_cast<UINT>(GetWindowLongW(hwnd, GWL_ID));
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED;
    item.hwndItem = hwnd;
    item.hDC = dc;
    item.rcItem = client;
    if (HWND parent = GetParent(hwnd)) SendMessageW(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
  } else if (auto shade = std::find_if(std::begin(kShades), std::end(kShades), [&](const Shade& x) { return x.kind == kind; });
             shade != std::end(kShades)) {
    if (shade->frame) {
      FillRect(dc, &client, ParentColours(hwnd, dc, s.font, WM_CTLCOLORSTATIC));
      Frame(dc, client, GetSysColor(shade->colour));
    } else {
      Fill(dc, client, GetSysColor(shade->colour));
    }
  } else {
    HBRUSH brush = ParentColours(hwnd, dc, s.font, WM_CTLCOLORSTATIC);
    FillRect(dc, &client, brush);
    if (kind == SS_ICON || kind == SS_BITMAP) {
      DrawImage(dc, client, s, style);
    } else {
      std::u16string text = WindowText(hwnd);
      if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
      SetBkMode(dc, TRANSPARENT);
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, TextFormat(style));
    }
    if (style & SS_SUNKEN) Frame(dc, client, GetSysColor(COLOR_BTNSHADOW));
  }
  RestoreDC(dc, saved);
  EndPaint(hwnd, &ps);
}

HANDLE SetImage(HWND hwnd, StaticState& s, UINT type, HANDLE image) {
  HANDLE previous = s.image;
  s.image = image;
  s.imageType = type;
  InvalidateRect(hwnd, nullptr, TRUE);
  return previous;
}

}  // namespace

LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto state = StateOrMake<StaticState>(hwnd);
  if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
  StaticState& s = *state;
  switch (message) {
    case WM_CREATE:
      LoadTemplateImage(hwnd, s, *reinterpret_cast<CREATESTRUCTW*>(lParam));
      return 0;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_SETFONT:
      s.font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(s.font);
    case STM_SETIMAGE:
      return reinterpret_cast<LRESULT>(SetImage(hwnd, s, static_cast<UINT>(wParam), reinterpret_cast<HANDLE>(lParam)));
    case STM_GETIMAGE:
      return static_cast<UINT>(wParam) == s.imageType ? reinterpret_cast<LRESULT>(s.image) : 0;
    case STM_SETICON:
      return reinterpret_cast<LRESULT>(SetImage(hwnd, s, IMAGE_ICON, reinterpret_cast<HANDLE>(wParam)));
    case STM_GETICON:
      return s.imageType == IMAGE_ICON ? reinterpret_cast<LRESULT>(s.image) : 0;
    case WM_LBUTTONDOWN:
      if (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY) NotifyCommand(hwnd, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY) NotifyCommand(hwnd, STN_DBLCLK);
      return 0;
    case WM_ENABLE:
      if (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY) NotifyCommand(hwnd, wParam ? STN_ENABLE : STN_DISABLE);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcW(hwnd, message, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, s);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace zb::wm
