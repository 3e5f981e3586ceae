// Keeping the player a single instance: a second start finds the running copy's main window,
// waits until that copy can take its command line, hands it over and ends.
#pragma once
#include <windows.h>

enum class InstanceWait {
  kLookForWindow,  // go on, looking for a running window first
  kNoWindow,       // the other copy is gone: start as the first copy without looking again
  kGiveUp,         // the wait ran out: end silently
};

// The wait of a second copy, while another copy holds the instance event.
InstanceWait WaitForRunningCopy(HANDLE instanceEvent);
// Sends the command line to the running copy's window and brings it forward unless the line is
// "/WAKEUP" or "/SILENT".
void HandOverCommandLine(HWND window, LPCWSTR commandLine);
