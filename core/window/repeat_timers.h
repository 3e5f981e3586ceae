// Repeat timers of held buttons and the acceleration of held seeks. A held button's timer has
// the id (command << 16) | 0x100 on the main window, which turns each tick back into the control
// message with the repeat source.
#pragma once
#include <windows.h>

constexpr UINT_PTR kRepeatTimerMark = 0x100;
constexpr UINT_PTR RepeatTimerId(int command) { return (static_cast<UINT_PTR>(command) << 16) | kRepeatTimerMark; }
// The command of a repeat timer id, or 0 when the id is no repeat timer's.
int RepeatTimerCommand(UINT_PTR id);

// -1 when the timer is active and `force` is 0; otherwise SetTimer's result.
UINT_PTR StartRepeatTimer(HWND window, UINT_PTR id, UINT period, BOOL force);
void StopRepeatTimer(HWND window, UINT_PTR id);
BOOL IsRepeatTimerActive(HWND window, UINT_PTR id);
// Forgets every repeat timer (program exit).
void ClearRepeatTimers();

// The seek acceleration in per mille, 1000 after a reset.
void ResetSeekAcceleration();
// Adds factor * x / 10000 to the factor (x = 500 makes the next step 5 % longer).
void AccelerateSeek(int x);
int ScaleBySeekAcceleration(int x);
