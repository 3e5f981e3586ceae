// The process-wide values of the program (see program_state.h).
#include "core/window/program_state.h"

ProgramState& Program() {
  static ProgramState state;
  return state;
}

void RecordPlayCommandTime() {
  GetSystemTime(&Program().lastPlayTime);
  Program().lastPlayTick = GetTickCount();
}

bool IsSwitch(LPCWSTR text, LPCWSTR word) {
  return text && wcslen(text) >= 5 && _wcsicmp(text, word) == 0;
}

bool StartedWith(LPCWSTR word) { return IsSwitch(Program().commandLine.c_str(), word); }
