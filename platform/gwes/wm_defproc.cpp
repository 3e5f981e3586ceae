// DefWindowProcW and CallWindowProcW: what a window does with a message its procedure passes
// on. Closing destroys, painting validates, erasing fills with the class brush, activation
// gives the focus, and the text and icon messages keep their values.
#include <algorithm>

#include "gwes/wm_session.h"
#include "gwes/wm_text.h"

using namespace zb::wm;

namespace {

// A class brush may be a system colour index plus one.
HBRUSH BrushOf(HBRUSH brush) {
  auto value = reinterpret_cast<uintptr_t>(brush);
  if (value > 0 && value <= COLOR_GRADIENTINACTIVECAPTION + 1) return GetSysColorBrush(static_cast<int>(value - 1));
  return brush;
}

LRESULT Erase(HWND hwnd, HDC hdc) {
  auto window = LocalWindow(hwnd);
  HBRUSH brush = window && window->cls ? BrushOf(window->cls->background) : nullptr;
  if (!brush || !hdc) return 0;
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, brush);
  return 1;
}

LRESULT Icon(HWND hwnd, WPARAM which, HICON icon, bool set) {
  auto window = LocalWindow(hwnd);
  if (!window) return 0;
  const size_t i = which == ICON_BIG ? 1 : 0;
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  HICON previous = window->icons[i];
  if (set) window->icons[i] = icon;
  return reinterpret_cast<LRESULT>(previous);
}

// The colours a control gets when its parent leaves them: edits and lists on the window colour,
// everything else on the static colour.
LRESULT ControlColours(UINT message, HDC hdc) {
  int text = COLOR_STATICTEXT, back = COLOR_STATIC;
  if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) {
    text = COLOR_WINDOWTEXT;
    back = COLOR_WINDOW;
  } else if (message == WM_CTLCOLORSCROLLBAR) {
    back = COLOR_SCROLLBAR;
  } else if (message == WM_CTLCOLORBTN) {
    text = COLOR_BTNTEXT;
  }
  if (hdc) {
    SetTextColor(hdc, GetSysColor(text));
    SetBkColor(hdc, GetSysColor(back));
  }
  return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
}

}  // namespace

extern "C" LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return Erase(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(hwnd);
      return 0;
    case WM_SETTEXT:
      StoreText(hwnd, lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"");
      return TRUE;
    case WM_GETTEXT: {
      auto* out = reinterpret_cast<LPWSTR>(lParam);
      if (!out || wParam == 0) return 0;
      std::u16string text = LoadText(hwnd);
      size_t n = std::min(text.size(), static_cast<size_t>(wParam) - 1);
      std::copy_n(text.data(), n, out);
      out[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(LoadText(hwnd).size());
    case WM_SETICON:
      return Icon(hwnd, wParam, reinterpret_cast<HICON>(lParam), true);
    case WM_GETICON:
      return Icon(hwnd, wParam, nullptr, false);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return ControlColours(message, reinterpret_cast<HDC>(wParam));
    default:
      return 0;
  }
}

extern "C" LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!proc) return DefWindowProcW(hwnd, message, wParam, lParam);
  return proc(hwnd, message, wParam, lParam);
}
