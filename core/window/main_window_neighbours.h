// What the main window and the command dispatcher call in work that is built elsewhere, later:
// the skin, the notification bubble, the display and backlight control, the hardware buttons'
// hold mode, the playlist view and the open dialog. Each entry that has no body to call yet logs
// that it was reached and answers as if nothing had happened.
#pragma once
#include <windows.h>

#include <string>

#include "core/device/display_control.h"

// The skin (skin_apply.cpp). Applying the default skin shows it: the skin then tells the main
// window (message 1330) with the command line still to open. Applying the chosen skin reloads it
// when the file or the colour settings changed: TRUE when a new skin was applied.
BOOL ApplyDefaultSkin(HWND window, LPCWSTR commandLine);
BOOL ApplyChosenSkin();
// Deletes the applied skin file when it is a temporary copy (the built-in skin), once the main
// window has finished the change.
void DeleteTemporarySkin();
LPCWSTR AppliedSkinPath();
// A skin made for the screen size, written to `out` (260 characters); FALSE when none.
BOOL FindSkinForScreen(WCHAR* out, int width, int height);
// Stores a skin file as the chosen skin (save flag 1).
void StoreChosenSkin(LPCWSTR path);

// The notification bubble (modes 0, 1, 0x20, 0x40, 0x82, 0x90).
void ShowNotificationBubble(int mode);

// The display control (display_control.h: start, end, the wake-up), the main window's display
// check (timer 3) and switching off now.
void CheckDisplayState();
void SwitchDisplayOffNow();

// The hardware buttons: presets at start-up, hold mode, mapping while the window is active.
void InitButtonPresets();
BOOL IsHoldModeOn();
void EnterHoldMode();
void LeaveHoldMode();
void MapHardwareButtons();
void UnmapHardwareButtons();
// The key handler of WM_KEYDOWN, WM_KEYUP and WM_HOTKEY; its answer is the message's result.
LRESULT HandleHardwareKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The name of the button action bound to a command number (empty: none), and running it.
std::u16string ButtonActionName(int command);
int RunButtonAction(int command, int source);

// The playlist view and its dialog.
void PlaylistViewCommand(int command);
void TogglePlaylistDialog(HWND window);

// The open-file dialog: the path chosen, empty when cancelled.
std::u16string ShowOpenFileDialog(HWND window);
