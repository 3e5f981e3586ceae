// Button events go to the main window as control messages, so the command runs on the main
// thread whatever thread the key engine ran on.
#include "core/window/button_command_callback.h"

#include "core/player/player_core_link.h"

void ButtonCommandCallback(int, DWORD code, void*) {
  if (IPlayerCoreLink* core = GetPlayerCoreLink(u"ButtonCommandCallback")) {
    core->PostControlCommand(LOWORD(code), HIWORD(code));
  }
}
