// The skin elements' notifications turned into player commands: a fixed table from element
// name to command, scanned in runs per notification, and the popup menus some elements open.
#pragma once
#include <windows.h>

class CSkinElement;
class CSkinState;

// A notification 1225-1235 of `element` to the skin's window; every other message does nothing.
// Always 0.
int DispatchElementCommand(CSkinState* state, UINT message, WPARAM wParam, CSkinElement* element);
// Runs the click command of that element name on a temporary button (user-interface command 23).
void RunNamedClick(CSkinState* state, LPCWSTR name, DWORD argument);
