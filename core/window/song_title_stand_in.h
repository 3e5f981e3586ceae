// The skin's song title while no skin is built: the part of its title command that the main
// window depends on. A title that differs from the one shown goes to the main window as message
// 1334, which keeps it for outside clients and raises "Zonbrel/Stream/Title".
#pragma once
#include <windows.h>

// The skin's user-interface command 6: `text` is the new title, or null to show the kept one.
void ShowSongTitle(LPCWSTR text);
