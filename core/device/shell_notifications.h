// The shell's notification bubbles and navigation-bar text, bound at run time from aygshell so
// that a device without them runs on without bubbles. Results as the shell gives them; E_NOTIMPL
// (FALSE for the text) when the call is missing.
#pragma once
#include <aygshell.h>
#include <windows.h>

HRESULT ShellNotificationAdd(SHNOTIFICATIONDATA* data);
HRESULT ShellNotificationUpdate(DWORD mask, SHNOTIFICATIONDATA* data);
HRESULT ShellNotificationRemove(const CLSID& clsid, DWORD id);
HRESULT ShellNotificationGetData(const CLSID& clsid, DWORD id, SHNOTIFICATIONDATA* data);
BOOL ShellSetNavBarText(HWND window, LPCWSTR text);
// Writes "Duration" = 0 and "Options" = 8 under "ControlPanel\Notifications\{clsid}" (HKCU);
// FALSE when the key cannot be created.
BOOL WriteNotificationOptions(const CLSID& clsid);
// An icon of the program; null when it has none.
HICON LoadNotificationIcon(int resource);
