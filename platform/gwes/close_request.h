// Closing a program from outside the device (SIGINT, SIGTERM, or the presenter's window closed):
// the program is asked to close as the device asks it, by WM_CLOSE to its main windows, so that
// it saves its state and ends by itself.
#pragma once
#include <windows.h>

namespace zb::wm {

// The WM_CLOSE wParam: the user's close box (0), which a program may decline (a player that
// plays on), or the program's own Exit (1), which it carries out.
enum class CloseKind : WPARAM { kUser = 0, kExit = 1 };

// Posts WM_CLOSE of that kind to this process's top-level windows that no other window owns: the
// shown ones, or every one when none is shown. False when the process has no such window.
bool CloseProgram(CloseKind kind);

// From now on SIGINT and SIGTERM call CloseProgram as the program's own Exit instead of ending
// the process: whoever sends a signal means the program to end. A signal that finds no window
// to close, or that comes after one close was asked already, ends the process as it would have
// without this. The window manager arms it at the first top-level window.
void CloseOnSignals();

}  // namespace zb::wm
