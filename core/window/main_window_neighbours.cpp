// Stand-ins for the work the main window calls but that is built elsewhere (see
// main_window_neighbours.h), and the storing of the chosen skin.
#include "core/window/main_window_neighbours.h"

#include "core/interface/player_events.h"
#include "core/player/core_seam.h"
#include "core/player/player_core.h"
#include "core/window/main_window_protocol.h"
#include "core/transport/open_filter.h"
#include "core/window/program_state.h"
#include "core/settings/settings.h"
#include "core/window/trusted_buffers.h"

void StoreChosenSkin(LPCWSTR path) {
  if (CSettings* settings = GetSettings()) settings->SaveSkin(path, TRUE);
}

void ShowNotificationBubble(int) { LogSeam(u"notification bubble"); }

void StartDisplayControl(HWND) { LogSeam(u"display control start"); }
void EndDisplayControl() { LogSeam(u"display control end"); }
BOOL WakeDisplay(BOOL) { return FALSE; }
void CheckDisplayState() {}
void SwitchDisplayOffNow() { LogSeam(u"display off"); }

void InitButtonPresets() { LogSeam(u"button presets"); }
BOOL IsHoldModeOn() { return FALSE; }
void EnterHoldMode() { LogSeam(u"enter hold mode"); }
void LeaveHoldMode() { LogSeam(u"leave hold mode"); }
void MapHardwareButtons() { LogSeam(u"map hardware buttons"); }
void UnmapHardwareButtons() { LogSeam(u"unmap hardware buttons"); }
LRESULT HandleHardwareKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
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
