// What the Local Content scan asks of the media library and the player through the host: the
// library hooks of the updater, and the check and refresh of one entry.
#pragma once
#include <windows.h>

class CPlaylist;

// The library marks the path's entry as still present.
void LibraryRefresh(LPCWSTR path);
// Playback leaves the path first; then the library marks the entry (or everything under the
// folder) missing.
void OnPathRemoved(BOOL folder, LPCWSTR path);
// The scan came to its end: unless Local Content is off, the library's unforced invalidation.
void LibraryInvalidateAll();
// Modes 1-5: the scan's batch begun and ended, temporary tags, a bulk transaction (see .cpp).
void SetLibraryState(int mode);
bool IsLibraryIdle();
bool IsFolderIgnored(LPCWSTR path);
bool IsLocalContentPlaying();
// Brings entry `index` of the list up to date in the library and settles it: a file the library
// holds as it is now stays; a new or changed file is read and stored; a file that cannot be read
// (or vanished) is given up for this run. True when the library was written.
bool ValidateLocalEntry(CPlaylist& playlist, int index);
