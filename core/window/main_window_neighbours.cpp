// Stand-ins for the work the main window calls but that is built elsewhere (see
// main_window_neighbours.h), and the storing of the chosen skin.
#include "core/window/main_window_neighbours.h"

#include "core/interface/player_events.h"
#include "core/player/core_seam.h"
#include "core/device/button_engine.h"
#include "core/device/button_lock.h"
#include "core/device/display_control.h"
#include "core/device/window_chrome.h"
#include "core/player/player_core.h"
#include "core/settings/button_table.h"
#include "core/window/command_target.h"
#include "core/window/main_window_state.h"
#include "core/window/main_window_protocol.h"
#include "core/transport/open_filter.h"
#include "core/window/program_state.h"
#include "core/settings/settings.h"
#include "core/window/trusted_buffers.h"

void StoreChosenSkin(LPCWSTR path) {
  if (CSettings* settings = GetSettings()) settings->SaveSkin(path, TRUE);
}

void ShowNotificationBubble(int mode) { ShowNotificationBubble(Program().mainWindow, mode); }

void CheckDisplayState() {
  SyncDisplayState();
  const BOOL wasOff = IsDisplayOff();
  // While the backlight is held for a video, the screen stays on.
  if (!IsBacklightHeld()) IdleDimCheck();
  if (MainWindow().active) KeypadDimCheck();
  if (!wasOff && !IsDisplayOff()) {
    ICommandTarget* target = GetCommandTarget();
    if (target && target->IsPlaying()) SetBacklightTimeouts(target->IsPaused() == 0);
  }
}

void SwitchDisplayOffNow() { ForceDisplayOff(); }

void InitButtonPresets() { LoadButtons(); }
BOOL IsHoldModeOn() { return GetButtonLock() != 0; }
void EnterHoldMode() { SetButtonLock(1); }
void LeaveHoldMode() { SetButtonLock(0); }
void MapHardwareButtons() {
  if (CSettings* settings = GetSettings()) settings->ApplyButtonCommands(TRUE);
}
void UnmapHardwareButtons() {
  if (CSettings* settings = GetSettings()) settings->ApplyButtonCommands(FALSE);
}
LRESULT HandleHardwareKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return OnButtonKey(window, message, wParam, lParam);
}
// Commands from 33 on are the plug-ins' registered actions; the key source is their phase.
std::u16string ButtonActionName(int command) {
  CPlayerCore* core = PeekPlayerCore();
  WCHAR name[GEN_CMD_NAME_CHARS] = {};
  if (!core || !core->RunCommand(command, 0, name)) return {};
  name[GEN_CMD_NAME_CHARS - 1] = 0;
  return name;
}
int RunButtonAction(int command, int source) {
  CPlayerCore* core = PeekPlayerCore();
  return core ? core->RunCommand(command, source, nullptr) : 0;
}

void PlaylistViewCommand(int) { LogSeam(u"playlist view command"); }
void TogglePlaylistDialog(HWND) { LogSeam(u"playlist dialog"); }

std::u16string ShowOpenFileDialog(HWND window) { return ShowOpenFileDialog(0, window); }
