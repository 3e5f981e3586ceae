// Display dimming and the keypad light: the player switches the display off after an idle time
// while music plays and on again at the next tap or key, and dims the keypad light. The display
// is driven through five functions that SelectDisplayControl installs (the display driver's
// power escapes here).
#pragma once
#include <windows.h>

void DetectPlatform();
void SelectDisplayControl();
void StartDisplayControl(HWND window);
void EndDisplayControl();
// 1 when it switched the display on (the tap or key is then swallowed); `justMark` only notes
// user activity.
BOOL WakeDisplay(BOOL justMark);
void SyncDisplayState();
BOOL IsDisplayOff();
BOOL DidSwitchOnFail();
void DimCheck(BOOL force, BOOL display, BOOL keypad);
inline void ForceDisplayOff() { DimCheck(TRUE, TRUE, TRUE); }
inline void IdleDimCheck() { DimCheck(FALSE, TRUE, FALSE); }
inline void KeypadDimCheck() { DimCheck(FALSE, FALSE, TRUE); }
HRESULT SetKeypadLight(BOOL on);
HRESULT IsKeypadLightOn(BOOL* on);

// The system's backlight and display timeouts: 1 when they were changed or restored.
BOOL SetBacklightTimeouts(BOOL keepOn);
// Puts back the timeouts a run that ended without restoring them left under "ZBOld...":
// 1 when something was put back.
BOOL RestoreLeftBacklightTimeouts();

// Forgets everything (tests; DetectPlatform does the same at start).
void ResetDisplayControl();
// Whether the long timeouts of a playing video are in force.
BOOL IsBacklightHeld();
