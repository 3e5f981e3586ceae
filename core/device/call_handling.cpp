// Call handling and the wake-up helper (see call_handling.h). After a wake-up the helper's own
// entry is gone from the notification database, so the player waits for the helper to end and
// registers it again. The wait runs on a main-window timer, never blocking the window, and only
// for a helper process this player wrote out: any other process id in a wake-up message is
// ignored.
#include "core/device/call_handling.h"

#include <aygshell.h>
#include <notify.h>
#include <tlhelp32.h>

#include <vector>

#include "core/modules/bound_system_functions.h"
#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "core/window/main_window_protocol.h"
#include "settingsui/shell_platform.h"
#include "skin/image_loader.h"

namespace {

constexpr int kHelperResource = 145;
constexpr DWORD kHelperWaitMs = 10000;
constexpr UINT kHelperPollMs = 100;
constexpr UINT kAfterHelperMs = 500;
constexpr DWORD kPhoneStatusMask = 0x20030000;

struct CallState {
  HANDLE registryNotification = nullptr;
  HANDLE helperNotification = nullptr;
  std::u16string helperPath;
  // The wait for a helper that ran: its process and when the wait gives up.
  HANDLE helperProcess = nullptr;
  DWORD helperDeadline = 0;
  bool waitDone = false;
};

CallState& State() {
  static CallState state;
  return state;
}

struct Generation {
  DWORD major;
  bool modern;
  bool newest;
};

Generation SystemGeneration() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  const DWORD major = GetVersionExW(&version) ? version.dwMajorVersion : 0;
  return {major, IsSmartphonePlatform() || major >= 4, major >= 5};
}

struct EventKey {
  const WCHAR* key;
  const WCHAR* classValue;
  const WCHAR* first;
  DWORD firstMessage;
  const WCHAR* second;  // written on major version 4 or more
  DWORD secondMessage;
};

constexpr EventKey kEventKeys[] = {
    {u"SOFTWARE\\Microsoft\\Shell\\Events\\PowerOn\\Zonbrel", u"Class", u"On", WM_ZB_SUSPEND, nullptr, 0},
    {u"SOFTWARE\\Microsoft\\Shell\\Event\\CallConnect\\Zonbrel", u"class", u"ConnectMsg", WM_ZB_CALL_CONNECTED,
     u"DisconnectMsg", WM_ZB_CALL_ENDED},
    {u"SOFTWARE\\Microsoft\\Shell\\Event\\IncomingCall\\Zonbrel", u"class", u"IncomingBegMsg", WM_ZB_CALL_CONNECTED,
     u"IncomingEndMsg", WM_ZB_CALL_ENDED},
};

void WriteEventKeys(DWORD major) {
  for (const EventKey& e : kEventKeys) {
    RegKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, e.key) != ERROR_SUCCESS) continue;
    RegSetValueExW(key.get(), e.classValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(kMainWindowClass),
                   sizeof kMainWindowClass);
    WriteRegDword(key.get(), e.first, e.firstMessage);
    if (e.second && major >= 4) WriteRegDword(key.get(), e.second, e.secondMessage);
  }
  if (HWND taskBar = FindWindowW(u"HHTaskBar", nullptr)) SendMessageW(taskBar, WM_SETTINGCHANGE, 0, 0);
}

const WCHAR* FileNameOf(const std::u16string& path) {
  const size_t slash = path.find_last_of(u'\\');
  return path.c_str() + (slash == std::u16string::npos ? 0 : slash + 1);
}

void RegisterHelper(HWND window) {
  CallState& s = State();
  WCHAR program[MAX_PATH] = {};
  if (GetModuleFileNameW(nullptr, program, MAX_PATH)) ClearUserNotifications(program);
  WCHAR className[MAX_PATH] = {};
  GetClassNameW(window, className, MAX_PATH);
  const std::u16string helper = GetWakeupHelperPath(TRUE);
  if (helper.empty()) return;
  ClearUserNotifications(FileNameOf(helper));
  ClearUserNotifications(helper.c_str());
  ClearUserNotifications(kWakeupHelperName);
  std::u16string path = helper;
  CE_NOTIFICATION_TRIGGER trigger{};
  trigger.dwSize = 52;
  trigger.dwType = CNT_EVENT;
  trigger.dwEvent = NOTIFICATION_EVENT_WAKEUP;
  trigger.lpszApplication = path.data();
  trigger.lpszArguments = className;
  s.helperNotification = CeSetUserNotificationEx(nullptr, &trigger, nullptr);
}

void Register(HWND window) {
  const Generation g = SystemGeneration();
  if (g.newest) {
    for (const EventKey& e : kEventKeys) RegDeleteKeyW(HKEY_LOCAL_MACHINE, e.key);
    NOTIFICATIONCONDITION condition{REG_CT_ANYCHANGE, kPhoneStatusMask, {}};
    HANDLE notification = nullptr;
    if (SUCCEEDED(BoundRegistryNotifyWindow(HKEY_LOCAL_MACHINE, u"System\\State\\Phone", u"Status", window,
                                            WM_ZB_PHONE_STATE, 0, &condition, &notification)))
      State().registryNotification = notification;
  } else if (g.modern) {
    WriteEventKeys(g.major);
  } else {
    RegisterHelper(window);
  }
}

void Unregister() {
  CallState& s = State();
  const Generation g = SystemGeneration();
  if (g.newest && s.registryNotification) {
    BoundRegistryCloseNotification(s.registryNotification);
    s.registryNotification = nullptr;
  }
  if (s.helperNotification) {
    CeClearUserNotification(s.helperNotification);
    s.helperNotification = nullptr;
  }
  const std::u16string helper = GetWakeupHelperPath(FALSE);
  if (helper.empty()) return;
  CSettings* settings = GetSettings();
  if (g.major >= 4 && settings && settings->notificationsCleared >= 2) {
    s.helperPath.clear();
    return;
  }
  ClearUserNotifications(FileNameOf(helper));
  DeleteWakeupHelper();
  ClearUserNotifications(kWakeupHelperName);
  if (settings) ++settings->notificationsCleared;
  s.helperPath.clear();
}

// Whether the registered helper's notification is still in the database (the helper removes it
// when it runs).
bool HelperStillRegistered() {
  HANDLE registered = State().helperNotification;
  DWORD needed = 0;
  if (!registered) return false;
  CeGetUserNotification(registered, 0, &needed, nullptr);
  return needed != 0;
}

// A wake-up message names the helper's process. A running process must be a copy of the
// helper this player wrote out (then `process` is its handle, to wait for); a process that has
// ended already counts only when the helper's registration is gone, as the helper leaves it.
bool TrustHelper(DWORD processId, HANDLE* process) {
  *process = nullptr;
  HANDLE running = OpenProcess(0, FALSE, processId);
  if (running && WaitForSingleObject(running, 0) == WAIT_TIMEOUT) {
    if (IsWakeupHelperProcess(processId)) {
      *process = running;
      return true;
    }
    const bool stillRunning = WaitForSingleObject(running, 0) == WAIT_TIMEOUT;
    CloseHandle(running);
    if (stillRunning) return false;
  } else if (running) {
    CloseHandle(running);
  }
  return !HelperStillRegistered();
}

void EndHelperWait() {
  CallState& s = State();
  if (s.helperProcess) CloseHandle(s.helperProcess);
  s.helperProcess = nullptr;
}

}  // namespace

void RegisterCallHandling(int mode, HWND window, DWORD processId) {
  switch (mode) {
    case 1:
      Register(window);
      break;
    case 0:
      EndHelperWait();
      KillTimer(window, MAIN_TIMER_WAKEUP_HELPER);
      Unregister();
      break;
    case 2: {
      if (SystemGeneration().modern) return;
      CallState& s = State();
      HANDLE process = nullptr;
      if (processId && !TrustHelper(processId, &process)) {
        OutputDebugStringW(u"Wake-up message that did not come from the player's helper: ignored\r\n");
        return;
      }
      EndHelperWait();
      s.helperProcess = process;
      s.helperDeadline = GetTickCount() + kHelperWaitMs;
      s.waitDone = process == nullptr;
      SetTimer(window, MAIN_TIMER_WAKEUP_HELPER, s.waitDone ? kAfterHelperMs : kHelperPollMs, nullptr);
      break;
    }
    default:
      break;
  }
}

void OnWakeupHelperTimer(HWND window) {
  CallState& s = State();
  if (!s.waitDone) {
    const bool ended = !s.helperProcess || WaitForSingleObject(s.helperProcess, 0) == WAIT_OBJECT_0;
    if (!ended && static_cast<LONG>(GetTickCount() - s.helperDeadline) < 0) return;
    EndHelperWait();
    s.waitDone = true;
    KillTimer(window, MAIN_TIMER_WAKEUP_HELPER);
    SetTimer(window, MAIN_TIMER_WAKEUP_HELPER, kAfterHelperMs, nullptr);
    return;
  }
  KillTimer(window, MAIN_TIMER_WAKEUP_HELPER);
  s.waitDone = false;
  Unregister();
  Register(window);
}

BOOL IsHelperWaitRunning() { return State().helperProcess != nullptr; }

void ClearUserNotifications(LPCWSTR application) {
  if (!application || !*application) return;
  DWORD count = 0;
  if (!CeGetUserNotificationHandles(nullptr, 0, &count) || count == 0) return;
  std::vector<HANDLE> handles(count);
  if (!CeGetUserNotificationHandles(handles.data(), count, &count)) return;
  handles.resize(count);
  std::vector<HANDLE> marked;
  for (HANDLE h : handles) {
    DWORD needed = 0;
    CeGetUserNotification(h, 0, &needed, nullptr);
    if (!needed) continue;
    std::vector<BYTE> buffer(needed);
    if (!CeGetUserNotification(h, needed, &needed, buffer.data())) continue;
    const auto* header = reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(buffer.data());
    const WCHAR* path = header->pcent ? header->pcent->lpszApplication : nullptr;
    if (!path) continue;
    const bool match = application[0] == u'\\' ? _wcsicmp(path, application) == 0 : wcsstr(path, application) != nullptr;
    if (match) marked.push_back(h);
  }
  for (HANDLE h : marked) CeClearUserNotification(h);
}

std::u16string GetWakeupHelperPath(BOOL extract) {
  CallState& s = State();
  if (extract) {
    WCHAR temp[MAX_PATH] = {};
    if (!ExtractResourceToTempFile(nullptr, MAKEINTRESOURCEW(kHelperResource), u"WAKEUPAPPS", u"exe", temp)) {
      s.helperPath.clear();
      return s.helperPath;
    }
    std::u16string target(temp);
    target = target.substr(0, target.find_last_of(u'\\') + 1) + kWakeupHelperName;
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(target.c_str());
    if (!MoveFileW(temp, target.c_str())) {
      DeleteFileW(temp);
      s.helperPath.clear();
      return s.helperPath;
    }
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    s.helperPath = target;
    return s.helperPath;
  }
  if (s.helperPath.empty()) {
    WCHAR folder[MAX_PATH] = {};
    if (GetTempPathW(MAX_PATH, folder)) {
      std::u16string path(folder);
      if (path.empty() || path.back() != u'\\') path += u'\\';
      s.helperPath = path + kWakeupHelperName;
    }
  }
  return s.helperPath;
}

void DeleteWakeupHelper() {
  const std::u16string path = GetWakeupHelperPath(FALSE);
  if (path.empty()) return;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
}

BOOL IsWakeupHelperProcess(DWORD processId) {
  const std::u16string path = GetWakeupHelperPath(FALSE);
  if (!processId || path.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return FALSE;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return FALSE;
  BOOL found = FALSE;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
    found = entry.th32ProcessID == processId && _wcsicmp(entry.szExeFile, FileNameOf(path)) == 0;
  CloseToolhelp32Snapshot(snapshot);
  return found;
}

HANDLE WakeupNotificationHandle() { return State().helperNotification; }
