// The second copy's side of the single instance (see single_instance.h). The running copy's
// readiness word (GWL_USERDATA: 0 starting, 1 shown, 2 destroyed) and the instance event, which
// stays signalled while a copy lives, say when it can take a command line.
#include "core/program/single_instance.h"

#include "core/window/main_window_messages.h"
#include "core/window/main_window_protocol.h"
#include "core/window/program_state.h"

namespace {

constexpr DWORD kGiveUpMs = 60000;
constexpr DWORD kRetryMs = 1000;

bool IsSignalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

}  // namespace

InstanceWait WaitForRunningCopy(HANDLE instanceEvent) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (GetTickCount() - start > kGiveUpMs) return InstanceWait::kGiveUp;
    HWND window = FindWindowW(kMainWindowClass, nullptr);
    if (window) {
      const LONG_PTR readiness = GetWindowLongW(window, GWL_USERDATA);
      const bool ready = readiness == MAIN_WINDOW_SHOWN ||
                         (readiness >= MAIN_WINDOW_DESTROYED && !IsSignalled(instanceEvent));
      if (ready) {
        EventModify(instanceEvent, EVENT_SET);
        return InstanceWait::kLookForWindow;
      }
      Sleep(kRetryMs);
      continue;
    }
    if (!IsSignalled(instanceEvent)) {
      // The other copy passed its WM_DESTROY: this one becomes the first.
      EventModify(instanceEvent, EVENT_SET);
      return InstanceWait::kNoWindow;
    }
    // The other copy has not made its window yet.
    Sleep(kRetryMs);
    if (!FindWindowW(kMainWindowClass, nullptr)) {
      EventModify(instanceEvent, EVENT_SET);
      return InstanceWait::kLookForWindow;
    }
  }
}

void HandOverCommandLine(HWND window, LPCWSTR commandLine) {
  const size_t chars = wcslen(commandLine) + 1;
  COPYDATASTRUCT record{COPYDATA_COMMAND_LINE, static_cast<DWORD>(chars * sizeof(WCHAR)),
                        const_cast<WCHAR*>(commandLine)};
  SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
  if (!IsSwitch(commandLine, u"/WAKEUP") && !IsSwitch(commandLine, u"/SILENT"))
    SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(window) | 1));
}
