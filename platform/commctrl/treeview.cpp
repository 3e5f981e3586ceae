// The "SysTreeView32" class's messages: inserting (first, last, after an item, or sorted),
// deleting, reading and changing items, expanding, selecting, walking the tree (TVM_GETNEXTITEM),
// hit tests, item rectangles, sorting children, image lists (with the check-box state images
// of TVS_CHECKBOXES) and label editing.
#include <algorithm>
#include <cstring>
#include <utility>

#include "commctrl/cc_procs.h"
#include "commctrl/treeview_state.h"
#include "gwes/control_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {
namespace {

using zb::wm::Scaled;

HIMAGELIST MakeCheckImages() {
  const int size = Scaled(13);
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR16, 2, 0);
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
  ImageList_Add(list, strip, nullptr);
  DeleteObject(strip);
  return list;
}

void Apply(TvNode& node, const TVITEMW& in) {
  if (in.mask & TVIF_TEXT) {
    node.textCallback = in.pszText == LPSTR_TEXTCALLBACKW;
    node.text = node.textCallback || !in.pszText ? std::u16string() : std::u16string(in.pszText);
  }
  if (in.mask & TVIF_IMAGE) node.image = in.iImage;
  if (in.mask & TVIF_SELECTEDIMAGE) node.selectedImage = in.iSelectedImage;
  if (in.mask & TVIF_PARAM) node.lParam = in.lParam;
  if (in.mask & TVIF_CHILDREN) node.children = in.cChildren;
  // Selection and expansion go through their own paths; other state bits are set here.
  if (in.mask & TVIF_STATE) {
    const UINT mask = in.stateMask & ~(TVIS_SELECTED | TVIS_FOCUSED | TVIS_EXPANDED);
    node.state = (node.state & ~mask) | (in.state & mask);
  }
}

HTREEITEM Insert(HWND hwnd, TreeView& tv, const TVINSERTSTRUCTW& in) {
  TvNode* parent = NodeOf(tv, in.hParent, true);
  if (!parent) return nullptr;
  auto node = std::make_unique<TvNode>();
  node->parent = parent;
  Apply(*node, in.item);
  if ((GetWindowLongW(hwnd, GWL_STYLE) & TVS_CHECKBOXES) && !(node->state & TVIS_STATEIMAGEMASK))
    node->state |= INDEXTOSTATEIMAGEMASK(1);
  auto& kids = parent->kids;
  size_t at = kids.size();
  if (in.hInsertAfter == TVI_FIRST) {
    at = 0;
  } else if (in.hInsertAfter == TVI_SORT) {
    // Among its siblings by text, ignoring case; after the equal ones.
    at = 0;
    while (at < kids.size() && _wcsicmp(kids[at]->text.c_str(), node->text.c_str()) <= 0) ++at;
  } else if (in.hInsertAfter != TVI_LAST && in.hInsertAfter) {
    TvNode* after = NodeOf(tv, in.hInsertAfter, false);
    auto it = std::find_if(kids.begin(), kids.end(), [&](const auto& k) { return k.get() == after; });
    at = it == kids.end() ? kids.size() : static_cast<size_t>(it - kids.begin()) + 1;
  }
  TvNode* made = node.get();
  kids.insert(kids.begin() + static_cast<std::ptrdiff_t>(at), std::move(node));
  tv.live.insert(made);
  Relayout(hwnd, tv);
  return made->handle();
}

TvNode* Walk(TreeView& tv, TvNode* node, UINT code) {
  const std::vector<TvNode*> rows = VisibleRows(tv);
  auto siblings = [&](TvNode* n) -> auto& { return n->parent->kids; };
  switch (code) {
    case TVGN_ROOT: return tv.root.kids.empty() ? nullptr : tv.root.kids.front().get();
    case TVGN_CARET: return tv.selected;
    case TVGN_DROPHILITE: return tv.dropHilite;
    case TVGN_FIRSTVISIBLE: return tv.top ? tv.top : (rows.empty() ? nullptr : rows.front());
    case TVGN_LASTVISIBLE: return rows.empty() ? nullptr : rows.back();
    default: break;
  }
  if (!node) return nullptr;
  switch (code) {
    case TVGN_CHILD: return node->kids.empty() ? nullptr : node->kids.front().get();
    case TVGN_PARENT: return node->parent == &tv.root ? nullptr : node->parent;
    case TVGN_NEXT:
    case TVGN_PREVIOUS: {
      auto& kids = siblings(node);
      auto it = std::find_if(kids.begin(), kids.end(), [&](const auto& k) { return k.get() == node; });
      if (code == TVGN_NEXT) return it + 1 < kids.end() ? (it + 1)->get() : nullptr;
      return it == kids.begin() ? nullptr : (it - 1)->get();
    }
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
      auto it = std::find(rows.begin(), rows.end(), node);
      if (it == rows.end()) return nullptr;
      if (code == TVGN_NEXTVISIBLE) return it + 1 < rows.end() ? *(it + 1) : nullptr;
      return it == rows.begin() ? nullptr : *(it - 1);
    }
    default: return nullptr;
  }
}

HTREEITEM HitTest(HWND hwnd, TreeView& tv, TVHITTESTINFO& info) {
  info.hItem = nullptr;
  const RECT area = RowsArea(hwnd, tv);
  if (info.pt.y < area.top) {
    info.flags = TVHT_ABOVE;
    return nullptr;
  }
  if (info.pt.y >= area.bottom) {
    info.flags = TVHT_BELOW;
    return nullptr;
  }
  const std::vector<TvNode*> rows = VisibleRows(tv);
  const int row = TopRow(tv) + (info.pt.y - area.top) / ItemHeight(hwnd, tv);
  if (row < 0 || row >= static_cast<int>(rows.size())) {
    info.flags = TVHT_NOWHERE;
    return nullptr;
  }
  TvNode* node = rows[row];
  const TvParts p = PartsOf(hwnd, tv, node, row);
  const POINT at = info.pt;
  if (HasButton(hwnd, tv, node) && PtInRect(&p.button, at)) info.flags = TVHT_ONITEMBUTTON;
  else if (PtInRect(&p.state, at)) info.flags = TVHT_ONITEMSTATEICON;
  else if (PtInRect(&p.image, at)) info.flags = TVHT_ONITEMICON;
  else if (PtInRect(&p.label, at)) info.flags = TVHT_ONITEMLABEL;
  else if (at.x < p.state.left) info.flags = TVHT_ONITEMINDENT;
  else info.flags = TVHT_ONITEMRIGHT;
  info.hItem = node->handle();
  return info.hItem;
}

BOOL ItemRect(HWND hwnd, TreeView& tv, BOOL textOnly, RECT* r) {
  if (!r) return FALSE;
  HTREEITEM item = nullptr;
  std::memcpy(&item, r, sizeof item);  // the item rides in the rectangle, as the platform has it
  TvNode* node = NodeOf(tv, item, false);
  const int row = node ? RowOf(tv, node) : -1;
  if (row < 0) return FALSE;
  const TvParts p = PartsOf(hwnd, tv, node, row);
  *r = textOnly ? p.label : p.row;
  return TRUE;
}

BOOL SortChildren(HWND hwnd, TreeView& tv, TvNode* parent, PFNTVCOMPARE compare, LPARAM context) {
  if (!parent) return FALSE;
  auto& kids = parent->kids;
  if (compare) {
    std::stable_sort(kids.begin(), kids.end(), [&](const auto& a, const auto& b) { return compare(a->lParam, b->lParam, context) < 0; });
  } else {
    std::stable_sort(kids.begin(), kids.end(), [&](const auto& a, const auto& b) {
      return _wcsicmp(TextOf(hwnd, tv, a.get()).c_str(), TextOf(hwnd, tv, b.get()).c_str()) < 0;
    });
  }
  Relayout(hwnd, tv);
  return TRUE;
}

BOOL GetItem(HWND hwnd, TreeView& tv, TVITEMW& out) {
  TvNode* node = NodeOf(tv, out.hItem, false);
  if (!node) return FALSE;
  if (out.mask & TVIF_TEXT) {
    const std::u16string text = TextOf(hwnd, tv, node);
    if (out.pszText && out.cchTextMax > 0) {
      const size_t n = std::min(text.size(), static_cast<size_t>(out.cchTextMax) - 1);
      std::copy_n(text.data(), n, out.pszText);
      out.pszText[n] = 0;
    }
  }
  if (out.mask & TVIF_IMAGE) out.iImage = node->image;
  if (out.mask & TVIF_SELECTEDIMAGE) out.iSelectedImage = node->selectedImage;
  if (out.mask & TVIF_PARAM) out.lParam = node->lParam;
  if (out.mask & TVIF_STATE) out.state = node->state & out.stateMask;
  if (out.mask & TVIF_CHILDREN) out.cChildren = node->kids.empty() ? node->children : 1;
  return TRUE;
}

LRESULT Handle(HWND hwnd, TreeView& tv, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (reinterpret_cast<const CREATESTRUCTW*>(lParam)->style & TVS_CHECKBOXES) tv.checkImages = MakeCheckImages();
      return 0;
    case WM_SIZE:
      Relayout(hwnd, tv);
      return 0;
    case WM_SETFONT:
      tv.font = reinterpret_cast<HFONT>(wParam);
      Relayout(hwnd, tv);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(tv.font);
    case WM_SETREDRAW:
      tv.redraw = wParam != 0;
      if (tv.redraw) Relayout(hwnd, tv);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case TVM_INSERTITEMW: return lParam ? reinterpret_cast<LRESULT>(Insert(hwnd, tv, *reinterpret_cast<const TVINSERTSTRUCTW*>(lParam))) : 0;
    case TVM_DELETEITEM: {
      TvNode* node = NodeOf(tv, reinterpret_cast<HTREEITEM>(lParam), true);
      if (!node) return FALSE;
      if (node == &tv.root) {
        while (!tv.root.kids.empty()) DeleteNode(hwnd, tv, tv.root.kids.back().get());
      } else {
        DeleteNode(hwnd, tv, node);
      }
      Relayout(hwnd, tv);
      return TRUE;
    }
    case TVM_EXPAND: {
      TvNode* node = NodeOf(tv, reinterpret_cast<HTREEITEM>(lParam), false);
      if (!node) return FALSE;
      const bool wasExpanded = (node->state & TVIS_EXPANDED) != 0;
      // Expanding an expanded item (or collapsing a collapsed one) counts as done.
      if (Expand(hwnd, tv, node, static_cast<UINT>(wParam), false)) return TRUE;
      const UINT action = static_cast<UINT>(wParam) & 3;
      return (action == TVE_EXPAND && wasExpanded) || (action == TVE_COLLAPSE && !wasExpanded);
    }
    case TVM_GETITEMRECT: return ItemRect(hwnd, tv, static_cast<BOOL>(wParam), reinterpret_cast<RECT*>(lParam));
    case TVM_GETCOUNT: return static_cast<LRESULT>(tv.live.size());
    case TVM_GETINDENT: return Indent(hwnd, tv);
    case TVM_SETINDENT:
      tv.indent = static_cast<int>(wParam);
      Relayout(hwnd, tv);
      return 0;
    case TVM_GETIMAGELIST: return reinterpret_cast<LRESULT>(wParam == TVSIL_STATE ? tv.stateImages : tv.normal);
    case TVM_SETIMAGELIST: {
      HIMAGELIST& slot = wParam == TVSIL_STATE ? tv.stateImages : tv.normal;
      HIMAGELIST previous = std::exchange(slot, reinterpret_cast<HIMAGELIST>(lParam));
      Relayout(hwnd, tv);
      return reinterpret_cast<LRESULT>(previous);
    }
    case TVM_GETNEXTITEM: {
      TvNode* node = NodeOf(tv, reinterpret_cast<HTREEITEM>(lParam), false);
      TvNode* found = Walk(tv, node, static_cast<UINT>(wParam));
      return found ? reinterpret_cast<LRESULT>(found->handle()) : 0;
    }
    case TVM_SELECTITEM: {
      TvNode* node = NodeOf(tv, reinterpret_cast<HTREEITEM>(lParam), false);
      if (lParam && !node) return FALSE;
      switch (wParam & 0xFF) {
        case TVGN_CARET: return Select(hwnd, tv, node, TVC_UNKNOWN);
        case TVGN_FIRSTVISIBLE:
          if (node) SetTopRow(hwnd, tv, RowOf(tv, node));
          return node != nullptr;
        case TVGN_DROPHILITE:
          tv.dropHilite = node;
          InvalidateRect(hwnd, nullptr, TRUE);
          return TRUE;
        default: return FALSE;
      }
    }
    case TVM_GETITEMW: return lParam ? GetItem(hwnd, tv, *reinterpret_cast<TVITEMW*>(lParam)) : FALSE;
    case TVM_SETITEMW: {
      const auto* item = reinterpret_cast<const TVITEMW*>(lParam);
      TvNode* node = item ? NodeOf(tv, item->hItem, false) : nullptr;
      if (!node) return FALSE;
      Apply(*node, *item);
      if ((item->mask & TVIF_STATE) && (item->stateMask & TVIS_SELECTED) && (item->state & TVIS_SELECTED))
        Select(hwnd, tv, node, TVC_UNKNOWN);
      if ((item->mask & TVIF_STATE) && (item->stateMask & TVIS_EXPANDED))
        Expand(hwnd, tv, node, (item->state & TVIS_EXPANDED) ? TVE_EXPAND : TVE_COLLAPSE, false);
      Relayout(hwnd, tv);
      return TRUE;
    }
    case TVM_GETITEMSTATE: {
      TvNode* node = NodeOf(tv, reinterpret_cast<HTREEITEM>(wParam), false);
      return node ? (node->state & static_cast<UINT>(lParam)) : 0;
    }
    case TVM_GETVISIBLECOUNT: return PageRows(hwnd, tv);
    case TVM_HITTEST: return lParam ? reinterpret_cast<LRESULT>(HitTest(hwnd, tv, *reinterpret_cast<TVHITTESTINFO*>(lParam))) : 0;
    case TVM_ENSUREVISIBLE: {
      TvNode* node = NodeOf(tv, reinterpret_cast<HTREEITEM>(lParam), false);
      if (!node) return FALSE;
      Show(hwnd, tv, node);
      return TRUE;
    }
    case TVM_SORTCHILDREN: return SortChildren(hwnd, tv, NodeOf(tv, reinterpret_cast<HTREEITEM>(lParam), true), nullptr, 0);
    case TVM_SORTCHILDRENCB: {
      const auto* sort = reinterpret_cast<const TVSORTCB*>(lParam);
      return sort ? SortChildren(hwnd, tv, NodeOf(tv, sort->hParent, true), sort->lpfnCompare, sort->lParam) : FALSE;
    }
    case TVM_SETITEMHEIGHT: {
      const int previous = ItemHeight(hwnd, tv);
      tv.itemHeight = static_cast<SHORT>(wParam) > 0 ? static_cast<int>(wParam) : 0;
      Relayout(hwnd, tv);
      return previous;
    }
    case TVM_GETITEMHEIGHT: return ItemHeight(hwnd, tv);
    case TVM_SETBKCOLOR: return std::exchange(tv.bk, static_cast<COLORREF>(lParam));
    case TVM_GETBKCOLOR: return tv.bk;
    case TVM_SETTEXTCOLOR: return std::exchange(tv.text, static_cast<COLORREF>(lParam));
    case TVM_GETTEXTCOLOR: return tv.text;
    case TVM_EDITLABELW: return reinterpret_cast<LRESULT>(BeginEdit(hwnd, tv, NodeOf(tv, reinterpret_cast<HTREEITEM>(lParam), false)));
    case TVM_GETEDITCONTROL: return reinterpret_cast<LRESULT>(tv.edit);
    case TVM_ENDEDITLABELNOW: return EndEdit(hwnd, tv, wParam != 0);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintTreeView(hwnd, tv); return 0;
    case WM_DESTROY:
      if (tv.edit) EndEdit(hwnd, tv, true);
      while (!tv.root.kids.empty()) DeleteNode(hwnd, tv, tv.root.kids.back().get());
      return 0;
    default:
      return TreeViewInput(hwnd, tv, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK TreeViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return zb::wm::WithState<TreeView, Handle>(hwnd, message, wParam, lParam);
}

}  // namespace zb::cc
