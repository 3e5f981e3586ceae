// The state of the player's main window, kept for the process (one main window): the back
// buffer, the activation and sleep flags, the stream path and title other processes ask for,
// and the critical section that serialises the control message.
#pragma once
#include <windows.h>

#include <string>

#include "core/window/main_window_protocol.h"

struct MainWindowState {
  HBITMAP backBuffer = nullptr;
  BOOL active = FALSE;
  BOOL pausedByBackground = FALSE;
  BOOL skinLoading = FALSE;
  BOOL repaintAll = FALSE;
  BOOL visRestoreMark = TRUE;
  int savedVolume = -1;  // the volume before the sleep timer began to fade
  BOOL powerOffPending = FALSE;
  int callLogMark = -1;
  WCHAR streamPath[STREAM_PATH_CHARS] = {};
  WCHAR title[TITLE_CHARS] = {};
  std::u16string lastOpenedPath;
  BOOL visFullscreen = FALSE;
  WPARAM lastVisWParam = 0;
  BOOL restoreOwnedWindow = FALSE;
  WPARAM boostValue = 0;
  LPARAM boostArgument = 0;
  LONG painted = 0;
  CRITICAL_SECTION controlLock = {};
  BOOL controlLockMade = FALSE;
};

MainWindowState& MainWindow();

// The stream path: a text of at most 1039 characters is stored, a longer one (or none) clears it.
void SetStreamPath(const WCHAR* text, size_t maxChars);
