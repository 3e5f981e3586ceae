// The tree view under the stylus and keys: a tap on a button expands or collapses, on a state
// image flips the check, on an item selects it (a second tap on the selected label edits it
// under TVS_EDITLABELS); a held press is the context-menu gesture. Keys walk the shown items,
// open and close branches; each is first offered as TVN_KEYDOWN. Label editing puts an edit
// over the label and ends on Enter (kept), Escape (dropped) or when the edit loses the focus.
#include <algorithm>
#include <utility>

#include "commctrl/treeview_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {
namespace {

using zb::wm::PointOf;

LRESULT NotifyPlain(HWND hwnd, UINT code) {
  NMHDR header{};
  return zb::wm::NotifyParent(hwnd, code, &header);
}

void ToggleCheck(HWND hwnd, TreeView& tv, TvNode* node) {
  if (!node || !(GetWindowLongW(hwnd, GWL_STYLE) & TVS_CHECKBOXES)) return;
  const UINT image = (node->state & TVIS_STATEIMAGEMASK) >> 12;
  node->state = (node->state & ~TVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(image == 2 ? 1 : 2);
  InvalidateRect(hwnd, nullptr, TRUE);
}

TvNode* Hit(HWND hwnd, TreeView& tv, POINT p, UINT* flags) {
  TVHITTESTINFO info{p, 0, nullptr};
  SendMessageW(hwnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  *flags = info.flags;
  return NodeOf(tv, info.hItem, false);
}

void Key(HWND hwnd, TreeView& tv, UINT vk, LPARAM flags) {
  NMTVKEYDOWN key{};
  key.wVKey = static_cast<WORD>(vk);
  key.flags = static_cast<UINT>(flags);
  zb::wm::NotifyParent(hwnd, TVN_KEYDOWN, &key.hdr);
  const std::vector<TvNode*> rows = VisibleRows(tv);
  if (rows.empty()) return;
  TvNode* node = tv.selected;
  const int row = node ? RowOf(tv, node) : -1;
  const int page = std::max(PageRows(hwnd, tv) - 1, 1);
  auto go = [&](int to) { Select(hwnd, tv, rows[std::clamp(to, 0, static_cast<int>(rows.size()) - 1)], TVC_BYKEYBOARD); };
  switch (vk) {
    case VK_UP: go(row < 0 ? 0 : row - 1); break;
    case VK_DOWN: go(row + 1); break;
    case VK_HOME: go(0); break;
    case VK_END: go(static_cast<int>(rows.size()) - 1); break;
    case VK_PRIOR: go(row - page); break;
    case VK_NEXT: go(row + page); break;
    case VK_LEFT:
      if (!node) break;
      if (node->state & TVIS_EXPANDED) {
        Expand(hwnd, tv, node, TVE_COLLAPSE, true);
      } else if (node->parent != &tv.root) {
        Select(hwnd, tv, node->parent, TVC_BYKEYBOARD);
      }
      break;
    case VK_RIGHT:
      if (!node) break;
      if (!(node->state & TVIS_EXPANDED)) {
        Expand(hwnd, tv, node, TVE_EXPAND, true);
      } else if (!node->kids.empty()) {
        Select(hwnd, tv, node->kids.front().get(), TVC_BYKEYBOARD);
      }
      break;
    case VK_RETURN: NotifyPlain(hwnd, NM_RETURN); break;
    case VK_SPACE: ToggleCheck(hwnd, tv, node); break;
    case VK_F2:
      if (node) SendMessageW(hwnd, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(node->handle()));
      break;
    default: break;
  }
}

LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND tree = GetParent(edit);
  auto tv = TreeViewOf(tree);
  if (!tv || !tv->editProc) return DefWindowProcW(edit, message, wParam, lParam);
  const WNDPROC own = tv->editProc;
  switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | CallWindowProcW(own, edit, message, wParam, lParam);
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
        EndEdit(tree, *tv, wParam == VK_ESCAPE);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == u'\r' || wParam == 27) return 0;
      break;
    case WM_KILLFOCUS:
      CallWindowProcW(own, edit, message, wParam, lParam);
      EndEdit(tree, *tv, false);
      return 0;
    default:
      break;
  }
  return CallWindowProcW(own, edit, message, wParam, lParam);
}

}  // namespace

HWND BeginEdit(HWND hwnd, TreeView& tv, TvNode* node) {
  if (!node || tv.edit) return nullptr;
  const int row = RowOf(tv, node);
  if (row < 0) return nullptr;
  SetFocus(hwnd);
  NMTVDISPINFOW info{};
  FillItem(node, info.item);
  info.item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | TVIF_TEXT;
  if (zb::wm::NotifyParent(hwnd, TVN_BEGINLABELEDITW, &info.hdr)) return nullptr;  // refused
  if (!tv.live.count(node)) return nullptr;
  Show(hwnd, tv, node);
  const TvParts p = PartsOf(hwnd, tv, node, RowOf(tv, node));
  RECT r = p.label;
  r.right = std::max<LONG>(r.right + zb::wm::Scaled(20), RowsArea(hwnd, tv).right);
  tv.editing = node;
  tv.edit = CreateWindowExW(0, u"EDIT", TextOf(hwnd, tv, node).c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r.left,
                            r.top, r.right - r.left, r.bottom - r.top, hwnd, nullptr, nullptr, nullptr);
  if (!tv.edit) {
    tv.editing = nullptr;
    return nullptr;
  }
  SendMessageW(tv.edit, WM_SETFONT, reinterpret_cast<WPARAM>(tv.font), FALSE);
  tv.editProc = reinterpret_cast<WNDPROC>(SetWindowLongW(tv.edit, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  SetFocus(tv.edit);
  SendMessageW(tv.edit, EM_SETSEL, 0, -1);
  return tv.edit;
}

bool EndEdit(HWND hwnd, TreeView& tv, bool cancel) {
  if (!tv.edit) return false;
  HWND edit = std::exchange(tv.edit, nullptr);
  TvNode* node = std::exchange(tv.editing, nullptr);
  const std::u16string typed = zb::wm::WindowText(edit);
  // The edit goes first, so the focus it gives up does not end the edit a second time.
  SetWindowLongW(edit, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(tv.editProc));
  tv.editProc = nullptr;
  if (GetFocus() == edit) SetFocus(hwnd);
  DestroyWindow(edit);
  if (!node || !tv.live.count(node)) return true;
  NMTVDISPINFOW info{};
  FillItem(node, info.item);
  info.item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_TEXT;
  std::u16string buffer = typed;
  info.item.pszText = cancel ? nullptr : buffer.data();
  info.item.cchTextMax = static_cast<int>(buffer.size() + 1);
  // A parent that answers TRUE takes the text; otherwise the item keeps its own.
  if (zb::wm::NotifyParent(hwnd, TVN_ENDLABELEDITW, &info.hdr) && !cancel && tv.live.count(node)) {
    node->text = typed;
    node->textCallback = false;
  }
  InvalidateRect(hwnd, nullptr, TRUE);
  return true;
}

LRESULT TreeViewInput(HWND hwnd, TreeView& tv, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const POINT p = PointOf(lParam);
      if (tv.edit) EndEdit(hwnd, tv, false);
      SetFocus(hwnd);
      if (tv.bar.PressOwn(hwnd, p)) return 0;
      UINT flags = 0;
      TvNode* node = Hit(hwnd, tv, p, &flags);
      if (!node) return 0;
      if (flags & TVHT_ONITEMBUTTON) {
        Expand(hwnd, tv, node, TVE_TOGGLE, true);
        return 0;
      }
      if (flags & TVHT_ONITEMSTATEICON) ToggleCheck(hwnd, tv, node);
      if (message == WM_LBUTTONDBLCLK) {
        if (!NotifyPlain(hwnd, NM_DBLCLK)) Expand(hwnd, tv, node, TVE_TOGGLE, true);
        return 0;
      }
      tv.pressedSelected = node == tv.selected;
      Select(hwnd, tv, node, TVC_BYMOUSE);
      tv.pressed = node;
      tv.hold.Press(hwnd, p);
      SetCapture(hwnd);
      return 0;
    }
    case WM_MOUSEMOVE: {
      const POINT p = PointOf(lParam);
      if (!tv.bar.MoveOwn(hwnd, p)) tv.hold.Move(hwnd, p);
      return 0;
    }
    case WM_LBUTTONUP: {
      const POINT p = PointOf(lParam);
      if (tv.bar.ReleaseOwn(hwnd, p)) return 0;
      if (GetCapture() == hwnd) ReleaseCapture();
      tv.hold.Cancel(hwnd);
      TvNode* pressed = std::exchange(tv.pressed, nullptr);
      if (tv.hold.fired()) {
        tv.hold.Reset();  // the hold was the gesture; the release clicks nothing
        return 0;
      }
      if (!pressed) return 0;
      NotifyPlain(hwnd, NM_CLICK);
      UINT flags = 0;
      if (tv.pressedSelected && (GetWindowLongW(hwnd, GWL_STYLE) & TVS_EDITLABELS) && Hit(hwnd, tv, p, &flags) == pressed &&
          (flags & TVHT_ONITEMLABEL))
        BeginEdit(hwnd, tv, pressed);
      return 0;
    }
    case WM_TIMER:
      if (tv.hold.Timer(hwnd, wParam)) {
        TvNode* pressed = std::exchange(tv.pressed, nullptr);
        if (GetCapture() == hwnd) ReleaseCapture();
        tv.hold.Notify(hwnd, pressed ? static_cast<DWORD>(reinterpret_cast<uintptr_t>(pressed->handle())) : 0);
        return 0;
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_KEYDOWN:
      Key(hwnd, tv, static_cast<UINT>(wParam), lParam);
      return 0;
    case WM_CHAR: {
      if (wParam < 0x20) return 0;
      // The next shown item whose text starts with the letter.
      const std::vector<TvNode*> rows = VisibleRows(tv);
      const int from = tv.selected ? RowOf(tv, tv.selected) : -1;
      for (size_t k = 1; k <= rows.size(); ++k) {
        TvNode* node = rows[(from + k) % rows.size()];
        const std::u16string text = TextOf(hwnd, tv, node);
        if (!text.empty() && towupper(text[0]) == towupper(static_cast<char16_t>(wParam))) {
          Select(hwnd, tv, node, TVC_BYKEYBOARD);
          break;
        }
      }
      return 0;
    }
    case WM_VSCROLL: {
      const int top = TopRow(tv), page = PageRows(hwnd, tv);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: SetTopRow(hwnd, tv, top - 1); break;
        case SB_LINEDOWN: SetTopRow(hwnd, tv, top + 1); break;
        case SB_PAGEUP: SetTopRow(hwnd, tv, top - page); break;
        case SB_PAGEDOWN: SetTopRow(hwnd, tv, top + page); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetTopRow(hwnd, tv, static_cast<SHORT>(HIWORD(wParam))); break;
        default: break;
      }
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      tv.focused = message == WM_SETFOCUS;
      NotifyPlain(hwnd, tv.focused ? NM_SETFOCUS : NM_KILLFOCUS);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace zb::cc
