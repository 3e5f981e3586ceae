// The handler that the settings bind to every button slot: a button event becomes a command of
// the player, posted to the main window.
#pragma once
#include <windows.h>

// `code` packs the command (low 16 bits) and the source, press or release (high 16 bits).
void ButtonCommandCallback(int index, DWORD code, void* argument);
