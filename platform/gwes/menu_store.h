// Menus as the window system keeps them: each HMENU a list of items (text, command id, a submenu,
// checks and greying), owned by the process that made it. TrackPopupMenuEx and the shell's soft
// keys read them through here.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace zb::wm {

struct MenuItem {
  UINT type = MFT_STRING;  // MFT_ bits: separator, radio check, owner-drawn, breaks
  UINT state = 0;          // MFS_ bits: grayed, checked, highlighted, default
  UINT id = 0;
  HMENU submenu = nullptr;
  std::u16string text;
  ULONG_PTR data = 0;
  HBITMAP checked = nullptr, unchecked = nullptr;

  bool separator() const { return (type & MFT_SEPARATOR) != 0; }
  bool enabled() const { return !(state & (MF_GRAYED | MF_DISABLED)); }
};

// A copy of a menu's items, or false for a handle that is no menu.
bool MenuItems(HMENU menu, std::vector<MenuItem>* items);

}  // namespace zb::wm
