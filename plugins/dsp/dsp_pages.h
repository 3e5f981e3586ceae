// The modules' configuration pages: each a dialog procedure over one of the library's dialog
// resources; a moved track bar stores its value at once, so the next block uses it.
#pragma once
#include <windows.h>

INT_PTR BoostPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR VariablePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR PitchPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR ChorusPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR SurroundPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR StereoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// What every page shares: a track bar's range and position, its position, and the WM_COMMAND
// handling (IDCANCEL hides, IDOK ends, 1003 moves the page to the screen's right edge).
void SetTrackBar(HWND page, int id, int low, int high, int position);
int TrackBarPosition(HWND page, int id);
INT_PTR PageCommand(HWND page, WPARAM wParam);
