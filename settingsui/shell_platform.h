// Which kind of device the program runs on, for the parts that behave differently on a
// Smartphone (no touch screen, a Back key, navigation-bar text instead of bubbles).
#pragma once
#include <windows.h>

// Non-zero on the Smartphone platform; the answer is kept after the first call.
BOOL IsSmartphonePlatform();
