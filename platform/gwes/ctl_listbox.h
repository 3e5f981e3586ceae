// Between the list box and the combo box that uses one as its drop-down list: the combo tells
// the list who it works for, and the list tells the combo which item the stylus picked.
#pragma once
#include <windows.h>

namespace zb::wm {

// To a list: wParam is the combo box it stands in for (its choices go there, not to a parent).
inline constexpr UINT kListSetCombo = WM_USER + 0x300;
// To the combo box: the list's item under the stylus changed (wParam the item, lParam 1 when the
// stylus was let go there, so the choice is made).
inline constexpr UINT kComboListPicked = WM_USER + 0x301;

}  // namespace zb::wm
