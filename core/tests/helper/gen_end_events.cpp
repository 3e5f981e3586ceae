// gen_events.dll, a general-purpose plug-in for the program's tests: its Init registers an event
// hook that writes each end-of-stream phase the player reports, one line each, to the device's
// "\end_phases.txt". It takes no step over.
#include <cstring>
#include <windows.h>

#include "core/interface/gen_module.h"
#include "core/interface/player_events.h"
#include "core/interface/player_messages.h"

namespace {

GenModule g_module{};

void Append(const char* line) {
  HANDLE file = CreateFileW(u"\\end_phases.txt", GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFilePointer(file, 0, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
  CloseHandle(file);
}

int Hook(UINT event, void* data, UINT size, void*, UINT*) {
  if (event & PLAYER_EVENT_QUERY) return (event & ~PLAYER_EVENT_QUERY) == PLAYER_EVENT_END_OF_STREAM ? 0 : -1;
  if (event == PLAYER_EVENT_END_OF_STREAM && data && size >= sizeof(DWORD)) {
    char line[16] = {static_cast<char>('0' + *static_cast<DWORD*>(data) % 10), '\n', 0};
    Append(line);
  }
  return -1;
}

void Init() {
  if (g_module.hostCallback) g_module.hostCallback(PLAYER_MSG_ADD_EVENT_HOOK, reinterpret_cast<void*>(Hook), 0, nullptr, 0);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) GenModule* ZonbrelGetGenModule(HMODULE, int index) {
  if (index != 0) return nullptr;
  g_module.version = GEN_MODULE_VERSION_2;
  g_module.description = u"end-of-stream phases";
  g_module.Init = Init;
  return &g_module;
}
