// The key tables of the command dispatcher: what a button's press, repeat and release do. Held
// next/back keys seek, faster each step; a quick press moves to the next or previous item on its
// release. The skin buttons bound to a command light while it is held.
#include <algorithm>
#include <string>

#include "core/window/command_target.h"
#include "core/window/control_message.h"
#include "core/window/main_window.h"
#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_state.h"
#include "core/player/player_core.h"
#include "core/player/player_core_neighbours.h"
#include "core/window/repeat_timers.h"
#include "core/settings/settings.h"
#include "skin/skin_state.h"

namespace {

struct DispatcherState {
  BOOL pending = FALSE;  // a press of 5 or 6 not yet turned into a seek
  int holdKey = 0;       // command 17
  int playKey = 0;       // command 29: 0 idle, 1 held, 2 handled
  BOOL longPress = FALSE;
};

DispatcherState g_state;

constexpr int kSeekStepMs = 1000;
constexpr int kAccelerationStep = 500;  // 5 %
constexpr UINT kFirstRepeatMs = 1000;
constexpr UINT kSeekRepeatMs = 500;
constexpr UINT kItemRepeatMs = 2000;
constexpr int kElementPressed = 2025;
constexpr int kElementPress = 2026;
constexpr int kElementRelease = 2027;
constexpr int kUiElementMessage = 16;
constexpr int kUiNamedCommand = 23;
constexpr int kNamedCommandMessage = 1225;

// The skin elements lit by a command; "PLAY|PAUSE" is "PLAY" while paused, else "PAUSE".
struct ButtonNames {
  int command;
  const WCHAR* names[3];
};

constexpr ButtonNames kButtonNames[] = {
    {1, {u"PLAYPAUSE", u"PLAY|PAUSE", u"PLAYPAUSESTOP"}},
    {2, {u"PLAY", u"PLAYPAUSE", u"PLAYPAUSESTOP"}},
    {3, {u"PAUSE", u"PLAYPAUSE", u"PLAYPAUSESTOP"}},
    {4, {u"STOP", u"PLAYPAUSESTOP"}},
    {5, {u"NEXT"}},
    {6, {u"BACK"}},
    {7, {u"MUTE"}},
    {8, {u"VOLUME", u"VOLUMEUP"}},
    {9, {u"VOLUME", u"VOLUMEDOWN"}},
    {11, {u"VISTOGGLE"}},
    {12, {u"NEXT"}},
    {13, {u"BACK"}},
    {19, {u"NEXT"}},
    {20, {u"BACK"}},
    {21, {u"REPEAT", u"SHUFFLE"}},
    {29, {u"PLAYPAUSE", u"PLAY|PAUSE", u"PLAYPAUSESTOP"}},
    {30, {u"DSPTOGGLE"}},
    {31, {u"PLAYLIST"}},
    {32, {u"PLAYPAUSE", u"PLAY|PAUSE", u"PLAYPAUSESTOP"}},
};

LRESULT SendElementMessage(LPCWSTR name, UINT message, DWORD word) {
  SkinElementMessage record{name, message, {word, 0, 0}};
  return RunUserInterfaceCommand(kUiElementMessage, &record);
}

CSettings& Settings() { return *GetSettings(); }

void PlayOrPause(ICommandTarget* target) {
  if (!target->IsPlaying()) {
    target->Play();
  } else if (target->IsSeekable()) {
    target->TogglePause();
  } else {
    target->Stop(TRUE);
  }
}

// Commands 5 and 6: a press moves at once only when nothing plays; held, it seeks.
void NextOrBackKey(HWND window, int command, bool repeat, bool forward) {
  ICommandTarget* target = GetCommandTarget();
  const UINT_PTR timer = RepeatTimerId(command);
  auto move = [&] { forward ? target->NextItem() : target->PreviousItem(); };
  if (!repeat) {
    if (IsRepeatTimerActive(window, timer)) return;
    if (!target->IsPlaying()) move();
    g_state.pending = TRUE;
    StartRepeatTimer(window, timer, kFirstRepeatMs, FALSE);
    ResetSeekAcceleration();
    return;
  }
  g_state.pending = FALSE;
  if (!target->IsPlaying()) {
    move();
  } else {
    const int seconds = static_cast<int>(forward ? Settings().jumpSpeed : Settings().jumpSpeedBack);
    const int step = ScaleBySeekAcceleration(kSeekStepMs) * seconds;
    target->SeekRelative(forward ? step : -step);
    UpdatePositionWords(window);
    AccelerateSeek(kAccelerationStep);
  }
  StartRepeatTimer(window, timer, kSeekRepeatMs, TRUE);
}

// Commands 12 and 13: fast forward and rewind while held.
void SeekKey(HWND window, int command, bool repeat, bool forward) {
  if (!repeat) ResetSeekAcceleration();
  const int seconds = static_cast<int>(forward ? Settings().jumpAmount : Settings().jumpAmountBack);
  const int step = ScaleBySeekAcceleration(kSeekStepMs) * seconds;
  GetCommandTarget()->SeekRelative(forward ? step : -step);
  UpdatePositionWords(window);
  AccelerateSeek(kAccelerationStep);
  StartRepeatTimer(window, RepeatTimerId(command), kSeekRepeatMs, FALSE);
}

void HoldKey(HWND window, bool repeat) {
  const UINT_PTR timer = RepeatTimerId(17);
  if (repeat) {
    LeaveHoldMode();
    WakeDisplay(FALSE);
    StopRepeatTimer(window, timer);
  } else if (!IsHoldModeOn()) {
    if (g_state.holdKey == 0) {
      EnterHoldMode();
      if (Settings().dimScreenWithButtons) {
        CheckDisplayState();
        SwitchDisplayOffNow();
      }
    }
  } else if (g_state.holdKey == 0) {
    StartRepeatTimer(window, timer, kFirstRepeatMs, FALSE);  // a long press leaves hold mode
  }
  g_state.holdKey = 1;
}

void PlayHoldKey(HWND window, bool repeat) {
  if (!repeat) {
    if (g_state.playKey == 0) {
      StartRepeatTimer(window, RepeatTimerId(29), kFirstRepeatMs, FALSE);
      g_state.playKey = 1;
    }
    return;
  }
  CheckDisplayState();
  if (!IsHoldModeOn()) {
    if (g_state.playKey != 0) {
      g_state.holdKey = 0;
      SendMessageW(window, WM_ZB_CONTROL, 17, CONTROL_KEY_DOWN);
      SendMessageW(window, WM_ZB_CONTROL, 17, CONTROL_KEY_UP);
      SwitchDisplayOffNow();
    }
  } else {
    SendMessageW(window, WM_ZB_CONTROL, 17, CONTROL_KEY_REPEAT);
  }
  g_state.holdKey = 0;
  g_state.playKey = 2;
}

void RunKeyDownTable(HWND window, int command, bool repeat, int source) {
  ICommandTarget* target = GetCommandTarget();
  const int volumeStep = Settings().ScaleBySpeed(12, 3);
  const UINT volumePeriod = static_cast<UINT>(Settings().ScaleBySpeed(150, 3));
  switch (command) {
    case 1:
      PlayOrPause(target);
      break;
    case 2:
      target->Play();
      break;
    case 3:
      if (target->IsPlaying()) target->TogglePause();
      break;
    case 4:
      target->Stop(TRUE);
      break;
    case 5:
    case 6:
      NextOrBackKey(window, command, repeat, command == 5);
      break;
    case 7:
      target->SetMute(!target->IsMuted());
      break;
    case 8:
    case 9: {
      const int change = command == 8 ? volumeStep : -volumeStep;
      target->SetVolume(std::clamp(target->GetVolume() + change, 0, 255));
      StartRepeatTimer(window, RepeatTimerId(command), volumePeriod, FALSE);
      break;
    }
    case 10:
      if (!WakeDisplay(FALSE)) SwitchDisplayOffNow();
      break;
    case 11:
      target->SetVisMode(0);
      break;
    case 12:
    case 13:
      SeekKey(window, command, repeat, command == 12);
      break;
    case 14:
      if (!MainWindow().active) {
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(window) | 1));
      } else {
        ShowNotificationBubble(0x90);
      }
      break;
    case 15:
      break;
    case 16:
      if (target->IsPlaying()) target->ResumeFromBookmark();
      break;
    case 17:
      HoldKey(window, repeat);
      break;
    case 18:
      LeaveHoldMode();
      break;
    case 19:
    case 20:
      command == 19 ? target->NextItem() : target->PreviousItem();
      StartRepeatTimer(window, RepeatTimerId(command), kItemRepeatMs, FALSE);
      break;
    case 21: {
      // off, repeat, shuffle, both, off ...
      const int order = (target->GetShuffle() ? 2 : 0) + (target->GetRepeat() ? 1 : 0) + 1;
      target->SetRepeat(order & 1);
      target->SetShuffle((order >> 1) & 1);
      break;
    }
    case 22:
    case 23:
    case 24:
    case 25:
      PlaylistViewCommand(command);
      StartRepeatTimer(window, RepeatTimerId(command), repeat ? 100 : 500, FALSE);
      break;
    case 26:
      PlaylistViewCommand(26);
      break;
    case 27:
      target->SetEqValue(-11, -14);
      break;
    case 28:
      target->SetEqValue(-2, !target->GetEqValue(-2));
      break;
    case 29:
      PlayHoldKey(window, repeat);
      break;
    case 30:
      Settings().SetDSPEnabled(!Settings().DSPEnabled);
      if (CPlayerCore* core = PeekPlayerCore()) core->ResetDSPCache();
      break;
    case 31:
      TogglePlaylistDialog(window);
      break;
    case 32:
      if (!repeat) {
        g_state.longPress = TRUE;
        StartRepeatTimer(window, RepeatTimerId(32), kFirstRepeatMs, FALSE);
      } else if (g_state.longPress) {
        g_state.longPress = FALSE;
        SendMessageW(window, WM_ZB_CONTROL, 26, CONTROL_KEY_DOWN);
        SendMessageW(window, WM_ZB_CONTROL, 26, CONTROL_KEY_UP);
      }
      break;
    default:
      RunButtonAction(command, source);
      break;
  }
}

}  // namespace

LRESULT RunKeyDown(HWND window, int command, int source) {
  if (!GetSettings()) return 0;
  if (source != CONTROL_KEY_DOWN_QUIET) {
    WakeDisplay(TRUE);
    const bool holdCommand = command == 17 || command == 18 || command == 29;
    if (Settings().unDimOnButtonPress && command != 10 && (!IsHoldModeOn() || !holdCommand) && WakeDisplay(FALSE))
      return 0;  // the press only woke the device
  }
  RunKeyDownTable(window, command, source == CONTROL_KEY_REPEAT, source);
  CheckDisplayState();
  RestartSleepTimer(window);
  return 0;
}

LRESULT RunKeyUp(HWND window, int command) {
  ICommandTarget* target = GetCommandTarget();
  StopRepeatTimer(window, RepeatTimerId(command));
  switch (command) {
    case 17:
      g_state.holdKey = 0;
      break;
    case 29:
      if (g_state.playKey == 1) {
        g_state.playKey = 0;
        CSettings* settings = GetSettings();
        if (!(IsHoldModeOn() && settings && settings->permitActions == 0)) PlayOrPause(target);
      } else if (g_state.playKey == 2) {
        g_state.playKey = 0;
      }
      break;
    case 32:
      if (g_state.longPress) {
        g_state.longPress = FALSE;
        StopRepeatTimer(window, RepeatTimerId(32));
        SendMessageW(window, WM_ZB_CONTROL, 1, CONTROL_KEY_DOWN);
        SendMessageW(window, WM_ZB_CONTROL, 1, CONTROL_KEY_UP);
      }
      break;
    case 5:
    case 6:
      if (g_state.pending && target->IsPlaying()) command == 5 ? target->NextItem() : target->PreviousItem();
      g_state.pending = FALSE;
      break;
    case 26:
      PlaylistViewCommand(-26);
      break;
    default:
      RunButtonAction(command, CONTROL_KEY_UP);
      break;
  }
  return 0;
}

void FlashCommandButtons(HWND, int command, BOOL down) {
  for (const ButtonNames& entry : kButtonNames) {
    if (entry.command != command) continue;
    for (const WCHAR* name : entry.names) {
      if (!name) break;
      if (std::u16string_view(name) == u"PLAY|PAUSE") name = GetCommandTarget()->IsPaused() ? u"PLAY" : u"PAUSE";
      SendElementMessage(name, kElementPressed, down);
    }
    return;
  }
  const std::u16string action = ButtonActionName(command);
  if (!action.empty()) SendElementMessage(action.c_str(), kElementPressed, down);
}

LRESULT RunNamedCommand(LPCWSTR name) {
  if (!PeekPlayerCore()) return 0;
  if (SendElementMessage(name, kElementPress, 0)) return SendElementMessage(name, kElementRelease, 0);
  SkinNamedCommand record{name, 0, kNamedCommandMessage, 0};
  return RunUserInterfaceCommand(kUiNamedCommand, &record);
}

void ResetDispatcherState() {
  g_state = DispatcherState{};
  ResetSeekAcceleration();
}
