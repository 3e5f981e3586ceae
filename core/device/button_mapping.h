// Running the button map (hot keys or the low-level keyboard hook, and the key engine behind
// them). The button table starts and stops the mapping only through these two calls.
#pragma once
#include <windows.h>

void StartButtonMapping(BOOL mapAll, BOOL enable);
void StopButtonMapping();
// Whether the key engine is installed as the keyboard hook now.
BOOL IsButtonHookInstalled();
