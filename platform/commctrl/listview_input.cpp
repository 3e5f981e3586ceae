// The list view under the stylus and keys: a tap selects its row (and flips a check box tapped
// on its image), a second tap in time activates, a press that moves starts a drag the parent
// may take (LVN_BEGINDRAG); arrows move the selection, space flips a check, Enter activates.
// Every key is first offered to the parent as LVN_KEYDOWN.
#include <algorithm>
#include <utility>

#include "commctrl/listview_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {
namespace {

using zb::wm::PointOf;

int Count(const ListView& lv) { return static_cast<int>(lv.items.size()); }

LRESULT Activation(HWND hwnd, ListView& lv, UINT code, int item, POINT at) {
  NMITEMACTIVATE n{};
  n.iItem = item;
  n.ptAction = at;
  if (item >= 0 && item < Count(lv)) n.lParam = lv.items[item].lParam;
  n.uKeyFlags = 0;
  return Notify(hwnd, code, &n.hdr);
}

int FocusedItem(const ListView& lv) { return NextItem(lv, -1, LVNI_FOCUSED); }

void ToggleCheck(HWND hwnd, ListView& lv, int index) {
  if (!(lv.exStyle & LVS_EX_CHECKBOXES) || index < 0 || index >= Count(lv)) return;
  const UINT image = (lv.items[index].state & LVIS_STATEIMAGEMASK) >> 12;
  ChangeState(hwnd, lv, index, INDEXTOSTATEIMAGEMASK(image == 2 ? 1 : 2), LVIS_STATEIMAGEMASK);
}

void MoveTo(HWND hwnd, ListView& lv, int index) {
  if (Count(lv) == 0) return;
  index = std::clamp(index, 0, Count(lv) - 1);
  SelectOnly(hwnd, lv, index);
  EnsureVisible(hwnd, lv, index, false);
}

void Key(HWND hwnd, ListView& lv, UINT vk, LPARAM flags) {
  NMLVKEYDOWN key{};
  key.wVKey = static_cast<WORD>(vk);
  key.flags = static_cast<UINT>(flags);
  Notify(hwnd, LVN_KEYDOWN, &key.hdr);
  const int focus = FocusedItem(lv);
  const int page = std::max(PageRows(hwnd, lv) - 1, 1);
  switch (vk) {
    case VK_UP: MoveTo(hwnd, lv, focus < 0 ? 0 : focus - 1); break;
    case VK_DOWN: MoveTo(hwnd, lv, focus + 1); break;
    case VK_HOME: MoveTo(hwnd, lv, 0); break;
    case VK_END: MoveTo(hwnd, lv, Count(lv) - 1); break;
    case VK_PRIOR: MoveTo(hwnd, lv, focus - page); break;
    case VK_NEXT: MoveTo(hwnd, lv, focus < 0 ? page : focus + page); break;
    case VK_SPACE:
      if (lv.exStyle & LVS_EX_CHECKBOXES) ToggleCheck(hwnd, lv, focus);
      else if (focus >= 0) SelectOnly(hwnd, lv, focus);
      break;
    case VK_RETURN: {
      NMHDR header{};
      Notify(hwnd, NM_RETURN, &header);
      if (focus >= 0) {
        const RECT row = RowRect(hwnd, lv, focus);
        Activation(hwnd, lv, LVN_ITEMACTIVATE, focus, POINT{row.left, row.top});
      }
      break;
    }
    default: break;
  }
}

void Scroll(HWND hwnd, ListView& lv, WPARAM wParam) {
  const int page = PageRows(hwnd, lv);
  switch (LOWORD(wParam)) {
    case SB_LINEUP: SetTop(hwnd, lv, lv.top - 1); break;
    case SB_LINEDOWN: SetTop(hwnd, lv, lv.top + 1); break;
    case SB_PAGEUP: SetTop(hwnd, lv, lv.top - page); break;
    case SB_PAGEDOWN: SetTop(hwnd, lv, lv.top + page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: SetTop(hwnd, lv, static_cast<SHORT>(HIWORD(wParam))); break;
    case SB_TOP: SetTop(hwnd, lv, 0); break;
    case SB_BOTTOM: SetTop(hwnd, lv, Count(lv)); break;
    default: break;
  }
}

int Hit(HWND hwnd, ListView& lv, POINT p, UINT* flags) {
  LVHITTESTINFO info{p, 0, -1, 0};
  const int index = static_cast<int>(SendMessageW(hwnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  *flags = info.flags;
  return index;
}

}  // namespace

LRESULT ListViewInput(HWND hwnd, ListView& lv, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const POINT p = PointOf(lParam);
      SetFocus(hwnd);
      if (lv.bar.PressOwn(hwnd, p)) return 0;
      UINT flags = 0;
      const int index = Hit(hwnd, lv, p, &flags);
      if (index < 0) {
        for (int i = 0; i < Count(lv); ++i)
          if (lv.items[i].state & LVIS_SELECTED) ChangeState(hwnd, lv, i, 0, LVIS_SELECTED);
        Activation(hwnd, lv, NM_CLICK, -1, p);
        return 0;
      }
      if (flags & LVHT_ONITEMSTATEICON) ToggleCheck(hwnd, lv, index);
      if (message == WM_LBUTTONDBLCLK) {
        Activation(hwnd, lv, NM_DBLCLK, index, p);
        Activation(hwnd, lv, LVN_ITEMACTIVATE, index, p);
        return 0;
      }
      SelectOnly(hwnd, lv, index);
      lv.pressed = index;
      lv.pressAt = p;
      lv.dragStarted = false;
      lv.hold.Press(hwnd, p);
      SetCapture(hwnd);
      return 0;
    }
    case WM_MOUSEMOVE: {
      const POINT p = PointOf(lParam);
      if (lv.bar.MoveOwn(hwnd, p)) return 0;
      lv.hold.Move(hwnd, p);
      const int slop = GetSystemMetrics(SM_CXDOUBLECLK);
      if (lv.pressed >= 0 && !lv.dragStarted &&
          (std::abs(p.x - lv.pressAt.x) > slop || std::abs(p.y - lv.pressAt.y) > slop)) {
        lv.dragStarted = true;
        NotifyItem(hwnd, LVN_BEGINDRAG, lv.pressed, 0, lv.pressAt);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      const POINT p = PointOf(lParam);
      if (lv.bar.ReleaseOwn(hwnd, p)) return 0;
      if (GetCapture() == hwnd) ReleaseCapture();
      lv.hold.Cancel(hwnd);
      const int pressed = lv.pressed;
      lv.pressed = -1;
      if (lv.hold.fired()) {
        lv.hold.Reset();  // the hold was the gesture; the release clicks nothing
        return 0;
      }
      if (pressed >= 0 && !lv.dragStarted) {
        Activation(hwnd, lv, NM_CLICK, pressed, p);
        if (lv.exStyle & LVS_EX_ONECLICKACTIVATE) Activation(hwnd, lv, LVN_ITEMACTIVATE, pressed, p);
      }
      return 0;
    }
    case WM_TIMER:
      if (lv.hold.Timer(hwnd, wParam)) {
        const int pressed = std::exchange(lv.pressed, -1);
        if (GetCapture() == hwnd) ReleaseCapture();
        lv.hold.Notify(hwnd, static_cast<DWORD>(pressed));
        return 0;
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_KEYDOWN:
      Key(hwnd, lv, static_cast<UINT>(wParam), lParam);
      return 0;
    case WM_CHAR: {
      if (wParam < 0x20 || Count(lv) == 0) return 0;
      const std::u16string prefix(1, static_cast<char16_t>(wParam));
      LVFINDINFOW find{LVFI_PARTIAL | LVFI_WRAP, prefix.c_str(), 0, {0, 0}, 0};
      const int found = static_cast<int>(SendMessageW(hwnd, LVM_FINDITEMW, FocusedItem(lv), reinterpret_cast<LPARAM>(&find)));
      if (found >= 0) MoveTo(hwnd, lv, found);
      return 0;
    }
    case WM_VSCROLL:
      Scroll(hwnd, lv, wParam);
      return 0;
    case WM_SETFOCUS: {
      lv.focused = true;
      NMHDR header{};
      Notify(hwnd, NM_SETFOCUS, &header);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_KILLFOCUS: {
      lv.focused = false;
      NMHDR header{};
      Notify(hwnd, NM_KILLFOCUS, &header);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace zb::cc
