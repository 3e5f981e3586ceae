// The favourites: a playlist file beside the program ("Favorites.dat", PLS in UTF-8) to which the
// user adds the current file or stream. A main playlist showing that file is read again after an
// addition, so it shows the new entry without losing its place.
#pragma once
#include <windows.h>

#include <string>

class CPlaylist;

// The program's folder + "\Favorites.dat".
std::u16string GetFavoritesPath();

// Appends the entry (an empty title: none; length in ms, -2 unknown) to the favourites file.
// When `shown` is bound to that file it is read again with its current index kept. FALSE for an
// empty path, or when the file could not be read or written; it is then left as it was.
BOOL AppendToFavorites(LPCWSTR path, LPCWSTR title, int length, CPlaylist* shown);
