// Running the button map (hot keys or the low-level keyboard hook, and the key engine behind
// them). That engine is built by the hardware-button issue; the table calls it through here.
#pragma once
#include <windows.h>

void StartButtonMapping(BOOL mapAll, BOOL enable);
void StopButtonMapping();
