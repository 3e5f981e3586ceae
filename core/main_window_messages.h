// The main window's private messages, timers and readiness word that the player core uses to
// reach it. The window procedure serves them; the numbers are the window's protocol.
#pragma once
#include <windows.h>

// The control message: wParam = MAKELONG(command, argument), lParam = the source and phase.
#define WM_ZB_CONTROL (WM_USER + 404)  // 1428

// GWL_USERDATA of the main window: 0 from creation, 1 once the skin is shown, 2 from WM_DESTROY.
// Button events are posted only to a window that is set up (non-zero).
#define MAIN_WINDOW_CREATED 0
#define MAIN_WINDOW_SHOWN 1
#define MAIN_WINDOW_DESTROYED 2

// Main-window timers the core sets; the window hands 11 to 15 to CPlayerCore::OnTimer.
#define CORE_TIMER_WAKE_LOOP 10       // only wakes the message loop for the deferred timers
#define CORE_TIMER_LIBRARY_RETRY 11   // the library became unavailable
#define CORE_TIMER_ITEM_REFRESH 12    // the playing item changed in the library
#define CORE_TIMER_FIRST 11
#define CORE_TIMER_LAST 15
