// Two small duties of the main window: the first-run question whether the player should handle
// the known media file types, and, while the window is in the background, a watcher of the
// system's activity event that keeps the idle dimming from counting other programs' use as idle.
#pragma once
#include <windows.h>

void RunAssociationPrompt();
// on = 1 when the window becomes inactive, 0 when it becomes active and at WM_DESTROY.
void SetActivityWatch(HWND window, BOOL on);
// The running watcher's thread id (0 when none).
DWORD ActivityWatchThread();
