// The "SysListView32" class's messages: items and sub-items, columns (kept by the header child
// too), states and their notifications, finding, sorting, hit tests, rectangles and scrolling,
// image lists, colours and the extended styles (check boxes, full-row selection).
#include <algorithm>

#include "commctrl/cc_procs.h"
#include "commctrl/listview_state.h"
#include "gwes/control_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {
namespace {

using zb::wm::Scaled;

int Count(const ListView& lv) { return static_cast<int>(lv.items.size()); }

void Invalidate(HWND hwnd, const ListView& lv) {
  if (lv.redraw) InvalidateRect(hwnd, nullptr, TRUE);
}

// The two check-box images (empty, ticked) the list draws for LVS_EX_CHECKBOXES.
HIMAGELIST MakeCheckImages() {
  const int size = Scaled(13);
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR16 | ILC_MASK, 2, 0);
  HDC screen = GetDC(nullptr);
  HBITMAP strip = CreateCompatibleBitmap(screen, size * 2, size);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, strip);
  for (int i = 0; i < 2; ++i) {
    RECT box{i * size, 0, (i + 1) * size, size};
    DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (i ? DFCS_CHECKED : 0));
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  ImageList_AddMasked(list, strip, RGB(255, 0, 255));
  DeleteObject(strip);
  return list;
}

void SetTextOf(LvText& cell, LPCWSTR text) {
  cell.callback = text == LPSTR_TEXTCALLBACKW;
  cell.text = cell.callback || !text ? std::u16string() : std::u16string(text);
}

void SyncHeader(HWND hwnd, ListView& lv) {
  if (!lv.header) return;
  while (SendMessageW(lv.header, HDM_GETITEMCOUNT, 0, 0) > 0) SendMessageW(lv.header, HDM_DELETEITEM, 0, 0);
  for (size_t i = 0; i < lv.columns.size(); ++i) {
    const LvColumn& c = lv.columns[i];
    HDITEMW item{};
    item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | (c.image >= 0 ? HDI_IMAGE : 0);
    item.cxy = c.cx;
    item.pszText = const_cast<LPWSTR>(c.text.c_str());
    item.fmt = (c.fmt & LVCFMT_JUSTIFYMASK) | HDF_STRING | (c.image >= 0 ? HDF_IMAGE : 0) |
               ((c.fmt & LVCFMT_BITMAP_ON_RIGHT) ? HDF_BITMAP_ON_RIGHT : 0);
    item.iImage = c.image;
    SendMessageW(lv.header, HDM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  Relayout(hwnd, lv);
}

int InsertItem(HWND hwnd, ListView& lv, const LVITEMW& in) {
  if (in.iSubItem != 0) return -1;
  LvItem item;
  if (in.mask & LVIF_TEXT) SetTextOf(item.cells[0], in.pszText);
  if (in.mask & LVIF_IMAGE) item.cells[0].image = in.iImage;
  if (in.mask & LVIF_PARAM) item.lParam = in.lParam;
  if (in.mask & LVIF_INDENT) item.indent = in.iIndent;
  if (in.mask & LVIF_STATE) item.state = in.state & in.stateMask & ~(LVIS_SELECTED | LVIS_FOCUSED);
  if ((lv.exStyle & LVS_EX_CHECKBOXES) && !(item.state & LVIS_STATEIMAGEMASK)) item.state |= INDEXTOSTATEIMAGEMASK(1);
  item.cells.resize(std::max<size_t>(lv.columns.size(), 1));
  int at = std::clamp(in.iItem, 0, Count(lv));
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  if ((style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) && !item.cells[0].callback) {
    const bool down = (style & LVS_SORTDESCENDING) != 0;
    at = 0;
    while (at < Count(lv)) {
      const int c = _wcsicmp(lv.items[at].cells[0].text.c_str(), item.cells[0].text.c_str());
      if (down ? c < 0 : c > 0) break;
      ++at;
    }
  }
  lv.items.insert(lv.items.begin() + at, std::move(item));
  if (lv.mark >= at) ++lv.mark;
  Relayout(hwnd, lv);
  Invalidate(hwnd, lv);
  NotifyItem(hwnd, LVN_INSERTITEM, at);
  // A state given with the item is applied now, with its notifications.
  if ((in.mask & LVIF_STATE) && (in.stateMask & in.state & (LVIS_SELECTED | LVIS_FOCUSED)))
    ChangeState(hwnd, lv, at, in.state, in.stateMask & (LVIS_SELECTED | LVIS_FOCUSED));
  return at;
}

BOOL SetItem(HWND hwnd, ListView& lv, const LVITEMW& in) {
  if (in.iItem < 0 || in.iItem >= Count(lv) || in.iSubItem < 0) return FALSE;
  LvItem& item = lv.items[in.iItem];
  if (in.iSubItem >= static_cast<int>(std::max<size_t>(lv.columns.size(), 1))) return FALSE;
  if (item.cells.size() <= static_cast<size_t>(in.iSubItem)) item.cells.resize(in.iSubItem + 1);
  LvText& cell = item.cells[in.iSubItem];
  if (in.mask & LVIF_TEXT) SetTextOf(cell, in.pszText);
  if (in.mask & LVIF_IMAGE) cell.image = in.iImage;
  if (in.iSubItem == 0) {
    if (in.mask & LVIF_PARAM) item.lParam = in.lParam;
    if (in.mask & LVIF_INDENT) item.indent = in.iIndent;
  }
  RedrawRow(hwnd, lv, in.iItem);
  if ((in.mask & LVIF_STATE) && in.iSubItem == 0) return ChangeState(hwnd, lv, in.iItem, in.state, in.stateMask);
  return TRUE;
}

BOOL GetItem(HWND hwnd, ListView& lv, LVITEMW& out) {
  if (out.iItem < 0 || out.iItem >= Count(lv) || out.iSubItem < 0) return FALSE;
  const LvItem& item = lv.items[out.iItem];
  if (out.mask & LVIF_TEXT) {
    const std::u16string text = CellText(hwnd, lv, out.iItem, out.iSubItem);
    if (out.pszText && out.cchTextMax > 0) {
      const size_t n = std::min(text.size(), static_cast<size_t>(out.cchTextMax) - 1);
      std::copy_n(text.data(), n, out.pszText);
      out.pszText[n] = 0;
    }
  }
  if (out.mask & LVIF_IMAGE) out.iImage = CellImage(hwnd, lv, out.iItem, out.iSubItem);
  if (out.mask & LVIF_PARAM) out.lParam = item.lParam;
  if (out.mask & LVIF_INDENT) out.iIndent = item.indent;
  if (out.mask & LVIF_STATE) out.state = ItemState(hwnd, lv, out.iItem, out.stateMask);
  return TRUE;
}

BOOL DeleteItem(HWND hwnd, ListView& lv, int index) {
  if (index < 0 || index >= Count(lv)) return FALSE;
  NotifyItem(hwnd, LVN_DELETEITEM, index);
  if (index >= Count(lv)) return FALSE;
  lv.items.erase(lv.items.begin() + index);
  if (lv.mark == index) lv.mark = -1;
  else if (lv.mark > index) --lv.mark;
  if (lv.pressed == index) lv.pressed = -1;
  Relayout(hwnd, lv);
  Invalidate(hwnd, lv);
  return TRUE;
}

BOOL DeleteAll(HWND hwnd, ListView& lv) {
  // A parent that answers TRUE to LVN_DELETEALLITEMS hears of no single item.
  const bool quiet = NotifyItem(hwnd, LVN_DELETEALLITEMS, -1) != 0;
  if (!quiet)
    for (int i = 0; i < Count(lv); ++i) NotifyItem(hwnd, LVN_DELETEITEM, i);
  lv.items.clear();
  lv.mark = lv.pressed = -1;
  lv.top = 0;
  Relayout(hwnd, lv);
  Invalidate(hwnd, lv);
  return TRUE;
}

int FindItem(HWND hwnd, ListView& lv, int start, const LVFINDINFOW& find) {
  const int n = Count(lv);
  if (n == 0) return -1;
  const int first = start < 0 ? 0 : start + 1;
  for (int k = 0; k < n; ++k) {
    const int i = first + k;
    if (i >= n && !(find.flags & LVFI_WRAP)) break;
    const int at = i % n;
    if (find.flags & LVFI_PARAM) {
      if (lv.items[at].lParam == find.lParam) return at;
      continue;
    }
    if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.psz) continue;
    const std::u16string text = CellText(hwnd, lv, at, 0);
    const size_t want = std::char_traits<char16_t>::length(find.psz);
    const bool partial = (find.flags & LVFI_PARTIAL) != 0;
    if (partial ? text.size() >= want && _wcsnicmp(text.c_str(), find.psz, want) == 0
                : _wcsicmp(text.c_str(), find.psz) == 0)
      return at;
  }
  return -1;
}

int HitTest(HWND hwnd, ListView& lv, LVHITTESTINFO& info, bool subItems) {
  const RECT area = RowsArea(hwnd, lv);
  info.iItem = info.iSubItem = -1;
  if (info.pt.y < area.top) {
    info.flags = LVHT_ABOVE;
    return -1;
  }
  const int index = lv.top + (info.pt.y - area.top) / RowHeight(hwnd, lv);
  if (info.pt.y >= area.bottom || index >= Count(lv)) {
    info.flags = info.pt.y >= area.bottom ? LVHT_BELOW : LVHT_NOWHERE;
    return -1;
  }
  const RECT stateRect = StateImageRect(hwnd, lv, index), icon = IconRect(hwnd, lv, index);
  const RECT row = RowRect(hwnd, lv, index);
  const int total = row.left + TotalWidth(lv, hwnd);
  if (info.pt.x >= total || info.pt.x < row.left) {
    info.flags = LVHT_NOWHERE;
    return -1;
  }
  const POINT p = info.pt;
  if (PtInRect(&stateRect, p)) info.flags = LVHT_ONITEMSTATEICON;
  else if (PtInRect(&icon, p)) info.flags = LVHT_ONITEMICON;
  else info.flags = LVHT_ONITEMLABEL;
  info.iItem = index;
  if (subItems) {
    info.iSubItem = 0;
    for (int c = 0; c < static_cast<int>(lv.columns.size()); ++c) {
      const RECT cell = CellRect(hwnd, lv, index, c);
      if (p.x >= cell.left && p.x < cell.right) info.iSubItem = c;
    }
  }
  return index;
}

BOOL ItemRect(HWND hwnd, ListView& lv, int index, RECT* out) {
  if (index < 0 || index >= Count(lv) || !out) return FALSE;
  RECT row = RowRect(hwnd, lv, index);
  row.right = row.left + TotalWidth(lv, hwnd);
  switch (out->left) {
    case LVIR_BOUNDS: *out = row; break;
    case LVIR_ICON: *out = IconRect(hwnd, lv, index); break;
    case LVIR_LABEL: *out = LabelRect(hwnd, lv, index); break;
    case LVIR_SELECTBOUNDS: {
      RECT label = LabelRect(hwnd, lv, index);
      *out = (lv.exStyle & LVS_EX_FULLROWSELECT) ? row : RECT{IconRect(hwnd, lv, index).left, row.top, label.right, row.bottom};
      break;
    }
    default: return FALSE;
  }
  return TRUE;
}

// Sorting keeps each item's state and cells; the comparator sees the items' lParam.
BOOL Sort(HWND hwnd, ListView& lv, PFNLVCOMPARE compare, LPARAM context, bool byIndex) {
  if (!compare) return FALSE;
  std::vector<int> order(lv.items.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return compare(byIndex ? a : lv.items[a].lParam, byIndex ? b : lv.items[b].lParam, context) < 0;
  });
  std::vector<LvItem> sorted;
  sorted.reserve(order.size());
  int mark = -1;
  for (size_t i = 0; i < order.size(); ++i) {
    if (order[i] == lv.mark) mark = static_cast<int>(i);
    sorted.push_back(std::move(lv.items[order[i]]));
  }
  lv.items = std::move(sorted);
  lv.mark = mark;
  Invalidate(hwnd, lv);
  return TRUE;
}

BOOL SetColumnWidth(HWND hwnd, ListView& lv, int column, int width) {
  if (column < 0 || column >= static_cast<int>(lv.columns.size())) return FALSE;
  if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, zb::wm::FontOr(lv.font));
    int widest = 0;
    auto measure = [&](const std::u16string& t) {
      SIZE size{0, 0};
      GetTextExtentPoint32W(dc, t.c_str(), static_cast<int>(t.size()), &size);
      widest = std::max<int>(widest, size.cx);
    };
    for (int i = 0; i < Count(lv); ++i) measure(CellText(hwnd, lv, i, column));
    if (width == LVSCW_AUTOSIZE_USEHEADER) measure(lv.columns[column].text);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    width = widest + Scaled(12);
    if (column == 0 && Count(lv)) width += LabelRect(hwnd, lv, 0).left - CellRect(hwnd, lv, 0, 0).left;
  }
  lv.columns[column].cx = std::max(width, 0);
  SyncHeader(hwnd, lv);
  Invalidate(hwnd, lv);
  return TRUE;
}

HIMAGELIST SetImageList(HWND hwnd, ListView& lv, int which, HIMAGELIST list) {
  HIMAGELIST* slot = which == LVSIL_NORMAL ? &lv.normal : which == LVSIL_SMALL ? &lv.small : &lv.stateImages;
  HIMAGELIST previous = *slot;
  *slot = list;
  Relayout(hwnd, lv);
  Invalidate(hwnd, lv);
  return previous;
}

DWORD SetExtendedStyle(HWND hwnd, ListView& lv, DWORD mask, DWORD style) {
  const DWORD previous = lv.exStyle;
  if (!mask) mask = 0xFFFFFFFF;
  lv.exStyle = (lv.exStyle & ~mask) | (style & mask);
  if ((lv.exStyle & LVS_EX_CHECKBOXES) && !lv.checkImages) {
    lv.checkImages = MakeCheckImages();
    for (LvItem& item : lv.items)
      if (!(item.state & LVIS_STATEIMAGEMASK)) item.state |= INDEXTOSTATEIMAGEMASK(1);
  }
  Relayout(hwnd, lv);
  Invalidate(hwnd, lv);
  return previous;
}

LRESULT Handle(HWND hwnd, ListView& lv, UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
  switch (message) {
    case WM_CREATE: {
      lv.bk = GetSysColor(COLOR_WINDOW);
      lv.text = GetSysColor(COLOR_WINDOWTEXT);
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      lv.header = CreateWindowExW(0, WC_HEADERW, u"", WS_CHILD | HDS_BUTTONS, 0, 0, 0, 0, hwnd, nullptr,
                                  create->hInstance, nullptr);
      if (create->style & LVS_OWNERDRAWFIXED) {
        MEASUREITEMSTRUCT m{ODT_LISTVIEW, static_cast<UINT>(GetWindowLongW(hwnd, GWL_ID)), 0, 0,
                            static_cast<UINT>(RowHeight(hwnd, lv)), 0};
        if (HWND parent = GetParent(hwnd)) SendMessageW(parent, WM_MEASUREITEM, m.CtlID, reinterpret_cast<LPARAM>(&m));
        if (m.itemHeight > 0) lv.rowHeight = static_cast<int>(m.itemHeight);
      }
      Relayout(hwnd, lv);
      return 0;
    }
    case WM_SIZE:
    case WM_STYLECHANGED:
      Relayout(hwnd, lv);
      Invalidate(hwnd, lv);
      return 0;
    case WM_SETFONT:
      lv.font = reinterpret_cast<HFONT>(wParam);
      if (lv.header) SendMessageW(lv.header, WM_SETFONT, wParam, lParam);
      Relayout(hwnd, lv);
      Invalidate(hwnd, lv);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(lv.font);
    case WM_SETREDRAW:
      lv.redraw = wParam != 0;
      if (lv.redraw) {
        Relayout(hwnd, lv);
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_NOTIFY: {
      // A click on a column heading becomes LVN_COLUMNCLICK.
      const auto* n = reinterpret_cast<const NMHEADERW*>(lParam);
      if (n->hdr.hwndFrom == lv.header && n->hdr.code == HDN_ITEMCLICKW) NotifyItem(hwnd, LVN_COLUMNCLICK, -1, n->iItem);
      return 0;
    }
    case LVM_GETBKCOLOR: return lv.bk;
    case LVM_SETBKCOLOR: lv.bk = static_cast<COLORREF>(lParam); Invalidate(hwnd, lv); return TRUE;
    case LVM_GETTEXTCOLOR: return lv.text;
    case LVM_SETTEXTCOLOR: lv.text = static_cast<COLORREF>(lParam); Invalidate(hwnd, lv); return TRUE;
    case LVM_GETTEXTBKCOLOR: return lv.textBk;
    case LVM_SETTEXTBKCOLOR: lv.textBk = static_cast<COLORREF>(lParam); Invalidate(hwnd, lv); return TRUE;
    case LVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(index == LVSIL_NORMAL ? lv.normal : index == LVSIL_SMALL ? lv.small : lv.stateImages);
    case LVM_SETIMAGELIST:
      return reinterpret_cast<LRESULT>(SetImageList(hwnd, lv, index, reinterpret_cast<HIMAGELIST>(lParam)));
    case LVM_GETITEMCOUNT: return Count(lv);
    case LVM_SETITEMCOUNT: lv.items.reserve(static_cast<size_t>(wParam)); return TRUE;
    case LVM_INSERTITEMW: return lParam ? InsertItem(hwnd, lv, *reinterpret_cast<const LVITEMW*>(lParam)) : -1;
    case LVM_SETITEMW: return lParam ? SetItem(hwnd, lv, *reinterpret_cast<const LVITEMW*>(lParam)) : FALSE;
    case LVM_GETITEMW: return lParam ? GetItem(hwnd, lv, *reinterpret_cast<LVITEMW*>(lParam)) : FALSE;
    case LVM_DELETEITEM: return DeleteItem(hwnd, lv, index);
    case LVM_DELETEALLITEMS: return DeleteAll(hwnd, lv);
    case LVM_GETITEMTEXTW: {
      auto* item = reinterpret_cast<LVITEMW*>(lParam);
      if (!item || index < 0 || index >= Count(lv)) return 0;
      const std::u16string text = CellText(hwnd, lv, index, item->iSubItem);
      if (!item->pszText || item->cchTextMax <= 0) return 0;
      const size_t n = std::min(text.size(), static_cast<size_t>(item->cchTextMax) - 1);
      std::copy_n(text.data(), n, item->pszText);
      item->pszText[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case LVM_SETITEMTEXTW: {
      auto* item = reinterpret_cast<LVITEMW*>(lParam);
      if (!item) return FALSE;
      LVITEMW set = *item;
      set.iItem = index;
      set.mask = LVIF_TEXT;
      return SetItem(hwnd, lv, set);
    }
    case LVM_SETITEMSTATE: {
      const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
      if (!item) return FALSE;
      if (index == -1) {
        for (int i = 0; i < Count(lv); ++i) ChangeState(hwnd, lv, i, item->state, item->stateMask);
        return TRUE;
      }
      if (index < 0 || index >= Count(lv)) return FALSE;
      if (item->state & item->stateMask & LVIS_SELECTED) lv.mark = index;
      return ChangeState(hwnd, lv, index, item->state, item->stateMask);
    }
    case LVM_GETITEMSTATE: return ItemState(hwnd, lv, index, static_cast<UINT>(lParam));
    case LVM_GETCALLBACKMASK: return lv.callbackMask;
    case LVM_SETCALLBACKMASK: lv.callbackMask = static_cast<UINT>(wParam); return TRUE;
    case LVM_GETNEXTITEM: return NextItem(lv, index, LOWORD(lParam));
    case LVM_GETSELECTEDCOUNT:
      return std::count_if(lv.items.begin(), lv.items.end(), [](const LvItem& i) { return i.state & LVIS_SELECTED; });
    case LVM_GETSELECTIONMARK: return lv.mark;
    case LVM_SETSELECTIONMARK: {
      const int previous = lv.mark;
      lv.mark = static_cast<int>(lParam);
      return previous;
    }
    case LVM_FINDITEMW: return lParam ? FindItem(hwnd, lv, index, *reinterpret_cast<const LVFINDINFOW*>(lParam)) : -1;
    case LVM_HITTEST: return lParam ? HitTest(hwnd, lv, *reinterpret_cast<LVHITTESTINFO*>(lParam), false) : -1;
    case LVM_SUBITEMHITTEST: return lParam ? HitTest(hwnd, lv, *reinterpret_cast<LVHITTESTINFO*>(lParam), true) : -1;
    case LVM_GETITEMRECT: return ItemRect(hwnd, lv, index, reinterpret_cast<RECT*>(lParam));
    case LVM_GETSUBITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(lParam);
      if (!r || index < 0 || index >= Count(lv) || r->top < 0 || r->top >= static_cast<int>(std::max<size_t>(lv.columns.size(), 1)))
        return FALSE;
      *r = r->top == 0 && r->left == LVIR_LABEL ? LabelRect(hwnd, lv, index) : CellRect(hwnd, lv, index, r->top);
      return TRUE;
    }
    case LVM_GETITEMPOSITION: {
      auto* p = reinterpret_cast<POINT*>(lParam);
      if (!p || index < 0 || index >= Count(lv)) return FALSE;
      const RECT row = RowRect(hwnd, lv, index);
      *p = POINT{row.left, row.top};
      return TRUE;
    }
    case LVM_SETITEMPOSITION: return TRUE;  // positions mean something only in the icon views
    case LVM_GETORIGIN: {
      if (auto* p = reinterpret_cast<POINT*>(lParam)) *p = POINT{lv.xOffset, lv.top * RowHeight(hwnd, lv)};
      return IsReport(hwnd) ? FALSE : TRUE;
    }
    case LVM_GETVIEWRECT: {
      auto* r = reinterpret_cast<RECT*>(lParam);
      if (!r) return FALSE;
      *r = RECT{-lv.xOffset, -lv.top * RowHeight(hwnd, lv), TotalWidth(lv, hwnd) - lv.xOffset,
                (Count(lv) - lv.top) * RowHeight(hwnd, lv)};
      return TRUE;
    }
    case LVM_ENSUREVISIBLE: EnsureVisible(hwnd, lv, index, lParam != 0); return index >= 0 && index < Count(lv);
    case LVM_SCROLL: {
      // Rows scroll by whole rows: the pixels are rounded to the nearest row.
      const int h = RowHeight(hwnd, lv);
      const int dy = static_cast<int>(lParam), rows = (dy >= 0 ? dy + h / 2 : dy - h / 2) / h;
      SetTop(hwnd, lv, lv.top + rows);
      const int dx = static_cast<int>(static_cast<INT_PTR>(wParam));
      if (dx) {
        RECT area = RowsArea(hwnd, lv);
        lv.xOffset = std::clamp(lv.xOffset + dx, 0, std::max<int>(TotalWidth(lv, hwnd) - (area.right - area.left), 0));
        Relayout(hwnd, lv);
        Invalidate(hwnd, lv);
      }
      return TRUE;
    }
    case LVM_GETTOPINDEX: return lv.top;
    case LVM_GETCOUNTPERPAGE: {
      const RECT area = RowsArea(hwnd, lv);
      return (area.bottom - area.top) / RowHeight(hwnd, lv);
    }
    case LVM_REDRAWITEMS:
      for (int i = std::max(index, 0); i <= static_cast<int>(lParam) && i < Count(lv); ++i) RedrawRow(hwnd, lv, i);
      return TRUE;
    case LVM_UPDATE: RedrawRow(hwnd, lv, index); UpdateWindow(hwnd); return TRUE;
    case LVM_ARRANGE: return TRUE;
    case LVM_INSERTCOLUMNW: {
      const auto* c = reinterpret_cast<const LVCOLUMNW*>(lParam);
      if (!c || index < 0) return -1;
      LvColumn column;
      if (c->mask & LVCF_FMT) column.fmt = c->fmt;
      if (c->mask & LVCF_WIDTH) column.cx = c->cx;
      if ((c->mask & LVCF_TEXT) && c->pszText) column.text = c->pszText;
      if (c->mask & LVCF_IMAGE) column.image = c->iImage;
      if (c->mask & LVCF_SUBITEM) column.subItem = c->iSubItem;
      const int at = std::min(index, static_cast<int>(lv.columns.size()));
      lv.columns.insert(lv.columns.begin() + at, column);
      for (LvItem& item : lv.items) {
        if (lv.columns.size() > 1 && static_cast<size_t>(at) < item.cells.size() && at > 0)
          item.cells.insert(item.cells.begin() + at, LvText{});
        item.cells.resize(std::max(item.cells.size(), lv.columns.size()));
      }
      SyncHeader(hwnd, lv);
      Invalidate(hwnd, lv);
      return at;
    }
    case LVM_DELETECOLUMN:
      if (index < 0 || index >= static_cast<int>(lv.columns.size())) return FALSE;
      lv.columns.erase(lv.columns.begin() + index);
      for (LvItem& item : lv.items)
        if (index > 0 && static_cast<size_t>(index) < item.cells.size()) item.cells.erase(item.cells.begin() + index);
      SyncHeader(hwnd, lv);
      Invalidate(hwnd, lv);
      return TRUE;
    case LVM_GETCOLUMNW:
    case LVM_SETCOLUMNW: {
      auto* c = reinterpret_cast<LVCOLUMNW*>(lParam);
      if (!c || index < 0 || index >= static_cast<int>(lv.columns.size())) return FALSE;
      LvColumn& column = lv.columns[index];
      if (message == LVM_SETCOLUMNW) {
        if (c->mask & LVCF_FMT) column.fmt = c->fmt;
        if (c->mask & LVCF_WIDTH) column.cx = c->cx;
        if ((c->mask & LVCF_TEXT) && c->pszText) column.text = c->pszText;
        if (c->mask & LVCF_IMAGE) column.image = c->iImage;
        SyncHeader(hwnd, lv);
        Invalidate(hwnd, lv);
        return TRUE;
      }
      if (c->mask & LVCF_FMT) c->fmt = column.fmt;
      if (c->mask & LVCF_WIDTH) c->cx = column.cx;
      if (c->mask & LVCF_IMAGE) c->iImage = column.image;
      if (c->mask & LVCF_SUBITEM) c->iSubItem = column.subItem;
      if ((c->mask & LVCF_TEXT) && c->pszText && c->cchTextMax > 0) {
        const size_t n = std::min(column.text.size(), static_cast<size_t>(c->cchTextMax) - 1);
        std::copy_n(column.text.data(), n, c->pszText);
        c->pszText[n] = 0;
      }
      return TRUE;
    }
    case LVM_GETCOLUMNWIDTH:
      if (!IsReport(hwnd)) return TotalWidth(lv, hwnd);
      return index >= 0 && index < static_cast<int>(lv.columns.size()) ? lv.columns[index].cx : 0;
    case LVM_SETCOLUMNWIDTH: return SetColumnWidth(hwnd, lv, index, static_cast<SHORT>(LOWORD(lParam)));
    case LVM_GETHEADER: return reinterpret_cast<LRESULT>(lv.header);
    case LVM_GETSTRINGWIDTHW: {
      if (!lParam) return 0;
      HDC dc = GetDC(hwnd);
      HGDIOBJ old = SelectObject(dc, zb::wm::FontOr(lv.font));
      SIZE size{0, 0};
      const auto* text = reinterpret_cast<LPCWSTR>(lParam);
      GetTextExtentPoint32W(dc, text, static_cast<int>(std::char_traits<char16_t>::length(text)), &size);
      SelectObject(dc, old);
      ReleaseDC(hwnd, dc);
      return size.cx;
    }
    case LVM_SORTITEMS: return Sort(hwnd, lv, reinterpret_cast<PFNLVCOMPARE>(lParam), static_cast<LPARAM>(wParam), false);
    case LVM_SORTITEMSEX: return Sort(hwnd, lv, reinterpret_cast<PFNLVCOMPARE>(lParam), static_cast<LPARAM>(wParam), true);
    case LVM_SETEXTENDEDLISTVIEWSTYLE:
      return SetExtendedStyle(hwnd, lv, static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return lv.exStyle;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintListView(hwnd, lv); return 0;
    case WM_DESTROY:
      if (lv.items.size()) DeleteAll(hwnd, lv);
      if (!(GetWindowLongW(hwnd, GWL_STYLE) & LVS_SHAREIMAGELISTS)) {
        for (HIMAGELIST list : {lv.normal, lv.small, lv.stateImages})
          if (list) ImageList_Destroy(list);
      }
      lv.normal = lv.small = lv.stateImages = nullptr;
      return 0;
    default:
      return ListViewInput(hwnd, lv, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return zb::wm::WithState<ListView, Handle>(hwnd, message, wParam, lParam);
}

}  // namespace zb::cc
