// SHCreateMenuBar: the soft-key bar along the bottom of the screen. The bar is a toolbar (so
// programs change its keys with TB_* messages) in a popup owned by the window it serves. Its keys
// come from a menu-bar resource (SHMENUBAR: the menu's id, the key count, then per key its image,
// command, state, style, string id, a reserved word and the index of its submenu) or from a menu
// resource, whose top-level items become the keys. A tap on a key sends its command to the
// owner; a key with a submenu pops that menu up above the bar. SHCMBM_OVERRIDEKEY hands the Back
// key to the owner as WM_HOTKEY while the owner is in front.
#include <algorithm>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>

#include "aygshell/shell_state.h"
#include "commctrl/toolbar_spread.h"

namespace zb::shell {
namespace {

constexpr int kBackHotKey = 0xB0CC;  // the hot-key id a bar registers for the Back key

struct MenuBar {
  HWND owner = nullptr;
  HMENU menu = nullptr;  // the menu the keys' submenus belong to (the bar's own)
  WNDPROC toolbarProc = nullptr;
  UINT backFlags = 0;    // SHMBOF_* the Back key was overridden with
  bool holdsHotKey = false;
};

struct Bars {
  std::recursive_mutex lock;
  std::map<HWND, MenuBar> bars;
};

Bars& All() {
  static Bars* bars = new Bars;
  return *bars;
}

MenuBar* Find(HWND bar) {
  auto it = All().bars.find(bar);
  return it == All().bars.end() ? nullptr : &it->second;
}

std::u16string WithoutAmpersands(std::u16string text) {
  text.erase(std::remove(text.begin(), text.end(), u'&'), text.end());
  return text;
}

std::u16string ItemText(HMENU menu, int position) {
  WCHAR text[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
  return WithoutAmpersands(text);
}

std::u16string StringOf(HINSTANCE instance, UINT id) {
  const WCHAR* found = nullptr;
  const int n = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&found), 0);
  return n > 0 && found ? std::u16string(found, static_cast<size_t>(n)) : std::u16string();
}

void AddKey(HWND bar, int command, BYTE state, BYTE style, int image, HMENU submenu, const std::u16string& text) {
  TBBUTTON b{};
  b.iBitmap = image;
  b.idCommand = command;
  b.fsState = state;
  b.fsStyle = static_cast<BYTE>(style | (submenu ? TBSTYLE_DROPDOWN : 0));
  b.dwData = reinterpret_cast<DWORD_PTR>(submenu);
  b.iString = reinterpret_cast<INT_PTR>(text.c_str());
  SendMessageW(bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
}

// Keys from a menu: each top-level item, a popup's key opening it.
void KeysFromMenu(HWND bar, HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (state & MF_SEPARATOR) continue;
    HMENU sub = GetSubMenu(menu, i);
    const int command = sub ? 0x7F00 + i : static_cast<int>(GetMenuItemID(menu, i));
    const BYTE keyState = (state & (MF_GRAYED | MF_DISABLED)) ? 0 : TBSTATE_ENABLED;
    AddKey(bar, command, keyState, TBSTYLE_BUTTON | TBSTYLE_AUTOSIZE, I_IMAGENONE, sub, ItemText(menu, i));
  }
}

// Keys from a menu-bar resource; false when there is none by that id.
bool KeysFromMenuBarResource(HWND bar, HINSTANCE instance, UINT id, HMENU* menu) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
  if (!found) return false;
  const auto* words = static_cast<const WORD*>(LockResource(LoadResource(instance, found)));
  const size_t size = SizeofResource(instance, found) / sizeof(WORD);
  if (!words || size < 2) return false;
  if (words[0]) *menu = LoadMenuW(instance, MAKEINTRESOURCEW(words[0]));
  const size_t keys = std::min<size_t>(words[1], (size - 2) / 7);
  for (size_t k = 0; k < keys; ++k) {
    const WORD* key = words + 2 + k * 7;
    const int image = static_cast<SHORT>(key[0]);
    const WORD submenuIndex = key[6];
    HMENU sub = *menu && submenuIndex != 0xFFFF ? GetSubMenu(*menu, submenuIndex) : nullptr;
    std::u16string text = key[4] ? StringOf(instance, key[4]) : std::u16string();
    if (text.empty() && *menu && submenuIndex != 0xFFFF) text = ItemText(*menu, submenuIndex);
    AddKey(bar, key[1], static_cast<BYTE>(key[2]), static_cast<BYTE>(key[3]), image, sub, text);
  }
  return true;
}

HWND FrontOwner() {
  HWND front = GetForegroundWindow();
  std::lock_guard lock(All().lock);
  for (auto& [bar, b] : All().bars) {
    if (b.backFlags & SHMBOF_NOTIFY) {
      for (HWND w = front; w; w = GetWindow(w, GW_OWNER)) {
        if (w == b.owner) return b.owner;
      }
    }
  }
  return nullptr;
}

// The Back key: one bar of the process holds the hot key and hands it to whichever overriding
// bar's owner is in front; with none in front the key goes to the front window as a key.
void RouteBack(WPARAM, LPARAM lParam) {
  const bool up = (LOWORD(lParam) & MOD_KEYUP) != 0;
  if (HWND owner = FrontOwner()) {
    PostMessageW(owner, WM_HOTKEY, kBackHotKey, MAKELPARAM(LOWORD(lParam), VK_TBACK));
    return;
  }
  if (HWND front = GetForegroundWindow()) PostMessageW(front, up ? WM_KEYUP : WM_KEYDOWN, VK_ESCAPE, up ? 0xC0000001 : 1);
}

void HoldBackKey() {
  std::lock_guard lock(All().lock);
  for (auto& [bar, b] : All().bars)
    if (b.holdsHotKey) return;
  for (auto& [bar, b] : All().bars) {
    if ((b.backFlags & SHMBOF_NOTIFY) && RegisterHotKey(bar, kBackHotKey, MOD_KEYUP, VK_ESCAPE)) {
      b.holdsHotKey = true;
      return;
    }
  }
}

void DropDown(HWND bar, const MenuBar& b, int command) {
  TBBUTTONINFOW info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_LPARAM;
  SendMessageW(bar, TB_GETBUTTONINFOW, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&info));
  auto menu = reinterpret_cast<HMENU>(info.lParam);
  if (!menu) {
    SendMessageW(b.owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return;
  }
  RECT key{};
  SendMessageW(bar, TB_GETRECT, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&key));
  MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&key), 2);
  RECT whole;
  GetWindowRect(bar, &whole);
  // A key on the right half opens its menu against the screen's right edge.
  const bool right = (key.left + key.right) / 2 > (whole.left + whole.right) / 2;
  TrackPopupMenuEx(menu, (right ? TPM_RIGHTALIGN : TPM_LEFTALIGN) | TPM_BOTTOMALIGN, right ? key.right : key.left,
                   whole.top, b.owner, nullptr);
}

LRESULT CALLBACK MenuBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  MenuBar copy;
  {
    std::lock_guard lock(All().lock);
    MenuBar* b = Find(bar);
    if (!b) return DefWindowProcW(bar, message, wParam, lParam);
    copy = *b;
  }
  switch (message) {
    case WM_COMMAND:
      // A key's tap, told by the toolbar to the bar itself: the owner gets the command.
      SendMessageW(copy.owner, WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), 0);
      return 0;
    case WM_NOTIFY: {
      const auto* n = reinterpret_cast<const NMTOOLBARW*>(lParam);
      if (n->hdr.hwndFrom == bar && n->hdr.code == TBN_DROPDOWN) DropDown(bar, copy, n->iItem);
      return 0;
    }
    case SHCMBM_GETMENU: return reinterpret_cast<LRESULT>(copy.menu);
    case SHCMBM_GETSUBMENU:
    case SHCMBM_SETSUBMENU: {
      TBBUTTONINFOW info{};
      info.cbSize = sizeof info;
      info.dwMask = TBIF_LPARAM;
      const WPARAM command = message == SHCMBM_GETSUBMENU ? static_cast<WPARAM>(lParam) : wParam;
      if (SendMessageW(bar, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info)) < 0) return 0;
      if (message == SHCMBM_SETSUBMENU) {
        TBBUTTONINFOW set = info;
        set.lParam = lParam;
        SendMessageW(bar, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&set));
      }
      return info.lParam;
    }
    case SHCMBM_OVERRIDEKEY: {
      if (wParam != VK_TBACK) return TRUE;  // the other keys keep their own meaning here
      {
        std::lock_guard lock(All().lock);
        if (MenuBar* b = Find(bar)) {
          const UINT mask = LOWORD(lParam), value = HIWORD(lParam);
          b->backFlags = (b->backFlags & ~mask) | (value & mask);
        }
      }
      HoldBackKey();
      return TRUE;
    }
    case SHCMBM_SETBKCOLOR: return TRUE;
    case WM_HOTKEY:
      if (wParam == kBackHotKey) {
        RouteBack(wParam, lParam);
        return 0;
      }
      break;
    case WM_DESTROY: {
      {
        std::lock_guard lock(All().lock);
        if (copy.holdsHotKey) UnregisterHotKey(bar, kBackHotKey);
        All().bars.erase(bar);
      }
      if (copy.menu) DestroyMenu(copy.menu);
      HoldBackKey();  // another bar takes the Back key over
      LRESULT r = CallWindowProcW(copy.toolbarProc, bar, message, wParam, lParam);
      RefreshNavigationBar();
      return r;
    }
    default: break;
  }
  return CallWindowProcW(copy.toolbarProc, bar, message, wParam, lParam);
}

}  // namespace

HWND MenuBarOf(HWND owner) {
  std::lock_guard lock(All().lock);
  for (auto& [bar, b] : All().bars)
    if (b.owner == owner && IsWindow(bar)) return bar;
  return nullptr;
}

std::vector<HWND> MenuBars() {
  std::lock_guard lock(All().lock);
  std::vector<HWND> out;
  for (auto& [bar, b] : All().bars) out.push_back(bar);
  return out;
}

}  // namespace zb::shell

using namespace zb::shell;

extern "C" BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
  if (!info || info->cbSize < offsetof(SHMENUBARINFO, hwndMB) + sizeof(HWND) || !IsWindow(info->hwndParent)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  INITCOMMONCONTROLSEX init{sizeof init, ICC_BAR_CLASSES};
  InitCommonControlsEx(&init);
  const RECT screen = ScreenRect();
  const int height = MenuBarHeight();
  const bool hidden = (info->dwFlags & SHCMBF_HIDDEN) != 0;
  HWND owner = info->hwndParent;
  HWND bar = CreateWindowExW(WS_EX_NOACTIVATE, TOOLBARCLASSNAMEW, u"", WS_POPUP | (hidden ? 0 : WS_VISIBLE), screen.left,
                             screen.bottom - height, screen.right - screen.left, height, owner, nullptr,
                             info->hInstRes, nullptr);
  if (!bar) return FALSE;
  SendMessageW(bar, zb::cc::kToolbarSpread, TRUE, 0);
  SendMessageW(bar, WM_USER + 37 /* TB_SETPARENT */, reinterpret_cast<WPARAM>(bar), 0);
  HMENU menu = nullptr;
  if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
    const bool fromMenu = (info->dwFlags & SHCMBF_HMENU) != 0;
    if (fromMenu || !KeysFromMenuBarResource(bar, info->hInstRes, info->nToolBarId, &menu)) {
      menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId));
      if (!menu) {
        DestroyWindow(bar);
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return FALSE;
      }
      KeysFromMenu(bar, menu);
    }
  }
  {
    std::lock_guard lock(All().lock);
    MenuBar& b = All().bars[bar];
    b.owner = owner;
    b.menu = menu;
    b.toolbarProc = reinterpret_cast<WNDPROC>(SetWindowLongW(bar, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(MenuBarProc)));
  }
  // A top-level owner reaching under the bar ends where the bar begins.
  if (!hidden && !(GetWindowLongW(owner, GWL_STYLE) & WS_CHILD)) {
    RECT r;
    GetWindowRect(owner, &r);
    if (r.bottom > screen.bottom - height && r.top < screen.bottom - height) {
      SetWindowPos(owner, nullptr, 0, 0, r.right - r.left, screen.bottom - height - r.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  info->hwndMB = bar;
  RefreshNavigationBar();
  return TRUE;
}

extern "C" HWND SHFindMenuBar(HWND parent) { return MenuBarOf(parent); }
