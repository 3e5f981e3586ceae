// The process-wide values the program's entry sets and the main window, the dispatcher and the
// skin read: the instance, the command line it started with, the platform events it holds, the
// time of the last play command and the main window.
#pragma once
#include <windows.h>

#include <string>

struct ProgramState {
  HINSTANCE instance = nullptr;
  // The command line as the program got it; cleared when it named a skin file.
  std::u16string commandLine;
  HANDLE instanceEvent = nullptr;
  HANDLE inputEvent = INVALID_HANDLE_VALUE;
  HANDLE activityEvent = INVALID_HANDLE_VALUE;
  SYSTEMTIME lastPlayTime = {};
  DWORD lastPlayTick = 0;
  BOOL arrowPairing = FALSE;
  int dpiX = 0;
  int dpiY = 0;
  HWND mainWindow = nullptr;
};

ProgramState& Program();

// Notes now as the time of the last play command.
void RecordPlayCommandTime();

// Whether `text` is exactly `word` without regard to case ("/WAKEUP", "/SILENT"); texts of fewer
// than 5 characters never match.
bool IsSwitch(LPCWSTR text, LPCWSTR word);
// Whether the program was started with that switch as its whole command line.
bool StartedWith(LPCWSTR word);
