// The list view's geometry (rows under the header, the first cell's state image, icon and
// label), its scrolling, and the state changes every path goes through, with the notifications
// the parent hears for them.
#include <algorithm>

#include "commctrl/listview_state.h"
#include "gwes/control_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {

using zb::wm::Scaled;

ListView::~ListView() {
  if (checkImages) ImageList_Destroy(checkImages);
}

std::shared_ptr<ListView> ListViewOf(HWND hwnd) { return zb::wm::StateOf<ListView>(hwnd); }

bool IsReport(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT; }

int RowHeight(HWND hwnd, ListView& lv) {
  if (lv.rowHeight > 0) return lv.rowHeight;
  const int textHeight = zb::wm::TextHeight(hwnd, lv.font);
  int height = textHeight + Scaled(4);
  for (HIMAGELIST list : {lv.small, lv.stateImages ? lv.stateImages : lv.checkImages}) {
    int cx = 0, cy = 0;
    if (list && ImageList_GetIconSize(list, &cx, &cy)) height = std::max(height, cy + Scaled(2));
  }
  return std::max(height, 1);
}

int HeaderHeight(HWND hwnd, ListView& lv) {
  if (!lv.header || !IsWindowVisible(lv.header)) return 0;
  RECT r;
  GetWindowRect(lv.header, &r);
  return r.bottom - r.top;
}

RECT RowsArea(HWND hwnd, ListView& lv) {
  RECT r;
  GetClientRect(hwnd, &r);
  if (GetWindowLongW(hwnd, GWL_STYLE) & WS_BORDER) InflateRect(&r, -1, -1);
  r.top += HeaderHeight(hwnd, lv);
  RECT bar = zb::wm::VerticalBarStrip(hwnd);
  if (!IsRectEmpty(&bar)) r.right = bar.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

int PageRows(HWND hwnd, ListView& lv) {
  const RECT r = RowsArea(hwnd, lv);
  return std::max<int>((r.bottom - r.top) / RowHeight(hwnd, lv), 1);
}

int TotalWidth(const ListView& lv, HWND hwnd) {
  if (!IsReport(hwnd) || lv.columns.empty()) {
    RECT r;
    GetClientRect(hwnd, &r);
    return r.right;
  }
  int width = 0;
  for (const LvColumn& c : lv.columns) width += c.cx;
  return width;
}

RECT RowRect(HWND hwnd, ListView& lv, int index) {
  const RECT area = RowsArea(hwnd, lv);
  const int h = RowHeight(hwnd, lv);
  const int y = area.top + (index - lv.top) * h;
  const int left = area.left - lv.xOffset;
  return RECT{left, y, left + std::max<int>(TotalWidth(lv, hwnd), area.right - area.left), y + h};
}

RECT CellRect(HWND hwnd, ListView& lv, int index, int column) {
  RECT row = RowRect(hwnd, lv, index);
  if (!IsReport(hwnd) || lv.columns.empty()) return row;
  int x = row.left;
  for (int c = 0; c < column && c < static_cast<int>(lv.columns.size()); ++c) x += lv.columns[c].cx;
  const int width = column < static_cast<int>(lv.columns.size()) ? lv.columns[column].cx : 0;
  return RECT{x, row.top, x + width, row.bottom};
}

namespace {

int ImageWidth(HIMAGELIST list) {
  int cx = 0, cy = 0;
  return list && ImageList_GetIconSize(list, &cx, &cy) ? cx : 0;
}

HIMAGELIST StateList(const ListView& lv) { return lv.stateImages ? lv.stateImages : lv.checkImages; }

}  // namespace

RECT StateImageRect(HWND hwnd, ListView& lv, int index) {
  RECT cell = CellRect(hwnd, lv, index, 0);
  const int w = ImageWidth(StateList(lv));
  cell.left += Scaled(2) + lv.items[index].indent * ImageWidth(lv.small);
  return RECT{cell.left, cell.top, cell.left + w, cell.bottom};
}

RECT IconRect(HWND hwnd, ListView& lv, int index) {
  const RECT state = StateImageRect(hwnd, lv, index);
  const int w = ImageWidth(lv.small);
  const int left = state.right + (state.right > state.left ? Scaled(2) : 0);
  return RECT{left, state.top, left + w, state.bottom};
}

RECT LabelRect(HWND hwnd, ListView& lv, int index) {
  const RECT icon = IconRect(hwnd, lv, index);
  RECT cell = CellRect(hwnd, lv, index, 0);
  cell.left = icon.right + (icon.right > icon.left ? Scaled(2) : 0);
  if (cell.right < cell.left) cell.right = cell.left;
  return cell;
}

LRESULT Notify(HWND hwnd, UINT code, NMHDR* header) { return zb::wm::NotifyParent(hwnd, code, header); }

LRESULT NotifyItem(HWND hwnd, UINT code, int item, int subItem, POINT at) {
  NMLISTVIEW n{};
  n.iItem = item;
  n.iSubItem = subItem;
  n.ptAction = at;
  if (auto lv = ListViewOf(hwnd); lv && item >= 0 && item < static_cast<int>(lv->items.size()))
    n.lParam = lv->items[item].lParam;
  return Notify(hwnd, code, &n.hdr);
}

std::u16string CellText(HWND hwnd, ListView& lv, int index, int column) {
  if (index < 0 || index >= static_cast<int>(lv.items.size())) return {};
  LvItem& item = lv.items[index];
  if (column >= static_cast<int>(item.cells.size())) return {};
  const LvText& cell = item.cells[column];
  if (!cell.callback) return cell.text;
  // The parent keeps the text; it fills a buffer we lend it.
  WCHAR buffer[520] = {};
  NMLVDISPINFOW info{};
  info.item.mask = LVIF_TEXT;
  info.item.iItem = index;
  info.item.iSubItem = column;
  info.item.pszText = buffer;
  info.item.cchTextMax = 520;
  info.item.lParam = item.lParam;
  Notify(hwnd, LVN_GETDISPINFOW, &info.hdr);
  if (!info.item.pszText || info.item.pszText == LPSTR_TEXTCALLBACKW) return {};
  std::u16string text(info.item.pszText);
  if ((info.item.mask & LVIF_DI_SETITEM) && index < static_cast<int>(lv.items.size()) &&
      column < static_cast<int>(lv.items[index].cells.size())) {
    lv.items[index].cells[column] = LvText{text, false, lv.items[index].cells[column].image};
  }
  return text;
}

int CellImage(HWND hwnd, ListView& lv, int index, int column) {
  if (index < 0 || index >= static_cast<int>(lv.items.size())) return I_IMAGENONE;
  const LvItem& item = lv.items[index];
  if (column >= static_cast<int>(item.cells.size())) return I_IMAGENONE;
  if (item.cells[column].image != I_IMAGECALLBACK) return item.cells[column].image;
  NMLVDISPINFOW info{};
  info.item.mask = LVIF_IMAGE;
  info.item.iItem = index;
  info.item.iSubItem = column;
  info.item.lParam = item.lParam;
  info.item.iImage = I_IMAGENONE;
  Notify(hwnd, LVN_GETDISPINFOW, &info.hdr);
  return info.item.iImage;
}

UINT ItemState(HWND hwnd, ListView& lv, int index, UINT mask) {
  if (index < 0 || index >= static_cast<int>(lv.items.size())) return 0;
  UINT state = lv.items[index].state;
  if (lv.callbackMask & mask) {
    NMLVDISPINFOW info{};
    info.item.mask = LVIF_STATE;
    info.item.iItem = index;
    info.item.stateMask = lv.callbackMask & mask;
    info.item.lParam = lv.items[index].lParam;
    Notify(hwnd, LVN_GETDISPINFOW, &info.hdr);
    state = (state & ~lv.callbackMask) | (info.item.state & lv.callbackMask);
  }
  return state & mask;
}

void RedrawRow(HWND hwnd, ListView& lv, int index) {
  if (!lv.redraw || index < 0) return;
  RECT r = RowRect(hwnd, lv, index);
  RECT client;
  GetClientRect(hwnd, &client);
  r.left = client.left;
  r.right = client.right;
  InvalidateRect(hwnd, &r, TRUE);
}

bool ChangeState(HWND hwnd, ListView& lv, int index, UINT state, UINT mask) {
  if (index < 0 || index >= static_cast<int>(lv.items.size())) return false;
  const UINT old = lv.items[index].state;
  const UINT wanted = (old & ~mask) | (state & mask);
  if (wanted == old) return true;
  NMLISTVIEW n{};
  n.iItem = index;
  n.uChanged = LVIF_STATE;
  n.uOldState = old;
  n.uNewState = wanted;
  n.lParam = lv.items[index].lParam;
  if (Notify(hwnd, LVN_ITEMCHANGING, &n.hdr)) return false;  // the parent keeps it as it is
  if (index >= static_cast<int>(lv.items.size())) return false;
  lv.items[index].state = wanted;
  // One focused row at most, and one selected in a single-selection list.
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  for (int i = 0; i < static_cast<int>(lv.items.size()); ++i) {
    if (i == index) continue;
    UINT clear = 0;
    if ((wanted & LVIS_FOCUSED) && (lv.items[i].state & LVIS_FOCUSED)) clear |= LVIS_FOCUSED;
    if ((style & LVS_SINGLESEL) && (wanted & LVIS_SELECTED) && (lv.items[i].state & LVIS_SELECTED)) clear |= LVIS_SELECTED;
    if (clear) ChangeState(hwnd, lv, i, 0, clear);
  }
  if (index < static_cast<int>(lv.items.size())) {
    Notify(hwnd, LVN_ITEMCHANGED, &n.hdr);
    RedrawRow(hwnd, lv, index);
  }
  return true;
}

void SelectOnly(HWND hwnd, ListView& lv, int index) {
  for (int i = 0; i < static_cast<int>(lv.items.size()); ++i)
    if (i != index && (lv.items[i].state & LVIS_SELECTED)) ChangeState(hwnd, lv, i, 0, LVIS_SELECTED);
  ChangeState(hwnd, lv, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  lv.mark = index;
}

int NextItem(const ListView& lv, int start, UINT flags) {
  const int n = static_cast<int>(lv.items.size());
  const UINT want = flags & (LVNI_FOCUSED | LVNI_SELECTED);
  const bool up = (flags & LVNI_ABOVE) != 0;
  for (int i = up ? start - 1 : start + 1; i >= 0 && i < n; i += up ? -1 : 1) {
    if ((lv.items[i].state & want) == want) return i;
  }
  return -1;
}

// The header runs along the top beside the vertical bar, which keeps the window's full height.
void PlaceHeader(HWND hwnd, ListView& lv) {
  if (!lv.header) return;
  RECT client;
  GetClientRect(hwnd, &client);
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  const bool show = IsReport(hwnd) && !(style & LVS_NOCOLUMNHEADER);
  const int inset = (style & WS_BORDER) ? 1 : 0;
  const RECT bar = zb::wm::VerticalBarStrip(hwnd);
  const int right = IsRectEmpty(&bar) ? client.right - inset : bar.left;
  const int textHeight = zb::wm::TextHeight(hwnd, lv.font);
  const int left = inset - lv.xOffset;
  const int width = std::min(std::max<int>(TotalWidth(lv, hwnd), client.right) + lv.xOffset, right - left);
  SetWindowPos(lv.header, nullptr, left, inset, std::max(width, 0), textHeight + Scaled(6),
               SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void Relayout(HWND hwnd, ListView& lv) {
  PlaceHeader(hwnd, lv);
  // The bar comes and goes with the need for it, as the platform's list view's does.
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  const int count = static_cast<int>(lv.items.size());
  if (!(style & LVS_NOSCROLL)) {
    const bool need = count > PageRows(hwnd, lv);
    const bool has = (style & WS_VSCROLL) != 0;
    if (need != has) {
      SetWindowLongW(hwnd, GWL_STYLE, need ? (style | WS_VSCROLL) : (style & ~WS_VSCROLL));
      PlaceHeader(hwnd, lv);
      InvalidateRect(hwnd, nullptr, TRUE);
    }
  }
  lv.top = std::clamp(lv.top, 0, std::max(count - PageRows(hwnd, lv), 0));
  if (GetWindowLongW(hwnd, GWL_STYLE) & WS_VSCROLL) {
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(count - 1, 0),
                    static_cast<UINT>(PageRows(hwnd, lv)), lv.top, 0};
    SetScrollInfo(hwnd, SB_VERT, &info, lv.redraw);
  }
}

void SetTop(HWND hwnd, ListView& lv, int top) {
  const int count = static_cast<int>(lv.items.size());
  top = std::clamp(top, 0, std::max(count - PageRows(hwnd, lv), 0));
  if (top == lv.top) return;
  lv.top = top;
  Relayout(hwnd, lv);
  if (lv.redraw) InvalidateRect(hwnd, nullptr, TRUE);
}

void EnsureVisible(HWND hwnd, ListView& lv, int index, bool partial) {
  if (index < 0 || index >= static_cast<int>(lv.items.size())) return;
  const int page = PageRows(hwnd, lv);
  if (index < lv.top) {
    SetTop(hwnd, lv, index);
  } else if (index >= lv.top + page) {
    // A partly shown last row is enough when the caller allows it.
    const RECT area = RowsArea(hwnd, lv);
    const RECT row = RowRect(hwnd, lv, index);
    if (!(partial && row.top < area.bottom)) SetTop(hwnd, lv, index - page + 1);
  }
}

}  // namespace zb::cc
