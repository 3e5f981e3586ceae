// Closing a program from outside the device (SIGINT, SIGTERM, or the presenter's window closed):
// the program is asked to close as the device's shell asks it, by WM_CLOSE to its main windows,
// so that it saves its state and ends by itself.
#pragma once

namespace zb::wm {

// Posts WM_CLOSE to this process's top-level windows that no other window owns: the shown ones,
// or every one when none is shown. False when the process has no such window.
bool CloseProgram();

// From now on SIGINT and SIGTERM call CloseProgram instead of ending the process. A signal
// that finds no window to close, or that comes after one close was asked already, ends the
// process as it would have without this. The window manager arms it at the first top-level
// window.
void CloseOnSignals();

}  // namespace zb::wm
