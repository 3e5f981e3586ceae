// Commands ("actions") that general-purpose plug-ins register with the player, to be bound to
// hardware buttons or run from menus. A command's id is 33 + its position; the module's command
// hook names it and runs it. Ids 1..32 are the player's own button actions.
#pragma once
#include <windows.h>

#include <vector>

#include "core/common/critical_section.h"
#include "core/interface/gen_module.h"

class CRegisteredCommands {
 public:
  // Appends the module; its new command id.
  int Register(GenModule* module);
  // With `name` (GEN_CMD_NAME_CHARS characters): the command's name, "Action <id>" when the
  // hook gives none. Without: announces the phase, then runs the command, or reports its
  // button's release when the phase (as the hook left it) is 2 or 6. 0 for an unknown id, else 1.
  int Run(int id, int phase, LPWSTR name);
  // The first id whose library file and name both equal the given ones, case and all; 0 if none.
  int Find(LPCWSTR libraryPath, LPCWSTR name);
  // For a registered id, its library's file (MAX_PATH characters) and its name; nothing else.
  void GetInfo(int id, LPWSTR libraryPath, LPWSTR name);
  // Finds the first command of that name, ignoring case; the skin's codes 1225, 1228 and 1235
  // also press and release it. 1 when found.
  int RunByName(LPCWSTR name, int code);

 private:
  GenModule* At(int id);
  int Count();

  CCriticalSection lock_;
  std::vector<GenModule*> modules_;
};
