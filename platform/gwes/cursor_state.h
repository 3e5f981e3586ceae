// The cursor as SetCursor left it, for the screen presenter: whether to show the wait cursor.
#pragma once

namespace zb::wm {

bool WaitCursorShown();

}  // namespace zb::wm
