// The "COMBOBOX" class: a drop-down list (the chosen item's text and a button), a drop-down
// combo (an edit and a button) or a simple combo (an edit over a list that always shows). The
// items live in a list box ("ComboLBox"), which drops as a window of its own under the combo;
// while it is down the combo holds the stylus and hands the list what falls on it. The parent
// hears CBN_SELCHANGE for choices the user makes, and CBN_DROPDOWN / CBN_CLOSEUP around the drop.
#include <algorithm>

#include "gwes/control_state.h"
#include "gwes/ctl_common.h"
#include "gwes/ctl_listbox.h"
#include "gwes/ctl_procs.h"
#include "gwes/system_classes.h"

namespace zb::wm {
namespace {

constexpr int kEditId = 1001, kListId = 1000;  // the ids the platform gives a combo's parts

struct ComboState {
  HFONT font = nullptr;
  HWND list = nullptr;
  HWND edit = nullptr;
  int droppedHeight = 0;  // the height the template gave: combo and list together
  bool dropped = false;
  bool focused = false;
  bool pressed = false;       // the button is held
  int dropSelection = -1;     // the selection when the list dropped, for a cancel
};

UINT Kind(HWND hwnd) { return static_cast<UINT>(GetWindowLongW(hwnd, GWL_STYLE) & 3); }

int FieldHeight(HWND hwnd, const ComboState& c) {
  const int textHeight = TextHeight(hwnd, c.font);
  return textHeight + Scaled(6);
}

RECT ButtonRect(HWND hwnd, const ComboState& c) {
  RECT r;
  GetClientRect(hwnd, &r);
  const int height = Kind(hwnd) == CBS_SIMPLE ? 0 : std::min<int>(r.bottom, FieldHeight(hwnd, c));
  return RECT{r.right - GetSystemMetrics(SM_CXVSCROLL), 0, r.right, height};
}

int Selection(const ComboState& c) { return static_cast<int>(SendMessageW(c.list, LB_GETCURSEL, 0, 0)); }

std::u16string ItemText(const ComboState& c, int index) {
  const LRESULT length = SendMessageW(c.list, LB_GETTEXTLEN, index, 0);
  if (length < 0) return {};
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  SendMessageW(c.list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

// The edit (when there is one) shows the selected item.
void ShowSelection(HWND hwnd, ComboState& c) {
  const int selection = Selection(c);
  if (c.edit) {
    SetWindowTextW(c.edit, selection >= 0 ? ItemText(c, selection).c_str() : u"");
    SendMessageW(c.edit, EM_SETSEL, 0, -1);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
}

void PlaceList(HWND hwnd, ComboState& c) {
  if (Kind(hwnd) == CBS_SIMPLE) {
    RECT r;
    GetClientRect(hwnd, &r);
    const int field = FieldHeight(hwnd, c);
    MoveWindow(c.list, 0, field, r.right, std::max<int>(r.bottom - field, 0), TRUE);
    return;
  }
  RECT r;
  GetWindowRect(hwnd, &r);
  const int itemHeight = static_cast<int>(SendMessageW(c.list, LB_GETITEMHEIGHT, 0, 0));
  const int count = std::max<int>(static_cast<int>(SendMessageW(c.list, LB_GETCOUNT, 0, 0)), 1);
  const int wanted = std::max(c.droppedHeight - (r.bottom - r.top), itemHeight);
  const int height = std::min(wanted, count * itemHeight) + 2;
  const int screen = GetSystemMetrics(SM_CYSCREEN);
  const int y = r.bottom + height <= screen ? r.bottom : std::max<int>(r.top - height, 0);
  SetWindowPos(c.list, HWND_TOPMOST, r.left, y, r.right - r.left, height, SWP_NOACTIVATE);
}

void Drop(HWND hwnd, ComboState& c, bool down) {
  if (Kind(hwnd) == CBS_SIMPLE || c.dropped == down) return;
  if (down) {
    NotifyCommand(hwnd, CBN_DROPDOWN);
    c.dropped = true;
    c.dropSelection = Selection(c);
    PlaceList(hwnd, c);
    ShowWindow(c.list, SW_SHOWNA);
    SendMessageW(c.list, LB_SETTOPINDEX, std::max(c.dropSelection, 0), 0);
    SetCapture(hwnd);
  } else {
    c.dropped = false;
    ShowWindow(c.list, SW_HIDE);
    if (GetCapture() == hwnd) ReleaseCapture();
    NotifyCommand(hwnd, CBN_CLOSEUP);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
}

// Ends a drop: with `keep` the list's selection stands (CBN_SELENDOK), else the one before it.
void CloseUp(HWND hwnd, ComboState& c, bool keep) {
  if (!c.dropped) return;
  if (keep) {
    NotifyCommand(hwnd, CBN_SELENDOK);
  } else {
    NotifyCommand(hwnd, CBN_SELENDCANCEL);
    if (Selection(c) != c.dropSelection) {
      SendMessageW(c.list, LB_SETCURSEL, c.dropSelection, 0);
      ShowSelection(hwnd, c);
      NotifyCommand(hwnd, CBN_SELCHANGE);
    }
  }
  Drop(hwnd, c, false);
}

// The user moved the selection to `index`.
void UserSelect(HWND hwnd, ComboState& c, int index) {
  const int count = static_cast<int>(SendMessageW(c.list, LB_GETCOUNT, 0, 0));
  if (count == 0) return;
  index = std::clamp(index, 0, count - 1);
  if (index == Selection(c)) return;
  SendMessageW(c.list, LB_SETCURSEL, index, 0);
  ShowSelection(hwnd, c);
  NotifyCommand(hwnd, CBN_SELCHANGE);
}

void Paint(HWND hwnd, ComboState& c) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  const int saved = SaveDC(dc);
  RECT client;
  GetClientRect(hwnd, &client);
  const bool enabled = IsWindowEnabled(hwnd);
  const int field = Kind(hwnd) == CBS_SIMPLE ? FieldHeight(hwnd, c) : std::min<int>(client.bottom, FieldHeight(hwnd, c));
  RECT box{0, 0, client.right, field};
  HBRUSH brush = ParentColours(hwnd, dc, c.font, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
  FillRect(dc, &box, brush);
  const COLORREF ink = enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
  Frame(dc, box, ink);
  if (Kind(hwnd) != CBS_SIMPLE) {
    const RECT button = ButtonRect(hwnd, c);
    Fill(dc, button, c.pressed ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_WINDOW));
    Frame(dc, button, ink);
    Arrow(dc, button, false, c.pressed ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ink);
  }
  if (Kind(hwnd) == CBS_DROPDOWNLIST) {
    RECT text{Scaled(3), 1, ButtonRect(hwnd, c).left - 1, field - 1};
    const int selection = Selection(c);
    if (c.focused && !c.dropped) {
      Fill(dc, text, GetSysColor(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else if (!enabled) {
      SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    SetBkMode(dc, TRANSPARENT);
    if (selection >= 0) {
      const std::u16string shown = ItemText(c, selection);
      RECT inside = text;
      inside.left += Scaled(1);
      DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &inside, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
  }
  RestoreDC(dc, saved);
  EndPaint(hwnd, &ps);
}

void Create(HWND hwnd, ComboState& c, const CREATESTRUCTW& create) {
  const UINT kind = static_cast<UINT>(create.style & 3);
  c.droppedHeight = create.cy;
  DWORD listStyle = WS_VSCROLL | WS_BORDER | LBS_NOTIFY;
  if (create.style & CBS_SORT) listStyle |= LBS_SORT;
  if (create.style & CBS_OWNERDRAWFIXED) listStyle |= LBS_OWNERDRAWFIXED;
  if (create.style & CBS_HASSTRINGS) listStyle |= LBS_HASSTRINGS;
  if (kind == CBS_SIMPLE) {
    c.list = CreateWindowExW(0, u"LISTBOX", u"", WS_CHILD | WS_VISIBLE | listStyle, 0, 0, 0, 0, hwnd,
                             reinterpret_cast<HMENU>(static_cast<intptr_t>(kListId)), create.hInstance, nullptr);
  } else {
    c.list = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kComboListClass, u"", WS_POPUP | listStyle, 0, 0, 0, 0,
                             hwnd, nullptr, create.hInstance, nullptr);
  }
  SendMessageW(c.list, kListSetCombo, reinterpret_cast<WPARAM>(hwnd), 0);
  const int field = FieldHeight(hwnd, c);
  if (kind != CBS_DROPDOWNLIST) {
    DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    if (create.style & CBS_UPPERCASE) editStyle |= ES_UPPERCASE;
    if (create.style & CBS_LOWERCASE) editStyle |= ES_LOWERCASE;
    const int right = kind == CBS_SIMPLE ? create.cx : create.cx - GetSystemMetrics(SM_CXVSCROLL);
    c.edit = CreateWindowExW(0, u"EDIT", u"", editStyle, 1, 1, std::max(right - 2, 0), field - 2, hwnd,
                             reinterpret_cast<HMENU>(static_cast<intptr_t>(kEditId)), create.hInstance, nullptr);
  }
  // A dropping combo is as high as its field; the template's height is for the list.
  if (kind != CBS_SIMPLE) SetWindowPos(hwnd, nullptr, 0, 0, create.cx, field, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Translates a CB_ message about the items into the list's LB_ message.
UINT ListMessage(UINT message) {
  switch (message) {
    case CB_ADDSTRING: return LB_ADDSTRING;
    case CB_INSERTSTRING: return LB_INSERTSTRING;
    case CB_DELETESTRING: return LB_DELETESTRING;
    case CB_RESETCONTENT: return LB_RESETCONTENT;
    case CB_GETCOUNT: return LB_GETCOUNT;
    case CB_GETLBTEXT: return LB_GETTEXT;
    case CB_GETLBTEXTLEN: return LB_GETTEXTLEN;
    case CB_FINDSTRING: return LB_FINDSTRING;
    case CB_FINDSTRINGEXACT: return LB_FINDSTRINGEXACT;
    case CB_GETITEMDATA: return LB_GETITEMDATA;
    case CB_SETITEMDATA: return LB_SETITEMDATA;
    case CB_GETTOPINDEX: return LB_GETTOPINDEX;
    case CB_SETTOPINDEX: return LB_SETTOPINDEX;
    case CB_INITSTORAGE: return LB_INITSTORAGE;
    case CB_GETCURSEL: return LB_GETCURSEL;
    default: return 0;
  }
}

LRESULT Handle(HWND hwnd, ComboState& c, UINT message, WPARAM wParam, LPARAM lParam) {
  if (UINT forwarded = ListMessage(message)) {
    const LRESULT r = SendMessageW(c.list, forwarded, wParam, lParam);
    if (message == CB_RESETCONTENT || message == CB_DELETESTRING) ShowSelection(hwnd, c);
    return r;
  }
  switch (message) {
    case WM_CREATE:
      Create(hwnd, c, *reinterpret_cast<CREATESTRUCTW*>(lParam));
      return 0;
    case WM_DESTROY:
      if (c.list && IsWindow(c.list) && Kind(hwnd) != CBS_SIMPLE) DestroyWindow(c.list);
      return 0;
    case WM_SIZE:
      if (Kind(hwnd) == CBS_SIMPLE && c.list) PlaceList(hwnd, c);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS | (c.dropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETFONT:
      c.font = reinterpret_cast<HFONT>(wParam);
      SendMessageW(c.list, WM_SETFONT, wParam, lParam);
      if (c.edit) SendMessageW(c.edit, WM_SETFONT, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(c.font);
    case CB_SETCURSEL: {
      const LRESULT r = SendMessageW(c.list, LB_SETCURSEL, wParam, 0);
      ShowSelection(hwnd, c);
      return r;
    }
    case CB_SELECTSTRING: {
      const LRESULT r = SendMessageW(c.list, LB_SELECTSTRING, wParam, lParam);
      if (r >= 0) ShowSelection(hwnd, c);
      return r;
    }
    case CB_SHOWDROPDOWN:
      Drop(hwnd, c, wParam != 0);
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return c.dropped ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT:
      if (lParam) {
        RECT r;
        GetWindowRect(hwnd, &r);
        r.bottom = r.top + std::max<int>(c.droppedHeight, r.bottom - r.top);
        *reinterpret_cast<RECT*>(lParam) = r;
      }
      return TRUE;
    case CB_GETITEMHEIGHT:
      return static_cast<INT_PTR>(wParam) == -1 ? FieldHeight(hwnd, c) : SendMessageW(c.list, LB_GETITEMHEIGHT, 0, 0);
    case CB_SETITEMHEIGHT:
      return SendMessageW(c.list, LB_SETITEMHEIGHT, 0, lParam);
    case CB_LIMITTEXT:
      if (c.edit) SendMessageW(c.edit, EM_LIMITTEXT, wParam, 0);
      return c.edit ? TRUE : FALSE;
    case CB_GETEDITSEL:
      return c.edit ? SendMessageW(c.edit, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
      if (!c.edit) return CB_ERR;
      SendMessageW(c.edit, EM_SETSEL, static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam)));
      return TRUE;
    case WM_SETTEXT: {
      if (c.edit) return SendMessageW(c.edit, WM_SETTEXT, wParam, lParam);
      // A drop-down list shows only its items: the text chooses the item that has it.
      const LRESULT found = lParam ? SendMessageW(c.list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam) : CB_ERR;
      SendMessageW(c.list, LB_SETCURSEL, found >= 0 ? found : -1, 0);
      ShowSelection(hwnd, c);
      return found >= 0 ? TRUE : CB_ERR;
    }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
      if (c.edit) return SendMessageW(c.edit, message, wParam, lParam);
      const int selection = Selection(c);
      const std::u16string text = selection >= 0 ? ItemText(c, selection) : std::u16string();
      if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
      auto* out = reinterpret_cast<LPWSTR>(lParam);
      if (!out || wParam == 0) return 0;
      const size_t n = std::min(text.size(), static_cast<size_t>(wParam) - 1);
      std::copy_n(text.data(), n, out);
      out[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_COMMAND:
      // From the edit: its changes are the combo's.
      if (reinterpret_cast<HWND>(lParam) == c.edit) {
        if (HIWORD(wParam) == EN_CHANGE) NotifyCommand(hwnd, CBN_EDITCHANGE);
        if (HIWORD(wParam) == EN_UPDATE) NotifyCommand(hwnd, CBN_EDITUPDATE);
        if (HIWORD(wParam) == EN_SETFOCUS && !c.focused) {
          c.focused = true;
          NotifyCommand(hwnd, CBN_SETFOCUS);
        }
        if (HIWORD(wParam) == EN_KILLFOCUS && GetFocus() != hwnd) {
          c.focused = false;
          CloseUp(hwnd, c, false);
          NotifyCommand(hwnd, CBN_KILLFOCUS);
        }
      } else if (reinterpret_cast<HWND>(lParam) == c.list && Kind(hwnd) == CBS_SIMPLE) {
        if (HIWORD(wParam) == LBN_SELCHANGE) {
          ShowSelection(hwnd, c);
          NotifyCommand(hwnd, CBN_SELCHANGE);
        }
        if (HIWORD(wParam) == LBN_DBLCLK) NotifyCommand(hwnd, CBN_DBLCLK);
      }
      return 0;
    case kComboListPicked:
      // The stylus moves the selection over the list; letting go there chooses.
      if (static_cast<int>(wParam) != Selection(c)) {
        SendMessageW(c.list, LB_SETCURSEL, wParam, 0);
        ShowSelection(hwnd, c);
        NotifyCommand(hwnd, CBN_SELCHANGE);
      }
      if (lParam) CloseUp(hwnd, c, true);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const POINT p = PointOf(lParam);
      if (c.dropped) {
        // Held while dropped: a tap on the list goes to it, anywhere else closes.
        POINT screen = p;
        ClientToScreen(hwnd, &screen);
        RECT list;
        GetWindowRect(c.list, &list);
        if (PtInRect(&list, screen)) {
          ScreenToClient(c.list, &screen);
          SendMessageW(c.list, message, wParam, MAKELPARAM(screen.x, screen.y));
          return 0;
        }
        RECT client;
        GetClientRect(hwnd, &client);
        CloseUp(hwnd, c, PtInRect(&client, p) != FALSE);
        return 0;
      }
      if (Kind(hwnd) == CBS_SIMPLE) return 0;
      SetFocus(c.edit ? c.edit : hwnd);
      const RECT button = ButtonRect(hwnd, c);
      if (Kind(hwnd) == CBS_DROPDOWNLIST || PtInRect(&button, p)) {
        c.pressed = true;
        Drop(hwnd, c, true);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      if (c.dropped) {
        POINT screen = PointOf(lParam);
        ClientToScreen(hwnd, &screen);
        RECT list;
        GetWindowRect(c.list, &list);
        if (PtInRect(&list, screen)) {
          ScreenToClient(c.list, &screen);
          SendMessageW(c.list, message, wParam, MAKELPARAM(screen.x, screen.y));
        }
      }
      if (message == WM_LBUTTONUP && c.pressed) {
        c.pressed = false;
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case WM_KEYDOWN: {
      const int selection = Selection(c);
      switch (wParam) {
        case VK_F4:
          if (c.dropped) {
            CloseUp(hwnd, c, true);
          } else {
            Drop(hwnd, c, true);
          }
          return 0;
        case VK_RETURN:
          CloseUp(hwnd, c, true);
          return 0;
        case VK_ESCAPE:
          CloseUp(hwnd, c, false);
          return 0;
        case VK_UP: UserSelect(hwnd, c, selection - 1); return 0;
        case VK_DOWN: UserSelect(hwnd, c, selection < 0 ? 0 : selection + 1); return 0;
        case VK_HOME: UserSelect(hwnd, c, 0); return 0;
        case VK_END: UserSelect(hwnd, c, static_cast<int>(SendMessageW(c.list, LB_GETCOUNT, 0, 0)) - 1); return 0;
        default: return 0;
      }
    }
    case WM_CHAR:
      if (Kind(hwnd) == CBS_DROPDOWNLIST && wParam >= 0x20) {
        const std::u16string prefix(1, static_cast<char16_t>(wParam));
        const LRESULT found = SendMessageW(c.list, LB_FINDSTRING, Selection(c), reinterpret_cast<LPARAM>(prefix.c_str()));
        if (found >= 0) UserSelect(hwnd, c, static_cast<int>(found));
      }
      return 0;
    case WM_SETFOCUS:
      if (c.edit) {
        SetFocus(c.edit);
        return 0;
      }
      c.focused = true;
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyCommand(hwnd, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      if (c.edit && reinterpret_cast<HWND>(wParam) == c.edit) return 0;
      c.focused = false;
      CloseUp(hwnd, c, false);
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyCommand(hwnd, CBN_KILLFOCUS);
      return 0;
    case WM_CAPTURECHANGED:
      if (c.dropped && reinterpret_cast<HWND>(lParam) != hwnd) CloseUp(hwnd, c, false);
      return 0;
    case WM_ENABLE:
      if (c.edit) EnableWindow(c.edit, static_cast<BOOL>(wParam));
      if (Kind(hwnd) == CBS_SIMPLE) EnableWindow(c.list, static_cast<BOOL>(wParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      // The parts take the colours the combo's parent gives the combo.
      if (HWND parent = GetParent(hwnd)) return SendMessageW(parent, message, wParam, reinterpret_cast<LPARAM>(hwnd));
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, c);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return WithState<ComboState, Handle>(hwnd, message, wParam, lParam);
}

}  // namespace zb::wm
