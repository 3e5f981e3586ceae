// The popup menus of the skinned main window: the main menu with its submenus and commands, the
// resume and seek menus, the equaliser menus and the custom menus that plug-ins fill.
#pragma once
#include <windows.h>

class CSkinElement;
class CSkinState;

void ShowMainMenu(CSkinState* state, CSkinElement* anchor);
void ShowSeekMenu(CSkinState* state, CSkinElement* anchor);
void ShowEqPresetMenu(CSkinState* state, CSkinElement* anchor);
void ShowEqMenu(CSkinState* state, CSkinElement* anchor);
void ShowCustomMenu(CSkinState* state, CSkinElement* anchor, int number);
// Where a menu opens at an element, and the alignment flags that turn it towards the screen's centre.
UINT MenuPlacement(CSkinState* state, CSkinElement* anchor, POINT* at);
// The main menu's commands by id (the menu's own, the bookmarks' and the equaliser's).
void RunMainMenuCommand(CSkinState* state, int id);
