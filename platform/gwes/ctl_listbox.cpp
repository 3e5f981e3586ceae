// The "LISTBOX" class (and "ComboLBox", the drop-down list of a combo box): items of text and
// data, sorted when asked, one selection or several, owner-drawn rows of a fixed height, its own
// bar under WS_VSCROLL. LBN_SELCHANGE goes to the parent only for changes the user makes.
#include <algorithm>
#include <vector>

#include "gwes/control_state.h"
#include "gwes/ctl_common.h"
#include "gwes/ctl_listbox.h"
#include "gwes/ctl_procs.h"
#include "gwes/scroll_bar.h"

namespace zb::wm {
namespace {

struct Item {
  std::u16string text;
  ULONG_PTR data = 0;
  bool selected = false;
};

struct ListState {
  std::vector<Item> items;
  HFONT font = nullptr;
  int top = 0;         // the first item shown
  int caret = -1;      // the item with the focus mark
  int selection = -1;  // single selection
  int itemHeight = 0;  // 0: from the font
  bool focused = false;
  bool tracking = false;
  bool redraw = true;
  BarTracker bar;
  HWND combo = nullptr;
};

LONG_PTR Style(HWND hwnd) { return GetWindowLongW(hwnd, GWL_STYLE); }
bool Multiple(HWND hwnd) { return (Style(hwnd) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
bool OwnerDrawn(HWND hwnd) { return (Style(hwnd) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
bool HasStrings(HWND hwnd) { return !OwnerDrawn(hwnd) || (Style(hwnd) & LBS_HASSTRINGS); }
int Count(const ListState& l) { return static_cast<int>(l.items.size()); }

int ItemHeight(HWND hwnd, ListState& l) {
  if (l.itemHeight > 0) return l.itemHeight;
  const int textHeight = TextHeight(hwnd, l.font);
  return std::max<int>(textHeight + Scaled(2), 1);
}

// Where items go: the client area less the border and the bar.
RECT ItemArea(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  if (Style(hwnd) & WS_BORDER) InflateRect(&r, -1, -1);
  RECT bar = VerticalBarStrip(hwnd);
  if (!IsRectEmpty(&bar)) r.right = bar.left;
  return r;
}

int PageSize(HWND hwnd, ListState& l) {
  const RECT r = ItemArea(hwnd);
  return std::max<int>((r.bottom - r.top) / ItemHeight(hwnd, l), 1);
}

RECT ItemRect(HWND hwnd, ListState& l, int index) {
  const RECT r = ItemArea(hwnd);
  const int h = ItemHeight(hwnd, l);
  const int y = r.top + (index - l.top) * h;
  return RECT{r.left, y, r.right, y + h};
}

void Repaint(HWND hwnd, ListState& l) {
  if (l.redraw) InvalidateRect(hwnd, nullptr, TRUE);
}

void SyncBar(HWND hwnd, ListState& l) {
  if (!(Style(hwnd) & WS_VSCROLL)) return;
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(Count(l) - 1, 0),
                  static_cast<UINT>(PageSize(hwnd, l)), l.top, 0};
  SetScrollInfo(hwnd, SB_VERT, &info, l.redraw);
}

void SetTop(HWND hwnd, ListState& l, int top) {
  top = std::clamp(top, 0, std::max(Count(l) - PageSize(hwnd, l), 0));
  if (top == l.top) return;
  l.top = top;
  SyncBar(hwnd, l);
  Repaint(hwnd, l);
}

void Show(HWND hwnd, ListState& l, int index) {
  if (index < 0) return;
  const int page = PageSize(hwnd, l);
  if (index < l.top) SetTop(hwnd, l, index);
  else if (index >= l.top + page) SetTop(hwnd, l, index - page + 1);
}

void Notify(HWND hwnd, const ListState& l, UINT code) {
  if (l.combo) return;  // a combo box's list answers to the combo, which tells its own parent
  if (Style(hwnd) & LBS_NOTIFY) NotifyCommand(hwnd, code);
}

bool Select(HWND hwnd, ListState& l, int index) {
  if (index < -1 || index >= Count(l)) return false;
  const bool changed = index != l.selection;
  l.selection = index;
  l.caret = index;
  if (changed) Repaint(hwnd, l);
  Show(hwnd, l, index);
  return changed;
}

int FindText(const ListState& l, int after, const std::u16string& wanted, bool exact) {
  const int n = Count(l);
  for (int k = 1; k <= n; ++k) {
    const int i = ((after < 0 ? -1 : after) + k) % n;
    const std::u16string& text = l.items[i].text;
    if (exact ? text.size() != wanted.size() : text.size() < wanted.size()) continue;
    if (_wcsnicmp(text.c_str(), wanted.c_str(), wanted.size()) == 0) return i;
  }
  return LB_ERR;
}

int Insert(HWND hwnd, ListState& l, int at, LPARAM lParam, bool sorted) {
  Item item;
  if (HasStrings(hwnd)) {
    item.text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
  } else {
    item.data = static_cast<ULONG_PTR>(lParam);
  }
  if (sorted && HasStrings(hwnd)) {
    at = static_cast<int>(std::upper_bound(l.items.begin(), l.items.end(), item,
                                           [](const Item& a, const Item& b) { return _wcsicmp(a.text.c_str(), b.text.c_str()) < 0; }) -
                          l.items.begin());
  } else if (at < 0 || at > Count(l)) {
    if (at > Count(l)) return LB_ERR;
    at = Count(l);
  }
  l.items.insert(l.items.begin() + at, std::move(item));
  if (l.selection >= at) ++l.selection;
  if (l.caret >= at) ++l.caret;
  SyncBar(hwnd, l);
  Repaint(hwnd, l);
  return at;
}

void Delete(HWND hwnd, ListState& l, int at) {
  if (OwnerDrawn(hwnd)) {
    DELETEITEMSTRUCT del{ODT_LISTBOX, static_cast<UINT>(GetWindowLongW(hwnd, GWL_ID)), static_cast<UINT>(at), hwnd,
                         l.items[at].data};
    if (HWND parent = GetParent(hwnd)) SendMessageW(parent, WM_DELETEITEM, del.CtlID, reinterpret_cast<LPARAM>(&del));
  }
  l.items.erase(l.items.begin() + at);
  if (l.selection == at) l.selection = -1;
  else if (l.selection > at) --l.selection;
  if (l.caret >= Count(l)) l.caret = Count(l) - 1;
  SetTop(hwnd, l, l.top);
  SyncBar(hwnd, l);
  Repaint(hwnd, l);
}

int ItemAt(HWND hwnd, ListState& l, POINT p, bool* outside) {
  const RECT r = ItemArea(hwnd);
  const int h = ItemHeight(hwnd, l);
  const int row = p.y < r.top ? -1 : (p.y - r.top) / h;
  const int index = l.top + row;
  *outside = !PtInRect(&r, p) || index < 0 || index >= Count(l);
  return std::clamp(index, 0, std::max(Count(l) - 1, 0));
}

void PaintItem(HWND hwnd, ListState& l, HDC dc, int index, bool enabled) {
  const RECT row = ItemRect(hwnd, l, index);
  const Item& item = l.items[index];
  const bool selected = Multiple(hwnd) ? item.selected : index == l.selection;
  if (OwnerDrawn(hwnd)) {
    DRAWITEMSTRUCT d{};
    d.CtlType = l.combo ? ODT_COMBOBOX : ODT_LISTBOX;
    d.CtlID = static_cast<UINT>(GetWindowLongW(l.combo ? l.combo : hwnd, GWL_ID));
    d.itemID = static_cast<UINT>(index);
    d.itemAction = ODA_DRAWENTIRE;
    d.itemState = (selected ? ODS_SELECTED : 0) | (l.focused && index == l.caret ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
    d.hwndItem = l.combo ? l.combo : hwnd;
    d.hDC = dc;
    d.rcItem = row;
    d.itemData = item.data;
    if (HWND parent = GetParent(d.hwndItem)) SendMessageW(parent, WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
    return;
  }
  if (selected) Fill(dc, row, GetSysColor(COLOR_HIGHLIGHT));
  const COLORREF text = GetTextColor(dc);
  if (selected) SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  RECT t = row;
  t.left += Scaled(2);
  DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SetTextColor(dc, text);
  if (l.focused && index == l.caret && Multiple(hwnd)) DrawFocusRect(dc, &row);
}

void Paint(HWND hwnd, ListState& l) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  const int saved = SaveDC(dc);
  RECT client;
  GetClientRect(hwnd, &client);
  const bool enabled = IsWindowEnabled(hwnd);
  HBRUSH brush = ParentColours(l.combo ? l.combo : hwnd, dc, l.font, WM_CTLCOLORLISTBOX);
  FillRect(dc, &client, brush);
  if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  SetBkMode(dc, TRANSPARENT);
  const RECT area = ItemArea(hwnd);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  const int page = PageSize(hwnd, l);
  for (int i = l.top; i < Count(l) && i <= l.top + page; ++i) PaintItem(hwnd, l, dc, i, enabled);
  RestoreDC(dc, saved);
  if (Style(hwnd) & WS_BORDER) Frame(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  if (Style(hwnd) & WS_VSCROLL) PaintBar(dc, LayBar(VerticalBarStrip(hwnd), true, WindowBar(hwnd, SB_VERT)), enabled);
  EndPaint(hwnd, &ps);
}

// A choice the user made at `index`.
void UserSelect(HWND hwnd, ListState& l, int index, bool toggle) {
  if (index < 0 || index >= Count(l)) return;
  if (Multiple(hwnd)) {
    if (toggle) l.items[index].selected = !l.items[index].selected;
    l.caret = index;
    Show(hwnd, l, index);
    Repaint(hwnd, l);
    Notify(hwnd, l, LBN_SELCHANGE);
    return;
  }
  if (Select(hwnd, l, index)) Notify(hwnd, l, LBN_SELCHANGE);
}

void Key(HWND hwnd, ListState& l, UINT vk) {
  const int current = Multiple(hwnd) ? l.caret : l.selection;
  int next = current;
  const int page = PageSize(hwnd, l);
  switch (vk) {
    case VK_UP: next = current - 1; break;
    case VK_DOWN: next = current + 1; break;
    case VK_PRIOR: next = current - page + 1; break;
    case VK_NEXT: next = current + page - 1; break;
    case VK_HOME: next = 0; break;
    case VK_END: next = Count(l) - 1; break;
    case VK_SPACE:
      if (Multiple(hwnd)) UserSelect(hwnd, l, current, true);
      return;
    default: return;
  }
  if (Count(l) == 0) return;
  next = std::clamp(next, 0, Count(l) - 1);
  if (next != current) UserSelect(hwnd, l, next, false);
}

LRESULT Text(const ListState& l, int index, LPWSTR out) {
  if (index < 0 || index >= Count(l)) return LB_ERR;
  const std::u16string& text = l.items[index].text;
  if (out) {
    std::copy(text.begin(), text.end(), out);
    out[text.size()] = 0;
  }
  return static_cast<LRESULT>(text.size());
}

LRESULT Handle(HWND hwnd, ListState& l, UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
  switch (message) {
    case kListSetCombo:
      l.combo = reinterpret_cast<HWND>(wParam);
      return 0;
    case WM_CREATE:
      if (OwnerDrawn(hwnd)) {
        MEASUREITEMSTRUCT m{ODT_LISTBOX, static_cast<UINT>(GetWindowLongW(hwnd, GWL_ID)), 0, 0,
                            static_cast<UINT>(ItemHeight(hwnd, l)), 0};
        if (HWND parent = GetParent(hwnd)) SendMessageW(parent, WM_MEASUREITEM, m.CtlID, reinterpret_cast<LPARAM>(&m));
        l.itemHeight = static_cast<int>(m.itemHeight);
      }
      return 0;
    case WM_SIZE:
      SetTop(hwnd, l, l.top);
      SyncBar(hwnd, l);
      Repaint(hwnd, l);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT:
      l.font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) Repaint(hwnd, l);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(l.font);
    case WM_SETREDRAW:
      l.redraw = wParam != 0;
      if (l.redraw) {
        SyncBar(hwnd, l);
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case LB_ADDSTRING:
      return Insert(hwnd, l, -1, lParam, (Style(hwnd) & LBS_SORT) != 0);
    case LB_INSERTSTRING:
      return Insert(hwnd, l, index, lParam, false);
    case LB_DELETESTRING:
      if (index < 0 || index >= Count(l)) return LB_ERR;
      Delete(hwnd, l, index);
      return Count(l);
    case LB_RESETCONTENT:
      while (!l.items.empty()) Delete(hwnd, l, Count(l) - 1);
      l.selection = l.caret = -1;
      l.top = 0;
      SyncBar(hwnd, l);
      return 0;
    case LB_INITSTORAGE:
      l.items.reserve(l.items.size() + wParam);
      return Count(l);
    case LB_GETCOUNT:
      return Count(l);
    case LB_SETCURSEL:
      if (Multiple(hwnd)) return LB_ERR;
      if (index < -1 || index >= Count(l)) {
        Select(hwnd, l, -1);
        return LB_ERR;
      }
      Select(hwnd, l, index);
      return index < 0 ? LB_ERR : index;
    case LB_GETCURSEL:
      return Multiple(hwnd) ? l.caret : l.selection;
    case LB_SETSEL: {
      if (!Multiple(hwnd)) return LB_ERR;
      const int at = static_cast<int>(lParam);
      if (at < -1 || at >= Count(l)) return LB_ERR;
      for (int i = 0; i < Count(l); ++i)
        if (at == -1 || i == at) l.items[i].selected = wParam != 0;
      if (at >= 0) l.caret = at;
      Repaint(hwnd, l);
      return 0;
    }
    case LB_GETSEL:
      if (index < 0 || index >= Count(l)) return LB_ERR;
      return Multiple(hwnd) ? (l.items[index].selected ? 1 : 0) : (index == l.selection ? 1 : 0);
    case LB_GETSELCOUNT: {
      if (!Multiple(hwnd)) return LB_ERR;
      return std::count_if(l.items.begin(), l.items.end(), [](const Item& i) { return i.selected; });
    }
    case LB_GETSELITEMS: {
      if (!Multiple(hwnd)) return LB_ERR;
      auto* out = reinterpret_cast<int*>(lParam);
      int n = 0;
      for (int i = 0; i < Count(l) && n < index; ++i)
        if (l.items[i].selected && out) out[n++] = i;
      return n;
    }
    case LB_GETTEXT:
      if (!HasStrings(hwnd)) {
        if (index < 0 || index >= Count(l)) return LB_ERR;
        if (lParam) *reinterpret_cast<ULONG_PTR*>(lParam) = l.items[index].data;
        return sizeof(ULONG_PTR);
      }
      return Text(l, index, reinterpret_cast<LPWSTR>(lParam));
    case LB_GETTEXTLEN:
      return Text(l, index, nullptr);
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
      if (l.items.empty() || !lParam) return LB_ERR;
      return FindText(l, index, reinterpret_cast<LPCWSTR>(lParam), message == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING: {
      if (l.items.empty() || !lParam || Multiple(hwnd)) return LB_ERR;
      const int found = FindText(l, index, reinterpret_cast<LPCWSTR>(lParam), false);
      if (found >= 0) Select(hwnd, l, found);
      return found;
    }
    case LB_GETITEMDATA:
      if (index < 0 || index >= Count(l)) return LB_ERR;
      return static_cast<LRESULT>(l.items[index].data);
    case LB_SETITEMDATA:
      if (index < 0 || index >= Count(l)) return LB_ERR;
      l.items[index].data = static_cast<ULONG_PTR>(lParam);
      return 0;
    case LB_GETTOPINDEX:
      return l.top;
    case LB_SETTOPINDEX:
      if (index < 0 || (index >= Count(l) && Count(l))) return LB_ERR;
      SetTop(hwnd, l, index);
      return 0;
    case LB_GETITEMHEIGHT:
      return ItemHeight(hwnd, l);
    case LB_SETITEMHEIGHT:
      if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255) return LB_ERR;
      l.itemHeight = LOWORD(lParam);
      SyncBar(hwnd, l);
      Repaint(hwnd, l);
      return 0;
    case LB_GETITEMRECT:
      if (index < 0 || index >= Count(l) || !lParam) return LB_ERR;
      *reinterpret_cast<RECT*>(lParam) = ItemRect(hwnd, l, index);
      return 1;
    case LB_SETCARETINDEX:
      if (index < 0 || index >= Count(l)) return LB_ERR;
      l.caret = index;
      Show(hwnd, l, index);
      Repaint(hwnd, l);
      return 0;
    case LB_GETCARETINDEX:
      return l.caret;
    case LB_ITEMFROMPOINT: {
      bool outside = false;
      const int at = ItemAt(hwnd, l, PointOf(lParam), &outside);
      return MAKELRESULT(at, outside ? 1 : 0);
    }
    case WM_VSCROLL: {
      const int page = PageSize(hwnd, l);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: SetTop(hwnd, l, l.top - 1); break;
        case SB_LINEDOWN: SetTop(hwnd, l, l.top + 1); break;
        case SB_PAGEUP: SetTop(hwnd, l, l.top - page); break;
        case SB_PAGEDOWN: SetTop(hwnd, l, l.top + page); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetTop(hwnd, l, static_cast<SHORT>(HIWORD(wParam))); break;
        case SB_TOP: SetTop(hwnd, l, 0); break;
        case SB_BOTTOM: SetTop(hwnd, l, Count(l)); break;
        default: break;
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const POINT p = PointOf(lParam);
      if (l.bar.PressOwn(hwnd, p)) return 0;
      if (!l.combo) SetFocus(hwnd);
      bool outside = false;
      const int at = ItemAt(hwnd, l, p, &outside);
      if (outside) return 0;
      if (l.combo) {
        SendMessageW(l.combo, kComboListPicked, at, 0);
        return 0;
      }
      if (message == WM_LBUTTONDBLCLK) {
        Notify(hwnd, l, LBN_DBLCLK);
        return 0;
      }
      UserSelect(hwnd, l, at, true);
      l.tracking = !Multiple(hwnd);
      if (l.tracking) SetCapture(hwnd);
      return 0;
    }
    case WM_MOUSEMOVE: {
      const POINT p = PointOf(lParam);
      if (l.bar.MoveOwn(hwnd, p)) return 0;
      bool outside = false;
      const int at = ItemAt(hwnd, l, p, &outside);
      if (l.combo && !outside) SendMessageW(l.combo, kComboListPicked, at, 0);
      if (l.tracking && !outside) UserSelect(hwnd, l, at, false);
      return 0;
    }
    case WM_LBUTTONUP: {
      const POINT p = PointOf(lParam);
      if (l.bar.ReleaseOwn(hwnd, p)) return 0;
      bool outside = false;
      const int at = ItemAt(hwnd, l, p, &outside);
      if (l.combo && !outside) SendMessageW(l.combo, kComboListPicked, at, 1);
      if (l.tracking) {
        l.tracking = false;
        ReleaseCapture();
      }
      return 0;
    }
    case WM_KEYDOWN:
      Key(hwnd, l, static_cast<UINT>(wParam));
      return 0;
    case WM_CHAR: {
      if (wParam < 0x20 || l.items.empty() || !HasStrings(hwnd)) return 0;
      const int found = FindText(l, Multiple(hwnd) ? l.caret : l.selection, std::u16string(1, static_cast<char16_t>(wParam)), false);
      if (found >= 0) UserSelect(hwnd, l, found, false);
      return 0;
    }
    case WM_SETFOCUS:
      l.focused = true;
      if (l.caret < 0 && Count(l)) l.caret = 0;
      Repaint(hwnd, l);
      Notify(hwnd, l, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      l.focused = false;
      Repaint(hwnd, l);
      Notify(hwnd, l, LBN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      Repaint(hwnd, l);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, l);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return WithState<ListState, Handle>(hwnd, message, wParam, lParam);
}

}  // namespace zb::wm
