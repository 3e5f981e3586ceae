// The run-time-bound system functions (see bound_system_functions.h).
#include "core/modules/bound_system_functions.h"

#include <atomic>

#include "core/modules/bound_function.h"

namespace {

// The bound function's type is spelt out at each call; the missing result is the wrapper's own.
template <class Function, class Result, class... Args>
Result CallBound(HMODULE module, LPCWSTR name, Result missing, Args... args) {
  Function function = BoundFunction<Function>(module, name);
  return function ? static_cast<Result>(function(args...)) : missing;
}

HMODULE Coredll() { return GetModuleHandleW(u"coredll"); }
HMODULE Aygshell() { return GetModuleHandleW(u"aygshell"); }

// Kept once it loaded; a device without it is asked again next time, which costs nothing.
HMODULE KeptLibrary(std::atomic<HMODULE>& kept, LPCWSTR name) {
  HMODULE loaded = kept.load();
  if (loaded) return loaded;
  loaded = LoadLibraryW(name);
  HMODULE expected = nullptr;
  if (loaded && !kept.compare_exchange_strong(expected, loaded)) {
    FreeLibrary(loaded);  // another thread kept its own load first
    loaded = expected;
  }
  return loaded;
}

HMODULE Phone() {
  static std::atomic<HMODULE> phone{nullptr};
  return KeptLibrary(phone, u"\\Windows\\phone.dll");
}

// The shell's file-change notices are asked for by a program that may not have loaded it yet.
HMODULE KeptAygshell() {
  static std::atomic<HMODULE> shell{nullptr};
  return KeptLibrary(shell, u"aygshell.dll");
}

constexpr WORD kShIdleTimerResetOrdinal = 2006;

// The library is loaded for the one call and freed again.
template <class Function, class... Args>
DWORD CallCoredllOnce(LPCWSTR name, Args... args) {
  HMODULE coredll = LoadLibraryW(u"coredll.dll");
  Function function = BoundFunction<Function>(coredll, name);
  const DWORD result = function ? function(args...) : GetLastError();
  if (coredll) FreeLibrary(coredll);
  return result;
}

}  // namespace

HANDLE BoundCreateMsgQueue(LPCWSTR name, LPMSGQUEUEOPTIONS options) {
  return CallBound<HANDLE (*)(LPCWSTR, LPMSGQUEUEOPTIONS)>(Coredll(), u"CreateMsgQueue", HANDLE(nullptr), name, options);
}

BOOL BoundReadMsgQueue(HANDLE queue, LPVOID buffer, DWORD bufferSize, LPDWORD bytesRead, DWORD timeout, DWORD* flags) {
  return CallBound<BOOL (*)(HANDLE, LPVOID, DWORD, LPDWORD, DWORD, DWORD*)>(Coredll(), u"ReadMsgQueue", FALSE, queue,
                                                                           buffer, bufferSize, bytesRead, timeout, flags);
}

BOOL BoundCloseMsgQueue(HANDLE queue) {
  return CallBound<BOOL (*)(HANDLE)>(Coredll(), u"CloseMsgQueue", FALSE, queue);
}

HANDLE BoundRequestDeviceNotifications(const GUID* deviceClass, HANDLE queue, BOOL all) {
  return CallBound<HANDLE (*)(const GUID*, HANDLE, BOOL)>(Coredll(), u"RequestDeviceNotifications", HANDLE(nullptr),
                                                          deviceClass, queue, all);
}

BOOL BoundStopDeviceNotifications(HANDLE notifications) {
  return CallBound<BOOL (*)(HANDLE)>(Coredll(), u"StopDeviceNotifications", FALSE, notifications);
}

DWORD BoundSetSystemPowerState(LPCWSTR state, DWORD stateFlags, DWORD options) {
  return CallBound<DWORD (*)(LPCWSTR, DWORD, DWORD)>(Coredll(), u"SetSystemPowerState", DWORD(0), state, stateFlags,
                                                     options);
}

DWORD BoundGetSystemPowerState(LPWSTR buffer, DWORD chars, PDWORD stateFlags) {
  return CallBound<DWORD (*)(LPWSTR, DWORD, PDWORD)>(Coredll(), u"GetSystemPowerState", DWORD(0), buffer, chars,
                                                     stateFlags);
}

HANDLE BoundRequestPowerNotifications(HANDLE queue, DWORD kinds) {
  return CallBound<HANDLE (*)(HANDLE, DWORD)>(Coredll(), u"RequestPowerNotifications", HANDLE(nullptr), queue, kinds);
}

BOOL BoundStopPowerNotifications(HANDLE notifications) {
  return CallBound<BOOL (*)(HANDLE)>(Coredll(), u"StopPowerNotifications", FALSE, notifications);
}

HRESULT BoundRegistryNotifyWindow(HKEY root, LPCWSTR subKey, LPCWSTR valueName, HWND window, UINT message,
                                  DWORD userData, const void* condition, HANDLE* notification) {
  return CallBound<HRESULT (*)(HKEY, LPCWSTR, LPCWSTR, HWND, UINT, DWORD, const void*, HANDLE*)>(
      Aygshell(), u"RegistryNotifyWindow", HRESULT(E_NOTIMPL), root, subKey, valueName, window, message, userData,
      condition, notification);
}

HRESULT BoundRegistryCloseNotification(HANDLE notification) {
  return CallBound<HRESULT (*)(HANDLE)>(Aygshell(), u"RegistryCloseNotification", HRESULT(E_NOTIMPL), notification);
}

HRESULT BoundPhoneOpenCallLog(HANDLE* log) {
  return CallBound<HRESULT (*)(HANDLE*)>(Phone(), u"PhoneOpenCallLog", HRESULT(E_FAIL), log);
}

HRESULT BoundPhoneSeekCallLog(HANDLE log, DWORD seekKind, DWORD offset, LPDWORD index) {
  return CallBound<HRESULT (*)(HANDLE, DWORD, DWORD, LPDWORD)>(Phone(), u"PhoneSeekCallLog", HRESULT(E_FAIL), log,
                                                               seekKind, offset, index);
}

HRESULT BoundPhoneCloseCallLog(HANDLE log) {
  return CallBound<HRESULT (*)(HANDLE)>(Phone(), u"PhoneCloseCallLog", HRESULT(E_FAIL), log);
}

void ResetShellIdleTimer() {
  HMODULE aygshell = LoadLibraryW(u"aygshell.dll");
  if (!aygshell) return;
  auto reset = BoundFunction<void (*)()>(aygshell, u"SHIdleTimerReset");
  if (!reset) reset = BoundFunction<void (*)()>(aygshell, MAKEINTRESOURCEW(kShIdleTimerResetOrdinal));
  if (reset) reset();
  FreeLibrary(aygshell);
}

DWORD SetDevicePowerBound(PVOID device, DWORD deviceFlags, int state) {
  return CallCoredllOnce<DWORD (*)(PVOID, DWORD, int)>(u"SetDevicePower", device, deviceFlags, state);
}

DWORD GetDevicePowerBound(PVOID device, DWORD deviceFlags, int* state) {
  return CallCoredllOnce<DWORD (*)(PVOID, DWORD, int*)>(u"GetDevicePower", device, deviceFlags, state);
}

BOOL BoundSHChangeNotifyRegister(HWND window, SHCHANGENOTIFYENTRY* entry) {
  return CallBound<BOOL (*)(HWND, SHCHANGENOTIFYENTRY*)>(KeptAygshell(), u"SHChangeNotifyRegister", FALSE, window, entry);
}

BOOL BoundSHChangeNotifyDeregister(HWND window) {
  return CallBound<BOOL (*)(HWND)>(KeptAygshell(), u"SHChangeNotifyDeregister", FALSE, window);
}

HWND BoundSHFindMenuBar(HWND window) {
  return CallBound<HWND (*)(HWND)>(KeptAygshell(), u"SHFindMenuBar", static_cast<HWND>(nullptr), window);
}

void BoundSHChangeNotifyFree(FILECHANGENOTIFY* notice) {
  if (auto release = BoundFunction<void (*)(FILECHANGENOTIFY*)>(KeptAygshell(), u"SHChangeNotifyFree")) release(notice);
}
