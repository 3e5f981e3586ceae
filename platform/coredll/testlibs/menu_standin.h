// The window system's menu calls as the resource tests stand them in: every call is recorded,
// so a test sees the menu LoadMenuW built. (The window room's own menus replace these.)
#pragma once
#include <string>
#include <vector>
#include <windows.h>

namespace zb::testing {

struct MenuCall {
  std::string call;  // "CreateMenu", "CreatePopupMenu", "AppendMenuW", "DestroyMenu"
  uintptr_t menu;    // the menu made, appended to or destroyed
  UINT flags;
  UINT_PTR item;     // an id, or the popup appended
  std::u16string text;
};

std::vector<MenuCall>& MenuCalls();

}  // namespace zb::testing
