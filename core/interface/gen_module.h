// The general-purpose module record that a "\gen_*.dll" library hands out: init, quit, dialogs
// and a command hook through which the player sends events and runs registered commands.
#pragma once
#include <windows.h>

#include "core/interface/player_callback.h"
#include "core/interface/record_layout.h"

#define GEN_MODULE_VERSION_1 1
#define GEN_MODULE_VERSION_2 2  // gets the player callback and the player events

// The command hook's protocol: (code, argument, argument size, out, out size) -> int.
typedef ModuleEventFn GenCommandHook;

struct GenModule {
  int version;                   // 0: 1 or 2
  const WCHAR* description;      // 1
  HWND hwndParent;               // 2  host, at registration
  HINSTANCE hDllInstance;        // 3  host, at registration
  void (*Config)(HWND parent);   // 4
  void (*About)(HWND parent);    // 5
  void (*Init)();                // 6
  void (*Quit)();                // 7
  DWORD reserved[2];             // 8, 9: 0
  GenCommandHook CommandHook;    // 10  player events (version 2) and GEN_CMD_* codes
  PlayerCallbackFn hostCallback; // 11  host, version 2 only
};

#define ZB_F(field) ZB_RECORD_FIELD(GenModule, field)
static_assert(zb::IsExactLayout({ZB_F(version), ZB_F(description), ZB_F(hwndParent), ZB_F(hDllInstance),
                                 ZB_F(Config), ZB_F(About), ZB_F(Init), ZB_F(Quit), ZB_F(reserved),
                                 ZB_F(CommandHook), ZB_F(hostCallback)},
                                sizeof(GenModule), alignof(GenModule)),
              "GenModule words are out of their documented order");
#undef ZB_F

// Export of a "\gen_*.dll": records by index 0, 1, 2 ... until null.
typedef GenModule* (*ZonbrelGetGenModuleFn)(HMODULE module, int index);
extern "C" GenModule* ZonbrelGetGenModule(HMODULE module, int index);
