// Moving through a dialog with keys: Tab and Shift+Tab walk the tab stops (into child dialogs
// marked WS_EX_CONTROLPARENT, such as property pages), arrows walk a group (from one WS_GROUP
// control to the next) and click the radio button they reach, Enter presses the focused push
// button or the default one, Escape presses Cancel. A control keeps the keys its WM_GETDLGCODE
// asks for.
#include <algorithm>
#include <vector>

#include "gwes/dlg_state.h"

namespace zb::wm {
namespace {

LONG_PTR StyleOf(HWND c) { return GetWindowLongW(c, GWL_STYLE); }

// A control's own styles decide, not its dialog's: a dialog being built is still hidden.
bool Usable(HWND c) { return (StyleOf(c) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE; }

// The dialog's controls in tab order, with the controls of child dialogs in their place.
void Collect(HWND parent, std::vector<HWND>& out) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if ((GetWindowLongW(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && Usable(c)) {
      Collect(c, out);
    } else {
      out.push_back(c);
    }
  }
}

// The siblings of `control` that share its group, in order.
std::vector<HWND> GroupOf(HWND control) {
  HWND parent = GetParent(control);
  std::vector<HWND> siblings;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) siblings.push_back(c);
  auto at = std::find(siblings.begin(), siblings.end(), control);
  if (at == siblings.end()) return {control};
  auto first = at;
  while (first != siblings.begin() && !(StyleOf(*first) & WS_GROUP)) --first;
  auto last = at + 1;
  while (last != siblings.end() && !(StyleOf(*last) & WS_GROUP)) ++last;
  return std::vector<HWND>(first, last);
}

// The next (or previous) usable window after `from` in `ring`, wrapping; `from` when none.
HWND Step(const std::vector<HWND>& ring, HWND from, bool previous, bool (*wanted)(HWND)) {
  if (ring.empty()) return nullptr;
  const auto found = std::find(ring.begin(), ring.end(), from);
  const int n = static_cast<int>(ring.size());
  int i = found == ring.end() ? (previous ? n : -1) : static_cast<int>(found - ring.begin());
  for (int k = 0; k < n; ++k) {
    i = (i + (previous ? -1 : 1) + n) % n;
    if (wanted(ring[i])) return ring[i];
  }
  return found == ring.end() ? nullptr : from;
}

bool TabStop(HWND c) { return Usable(c) && (StyleOf(c) & WS_TABSTOP); }

bool IsPushButton(HWND control) {
  return control && (SendMessageW(control, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
}

// The id Enter presses: the focused push button's, else the default button's, else IDOK.
int EnterTarget(HWND dialog, HWND focus) {
  if (IsPushButton(focus)) return static_cast<int>(GetWindowLongW(focus, GWL_ID));
  const LRESULT def = SendMessageW(dialog, DM_GETDEFID, 0, 0);
  return HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
}

// A button is pressed in the dialog it belongs to (a page inside a sheet has buttons of its own).
void Press(HWND dialog, int id, HWND button) {
  if (!button) button = GetDlgItem(dialog, id);
  if (button && !IsWindowEnabled(button)) return;
  SendMessageW(button ? GetParent(button) : dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}


bool IsInside(HWND dialog, HWND hwnd) { return hwnd == dialog || IsChild(dialog, hwnd); }

}  // namespace

}  // namespace zb::wm

using namespace zb::wm;

extern "C" HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> ring;
  Collect(dialog, ring);
  return Step(ring, control, previous != FALSE, TabStop);
}

extern "C" HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  if (!control || !IsChild(dialog, control)) {
    std::vector<HWND> ring;
    Collect(dialog, ring);
    return Step(ring, nullptr, previous != FALSE, Usable);
  }
  return Step(GroupOf(control), control, previous != FALSE, Usable);
}

extern "C" BOOL IsDialogMessageW(HWND dialog, LPMSG msg) {
  if (!msg || !dialog || !msg->hwnd || !IsInside(dialog, msg->hwnd)) return FALSE;
  const UINT vk = static_cast<UINT>(msg->wParam);
  if (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) {
    const LRESULT code = SendMessageW(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    const bool wantsAll = (code & DLGC_WANTALLKEYS) != 0;
    if (msg->message == WM_KEYDOWN && !wantsAll) {
      HWND focus = GetFocus();
      switch (vk) {
        case VK_TAB:
          if (code & DLGC_WANTTAB) break;
          SendMessageW(dialog, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
          return TRUE;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
          if (code & DLGC_WANTARROWS) break;
          HWND next = GetNextDlgGroupItem(dialog, focus, vk == VK_LEFT || vk == VK_UP);
          if (next && next != focus) {
            DialogFocus(dialog, next);
            if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) SendMessageW(next, BM_CLICK, 0, 0);
          }
          return TRUE;
        }
        case VK_RETURN:
          Press(dialog, EnterTarget(dialog, focus), IsPushButton(focus) ? focus : nullptr);
          return TRUE;
        case VK_ESCAPE:
          Press(dialog, IDCANCEL, nullptr);
          return TRUE;
        default:
          break;
      }
    }
    // The characters of the keys taken above go nowhere.
    if (msg->message == WM_CHAR && !wantsAll && (vk == u'\t' || vk == u'\r' || vk == 27) &&
        !(vk == u'\t' && (code & DLGC_WANTTAB)))
      return TRUE;
  }
  TranslateMessage(msg);
  DispatchMessageW(msg);
  return TRUE;
}
