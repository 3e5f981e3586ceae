// The association prompt and the activity watcher (see activity_watch.h). The watcher ends by
// itself within one wait (2000 ms) of its thread word being cleared or handed to a newer one.
#include "core/device/activity_watch.h"

#include <atomic>

#include "core/device/display_control.h"
#include "core/settings/associations.h"
#include "core/settings/settings.h"
#include "core/window/program_state.h"

namespace {

constexpr DWORD kWatchWaitMs = 2000;
std::atomic<DWORD> g_watchThread{0};

DWORD WINAPI ActivityWatcher(LPVOID) {
  const DWORD self = GetCurrentThreadId();
  while (g_watchThread.load() == self) {
    if (WaitForSingleObject(Program().activityEvent, kWatchWaitMs) == WAIT_OBJECT_0) WakeDisplay(TRUE);
  }
  return 0;
}

}  // namespace

void RunAssociationPrompt() {
  RegisterMimeTypes();
  CSettings* settings = GetSettings();
  if (!settings || settings->setAssociations) return;
  if (!settings->associationsNoPrompt) {
    const int answer = MessageBoxW(nullptr, u"Associate Zonbrel with known file types?", u"Zonbrel",
                                   MB_YESNO | MB_SETFOREGROUND);
    if (answer != IDYES) {
      if (answer == IDNO) ApplySkinAssociations(settings);
      settings->setAssociations = 1;
      return;
    }
  }
  ApplyDefaultAssociations(settings);
  settings->setAssociations = 1;
  settings->Save();
}

void SetActivityWatch(HWND, BOOL on) {
  if (!on || !Program().activityEvent || Program().activityEvent == INVALID_HANDLE_VALUE) {
    g_watchThread = 0;
    return;
  }
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, ActivityWatcher, nullptr, CREATE_SUSPENDED, &id);
  if (!thread) {
    g_watchThread = 0;
    return;
  }
  g_watchThread = id;
  ResumeThread(thread);
  CloseHandle(thread);
}

DWORD ActivityWatchThread() { return g_watchThread.load(); }
