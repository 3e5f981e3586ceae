// The window that shows the library's move: a captioned bar across the main window, above all
// others, whose progress bar follows MoveLibrary's reports.
#pragma once
#include <windows.h>

HWND CreateMovingLibraryWindow(HWND parent);
// MoveLibrary's progress function; `window` is the moving window (ignored once it is gone).
void ReportMoveProgress(int percent, void* window);
