// The player's "add to favourites": what it knows of the entry (the playing decoder's title and
// length, a station name from the library) goes with the path into the favourites file.
#pragma once
#include <windows.h>

class CPlayerCore;

// `path` null: the core's current path. Nothing for an empty path; FALSE then, or when the
// favourites file could not be written.
BOOL AddToFavorites(CPlayerCore* core, LPCWSTR path);
