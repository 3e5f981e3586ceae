// The control message 1428 (WM_USER+404): wParam = MAKELONG(command, argument), lParam = the
// source. Every transport command of the player arrives here, from the skin, the hardware
// buttons, the tray menu, the Today item and the player itself.
#pragma once
#include <windows.h>

// Sources (lParam).
#define CONTROL_RESET 0
#define CONTROL_KEY_DOWN 1
#define CONTROL_KEY_UP 2
#define CONTROL_REMOTE 3
#define CONTROL_KEY_REPEAT 4
#define CONTROL_KEY_DOWN_QUIET 5  // key down without the display handling
#define CONTROL_KEY_UP_ALT 6      // treated as a key up
// A source of this or more is a caller's UTF-16 buffer for the string commands (bit 0x2000).
#define CONTROL_BUFFER_FIRST 0x10000
#define CONTROL_STRING_BIT 0x2000

// The handler of message 1428: runs the command under the window's control lock.
LRESULT DispatchControlMessage(HWND window, WPARAM wParam, LPARAM lParam);
// The command itself: the answer of a query, else 0.
LRESULT DispatchCommand(HWND window, WPARAM wParam, LPARAM lParam);

// A string command (8522-8537) from this process: `buffer` holds `chars` UTF-16 characters.
// Only buffers handed in this way are taken as buffers, so a number from another process, or
// from a caller that did not say how large its buffer is, is never written through.
LRESULT SendControlString(HWND window, WORD command, WORD argument, WCHAR* buffer, size_t chars);

// The parts of DispatchCommand, one per table.
LRESULT RunKeyDown(HWND window, int command, int source);
LRESULT RunKeyUp(HWND window, int command);
LRESULT RunRemoteCommand(HWND window, WPARAM wParam);
LRESULT RunStringCommand(HWND window, WPARAM wParam, WCHAR* buffer, size_t chars);
// Lights or releases the skin buttons bound to a command.
void FlashCommandButtons(HWND window, int command, BOOL down);
// Presses a skin element by name (the window's "OPEN" and "MENU" commands).
LRESULT RunNamedCommand(LPCWSTR name);
// Forgets the pending, hold and long-press states and the acceleration (program start).
void ResetDispatcherState();
