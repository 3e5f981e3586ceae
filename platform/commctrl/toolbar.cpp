// The "ToolbarWindow32" class: a row of buttons with text and images, as far as the shell's
// soft-key bar (SHCreateMenuBar) and the programs that change its keys use it: adding buttons,
// reading and changing them by command or index, their states, and a tap that sends the
// command to the parent (or TBN_DROPDOWN for a drop-down button).
#include "commctrl/toolbar_spread.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "commctrl/cc_procs.h"
#include "gwes/control_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {
namespace {

using zb::wm::Scaled;

struct Button {
  int image = I_IMAGENONE;
  int id = 0;
  BYTE state = TBSTATE_ENABLED;
  BYTE style = TBSTYLE_BUTTON;
  DWORD_PTR data = 0;
  std::u16string text;
  int cx = 0;  // TBIF_SIZE's width, 0 for the natural one
};

struct Toolbar {
  std::vector<Button> buttons;
  HIMAGELIST images = nullptr;
  HFONT font = nullptr;
  HWND notify = nullptr;  // TB_SETPARENT's, else the parent
  bool spread = false;    // the keys share the width equally, as soft keys do
  int pressed = -1;
};

int Count(const Toolbar& t) { return static_cast<int>(t.buttons.size()); }

int IndexOf(const Toolbar& t, int id) {
  for (int i = 0; i < Count(t); ++i)
    if (t.buttons[i].id == id && !(t.buttons[i].style & TBSTYLE_SEP)) return i;
  return -1;
}

HWND Target(HWND hwnd, const Toolbar& t) { return t.notify ? t.notify : GetParent(hwnd); }

// The buttons' rectangles across the bar; hidden buttons take none.
std::vector<RECT> Layout(HWND hwnd, const Toolbar& t) {
  RECT client;
  GetClientRect(hwnd, &client);
  std::vector<RECT> rects(t.buttons.size(), RECT{0, 0, 0, 0});
  std::vector<int> shown;
  for (int i = 0; i < Count(t); ++i)
    if (!(t.buttons[i].state & TBSTATE_HIDDEN)) shown.push_back(i);
  if (t.spread && !shown.empty()) {
    const int width = (client.right - client.left) / static_cast<int>(shown.size());
    for (size_t k = 0; k < shown.size(); ++k) {
      const int left = client.left + static_cast<int>(k) * width;
      rects[shown[k]] = RECT{left, client.top, k + 1 == shown.size() ? client.right : left + width, client.bottom};
    }
    return rects;
  }
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, zb::wm::FontOr(t.font));
  int x = client.left;
  for (int i : shown) {
    const Button& b = t.buttons[i];
    int width = b.cx;
    if (!width) {
      if (b.style & TBSTYLE_SEP) {
        width = Scaled(8);
      } else {
        SIZE size{0, 0};
        GetTextExtentPoint32W(dc, b.text.c_str(), static_cast<int>(b.text.size()), &size);
        int cx = 0, cy = 0;
        if (t.images && b.image >= 0) ImageList_GetIconSize(t.images, &cx, &cy);
        width = std::max<int>(size.cx + cx + Scaled(12), Scaled(24));
      }
    }
    rects[i] = RECT{x, client.top, x + width, client.bottom};
    x += width;
  }
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return rects;
}

void Paint(HWND hwnd, Toolbar& t) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  const COLORREF ink = GetSysColor(COLOR_MENUTEXT);
  zb::wm::Fill(dc, client, GetSysColor(COLOR_MENU));
  zb::wm::Fill(dc, RECT{client.left, client.top, client.right, client.top + 1}, GetSysColor(COLOR_WINDOWFRAME));
  HGDIOBJ old = SelectObject(dc, zb::wm::FontOr(t.font));
  SetBkMode(dc, TRANSPARENT);
  const std::vector<RECT> rects = Layout(hwnd, t);
  for (int i = 0; i < Count(t); ++i) {
    const Button& b = t.buttons[i];
    RECT r = rects[i];
    if (IsRectEmpty(&r) || (b.style & TBSTYLE_SEP)) continue;
    const bool pushed = i == t.pressed || (b.state & (TBSTATE_PRESSED | TBSTATE_CHECKED));
    const bool enabled = (b.state & TBSTATE_ENABLED) && !(b.state & TBSTATE_INDETERMINATE);
    if (pushed) zb::wm::Fill(dc, RECT{r.left, r.top + 1, r.right, r.bottom}, GetSysColor(COLOR_HIGHLIGHT));
    if (i > 0) zb::wm::Fill(dc, RECT{r.left, r.top + Scaled(4), r.left + 1, r.bottom - Scaled(4)}, GetSysColor(COLOR_GRAYTEXT));
    const COLORREF colour = pushed ? GetSysColor(COLOR_HIGHLIGHTTEXT) : enabled ? ink : GetSysColor(COLOR_GRAYTEXT);
    int cx = 0, cy = 0;
    if (t.images && b.image >= 0 && ImageList_GetIconSize(t.images, &cx, &cy)) {
      ImageList_Draw(t.images, b.image, dc, r.left + Scaled(4), (r.top + r.bottom - cy) / 2, ILD_TRANSPARENT);
      r.left += cx + Scaled(4);
    }
    SetTextColor(dc, colour);
    RECT text = r;
    if (b.style & TBSTYLE_DROPDOWN) {
      const RECT mark{r.right - Scaled(12), r.top, r.right - Scaled(2), r.bottom};
      zb::wm::Arrow(dc, mark, true, colour);
      text.right = mark.left;
    }
    DrawTextW(dc, b.text.c_str(), static_cast<int>(b.text.size()), &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  }
  SelectObject(dc, old);
  EndPaint(hwnd, &ps);
}

Button FromTbButton(const TBBUTTON& in) {
  Button b;
  b.image = in.iBitmap;
  b.id = in.idCommand;
  b.state = in.fsState;
  b.style = in.fsStyle;
  b.data = in.dwData;
  if (in.iString && !IS_INTRESOURCE(in.iString)) b.text = reinterpret_cast<LPCWSTR>(in.iString);
  return b;
}

LRESULT ButtonInfo(Toolbar& t, HWND hwnd, WPARAM wParam, TBBUTTONINFOW* info, bool set) {
  if (!info) return -1;
  const bool byIndex = (info->dwMask & 0x80000000) != 0;  // TBIF_BYINDEX
  const int index = byIndex ? static_cast<int>(wParam) : IndexOf(t, static_cast<int>(wParam));
  if (index < 0 || index >= Count(t)) return -1;
  Button& b = t.buttons[index];
  if (set) {
    if (info->dwMask & TBIF_COMMAND) b.id = info->idCommand;
    if (info->dwMask & TBIF_IMAGE) b.image = info->iImage;
    if (info->dwMask & TBIF_LPARAM) b.data = info->lParam;
    if (info->dwMask & TBIF_STATE) b.state = info->fsState;
    if (info->dwMask & TBIF_STYLE) b.style = info->fsStyle;
    if (info->dwMask & TBIF_SIZE) b.cx = info->cx;
    if ((info->dwMask & TBIF_TEXT) && info->pszText) b.text = info->pszText;
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
  }
  if (info->dwMask & TBIF_COMMAND) info->idCommand = b.id;
  if (info->dwMask & TBIF_IMAGE) info->iImage = b.image;
  if (info->dwMask & TBIF_LPARAM) info->lParam = b.data;
  if (info->dwMask & TBIF_STATE) info->fsState = b.state;
  if (info->dwMask & TBIF_STYLE) info->fsStyle = b.style;
  if (info->dwMask & TBIF_SIZE) info->cx = static_cast<WORD>(b.cx);
  if ((info->dwMask & TBIF_TEXT) && info->pszText && info->cchText > 0) {
    const size_t n = std::min(b.text.size(), static_cast<size_t>(info->cchText) - 1);
    std::copy_n(b.text.data(), n, info->pszText);
    info->pszText[n] = 0;
  }
  return index;
}

// A state flag of the button with command `id` set or cleared.
LRESULT Flag(HWND hwnd, Toolbar& t, int id, BYTE flag, bool on) {
  const int index = IndexOf(t, id);
  if (index < 0) return FALSE;
  BYTE& state = t.buttons[index].state;
  state = on ? (state | flag) : (state & ~flag);
  InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}

LRESULT IsFlag(const Toolbar& t, int id, BYTE flag) {
  const int index = IndexOf(t, id);
  return index >= 0 && (t.buttons[index].state & flag) ? TRUE : FALSE;
}

void Press(HWND hwnd, Toolbar& t, int index) {
  const Button& b = t.buttons[index];
  HWND target = Target(hwnd, t);
  if (!target) return;
  if (b.style & TBSTYLE_DROPDOWN) {
    NMTOOLBARW n{};
    n.iItem = b.id;
    n.tbButton.idCommand = b.id;
    n.tbButton.dwData = b.data;
    n.hdr.hwndFrom = hwnd;
    n.hdr.idFrom = static_cast<UINT_PTR>(GetWindowLongW(hwnd, GWL_ID));
    n.hdr.code = TBN_DROPDOWN;
    SendMessageW(target, WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
    return;
  }
  SendMessageW(target, WM_COMMAND, MAKEWPARAM(b.id, 0), reinterpret_cast<LPARAM>(hwnd));
}

int HitButton(HWND hwnd, const Toolbar& t, POINT p) {
  const std::vector<RECT> rects = Layout(hwnd, t);
  for (int i = 0; i < Count(t); ++i)
    if (PtInRect(&rects[i], p) && !(t.buttons[i].style & TBSTYLE_SEP)) return i;
  return -1;
}

LRESULT Handle(HWND hwnd, Toolbar& t, UINT message, WPARAM wParam, LPARAM lParam) {
  const int id = static_cast<int>(wParam);
  switch (message) {
    case TB_BUTTONSTRUCTSIZE: return 0;
    case kToolbarSpread:
      t.spread = wParam != 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TB_ADDBUTTONSW:
    case TB_INSERTBUTTONW: {
      const auto* in = reinterpret_cast<const TBBUTTON*>(lParam);
      if (!in) return FALSE;
      if (message == TB_ADDBUTTONSW) {
        for (WPARAM i = 0; i < wParam; ++i) t.buttons.push_back(FromTbButton(in[i]));
      } else {
        const int at = std::clamp(id, 0, Count(t));
        t.buttons.insert(t.buttons.begin() + at, FromTbButton(*in));
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case TB_DELETEBUTTON:
      if (id < 0 || id >= Count(t)) return FALSE;
      t.buttons.erase(t.buttons.begin() + id);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case TB_BUTTONCOUNT: return Count(t);
    case TB_GETBUTTON: {
      auto* out = reinterpret_cast<TBBUTTON*>(lParam);
      if (!out || id < 0 || id >= Count(t)) return FALSE;
      const Button& b = t.buttons[id];
      *out = TBBUTTON{};
      out->iBitmap = b.image;
      out->idCommand = b.id;
      out->fsState = b.state;
      out->fsStyle = b.style;
      out->dwData = b.data;
      out->iString = reinterpret_cast<INT_PTR>(b.text.c_str());
      return TRUE;
    }
    case TB_GETBUTTONINFOW: return ButtonInfo(t, hwnd, wParam, reinterpret_cast<TBBUTTONINFOW*>(lParam), false);
    case TB_SETBUTTONINFOW: return ButtonInfo(t, hwnd, wParam, reinterpret_cast<TBBUTTONINFOW*>(lParam), true) >= 0;
    case TB_GETBUTTONTEXTW: {
      const int index = IndexOf(t, id);
      if (index < 0) return -1;
      const std::u16string& text = t.buttons[index].text;
      if (auto* out = reinterpret_cast<LPWSTR>(lParam)) {
        std::copy(text.begin(), text.end(), out);
        out[text.size()] = 0;
      }
      return static_cast<LRESULT>(text.size());
    }
    case TB_COMMANDTOINDEX: return IndexOf(t, id);
    case TB_ENABLEBUTTON: return Flag(hwnd, t, id, TBSTATE_ENABLED, LOWORD(lParam) != 0);
    case TB_CHECKBUTTON: return Flag(hwnd, t, id, TBSTATE_CHECKED, LOWORD(lParam) != 0);
    case TB_PRESSBUTTON: return Flag(hwnd, t, id, TBSTATE_PRESSED, LOWORD(lParam) != 0);
    case TB_HIDEBUTTON: return Flag(hwnd, t, id, TBSTATE_HIDDEN, LOWORD(lParam) != 0);
    case TB_INDETERMINATE: return Flag(hwnd, t, id, TBSTATE_INDETERMINATE, LOWORD(lParam) != 0);
    case TB_ISBUTTONENABLED: return IsFlag(t, id, TBSTATE_ENABLED);
    case TB_ISBUTTONCHECKED: return IsFlag(t, id, TBSTATE_CHECKED);
    case TB_ISBUTTONPRESSED: return IsFlag(t, id, TBSTATE_PRESSED);
    case TB_ISBUTTONHIDDEN: return IsFlag(t, id, TBSTATE_HIDDEN);
    case TB_SETSTATE: {
      const int index = IndexOf(t, id);
      if (index < 0) return FALSE;
      t.buttons[index].state = static_cast<BYTE>(LOWORD(lParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case TB_GETSTATE: {
      const int index = IndexOf(t, id);
      return index < 0 ? -1 : t.buttons[index].state;
    }
    case TB_GETITEMRECT:
    case TB_GETRECT: {
      const int index = message == TB_GETRECT ? IndexOf(t, id) : id;
      auto* out = reinterpret_cast<RECT*>(lParam);
      if (!out || index < 0 || index >= Count(t)) return FALSE;
      *out = Layout(hwnd, t)[index];
      return TRUE;
    }
    case TB_SETIMAGELIST: return reinterpret_cast<LRESULT>(std::exchange(t.images, reinterpret_cast<HIMAGELIST>(lParam)));
    case TB_GETIMAGELIST: return reinterpret_cast<LRESULT>(t.images);
    case WM_USER + 37:  // TB_SETPARENT
      return reinterpret_cast<LRESULT>(std::exchange(t.notify, reinterpret_cast<HWND>(wParam)));
    case WM_SETFONT:
      t.font = reinterpret_cast<HFONT>(wParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(t.font);
    case WM_LBUTTONDOWN: {
      const int index = HitButton(hwnd, t, zb::wm::PointOf(lParam));
      if (index < 0) return 0;
      const BYTE state = t.buttons[index].state;
      if (!(state & TBSTATE_ENABLED) || (state & TBSTATE_INDETERMINATE)) return 0;
      t.pressed = index;
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_LBUTTONUP: {
      if (t.pressed < 0) return 0;
      const int pressed = std::exchange(t.pressed, -1);
      ReleaseCapture();
      InvalidateRect(hwnd, nullptr, TRUE);
      if (HitButton(hwnd, t, zb::wm::PointOf(lParam)) == pressed) Press(hwnd, t, pressed);
      return 0;
    }
    case WM_SIZE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(hwnd, t); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK ToolbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return zb::wm::WithState<Toolbar, Handle>(hwnd, message, wParam, lParam);
}

}  // namespace zb::cc
