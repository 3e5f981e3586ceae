// Painting the list view: the rows it shows, each either owner-drawn (LVS_OWNERDRAWFIXED:
// WM_DRAWITEM to the parent) or drawn here (state image, small image with its overlay, the
// cells' texts), with the parent's custom draw around it: NM_CUSTOMDRAW before and after the
// whole paint, each row and, when asked, each cell, with the colours the parent may change.
#include <algorithm>

#include "commctrl/listview_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {
namespace {

using zb::wm::Fill;
using zb::wm::Scaled;

struct CustomDraw {
  HWND hwnd;
  NMLVCUSTOMDRAW record{};
  LRESULT Send(DWORD stage, int item = 0, int subItem = 0) {
    record.nmcd.dwDrawStage = stage;
    record.nmcd.dwItemSpec = static_cast<DWORD_PTR>(item);
    record.iSubItem = subItem;
    return zb::wm::NotifyParent(hwnd, NM_CUSTOMDRAW, &record.nmcd.hdr);
  }
};

bool ShowsSelection(HWND hwnd, const ListView& lv) {
  return lv.focused || (GetWindowLongW(hwnd, GWL_STYLE) & LVS_SHOWSELALWAYS);
}

void DrawCellText(HDC dc, const std::u16string& text, RECT r, int fmt) {
  r.left += Scaled(2);
  r.right -= Scaled(2);
  UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  if ((fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT) format |= DT_RIGHT;
  if ((fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER) format |= DT_CENTER;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

void PaintRow(HWND hwnd, ListView& lv, HDC dc, int index, CustomDraw& cd, LRESULT prepaint) {
  const RECT row = RowRect(hwnd, lv, index);
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  const UINT state = ItemState(hwnd, lv, index, LVIS_SELECTED | LVIS_FOCUSED | LVIS_STATEIMAGEMASK | LVIS_OVERLAYMASK);
  const bool selected = (state & LVIS_SELECTED) && ShowsSelection(hwnd, lv);
  const bool focusMark = lv.focused && (state & LVIS_FOCUSED);
  if (style & LVS_OWNERDRAWFIXED) {
    DRAWITEMSTRUCT d{};
    d.CtlType = ODT_LISTVIEW;
    d.CtlID = static_cast<UINT>(GetWindowLongW(hwnd, GWL_ID));
    d.itemID = static_cast<UINT>(index);
    d.itemAction = ODA_DRAWENTIRE;
    d.itemState = (selected ? ODS_SELECTED : 0) | (focusMark ? ODS_FOCUS : 0);
    d.hwndItem = hwnd;
    d.hDC = dc;
    RECT client;
    GetClientRect(hwnd, &client);
    d.rcItem = RECT{row.left, row.top, std::max<LONG>(row.right, client.right), row.bottom};
    d.itemData = static_cast<ULONG_PTR>(lv.items[index].lParam);
    if (HWND parent = GetParent(hwnd)) SendMessageW(parent, WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
    return;
  }
  // The row's own colours, which its pre-paint may change.
  cd.record.nmcd.rc = row;
  cd.record.nmcd.uItemState = (selected ? CDIS_SELECTED : 0) | (focusMark ? CDIS_FOCUS : 0);
  cd.record.nmcd.lItemlParam = lv.items[index].lParam;
  cd.record.clrText = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : lv.text;
  cd.record.clrTextBk = selected ? GetSysColor(COLOR_HIGHLIGHT) : lv.textBk;
  LRESULT item = CDRF_DODEFAULT;
  const int saved = SaveDC(dc);
  if (prepaint & CDRF_NOTIFYITEMDRAW) item = cd.Send(CDDS_ITEMPREPAINT, index);
  if (!(item & CDRF_SKIPDEFAULT)) {
    const bool fullRow = (lv.exStyle & LVS_EX_FULLROWSELECT) || !IsReport(hwnd);
    const size_t columns = std::max<size_t>(lv.columns.size(), 1);
    for (size_t c = 0; c < columns; ++c) {
      const int column = static_cast<int>(c);
      COLORREF text = cd.record.clrText, back = cd.record.clrTextBk;
      if (item & CDRF_NOTIFYSUBITEMDRAW) {
        const LRESULT cell = cd.Send(CDDS_ITEMPREPAINT | CDDS_SUBITEM, index, column);
        if (cell & CDRF_SKIPDEFAULT) continue;
        text = cd.record.clrText;
        back = cd.record.clrTextBk;
      }
      RECT r = IsReport(hwnd) && !lv.columns.empty() ? CellRect(hwnd, lv, index, column) : row;
      if (column == 0) {
        if (HIMAGELIST states = lv.stateImages ? lv.stateImages : lv.checkImages) {
          const int s = static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
          const RECT at = StateImageRect(hwnd, lv, index);
          int cx = 0, cy = 0;
          ImageList_GetIconSize(states, &cx, &cy);
          if (s > 0) ImageList_Draw(states, s - 1, dc, at.left, at.top + (at.bottom - at.top - cy) / 2, ILD_TRANSPARENT);
        }
        const int image = CellImage(hwnd, lv, index, 0);
        if (lv.small && image >= 0) {
          const RECT at = IconRect(hwnd, lv, index);
          int cx = 0, cy = 0;
          ImageList_GetIconSize(lv.small, &cx, &cy);
          ImageList_Draw(lv.small, image, dc, at.left, at.top + (at.bottom - at.top - cy) / 2,
                         ILD_TRANSPARENT | (state & LVIS_OVERLAYMASK) | (selected && !fullRow ? ILD_SELECTED : 0));
        }
        r.left = LabelRect(hwnd, lv, index).left;
      }
      if (selected && !fullRow && column > 0 && !(item & CDRF_NOTIFYSUBITEMDRAW)) {
        // Without full-row selection only the first cell shows the selection.
        text = lv.text;
        back = lv.textBk;
      }
      if (back != CLR_NONE && back != CLR_DEFAULT) Fill(dc, r, back);
      SetTextColor(dc, text);
      const int fmt = column < static_cast<int>(lv.columns.size()) ? lv.columns[column].fmt : LVCFMT_LEFT;
      DrawCellText(dc, CellText(hwnd, lv, index, column), r, column == 0 ? LVCFMT_LEFT : fmt);
    }
    if (focusMark && !(style & LVS_OWNERDRAWFIXED)) {
      RECT mark = (lv.exStyle & LVS_EX_FULLROWSELECT) ? row : LabelRect(hwnd, lv, index);
      mark.right = std::min<LONG>(mark.right, row.left + TotalWidth(lv, hwnd));
      DrawFocusRect(dc, &mark);
    }
  }
  RestoreDC(dc, saved);
  if (item & CDRF_NOTIFYPOSTPAINT) {
    cd.record.nmcd.rc = row;
    cd.Send(CDDS_ITEMPOSTPAINT, index);
  }
}

}  // namespace

void PaintListView(HWND hwnd, ListView& lv) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  const int saved = SaveDC(dc);
  RECT client;
  GetClientRect(hwnd, &client);
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  Fill(dc, client, lv.bk);
  SelectObject(dc, zb::wm::FontOr(lv.font));
  SetBkMode(dc, TRANSPARENT);
  CustomDraw cd{hwnd};
  cd.record.nmcd.hdc = dc;
  cd.record.nmcd.rc = client;
  const LRESULT prepaint = (style & LVS_OWNERDRAWFIXED) ? CDRF_DODEFAULT : cd.Send(CDDS_PREPAINT);
  if (!(prepaint & CDRF_SKIPDEFAULT)) {
    const RECT area = RowsArea(hwnd, lv);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    const int page = PageRows(hwnd, lv);
    for (int i = lv.top; i < static_cast<int>(lv.items.size()) && i <= lv.top + page; ++i)
      PaintRow(hwnd, lv, dc, i, cd, prepaint);
  }
  RestoreDC(dc, saved);
  if (prepaint & CDRF_NOTIFYPOSTPAINT) {
    cd.record.nmcd.rc = client;
    cd.Send(CDDS_POSTPAINT);
  }
  if (style & WS_BORDER) zb::wm::Frame(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  if (style & WS_VSCROLL) {
    const RECT strip = zb::wm::VerticalBarStrip(hwnd);
    zb::wm::PaintBar(dc, zb::wm::LayBar(strip, true, zb::wm::WindowBar(hwnd, SB_VERT)), IsWindowEnabled(hwnd));
  }
  EndPaint(hwnd, &ps);
}

}  // namespace zb::cc
