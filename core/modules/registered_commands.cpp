// Registered plug-in commands (see registered_commands.h).
#include "core/modules/registered_commands.h"

#include "core/interface/player_events.h"

namespace {

// The skin's commands that run a plug-in command by name.
constexpr int kRunByNameCodes[] = {1225, 1228, 1235};
constexpr int kPressPhase = 1;
constexpr int kReleasePhase = 2;

bool IsRelease(DWORD phase) { return phase == 2 || phase == 6; }

bool NameOfModuleFile(HINSTANCE module, WCHAR (&path)[MAX_PATH]) {
  path[0] = 0;
  return GetModuleFileNameW(module, path, MAX_PATH) > 0;
}

}  // namespace

int CRegisteredCommands::Register(GenModule* module) {
  CSectionLock hold(lock_);
  modules_.push_back(module);
  return GEN_CMD_FIRST_ID + static_cast<int>(modules_.size()) - 1;
}

GenModule* CRegisteredCommands::At(int id) {
  CSectionLock hold(lock_);
  const int position = id - GEN_CMD_FIRST_ID;
  return position >= 0 && position < static_cast<int>(modules_.size()) ? modules_[position] : nullptr;
}

int CRegisteredCommands::Count() {
  CSectionLock hold(lock_);
  return static_cast<int>(modules_.size());
}

int CRegisteredCommands::Run(int id, int phase, LPWSTR name) {
  GenModule* module = At(id);
  if (!module) return 0;
  DWORD argument = static_cast<DWORD>(id);
  if (name) {
    name[0] = 0;
    if (module->CommandHook) module->CommandHook(GEN_CMD_GET_NAME, &argument, sizeof argument, name, GEN_CMD_NAME_CHARS);
    name[GEN_CMD_NAME_CHARS - 1] = 0;  // a hook that filled the buffer need not have ended it
    if (!name[0]) wsprintfW(name, u"Action %d", id);
    return 1;
  }
  if (!module->CommandHook) return 1;
  DWORD phaseWord = static_cast<DWORD>(phase);
  module->CommandHook(GEN_CMD_PHASE, &phaseWord, sizeof phaseWord, nullptr, 0);
  module->CommandHook(IsRelease(phaseWord) ? GEN_CMD_RELEASE : GEN_CMD_RUN, &argument, sizeof argument, nullptr, 0);
  return 1;
}

int CRegisteredCommands::Find(LPCWSTR libraryPath, LPCWSTR name) {
  if (!libraryPath || !name) return 0;
  const int last = GEN_CMD_FIRST_ID + Count() - 1;
  for (int id = GEN_CMD_FIRST_ID; id <= last; ++id) {
    WCHAR file[MAX_PATH];
    if (!NameOfModuleFile(At(id)->hDllInstance, file) || wcscmp(file, libraryPath) != 0) continue;
    WCHAR commandName[GEN_CMD_NAME_CHARS];
    Run(id, 0, commandName);
    if (wcscmp(commandName, name) == 0) return id;
  }
  return 0;
}

void CRegisteredCommands::GetInfo(int id, LPWSTR libraryPath, LPWSTR name) {
  GenModule* module = At(id);
  if (!module) return;
  if (libraryPath) GetModuleFileNameW(module->hDllInstance, libraryPath, MAX_PATH);
  if (name) Run(id, 0, name);
}

int CRegisteredCommands::RunByName(LPCWSTR name, int code) {
  if (!name) return 0;
  const int last = GEN_CMD_FIRST_ID + Count() - 1;
  for (int id = GEN_CMD_FIRST_ID; id <= last; ++id) {
    WCHAR commandName[GEN_CMD_NAME_CHARS];
    Run(id, 0, commandName);
    if (_wcsicmp(commandName, name) != 0) continue;
    for (int runCode : kRunByNameCodes) {
      if (code != runCode) continue;
      Run(id, kPressPhase, nullptr);
      Run(id, kReleasePhase, nullptr);
    }
    return 1;
  }
  return 0;
}
