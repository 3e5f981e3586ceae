// The registration point of the player core object (see player_core_link.h).
#include "core/player/player_core_link.h"

#include <string>

namespace {
IPlayerCoreLink* g_core = nullptr;
}

void SetPlayerCoreLink(IPlayerCoreLink* core) { g_core = core; }

IPlayerCoreLink* GetPlayerCoreLink(const WCHAR* caller) {
  if (!g_core) {
    std::u16string line = std::u16string(caller ? caller : u"?") + u": no player core yet, step skipped\r\n";
    OutputDebugStringW(line.c_str());
  }
  return g_core;
}
