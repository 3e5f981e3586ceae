// How the main window sits on the screen: the shell's notification bubble with the transport
// links, the menu bar, the taskbar and input-panel button (full screen or not), minimising and
// restoring, all through one call whose mode is a set of bits.
#pragma once
#include <windows.h>

#include <string>

// Modes: 0 create the bubble, 1 menu bar and taskbar as the settings want, 2 show the taskbar,
// 4 hide it, 0x10 minimise, 0x20 restore, 0x40 remove the bubble, 0x80 leave "taskbar" and the
// window's showing alone, 0x100 hide the menu bar with the taskbar, 0x1000 restore the owned
// window at the next activation.
void ShowNotificationBubble(HWND window, int mode);
void ShowInputPanel(BOOL show);
// The transport row of the bubble (the links zb-11 to zb-15).
std::u16string BubbleTransportRow();
BOOL IsWindowMinimised();
HWND ChromeMenuBar();
// Forgets the menu bar and the minimised flag (tests).
void ResetWindowChrome();

constexpr CLSID kPlayerBubbleClsid = {0x4A12308B, 0x1064, 0x4A40, {0xAF, 0xA2, 0xCD, 0x03, 0x51, 0xD5, 0xDE, 0x04}};
