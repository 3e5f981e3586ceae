// Entry points of the Local Content scan (library/local_content_lists.cpp) that the playlist
// calls.
#pragma once
#include <windows.h>

#include "playlist_core.h"

// Destroys the playlist-files list and the Local Content list with their updater windows.
void DestroyLocalContentLists();
// TRUE when the file exists and the library's entry for it has its size and write time.
BOOL IsLibraryEntryCurrent(IPlaylistCore* core, LPCWSTR path);
