// The tree view's model and geometry: which items show, where each part of a row lies, and the
// changes every path goes through with their notifications: expanding and collapsing (which a
// parent may refuse, and which asks for children that come on demand), selecting, deleting.
#include <algorithm>
#include <functional>

#include "commctrl/treeview_state.h"
#include "gwes/control_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {

using zb::wm::Scaled;

TreeView::~TreeView() {
  if (checkImages) ImageList_Destroy(checkImages);
}

std::shared_ptr<TreeView> TreeViewOf(HWND hwnd) { return zb::wm::StateOf<TreeView>(hwnd); }

TvNode* NodeOf(TreeView& tv, HTREEITEM item, bool rootAllowed) {
  if (!item || item == TVI_ROOT) return rootAllowed ? &tv.root : nullptr;
  auto* node = reinterpret_cast<TvNode*>(item);
  return tv.live.count(node) ? node : nullptr;
}

std::vector<TvNode*> VisibleRows(TreeView& tv) {
  std::vector<TvNode*> rows;
  std::function<void(TvNode&)> walk = [&](TvNode& parent) {
    for (auto& kid : parent.kids) {
      rows.push_back(kid.get());
      if (kid->state & TVIS_EXPANDED) walk(*kid);
    }
  };
  walk(tv.root);
  return rows;
}

int RowOf(TreeView& tv, TvNode* node) {
  const std::vector<TvNode*> rows = VisibleRows(tv);
  auto it = std::find(rows.begin(), rows.end(), node);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

int Depth(const TvNode* node) {
  int depth = 0;
  for (const TvNode* p = node->parent; p && p->parent; p = p->parent) ++depth;
  return depth;
}

int ItemHeight(HWND hwnd, TreeView& tv) {
  if (tv.itemHeight > 0) return tv.itemHeight;
  const int textHeight = zb::wm::TextHeight(hwnd, tv.font);
  int height = textHeight + Scaled(3);
  for (HIMAGELIST list : {tv.normal, tv.stateImages ? tv.stateImages : tv.checkImages}) {
    int cx = 0, cy = 0;
    if (list && ImageList_GetIconSize(list, &cx, &cy)) height = std::max(height, cy + Scaled(2));
  }
  return height;
}

int Indent(HWND hwnd, TreeView& tv) {
  if (tv.indent > 0) return tv.indent;
  int cx = 0, cy = 0;
  const int image = tv.normal && ImageList_GetIconSize(tv.normal, &cx, &cy) ? cx : 0;
  return std::max(Scaled(16), image + Scaled(3));
}

RECT RowsArea(HWND hwnd, TreeView& tv) {
  RECT r;
  GetClientRect(hwnd, &r);
  if (GetWindowLongW(hwnd, GWL_STYLE) & WS_BORDER) InflateRect(&r, -1, -1);
  RECT bar = zb::wm::VerticalBarStrip(hwnd);
  if (!IsRectEmpty(&bar)) r.right = bar.left;
  return r;
}

int PageRows(HWND hwnd, TreeView& tv) {
  const RECT r = RowsArea(hwnd, tv);
  return std::max<int>((r.bottom - r.top) / ItemHeight(hwnd, tv), 1);
}

int TopRow(TreeView& tv) {
  if (!tv.top) return 0;
  return std::max(RowOf(tv, tv.top), 0);
}

RECT RowRect(HWND hwnd, TreeView& tv, int row) {
  const RECT area = RowsArea(hwnd, tv);
  const int h = ItemHeight(hwnd, tv);
  const int y = area.top + (row - TopRow(tv)) * h;
  return RECT{area.left, y, area.right, y + h};
}

bool HasChildren(HWND hwnd, TreeView& tv, TvNode* node) {
  if (!node->kids.empty()) return true;
  if (node->children == I_CHILDRENCALLBACK) {
    NMTVDISPINFOW info{};
    info.item.mask = TVIF_CHILDREN;
    info.item.hItem = node->handle();
    info.item.lParam = node->lParam;
    zb::wm::NotifyParent(hwnd, TVN_GETDISPINFOW, &info.hdr);
    return info.item.cChildren != 0;
  }
  return node->children != 0;
}

bool HasButton(HWND hwnd, TreeView& tv, TvNode* node) {
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  if (!(style & TVS_HASBUTTONS)) return false;
  if (!node->parent->parent && !(style & TVS_LINESATROOT)) return false;
  return HasChildren(hwnd, tv, node);
}

TvParts PartsOf(HWND hwnd, TreeView& tv, TvNode* node, int row) {
  TvParts p;
  p.row = RowRect(hwnd, tv, row);
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  const int indent = Indent(hwnd, tv);
  // Items at the root start at the edge unless lines or buttons reach the root.
  const int levels = Depth(node) + ((style & TVS_LINESATROOT) ? 1 : 0);
  int x = p.row.left + Scaled(2) + levels * indent;
  const int box = Scaled(9);
  const int buttonCentre = x - indent / 2;
  p.button = RECT{buttonCentre - box / 2, (p.row.top + p.row.bottom - box) / 2, buttonCentre - box / 2 + box,
                  (p.row.top + p.row.bottom - box) / 2 + box};
  int cx = 0, cy = 0;
  HIMAGELIST states = tv.stateImages ? tv.stateImages : tv.checkImages;
  const bool hasState = states && ((node->state & TVIS_STATEIMAGEMASK) >> 12) > 0 && ImageList_GetIconSize(states, &cx, &cy);
  p.state = RECT{x, p.row.top, x + (hasState ? cx : 0), p.row.bottom};
  x = p.state.right + (hasState ? Scaled(2) : 0);
  const bool hasImage = tv.normal && ImageList_GetIconSize(tv.normal, &cx, &cy);
  p.image = RECT{x, p.row.top, x + (hasImage ? cx : 0), p.row.bottom};
  x = p.image.right + (hasImage ? Scaled(3) : 0);
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, zb::wm::FontOr(tv.font));
  const std::u16string text = TextOf(hwnd, tv, node);
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  p.label = RECT{x, p.row.top, x + size.cx + Scaled(4), p.row.bottom};
  return p;
}

std::u16string TextOf(HWND hwnd, TreeView& tv, TvNode* node) {
  if (!node->textCallback) return node->text;
  WCHAR buffer[520] = {};
  NMTVDISPINFOW info{};
  info.item.mask = TVIF_TEXT;
  info.item.hItem = node->handle();
  info.item.pszText = buffer;
  info.item.cchTextMax = 520;
  info.item.lParam = node->lParam;
  zb::wm::NotifyParent(hwnd, TVN_GETDISPINFOW, &info.hdr);
  if (!info.item.pszText || info.item.pszText == LPSTR_TEXTCALLBACKW) return {};
  std::u16string text(info.item.pszText);
  if ((info.item.mask & TVIF_DI_SETITEM) && tv.live.count(node)) {
    node->text = text;
    node->textCallback = false;
  }
  return text;
}

int ImageOf(HWND hwnd, TreeView& tv, TvNode* node, bool selected) {
  const int image = selected ? node->selectedImage : node->image;
  if (image != I_IMAGECALLBACK) return image;
  NMTVDISPINFOW info{};
  info.item.mask = selected ? TVIF_SELECTEDIMAGE : TVIF_IMAGE;
  info.item.hItem = node->handle();
  info.item.lParam = node->lParam;
  zb::wm::NotifyParent(hwnd, TVN_GETDISPINFOW, &info.hdr);
  return selected ? info.item.iSelectedImage : info.item.iImage;
}

void FillItem(TvNode* node, TVITEMW& out) {
  out = TVITEMW{};
  out.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  if (!node) return;
  out.hItem = node->handle();
  out.lParam = node->lParam;
  out.state = node->state;
  out.stateMask = 0xFFFF;
  out.iImage = node->image;
  out.iSelectedImage = node->selectedImage;
  out.cChildren = node->kids.empty() ? (node->children == I_CHILDRENCALLBACK ? I_CHILDRENCALLBACK : node->children) : 1;
  out.pszText = const_cast<LPWSTR>(node->text.c_str());
}

LRESULT NotifyTree(HWND hwnd, UINT code, NMTREEVIEWW* n) { return zb::wm::NotifyParent(hwnd, code, &n->hdr); }

void Relayout(HWND hwnd, TreeView& tv) {
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  const std::vector<TvNode*> rows = VisibleRows(tv);
  const int count = static_cast<int>(rows.size());
  if (tv.top && std::find(rows.begin(), rows.end(), tv.top) == rows.end()) tv.top = nullptr;
  int top = tv.top ? RowOf(tv, tv.top) : 0;
  if (!(style & TVS_NOSCROLL)) {
    const bool need = count > PageRows(hwnd, tv);
    if (need != ((style & WS_VSCROLL) != 0)) {
      SetWindowLongW(hwnd, GWL_STYLE, need ? (style | WS_VSCROLL) : (style & ~WS_VSCROLL));
      InvalidateRect(hwnd, nullptr, TRUE);
    }
  }
  top = std::clamp(top, 0, std::max(count - PageRows(hwnd, tv), 0));
  tv.top = count ? rows[top] : nullptr;
  if (GetWindowLongW(hwnd, GWL_STYLE) & WS_VSCROLL) {
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(count - 1, 0),
                    static_cast<UINT>(PageRows(hwnd, tv)), top, 0};
    SetScrollInfo(hwnd, SB_VERT, &info, tv.redraw);
  }
  if (tv.redraw) InvalidateRect(hwnd, nullptr, TRUE);
}

void SetTopRow(HWND hwnd, TreeView& tv, int row) {
  const std::vector<TvNode*> rows = VisibleRows(tv);
  if (rows.empty()) return;
  row = std::clamp(row, 0, std::max(static_cast<int>(rows.size()) - PageRows(hwnd, tv), 0));
  tv.top = rows[row];
  Relayout(hwnd, tv);
}

void Show(HWND hwnd, TreeView& tv, TvNode* node) {
  for (TvNode* p = node->parent; p && p->parent; p = p->parent)
    if (!(p->state & TVIS_EXPANDED)) Expand(hwnd, tv, p, TVE_EXPAND, false);
  const int row = RowOf(tv, node), top = TopRow(tv), page = PageRows(hwnd, tv);
  if (row < 0) return;
  if (row < top) SetTopRow(hwnd, tv, row);
  else if (row >= top + page) SetTopRow(hwnd, tv, row - page + 1);
}

bool Expand(HWND hwnd, TreeView& tv, TvNode* node, UINT code, bool fromUser) {
  if (!node || node == &tv.root) return false;
  const bool expanded = (node->state & TVIS_EXPANDED) != 0;
  UINT action = code & 3;
  if (action == TVE_TOGGLE) action = expanded ? TVE_COLLAPSE : TVE_EXPAND;
  const bool reset = (code & TVE_COLLAPSERESET) != 0;
  if ((action == TVE_EXPAND && expanded) || (action == TVE_COLLAPSE && !expanded && !reset)) return false;
  if (action == TVE_EXPAND && !HasChildren(hwnd, tv, node)) return false;
  NMTREEVIEWW n{};
  n.action = action;
  FillItem(node, n.itemNew);
  // The user's expansions are always told (and may be refused); a program's TVM_EXPAND only
  // until the item has been expanded once.
  const bool tell = fromUser || !(node->state & TVIS_EXPANDEDONCE);
  if (tell && NotifyTree(hwnd, TVN_ITEMEXPANDINGW, &n)) return false;
  if (!tv.live.count(node)) return false;
  if (action == TVE_EXPAND) {
    node->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  } else {
    node->state &= ~TVIS_EXPANDED;
    if (reset) {
      while (!node->kids.empty()) DeleteNode(hwnd, tv, node->kids.back().get());
      node->state &= ~TVIS_EXPANDEDONCE;
    }
    // A selection inside what closes moves to the item that closes.
    for (TvNode* p = tv.selected ? tv.selected->parent : nullptr; p; p = p->parent) {
      if (p == node) {
        Select(hwnd, tv, node, TVC_UNKNOWN);
        break;
      }
    }
  }
  FillItem(node, n.itemNew);
  if (tell) NotifyTree(hwnd, TVN_ITEMEXPANDEDW, &n);
  Relayout(hwnd, tv);
  return true;
}

bool Select(HWND hwnd, TreeView& tv, TvNode* node, UINT action) {
  if (node == tv.selected) {
    if (node) Show(hwnd, tv, node);
    return true;
  }
  NMTREEVIEWW n{};
  n.action = action;
  FillItem(tv.selected, n.itemOld);
  FillItem(node, n.itemNew);
  if (NotifyTree(hwnd, TVN_SELCHANGINGW, &n)) return false;  // the parent keeps the selection
  if (node && !tv.live.count(node)) return false;
  if (tv.selected) tv.selected->state &= ~(TVIS_SELECTED | TVIS_FOCUSED);
  tv.selected = node;
  if (node) {
    node->state |= TVIS_SELECTED | TVIS_FOCUSED;
    Show(hwnd, tv, node);
  }
  FillItem(tv.selected, n.itemNew);
  NotifyTree(hwnd, TVN_SELCHANGEDW, &n);
  if (tv.redraw) InvalidateRect(hwnd, nullptr, TRUE);
  return true;
}

void DeleteNode(HWND hwnd, TreeView& tv, TvNode* node) {
  if (!node || node == &tv.root) return;
  if (tv.editing == node) EndEdit(hwnd, tv, true);
  while (!node->kids.empty()) DeleteNode(hwnd, tv, node->kids.back().get());
  NMTREEVIEWW n{};
  FillItem(node, n.itemOld);
  NotifyTree(hwnd, TVN_DELETEITEMW, &n);
  if (!tv.live.count(node)) return;
  if (tv.selected == node) tv.selected = nullptr;
  if (tv.dropHilite == node) tv.dropHilite = nullptr;
  if (tv.pressed == node) tv.pressed = nullptr;
  if (tv.top == node) tv.top = nullptr;
  tv.live.erase(node);
  TvNode* parent = node->parent;
  auto& kids = parent->kids;
  kids.erase(std::find_if(kids.begin(), kids.end(), [&](const auto& k) { return k.get() == node; }));
  if (parent != &tv.root && parent->kids.empty()) parent->state &= ~TVIS_EXPANDED;
}

}  // namespace zb::cc
