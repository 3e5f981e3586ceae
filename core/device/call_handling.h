// Phone calls and wake-ups. Newer systems tell the player through a registry notification on the
// phone's state, systems of version 4 and Smartphones through the shell's event keys, and older
// systems can only start a program at wake-up: the player writes out its helper `zonbrelwakeup`,
// registers it for the wake-up event, and the helper posts 1357 with its process id.
#pragma once
#include <windows.h>

#include <string>

// 1 registers, 0 unregisters, 2 re-registers after the helper ran (`processId`: the helper's).
void RegisterCallHandling(int mode, HWND window, DWORD processId);
// Removes every user notification whose application matches `application`.
void ClearUserNotifications(LPCWSTR application);
// The helper's path (260 characters), writing the helper out first with `extract`; empty when
// it could not be written.
std::u16string GetWakeupHelperPath(BOOL extract);
void DeleteWakeupHelper();
// Whether `processId` is a running copy of the helper this player wrote out: a wake-up message
// is trusted only from it.
BOOL IsWakeupHelperProcess(DWORD processId);
// The handle of the helper's registered notification (0 when none).
HANDLE WakeupNotificationHandle();

constexpr WCHAR kWakeupHelperName[] = u"zonbrelwakeup.exe";
// The main window's timer of the wait for the helper (MAIN_TIMER_WAKEUP_HELPER).
void OnWakeupHelperTimer(HWND window);
// Whether the player still waits for a helper to end.
BOOL IsHelperWaitRunning();
