// Where the skin puts the playlist and the two visualisation areas, and the colours they are
// drawn with: the skin's "PLEDIT.TXT" for the playlist rows, "VISCOLOR.TXT" for the visualisation.
#pragma once
#include <windows.h>

class CPlayerCore;

// The visualisation colours (red | green << 8 | blue << 16) when no skin gives its own.
constexpr int kVisColorCount = 24;
extern const DWORD kDefaultVisColors[kVisColorCount];

// "r, g, b" lines over `colors`, in order, at most kVisColorCount; other lines are skipped.
void ReadVisColors(LPCWSTR text, DWORD* colors);

// Colours of the current skin to the visualisation host and the main playlist; with
// `deleteTemporary` the skin's unpacked copy goes afterwards. Then the areas are laid out again.
void LoadPlaylistSkinColors(CPlayerCore* core, BOOL deleteTemporary);
// The small and large visualisation areas and the playlist list's place from the skin's
// "VISSMALL", "VISLARGE" and "PLAYLISTLIST", moved by the skin's playlist origin.
void LayoutPlaylistAndVis(CPlayerCore* core);
// The playlist list window's messages: a setting change reloads the colours, the rest go to the
// skin.
LRESULT PlaylistWindowHook(CPlayerCore* core, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
