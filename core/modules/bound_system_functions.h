// Platform functions that only some devices or system versions have. Each wrapper looks the
// function up when it is called and passes its arguments and result through; when the library
// or the function is missing it answers the fixed result its callers test for.
#pragma once
#include <aygshell.h>
#include <windows.h>

// coredll, found with GetModuleHandleW; 0 when missing.
HANDLE BoundCreateMsgQueue(LPCWSTR name, LPMSGQUEUEOPTIONS options);
BOOL BoundReadMsgQueue(HANDLE queue, LPVOID buffer, DWORD bufferSize, LPDWORD bytesRead, DWORD timeout, DWORD* flags);
BOOL BoundCloseMsgQueue(HANDLE queue);
HANDLE BoundRequestDeviceNotifications(const GUID* deviceClass, HANDLE queue, BOOL all);
BOOL BoundStopDeviceNotifications(HANDLE notifications);
DWORD BoundSetSystemPowerState(LPCWSTR state, DWORD stateFlags, DWORD options);
DWORD BoundGetSystemPowerState(LPWSTR buffer, DWORD chars, PDWORD stateFlags);
HANDLE BoundRequestPowerNotifications(HANDLE queue, DWORD kinds);
BOOL BoundStopPowerNotifications(HANDLE notifications);

// aygshell, found with GetModuleHandleW; E_NOTIMPL when missing. `condition` is the platform's
// notification condition record, passed through as it is.
HRESULT BoundRegistryNotifyWindow(HKEY root, LPCWSTR subKey, LPCWSTR valueName, HWND window, UINT message,
                                  DWORD userData, const void* condition, HANDLE* notification);
HRESULT BoundRegistryCloseNotification(HANDLE notification);

// The shell's file-change notices: aygshell, loaded on first use and kept; FALSE (no notices,
// so nothing to free) when missing.
BOOL BoundSHChangeNotifyRegister(HWND window, SHCHANGENOTIFYENTRY* entry);
BOOL BoundSHChangeNotifyDeregister(HWND window);
void BoundSHChangeNotifyFree(FILECHANGENOTIFY* notice);
// The menu bar of a window (aygshell, kept loaded as above); null when missing.
HWND BoundSHFindMenuBar(HWND window);

// "\Windows\phone.dll", loaded on first use and kept; E_FAIL when missing.
HRESULT BoundPhoneOpenCallLog(HANDLE* log);
HRESULT BoundPhoneSeekCallLog(HANDLE log, DWORD seekKind, DWORD offset, LPDWORD index);
HRESULT BoundPhoneCloseCallLog(HANDLE log);
#define CALLLOG_SEEK_BEGINNING 2
#define CALLLOG_SEEK_END 4

// Loads "aygshell.dll", calls SHIdleTimerReset (by name, else ordinal 2006) when it has it,
// and frees the library again.
void ResetShellIdleTimer();

// Load "coredll.dll" for the one call and free it; GetLastError() when the function is missing.
// `state` is the platform's device power state (D0 = 0 ... D4 = 4).
DWORD SetDevicePowerBound(PVOID device, DWORD deviceFlags, int state);
DWORD GetDevicePowerBound(PVOID device, DWORD deviceFlags, int* state);
