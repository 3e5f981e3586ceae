// The display refresh thread: while the visualisation needs regular frames, it calls the core's
// refresh at the period the main window was given and sleeps what is left of it. Every render
// of the visualisation runs on this thread.
#pragma once
#include <windows.h>

// What the thread sleeps after a refresh that took `elapsedMs` of a `periodMs` period.
DWORD RefreshSleepMs(DWORD periodMs, DWORD elapsedMs);

// The main window's message 1331: a non-zero run flag starts a new thread (an older one ends at
// its next round), 0 stops it. `refresh` is called with the painted flag each round.
using RefreshFn = void (*)(int painted);
void SetRefreshRun(WPARAM run, LPARAM periodMs, RefreshFn refresh);
// Every WM_PAINT of the main window marks the next frame as one that must draw again.
void MarkRefreshPainted();
// Stops the thread and waits for it to end (at most a period and a little more).
void StopRefresh();
// The id of the newest refresh thread, 0 before the first.
DWORD RefreshThreadId();
