// The player's message loop: messages first, the core's deferred timers between them, and an
// exact wait until the next timer is due. Ends at WM_QUIT with its wParam.
#pragma once
#include <windows.h>

int RunMessageLoop();
// Applied to every message before it is translated and dispatched: may blank it (message 0).
BOOL PreTranslateMessage(MSG* msg);
