// The "BUTTON" class: push and default push buttons, check boxes (two- and three-state), radio
// buttons, group boxes and owner-drawn buttons. A tap (press and release inside) or the space
// key clicks; a click of an automatic kind changes its check first, then BN_CLICKED goes to the
// parent. Drawn flat: a black frame on white, inverted while pushed.
#include <algorithm>

#include "gwes/control_state.h"
#include "gwes/ctl_common.h"
#include "gwes/ctl_procs.h"

namespace zb::wm {
namespace {

struct ButtonState {
  HFONT font = nullptr;
  UINT check = BST_UNCHECKED;
  bool pushed = false;   // drawn pushed in (BST_PUSHED)
  bool focused = false;  // BST_FOCUS
  bool tracking = false; // the stylus went down on it and has not come up
  bool spaceDown = false;
  HANDLE image = nullptr;
};

UINT TypeOf(HWND hwnd) { return static_cast<UINT>(GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK); }

bool IsCheckKind(UINT type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE ||
         type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}
bool IsRadio(UINT type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

void Redraw(HWND hwnd) { InvalidateRect(hwnd, nullptr, TRUE); }

void SetCheck(HWND hwnd, ButtonState& b, UINT check) {
  const UINT type = TypeOf(hwnd);
  if (!IsCheckKind(type)) return;
  if (type != BS_3STATE && type != BS_AUTO3STATE && check == BST_INDETERMINATE) check = BST_CHECKED;
  if (check > BST_INDETERMINATE) check = BST_CHECKED;
  if (b.check == check) return;
  b.check = check;
  // A checked radio button is where the tab key enters its group.
  if (type == BS_AUTORADIOBUTTON) {
    LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
    SetWindowLongW(hwnd, GWL_STYLE, check ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
  }
  Redraw(hwnd);
}

// Unchecks the other automatic radio buttons of the group `hwnd` belongs to.
void UncheckGroupMates(HWND hwnd) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  for (HWND other = GetNextDlgGroupItem(parent, hwnd, FALSE); other && other != hwnd;
       other = GetNextDlgGroupItem(parent, other, FALSE)) {
    if (SendMessageW(other, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

void Click(HWND hwnd, ButtonState& b) {
  switch (TypeOf(hwnd)) {
    case BS_AUTOCHECKBOX:
      SetCheck(hwnd, b, b.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
      break;
    case BS_AUTO3STATE:
      SetCheck(hwnd, b, (b.check + 1) % 3);
      break;
    case BS_AUTORADIOBUTTON:
      SetCheck(hwnd, b, BST_CHECKED);
      UncheckGroupMates(hwnd);
      break;
    default:
      break;
  }
  NotifyCommand(hwnd, BN_CLICKED);
}

UINT DialogCode(UINT type) {
  switch (type) {
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
    case BS_PUSHBOX: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
  }
}

// The text's place in `area`, from the alignment bits (push buttons centre by default).
UINT TextFormat(LONG_PTR style, bool push) {
  UINT format = DT_NOPREFIX;
  format |= (style & BS_MULTILINE) ? DT_WORDBREAK : (DT_SINGLELINE | DT_VCENTER);
  switch (style & BS_CENTER) {
    case BS_LEFT: format |= DT_LEFT; break;
    case BS_RIGHT: format |= DT_RIGHT; break;
    case BS_CENTER: format |= DT_CENTER; break;
    default: format |= push ? DT_CENTER : DT_LEFT; break;
  }
  return format;
}

void DrawImage(HDC dc, const RECT& area, LONG_PTR style, HANDLE image) {
  if (style & BS_ICON) {
    const int size = std::min<int>(GetSystemMetrics(SM_CXICON), std::min(area.right - area.left, area.bottom - area.top));
    DrawIconEx(dc, (area.left + area.right - size) / 2, (area.top + area.bottom - size) / 2,
               static_cast<HICON>(image), size, size, 0, nullptr, DI_NORMAL);
    return;
  }
  BITMAP bm{};
  if (!GetObjectW(image, sizeof bm, &bm)) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, image);
  BitBlt(dc, (area.left + area.right - bm.bmWidth) / 2, (area.top + area.bottom - bm.bmHeight) / 2, bm.bmWidth,
         bm.bmHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

void PaintOwnerDrawn(HWND hwnd, HDC dc, const RECT& client, const ButtonState& b) {
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.CtlID = static_cast<UINT>(GetWindowLongW(hwnd, GWL_ID));
  item.itemAction = ODA_DRAWENTIRE;
  item.itemState = (b.pushed ? ODS_SELECTED : 0) | (b.focused ? ODS_FOCUS : 0) | (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
  item.hwndItem = hwnd;
  item.hDC = dc;
  item.rcItem = client;
  if (HWND parent = GetParent(hwnd)) SendMessageW(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

void PaintPush(HWND hwnd, HDC dc, const RECT& client, const ButtonState& b, LONG_PTR style) {
  HBRUSH background = ParentColours(hwnd, dc, b.font, WM_CTLCOLORBTN);
  FillRect(dc, &client, background);
  const bool enabled = IsWindowEnabled(hwnd);
  const COLORREF ink = enabled ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT);
  RECT face = client;
  Fill(dc, face, b.pushed ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_WINDOW));
  Frame(dc, face, ink);
  if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
    InflateRect(&face, -1, -1);
    Frame(dc, face, ink);
  }
  InflateRect(&face, -2, -2);
  if ((style & (BS_ICON | BS_BITMAP)) && b.image) {
    DrawImage(dc, face, style, b.image);
  } else {
    std::u16string text = WindowText(hwnd);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, b.pushed ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ink);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &face, TextFormat(style, true));
  }
  if (b.focused) {
    InflateRect(&face, -1, -1);
    DrawFocusRect(dc, &face);
  }
}

void PaintCheck(HWND hwnd, HDC dc, const RECT& client, const ButtonState& b, LONG_PTR style, UINT type) {
  HBRUSH background = ParentColours(hwnd, dc, b.font, WM_CTLCOLORSTATIC);
  FillRect(dc, &client, background);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const int box = std::min<int>(std::max<int>(Scaled(12), tm.tmHeight - 2), client.bottom - client.top);
  const bool leftText = (style & BS_LEFTTEXT) != 0;
  const int boxLeft = leftText ? client.right - box : client.left;
  RECT boxRect{boxLeft, (client.top + client.bottom - box) / 2, boxLeft + box, (client.top + client.bottom - box) / 2 + box};
  UINT state = IsRadio(type) ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
  if (b.check) state |= DFCS_CHECKED;
  if (b.pushed) state |= DFCS_PUSHED;
  if (!IsWindowEnabled(hwnd)) state |= DFCS_INACTIVE;
  DrawFrameControl(dc, &boxRect, DFC_BUTTON, state | DFCS_FLAT);
  if (b.check == BST_INDETERMINATE) {
    RECT inner = boxRect;
    InflateRect(&inner, -3, -3);
    Fill(dc, inner, GetSysColor(COLOR_GRAYTEXT));
  }
  const int gap = Scaled(4);
  RECT text = client;
  if (leftText) {
    text.right = boxRect.left - gap;
  } else {
    text.left = boxRect.right + gap;
  }
  std::u16string label = WindowText(hwnd);
  SetBkMode(dc, TRANSPARENT);
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text, TextFormat(style, false));
  if (b.focused && !label.empty()) {
    RECT measure = text;
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &measure, TextFormat(style, false) | DT_CALCRECT);
    const int height = measure.bottom - measure.top;
    RECT focus{text.left - 1, (text.top + text.bottom - height) / 2 - 1,
               std::min<LONG>(text.left + (measure.right - measure.left) + 1, text.right),
               (text.top + text.bottom - height) / 2 + height + 1};
    DrawFocusRect(dc, &focus);
  }
}

void PaintGroup(HWND hwnd, HDC dc, const RECT& client, const ButtonState& b) {
  HBRUSH background = ParentColours(hwnd, dc, b.font, WM_CTLCOLORSTATIC);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const int mid = tm.tmHeight / 2;
  Frame(dc, RECT{client.left, client.top + mid, client.right, client.bottom}, GetSysColor(COLOR_WINDOWFRAME));
  std::u16string label = WindowText(hwnd);
  if (label.empty()) return;
  RECT text{client.left + Scaled(6), client.top, client.right - Scaled(6), client.top + tm.tmHeight};
  RECT measure = text;
  DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &measure, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  RECT behind{text.left - 2, text.top, std::min<LONG>(measure.right + 2, text.right), text.bottom};
  FillRect(dc, &behind, background);
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text, DT_SINGLELINE | DT_NOPREFIX);
}

void Paint(HWND hwnd, ButtonState& b) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  const UINT type = static_cast<UINT>(style & BS_TYPEMASK);
  const int saved = SaveDC(dc);
  if (type == BS_OWNERDRAW) {
    PaintOwnerDrawn(hwnd, dc, client, b);
  } else if (type == BS_GROUPBOX) {
    PaintGroup(hwnd, dc, client, b);
  } else if (IsCheckKind(type) && !(style & BS_PUSHLIKE)) {
    PaintCheck(hwnd, dc, client, b, style, type);
  } else {
    ButtonState shown = b;
    if (IsCheckKind(type) && b.check) shown.pushed = true;  // a push-like check stays in while checked
    PaintPush(hwnd, dc, client, shown, style);
  }
  RestoreDC(dc, saved);
  EndPaint(hwnd, &ps);
}

void SetPushed(HWND hwnd, ButtonState& b, bool pushed) {
  if (b.pushed == pushed) return;
  b.pushed = pushed;
  Redraw(hwnd);
  UpdateWindow(hwnd);
}

LRESULT Handle(HWND hwnd, ButtonState& b, UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT type = TypeOf(hwnd);
  switch (message) {
    case WM_GETDLGCODE:
      return DialogCode(type);
    case WM_SETFONT:
      b.font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) Redraw(hwnd);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(b.font);
    case BM_GETCHECK:
      return IsCheckKind(type) ? b.check : 0;
    case BM_SETCHECK:
      SetCheck(hwnd, b, static_cast<UINT>(wParam));
      return 0;
    case BM_GETSTATE:
      return (IsCheckKind(type) ? b.check : 0) | (b.pushed ? BST_PUSHED : 0) | (b.focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
      SetPushed(hwnd, b, wParam != 0);
      return 0;
    case BM_SETSTYLE: {
      LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
      SetWindowLongW(hwnd, GWL_STYLE, (style & ~0xFFFF) | (wParam & 0xFFFF));
      if (LOWORD(lParam)) Redraw(hwnd);
      return 0;
    }
    case BM_CLICK:
      if (IsWindowEnabled(hwnd)) Click(hwnd, b);
      return 0;
    case BM_SETIMAGE: {
      HANDLE previous = b.image;
      b.image = reinterpret_cast<HANDLE>(lParam);
      Redraw(hwnd);
      return reinterpret_cast<LRESULT>(previous);
    }
    case BM_GETIMAGE:
      return reinterpret_cast<LRESULT>(b.image);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (type == BS_GROUPBOX) return 0;
      SetFocus(hwnd);
      SetCapture(hwnd);
      b.tracking = true;
      SetPushed(hwnd, b, true);
      return 0;
    case WM_MOUSEMOVE:
      if (b.tracking) {
        RECT client;
        GetClientRect(hwnd, &client);
        SetPushed(hwnd, b, PtInRect(&client, PointOf(lParam)) != FALSE);
      }
      return 0;
    case WM_LBUTTONUP:
      if (b.tracking) {
        b.tracking = false;
        ReleaseCapture();
        const bool inside = b.pushed;
        SetPushed(hwnd, b, false);
        if (inside) Click(hwnd, b);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && !(lParam & (1 << 30)) && type != BS_GROUPBOX) {
        b.spaceDown = true;
        SetPushed(hwnd, b, true);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && b.spaceDown) {
        b.spaceDown = false;
        SetPushed(hwnd, b, false);
        Click(hwnd, b);
      }
      return 0;
    case WM_SETFOCUS:
      b.focused = true;
      Redraw(hwnd);
      if (GetWindowLongW(hwnd, GWL_STYLE) & BS_NOTIFY) NotifyCommand(hwnd, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      b.focused = false;
      b.spaceDown = false;
      if (!b.tracking) b.pushed = false;
      Redraw(hwnd);
      if (GetWindowLongW(hwnd, GWL_STYLE) & BS_NOTIFY) NotifyCommand(hwnd, BN_KILLFOCUS);
      return 0;
    case WM_CAPTURECHANGED:
      if (b.tracking && reinterpret_cast<HWND>(lParam) != hwnd) {
        b.tracking = false;
        SetPushed(hwnd, b, false);
      }
      return 0;
    case WM_ENABLE:
      Redraw(hwnd);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcW(hwnd, message, wParam, lParam);
      Redraw(hwnd);
      return r;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, b);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return WithState<ButtonState, Handle>(hwnd, message, wParam, lParam);
}

}  // namespace zb::wm
