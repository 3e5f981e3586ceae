// WinMain of the player: one copy runs; a second start hands its command line to it and ends.
// The first copy sets up the platform events, the main window and the loop, and at the end
// tears them down in a fixed order (the core and the settings went with the main window).
#include <windows.h>

#include "core/device/notification_thread.h"
#include "core/modules/bound_function.h"
#include "core/window/main_window.h"
#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_protocol.h"
#include "core/common/named_events.h"
#include "core/program/message_loop.h"
#include "core/program/single_instance.h"
#include "core/window/program_state.h"
#include "core/window/repeat_timers.h"
#include "core/settings/button_table.h"
#include "core/settings/settings.h"
#include "skin/skin_file_types.h"

namespace {

struct CommonControlsInit {
  DWORD size;
  DWORD classes;
};
constexpr DWORD kCommonControlClasses = 0x43F;
constexpr WORD kShellStartOrdinal = 9;
constexpr DWORD kNotificationStopMs = 1000;

// The common controls and the shell's start call, where the device has them.
void InitSystemLibraries() {
  using InitControls = BOOL (*)(const CommonControlsInit*);
  if (auto init = BoundFunction<InitControls>(GetModuleHandleW(u"commctrl"), u"InitCommonControlsEx")) {
    CommonControlsInit record{sizeof record, kCommonControlClasses};
    init(&record);
  }
  using ShellStart = void (*)();
  if (auto start = BoundFunction<ShellStart>(GetModuleHandleW(u"aygshell"), MAKEINTRESOURCEW(kShellStartOrdinal)))
    start();
}

void OpenActivityEvent() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\GWE", 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  WCHAR name[64] = {};
  DWORD type = 0;
  DWORD size = sizeof name - sizeof(WCHAR);
  if (RegQueryValueExW(key, u"ActivityEvent", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) ==
          ERROR_SUCCESS &&
      type == REG_SZ) {
    Program().activityEvent = CreateEventW(nullptr, TRUE, FALSE, name);
  }
  RegCloseKey(key);
}

int EndEarly() {
  if (Program().instanceEvent) CloseHandle(Program().instanceEvent);
  Program().instanceEvent = nullptr;
  return 0;
}

bool HandOverIfRunning() {
  HWND running = FindWindowW(kMainWindowClass, nullptr);
  if (!running) return false;
  HandOverCommandLine(running, Program().commandLine.c_str());
  return true;
}

void CloseIfValid(HANDLE& handle) {
  if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show) {
  InitSystemLibraries();
  ProgramState& program = Program();
  program.instance = instance;
  program.commandLine = commandLine ? commandLine : u"";
  SetLastError(0);

  program.instanceEvent = CreateEventW(nullptr, TRUE, TRUE, u"Zonbrel/Instance");
  bool lookForWindow = true;
  if (program.instanceEvent && GetLastError() == ERROR_ALREADY_EXISTS) {
    const InstanceWait wait = WaitForRunningCopy(program.instanceEvent);
    if (wait == InstanceWait::kGiveUp) return EndEarly();
    lookForWindow = wait == InstanceWait::kLookForWindow;
  }
  if (lookForWindow && HandOverIfRunning()) return EndEarly();
  if (IsSwitch(program.commandLine.c_str(), u"/WAKEUP")) return EndEarly();

  RecordPlayCommandTime();
  InitButtonPresets();
  if (!program.commandLine.empty() && GetSkinFileType(program.commandLine.c_str())) {
    StoreChosenSkin(program.commandLine.c_str());
    program.commandLine.clear();
  }
  if (lookForWindow && HandOverIfRunning()) return EndEarly();
  program.inputEvent = CreateEventW(nullptr, FALSE, FALSE, u"INPUTEVENT");
  OpenActivityEvent();
  if (CSettings* settings = GetSettings()) program.arrowPairing = settings->buttonFlags & 1;
  RaiseNamedEvent(u"Zonbrel/Instance/Started");
  if (!program.dpiX) {
    HDC screen = GetDC(nullptr);
    program.dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    program.dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  if (!previous && !RegisterMainWindowClass(instance)) return EndEarly();
  if (!CreateMainWindow(instance, show)) return EndEarly();
  HANDLE stopNotifications = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HANDLE notifications =
      stopNotifications ? CreateThread(nullptr, 0, NotificationThread, stopNotifications, 0, nullptr) : nullptr;

  const int exitCode = RunMessageLoop();

  EndDisplayControl();
  EndButtons();
  if (stopNotifications) EventModify(stopNotifications, EVENT_SET);
  if (notifications) {
    WaitForSingleObject(notifications, kNotificationStopMs);
    CloseHandle(notifications);
  }
  if (stopNotifications) CloseHandle(stopNotifications);
  CloseIfValid(program.inputEvent);
  CloseIfValid(program.activityEvent);
  RaiseNamedEvent(u"Zonbrel/Instance/Stopping");
  CloseEventWaiters();
  ClearRepeatTimers();
  EndEarly();
  return exitCode;
}
