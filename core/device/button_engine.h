// The key engine: judges each key event of the mapped hardware buttons (from the low-level
// keyboard hook, or from key messages and hot keys through OnButtonKey), holds back arrows
// until it knows whether a modifier key qualifies them, replays what it held back, and runs
// the handler bound to the button.
#pragma once
#include <windows.h>

// The hook procedure: -1 when the event was consumed, 0 when it goes on to the system.
// `message` is WM_KEYDOWN or WM_KEYUP; `record` a KBDLLHOOKSTRUCT.
LRESULT CALLBACK ButtonEngine(int code, WPARAM message, LPARAM record);
// WM_KEYDOWN, WM_KEYUP and WM_HOTKEY: 1 when the engine consumed the key.
LRESULT OnButtonKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// 1 when a key bound to the action is down now; with `reset`, forgets an engine state that
// belongs to that kind of key.
int IsActionHeld(int action, BOOL reset);
// The coredll function AllKeys where the device has it; 0 when missing.
BOOL SetAllKeys(BOOL on);
// The capture window (the settings' key-capture dialog) that learns the next key; null: none.
void SetCaptureWindow(HWND window);
HWND GetCaptureWindow();
// Back to the idle engine with no lock and no capture (tests).
void ResetButtonEngine();
