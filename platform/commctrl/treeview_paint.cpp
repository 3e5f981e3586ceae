// Painting the tree view: per shown item its lines (TVS_HASLINES: dotted, to the parent and
// between siblings), its button (a boxed plus or minus), state image, image (the selected
// image while selected, with its overlay) and label, the selection in the highlight colour.
// The parent may take part through NM_CUSTOMDRAW for the whole tree and for each item.
#include <algorithm>

#include "commctrl/treeview_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {
namespace {

using zb::wm::Fill;
using zb::wm::Scaled;

void Dots(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
  // Every other pixel of a horizontal or vertical run.
  if (y0 == y1) {
    for (int x = std::min(x0, x1); x <= std::max(x0, x1); x += 2) SetPixel(dc, x, y0, colour);
  } else {
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); y += 2) SetPixel(dc, x0, y, colour);
  }
}

bool HasNextSibling(const TvNode* node) { return node->parent && node->parent->kids.back().get() != node; }

void Lines(HWND hwnd, TreeView& tv, HDC dc, TvNode* node, const TvParts& p, COLORREF colour) {
  const int indent = Indent(hwnd, tv);
  const int mid = (p.row.top + p.row.bottom) / 2;
  const int x = (p.button.left + p.button.right) / 2;
  const bool root = !node->parent->parent;
  const bool atRoot = (GetWindowLongW(hwnd, GWL_STYLE) & TVS_LINESATROOT) != 0;
  if (!root || atRoot) {
    Dots(dc, x, mid, p.state.left - 1, mid, colour);
    // Up to the sibling (or parent) above, down to the sibling below.
    const bool first = node->parent->kids.front().get() == node;
    Dots(dc, x, first && root ? mid : p.row.top, x, mid, colour);
    if (HasNextSibling(node)) Dots(dc, x, mid, x, p.row.bottom, colour);
  }
  // The lines of ancestors that still have siblings below run through this row.
  int column = x - indent;
  for (const TvNode* a = node->parent; a && a->parent && (a->parent->parent || atRoot); a = a->parent, column -= indent) {
    if (HasNextSibling(a)) Dots(dc, column, p.row.top, column, p.row.bottom, colour);
  }
}

void Button(HDC dc, const RECT& box, bool expanded, COLORREF ink) {
  Fill(dc, box, GetSysColor(COLOR_WINDOW));
  zb::wm::Frame(dc, box, ink);
  const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2, arm = (box.right - box.left) / 2 - 2;
  Fill(dc, RECT{cx - arm, cy, cx + arm + 1, cy + 1}, ink);
  if (!expanded) Fill(dc, RECT{cx, cy - arm, cx + 1, cy + arm + 1}, ink);
}

LRESULT Custom(HWND hwnd, NMTVCUSTOMDRAW& cd, DWORD stage, DWORD_PTR item, const RECT& rc, int level) {
  cd.nmcd.dwDrawStage = stage;
  cd.nmcd.dwItemSpec = item;
  cd.nmcd.rc = rc;
  cd.iLevel = level;
  return zb::wm::NotifyParent(hwnd, NM_CUSTOMDRAW, &cd.nmcd.hdr);
}

}  // namespace

void PaintTreeView(HWND hwnd, TreeView& tv) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  const int saved = SaveDC(dc);
  RECT client;
  GetClientRect(hwnd, &client);
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  const bool enabled = IsWindowEnabled(hwnd);
  const COLORREF back = tv.bk != CLR_NONE ? tv.bk : GetSysColor(COLOR_WINDOW);
  const COLORREF ink = !enabled ? GetSysColor(COLOR_GRAYTEXT) : tv.text != CLR_NONE ? tv.text : GetSysColor(COLOR_WINDOWTEXT);
  Fill(dc, client, back);
  SelectObject(dc, zb::wm::FontOr(tv.font));
  SetBkMode(dc, TRANSPARENT);
  NMTVCUSTOMDRAW cd{};
  cd.nmcd.hdc = dc;
  const LRESULT whole = Custom(hwnd, cd, CDDS_PREPAINT, 0, client, 0);
  if (!(whole & CDRF_SKIPDEFAULT)) {
    const RECT area = RowsArea(hwnd, tv);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    const std::vector<TvNode*> rows = VisibleRows(tv);
    const int top = TopRow(tv), page = PageRows(hwnd, tv);
    const bool showSelection = tv.focused || (style & TVS_SHOWSELALWAYS);
    for (int row = top; row < static_cast<int>(rows.size()) && row <= top + page; ++row) {
      TvNode* node = rows[row];
      const TvParts p = PartsOf(hwnd, tv, node, row);
      const bool selected = node == tv.selected && showSelection;
      const bool hilited = node == tv.dropHilite;
      cd.nmcd.uItemState = (selected || hilited ? CDIS_SELECTED : 0) | (node == tv.selected && tv.focused ? CDIS_FOCUS : 0);
      cd.nmcd.lItemlParam = node->lParam;
      cd.clrText = selected || hilited ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ink;
      cd.clrTextBk = selected || hilited ? GetSysColor(COLOR_HIGHLIGHT) : back;
      const LRESULT item = (whole & CDRF_NOTIFYITEMDRAW)
                               ? Custom(hwnd, cd, CDDS_ITEMPREPAINT, reinterpret_cast<DWORD_PTR>(node->handle()), p.row, Depth(node))
                               : CDRF_DODEFAULT;
      if (!(item & CDRF_SKIPDEFAULT)) {
        if (style & TVS_HASLINES) Lines(hwnd, tv, dc, node, p, GetSysColor(COLOR_GRAYTEXT));
        if (HasButton(hwnd, tv, node)) Button(dc, p.button, (node->state & TVIS_EXPANDED) != 0, ink);
        int cx = 0, cy = 0;
        HIMAGELIST states = tv.stateImages ? tv.stateImages : tv.checkImages;
        const int stateImage = static_cast<int>((node->state & TVIS_STATEIMAGEMASK) >> 12);
        if (states && stateImage > 0 && ImageList_GetIconSize(states, &cx, &cy))
          ImageList_Draw(states, stateImage - 1, dc, p.state.left, (p.row.top + p.row.bottom - cy) / 2, ILD_TRANSPARENT);
        if (tv.normal && ImageList_GetIconSize(tv.normal, &cx, &cy)) {
          const int image = ImageOf(hwnd, tv, node, node == tv.selected);
          if (image >= 0)
            ImageList_Draw(tv.normal, image, dc, p.image.left, (p.row.top + p.row.bottom - cy) / 2,
                           ILD_TRANSPARENT | (node->state & TVIS_OVERLAYMASK));
        }
        RECT label = p.label;
        if (style & TVS_FULLROWSELECT) label.right = p.row.right;
        if (cd.clrTextBk != back) Fill(dc, label, cd.clrTextBk);
        SetTextColor(dc, cd.clrText);
        const std::u16string text = TextOf(hwnd, tv, node);
        RECT t = label;
        t.left += Scaled(2);
        if (node != tv.editing) DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (node == tv.selected && tv.focused) DrawFocusRect(dc, &label);
      }
      if (item & CDRF_NOTIFYPOSTPAINT)
        Custom(hwnd, cd, CDDS_ITEMPOSTPAINT, reinterpret_cast<DWORD_PTR>(node->handle()), p.row, Depth(node));
    }
  }
  RestoreDC(dc, saved);
  if (whole & CDRF_NOTIFYPOSTPAINT) Custom(hwnd, cd, CDDS_POSTPAINT, 0, client, 0);
  if (style & WS_BORDER) zb::wm::Frame(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  if (style & WS_VSCROLL)
    zb::wm::PaintBar(dc, zb::wm::LayBar(zb::wm::VerticalBarStrip(hwnd), true, zb::wm::WindowBar(hwnd, SB_VERT)), enabled);
  EndPaint(hwnd, &ps);
}

}  // namespace zb::cc
