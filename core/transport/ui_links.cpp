// The core's user-interface command channel to the skinned main window: each command is offered
// to the event hooks first (a hook may replace its value), then handed to the skin under the
// user-interface lock. And the visualisation flag of the paint step.
#include "core/player/player_core.h"
#include "core/player/player_core_neighbours.h"
#include "core/interface/player_events.h"
#include "core/settings/settings.h"

namespace {

constexpr int kUiCommandLibraryOnStart = 26;
constexpr int kUiCommandStreamStatus = 29;
constexpr int kUiCommandVisualization = 9;

}  // namespace

int CPlayerCore::SendUiCommand(int id, void* value) {
  if (id == kUiCommandLibraryOnStart) {
    CSettings* settings = GetSettings();
    DWORD show = settings ? settings->showLibraryOnStartup : 0;
    UINT size = sizeof show;
    DispatchToHooks(PLAYER_EVENT_LIBRARY_ON_START, &show, sizeof show, &show, &size);
  } else if (id != kUiCommandStreamStatus) {
    DWORD command = static_cast<DWORD>(id);
    UINT size = sizeof value;
    DispatchToHooks(PLAYER_EVENT_UI_COMMAND, &command, sizeof command, &value, &size);
  }
  CSectionLock hold(uiLock_);
  const int answer = RunUserInterfaceCommand(id, value);
  if (id == kUiCommandVisualization) visHost_->Paint(static_cast<int>(reinterpret_cast<INT_PTR>(value)), FALSE);
  return answer;
}

void CPlayerCore::ForwardVisFlags(int value) { visHost_->Paint(value, (state_.load() & CORE_STATE_VIS_FLAG) != 0); }
