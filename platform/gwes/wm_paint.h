// Update areas and painting: each window of this process keeps the bounding rectangle of what
// was invalidated; the owner thread's queue yields WM_PAINT for it when nothing else waits.
#pragma once
#include <windows.h>

#include "gwes/wm_session.h"

namespace zb::wm {

bool HasPaint(const ThreadQueue& q);
// Invalidates a window and its shown descendants whole (shown, moved, resized).
void InvalidateTree(HWND hwnd);
// Invalidates what shown windows of any process have under a screen rectangle, except `skip`
// and its descendants (a window left that place).
void InvalidateScreenArea(const RECT& screen, HWND skip);
// The screen rectangle a window's DC may draw in: its own, cut by its ancestors and the screen.
RECT VisibleScreenRect(HWND hwnd, POINT* origin);

}  // namespace zb::wm
