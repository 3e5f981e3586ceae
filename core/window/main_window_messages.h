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

// The kinds of stream end in wParam of the main window's message 1123 (WM_ZB_STREAM_END): a
// decoder thread posts 0 (a normal end) or 1 (an early end), the main window 2 for a failed play
// (its timer 4) and 3 for the drain check (its timer 17).
#define STREAM_ENDED_NORMAL 0
#define STREAM_ENDED_EARLY 1
#define STREAM_ENDED_PLAY_FAILED 2
#define STREAM_ENDED_DRAIN_CHECK 3
