// The main window's timers: the status refresh of the window words, the end-of-stream timers of
// the decoder side, the sleep timer's fade, the keep-alive, the core's software timers, and the
// repeat timers of held buttons, which come back as the control message.
#include "core/device/call_handling.h"
#include "core/window/command_target.h"
#include "core/window/control_message.h"
#include "core/window/main_window.h"
#include "core/window/main_window_messages.h"
#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_state.h"
#include "core/player/player_core.h"
#include "core/window/program_state.h"
#include "core/window/repeat_timers.h"
#include "core/settings/settings.h"

namespace {

constexpr int kSleepFadeStep = 10;
constexpr UINT kSleepFadePeriodMs = 1000;
constexpr UINT kSleepPowerOffDelayMs = 5000;

void OnStatusTimer(HWND window) {
  // The now-playing refresh: the core's last position follows the playback (its resume entries
  // and bookmarks go by it); the window's words then come from the command target.
  if (CPlayerCore* core = PeekPlayerCore()) core->RefreshNowPlaying();
  UpdatePositionWords(window);
  MainWindowState& state = MainWindow();
  if (state.repaintAll) {
    state.repaintAll = FALSE;
    InvalidateRect(window, nullptr, TRUE);
  }
}

// Playing: the volume falls by 10 a second, then playback stops, and 5 s later the volume comes
// back and the device is switched off. Nothing playing: the timer ends there.
void OnSleepTimer(HWND window) {
  MainWindowState& state = MainWindow();
  ICommandTarget* target = GetCommandTarget();
  if (!target->IsPlaying()) {
    KillTimer(window, MAIN_TIMER_SLEEP);
    if (state.savedVolume != -1) target->SetVolume(state.savedVolume);
    state.savedVolume = -1;
    if (state.powerOffPending) {
      // Switching the device off is the power control's; the tap below wakes the window.
      OutputDebugStringW(u"Sleep timer: device off\r\n");
    }
    state.powerOffPending = FALSE;
    PostMessageW(window, WM_LBUTTONUP, 0, -1);
    return;
  }
  if (state.savedVolume == -1) state.savedVolume = target->GetVolume();
  if (target->GetVolume() <= 0) {
    target->Stop(FALSE);
    SetTimer(window, MAIN_TIMER_SLEEP, kSleepPowerOffDelayMs, nullptr);
    state.powerOffPending = TRUE;
    CSettings* settings = GetSettings();
    if (settings && settings->preSleepWakeup) WakeDisplay(FALSE);
  } else {
    target->SetVolume(std::max(target->GetVolume() - kSleepFadeStep, 0));
    SetTimer(window, MAIN_TIMER_SLEEP, kSleepFadePeriodMs, nullptr);
  }
}

void OnKeepAlive() {
  ICommandTarget* target = GetCommandTarget();
  if (!target->IsPlaying() || target->IsPaused()) return;
  if (Program().inputEvent != INVALID_HANDLE_VALUE) SetEvent(Program().inputEvent);
}

}  // namespace

LRESULT OnMainTimer(HWND window, UINT_PTR id) {
  if (int command = RepeatTimerCommand(id)) {
    return SendMessageW(window, WM_ZB_CONTROL, MAKELONG(command, 0), CONTROL_KEY_REPEAT);
  }
  CPlayerCore* core = PeekPlayerCore();
  switch (id) {
    case MAIN_TIMER_STATUS:
      OnStatusTimer(window);
      break;
    case MAIN_TIMER_DISPLAY:
      CheckDisplayState();
      break;
    case MAIN_TIMER_PLAY_FAILED:
      KillTimer(window, id);
      PostMessageW(window, WM_ZB_STREAM_END, 2, 0);
      break;
    case MAIN_TIMER_SLEEP:
      OnSleepTimer(window);
      break;
    case MAIN_TIMER_KEEP_ALIVE:
      OnKeepAlive();
      break;
    case MAIN_TIMER_LOOP:
      if (core) {
        DWORD wait = 0;
        core->RunScheduledCall(&wait);
        KillTimer(window, MAIN_TIMER_LOOP);
        if (wait) SetTimer(window, MAIN_TIMER_LOOP, wait + 1, nullptr);
      }
      break;
    case MAIN_TIMER_WAKEUP_HELPER:
      OnWakeupHelperTimer(window);
      break;
    case MAIN_TIMER_DRAIN:
      PostMessageW(window, WM_ZB_STREAM_END, 3, 0);
      break;
    default:
      if (id >= CORE_TIMER_FIRST && id <= CORE_TIMER_LAST && core) core->OnTimer(id);
      break;
  }
  return 1;
}
