// Activation and focus. Each thread has its active window and its focus window; the device has
// one foreground window, whose thread's focus window gets the keys. A change of foreground
// that concerns other threads or processes is carried out by those threads themselves, through
// internal events on their queues, so every WM_ACTIVATE and focus message runs on its owner.
#pragma once
#include <windows.h>

namespace zb::wm {

// Runs on the owner thread of `hwnd` (or with nullptr for none).
void ActivateHere(HWND hwnd);
// The thread loses activation because `newForeground` (maybe another process's) took over.
void DeactivateHere(HWND newForeground);
// Makes a window the foreground window; `popup` brings its topmost shown owned window instead.
void ChangeForeground(HWND hwnd, bool popup);
// A window stopped being shown (hidden or about to be destroyed): activation moves on.
void AfterHidden(HWND hwnd);
// The focus leaves a window that is being destroyed.
void DropFocusFrom(HWND hwnd);

}  // namespace zb::wm
