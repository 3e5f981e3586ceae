// The button block: what the key engine, the mapping and the lock share between key events.
// Everything runs on the thread that owns the main window (the hook is called there too), so
// the block needs no lock.
#pragma once
#include <windows.h>

#include <vector>

struct ButtonBlock {
  HWND captureWindow = nullptr;
  int lockState = 0;
  BOOL bubbleShown = FALSE;
  // The running mapping.
  HHOOK hook = nullptr;
  HWND hotKeyWindow = nullptr;
  BOOL mappingOn = FALSE;
  BOOL enabled = FALSE;
  DWORD modifiersInUse = 0;
  std::vector<int> hotKeyIds;           // registered on hotKeyWindow
  std::vector<DWORD> overriddenKeys;    // menu-bar keys to give back
  // The engine's memory (signed: the countdown of state 6 may go below 0).
  LONG engineState = 0;
  LONG stateKey = 0;
  LONG heldKey = 0;
  LONG modifierCount = 0;
};

ButtonBlock& ButtonState();
