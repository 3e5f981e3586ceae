// The player's one top-level window (class "Zonbrel"): its class, its creation, and the window
// procedure through which decoder threads, the skin and other processes reach the player.
#pragma once
#include <windows.h>

#include <string>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The class atom, 0 on failure.
ATOM RegisterMainWindowClass(HINSTANCE instance);
// 1 when the main window exists (hidden, with the default skin applied), else 0.
BOOL CreateMainWindow(HINSTANCE instance, int show);

// Parts of the window procedure, one file each.
LRESULT OnCopyData(HWND window, HWND sender, const COPYDATASTRUCT* data);
LRESULT OnOpenPath(HWND window, BOOL enqueue, std::u16string text);
LRESULT OnSkinShown(HWND window, WPARAM temporary, LPARAM commandLine);
LRESULT OnNewTitle(HWND window, LPARAM title);
LRESULT OnMainTimer(HWND window, UINT_PTR id);
LRESULT OnStarted(HWND window);

// Sends message 1329 with a text of this process.
LRESULT SendOpenPath(HWND window, BOOL enqueue, const std::u16string& path);
// Kills the sleep timer, forgets the saved volume and arms it again when sleeping is enabled.
void RestartSleepTimer(HWND window);
// The position and length words of the window from the command target.
void UpdatePositionWords(HWND window);
