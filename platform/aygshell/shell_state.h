// What the shell's calls share: the screen's parts (the navigation bar along the top, the menu
// bar along the bottom, the input panel above the menu bar), the input panel's state, and the
// shell's own windows (menu bars, the navigation bar) that the other calls look up.
#pragma once
#include <aygshell.h>

#include <string_view>
#include <utility>
#include <vector>

namespace zb::shell {

// The screen, the work area below the navigation bar, and the heights of the bars and the
// input panel, in device pixels.
RECT ScreenRect();
RECT WorkArea();
int MenuBarHeight();
int InputPanelHeight();

// The input panel: whether it is up; raising or lowering it tells the top-level windows
// WM_SETTINGCHANGE with SPI_SETSIPINFO.
bool InputPanelUp();
void SetInputPanel(bool up);
// Where the input panel sits, and the part of the work area it and the menu bar leave free.
RECT InputPanelRect();
RECT VisibleDesktop();

// The top-level window that holds `hwnd` (itself when it is one).
HWND TopLevelOf(HWND hwnd);

// The menu bars the process made, by their owners.
HWND MenuBarOf(HWND owner);
std::vector<HWND> MenuBars();

// Whether the window in front asked the navigation bar away (SHFullScreen).
bool HidesNavigationBar(HWND front);

// Tells the navigation bar that what it shows (the front window's title, its OK button, the
// tray) may have changed.
void RefreshNavigationBar();

// The tray: the icons Shell_NotifyIcon put there and the notifications, drawn on the navigation
// bar; where an icon is on the screen (empty when it is not shown).
RECT TrayIconRect(HWND owner, UINT id);
std::vector<std::pair<CLSID, DWORD>> NotificationsInTray();
HICON NotificationIcon(const CLSID& clsid, DWORD id);
void ShowNotification(const CLSID& clsid, DWORD id);

// A notification's bubble while it is shown, and where on the screen its link or button with
// `target`, or its soft key titled `target`, is (empty when it has none).
HWND BubbleWindow(const CLSID& clsid, DWORD id);
RECT BubbleTargetRect(HWND bubble, std::u16string_view target);

}  // namespace zb::shell
