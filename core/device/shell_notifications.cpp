// The shell's notification calls, looked up in aygshell at each call (see shell_notifications.h).
#include "core/device/shell_notifications.h"

#include "core/modules/bound_function.h"
#include "core/settings/registry_values.h"
#include "core/window/program_state.h"

namespace {

template <class Function>
Function Shell(LPCWSTR name) {
  return BoundFunction<Function>(GetModuleHandleW(u"aygshell"), name);
}

}  // namespace

HRESULT ShellNotificationAdd(SHNOTIFICATIONDATA* data) {
  auto add = Shell<HRESULT (*)(SHNOTIFICATIONDATA*)>(u"SHNotificationAdd");
  return add ? add(data) : E_NOTIMPL;
}

HRESULT ShellNotificationUpdate(DWORD mask, SHNOTIFICATIONDATA* data) {
  auto update = Shell<HRESULT (*)(DWORD, SHNOTIFICATIONDATA*)>(u"SHNotificationUpdate");
  return update ? update(mask, data) : E_NOTIMPL;
}

HRESULT ShellNotificationRemove(const CLSID& clsid, DWORD id) {
  auto remove = Shell<HRESULT (*)(const CLSID*, DWORD)>(u"SHNotificationRemove");
  return remove ? remove(&clsid, id) : E_NOTIMPL;
}

HRESULT ShellNotificationGetData(const CLSID& clsid, DWORD id, SHNOTIFICATIONDATA* data) {
  auto get = Shell<HRESULT (*)(const CLSID*, DWORD, SHNOTIFICATIONDATA*)>(u"SHNotificationGetData");
  return get ? get(&clsid, id, data) : E_NOTIMPL;
}

BOOL ShellSetNavBarText(HWND window, LPCWSTR text) {
  auto set = Shell<BOOL (*)(HWND, LPCWSTR)>(u"SHSetNavBarText");
  return set ? set(window, text) : FALSE;
}

BOOL WriteNotificationOptions(const CLSID& clsid) {
  WCHAR name[MAX_PATH];
  wsprintfW(name, u"ControlPanel\\Notifications\\{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", clsid.Data1,
            clsid.Data2, clsid.Data3, clsid.Data4[0], clsid.Data4[1], clsid.Data4[2], clsid.Data4[3], clsid.Data4[4],
            clsid.Data4[5], clsid.Data4[6], clsid.Data4[7]);
  RegKey key;
  if (key.Create(HKEY_CURRENT_USER, name) != ERROR_SUCCESS) return FALSE;
  WriteRegDword(key.get(), u"Duration", 0);
  WriteRegDword(key.get(), u"Options", 8);
  return TRUE;
}

HICON LoadNotificationIcon(int resource) { return LoadIconW(Program().instance, MAKEINTRESOURCEW(resource)); }
