// Entry points of the Local Content scan that the playlist calls. Their bodies belong to the
// scan; until it is built they stand in playlist_neighbours.cpp, logging that they were reached.
#pragma once
#include <windows.h>

#include "playlist_core.h"

// Destroys the playlist-files list and the Local Content list with their updater windows.
void DestroyLocalContentLists();
// TRUE when the file exists and the library's entry for it has its size and write time.
BOOL IsLibraryEntryCurrent(IPlaylistCore* core, LPCWSTR path);
