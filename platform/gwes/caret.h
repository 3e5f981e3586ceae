// The calling thread's caret, for the controls that draw it: each paints the caret itself, as a
// bar at its place, while the caret is theirs and shown.
#pragma once
#include <windows.h>

namespace zb::wm {

// The caret's rectangle in `hwnd`'s client area when `hwnd` owns the shown caret.
bool CaretShownIn(HWND hwnd, RECT* rect);

}  // namespace zb::wm
