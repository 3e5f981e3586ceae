// gen_callback.dll, a general-purpose plug-in for the tests of the player callback. Module 0
// opens its own settings key and registers a command and an event hook from its Init, and sends
// any message a test hands it (command-hook code kDriveMessage) through the player callback it
// was given. Modules 1 and 2 offer the actions "Alpha" and "Beta"; module 1's Init registers
// both, Beta first when the device's "\actions_order.txt" says "BA".
#include <cstring>
#include <windows.h>

#include "core/interface/gen_module.h"
#include "core/interface/player_events.h"
#include "core/interface/player_messages.h"
#include "gen_callback.h"

namespace {

GenModule g_modules[3] = {};
DWORD g_ids[3] = {};
const WCHAR* const kNames[3] = {u"Drive", u"Alpha", u"Beta"};

int Send(UINT id, void* in, UINT inSize, void* out, UINT outSize) {
  return g_modules[0].hostCallback ? g_modules[0].hostCallback(id, in, inSize, out, outSize) : -1;
}

// Takes the cue marks: they are this plug-in's.
int Hook(UINT event, void*, UINT, void*, UINT*) {
  return (event & ~PLAYER_EVENT_QUERY) == PLAYER_EVENT_CUE_MARK_PASSED ? 0 : -1;
}

bool BetaFirst() {
  HANDLE file = CreateFileW(u"\\actions_order.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char text[2] = {};
  DWORD read = 0;
  ReadFile(file, text, 2, &read, nullptr);
  CloseHandle(file);
  return read == 2 && text[0] == 'B';
}

void Register(int module) {
  Send(PLAYER_MSG_REGISTER_COMMAND, &g_modules[module], sizeof(void*), &g_ids[module], sizeof g_ids[module]);
}

void DriverInit() {
  HKEY key = nullptr;
  if (Send(PLAYER_MSG_OPEN_SETTINGS_KEY, g_modules[0].hDllInstance, sizeof(HMODULE), &key, sizeof key) == 0 && key) {
    const DWORD one = 1;
    RegSetValueExW(key, u"opened", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(key);
  }
  Register(0);
  Send(PLAYER_MSG_ADD_EVENT_HOOK, reinterpret_cast<void*>(Hook), 0, nullptr, 0);
}

void ActionsInit() {
  if (BetaFirst()) {
    Register(2);
    Register(1);
  } else {
    Register(1);
    Register(2);
  }
}

template <int Module>
int CommandHook(UINT code, void* argument, UINT size, void* out, UINT outSize) {
  if (code == kDriveMessage && Module == 0 && argument && size == sizeof(DriveRequest)) {
    auto* request = static_cast<DriveRequest*>(argument);
    request->result = Send(request->id, request->in, request->inSize, request->out, request->outSize);
    return 0;
  }
  if (code == GEN_CMD_GET_NAME && argument && out && outSize >= 16) {
    if (*static_cast<DWORD*>(argument) != g_ids[Module]) return -1;
    memcpy(out, kNames[Module], (wcslen(kNames[Module]) + 1) * sizeof(WCHAR));
    return 0;
  }
  return -1;
}

constexpr GenCommandHook kHooks[3] = {CommandHook<0>, CommandHook<1>, CommandHook<2>};

}  // namespace

extern "C" __attribute__((visibility("default"))) GenModule* ZonbrelGetGenModule(HMODULE, int index) {
  if (index < 0 || index > 2) return nullptr;
  GenModule& module = g_modules[index];
  module.version = GEN_MODULE_VERSION_2;
  module.description = index == 0 ? u"callback driver" : kNames[index];
  module.Init = index == 0 ? DriverInit : index == 1 ? ActionsInit : nullptr;
  module.CommandHook = kHooks[index];
  return &module;
}
