// The shell's calls the skin's small windows make (aygshell, bound at run time by ordinal, as
// devices without the shell must still run): each does nothing and answers 0 without it.
#pragma once
#include <aygshell.h>

BOOL ShellInitDialog(SHINITDLGINFO* info);
BOOL ShellCreateMenuBar(SHMENUBARINFO* info);
BOOL ShellSipPreference(HWND window, SIPSTATE state);
DWORD ShellRecognizeGesture(SHRGINFO* info);
