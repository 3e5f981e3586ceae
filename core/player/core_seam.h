// Steps of the core whose bodies belong to work not built yet write one line to the debugger
// output when they are reached, so a run shows which of them it went through.
#pragma once
#include <windows.h>

void LogSeam(LPCWSTR step);
