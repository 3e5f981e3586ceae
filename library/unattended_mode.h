// The player core's command hook that keeps the device in unattended mode while music plays, so
// it goes on playing with the screen off; registered at start-up when the settings ask for it.
#pragma once
#include <windows.h>

class CSettings;

// A command hook (the core's ModuleEventFn): takes the transport codes 3 stop, 4 play, 5 pause
// and 6 unpause, and answers queries (code | 0x8000). Never claims a transport code itself.
int UnattendedModeHook(UINT code, void* in, UINT inSize, void* out, UINT outSize);

// Whether the hook is wanted: the bit with value 2 of "buttonFlags".
bool WantsUnattendedModeHook(const CSettings& settings);

// Whether the hook holds the device in unattended mode now.
bool InUnattendedMode();
