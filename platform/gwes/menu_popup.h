// Popup menus for tests: answers set in advance (the command to choose, 0 to dismiss) that the
// next TrackPopupMenuEx of this process takes without showing, a record of every popup shown,
// and where a showing popup's items are, so a test can tap one.
#pragma once
#include <string>
#include <vector>
#include <windows.h>

namespace zb::wm {

// The next popups answer these, oldest first. A command that is missing or greyed in the menu
// cannot be chosen and dismisses the menu instead, as a tap on it would.
void ScriptPopupMenu(UINT command);
void ClearPopupMenuScript();

struct ShownPopupMenu {
  std::vector<std::u16string> texts;  // the top level's items; separators are empty
  std::vector<UINT> ids;              // 0xFFFFFFFF for a submenu
  std::vector<UINT> states;           // MF_CHECKED, MF_GRAYED ...
  POINT at{0, 0};
  UINT flags = 0;
  UINT answer = 0;  // the command chosen, 0 when dismissed
};
std::vector<ShownPopupMenu> ShownPopupMenus();
void ClearShownPopupMenus();

// The window of the innermost popup showing in this process, or nullptr.
HWND ShowingPopupMenu();
// The screen point at the middle of item `index` of a showing popup window.
bool PopupMenuItemPoint(HWND popup, int index, POINT* screen);

}  // namespace zb::wm
