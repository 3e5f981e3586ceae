// Where the library lives on the device's storage and what the player core's start-up does to
// open it: old files removed, SQLite's memory limit, the settings the library takes, and the
// question when the library's folder is missing.
#pragma once
#include <windows.h>

#include <string>

#include "medialibrary.h"

class CMediaLibrary;
class CSettings;

constexpr int kLibraryDataVersion = 7;

// "\metadata.db" in the folder "metadataLocation" names (its trailing "\" dropped), or in the
// program's folder when that is empty.
std::u16string GetLibraryDatabasePath(const CSettings& settings);
// "\metadata2.dat" in the library folder when it is set and exists, else the program's folder.
std::u16string GetLibraryCachePath(const CSettings& settings);
// "\infocache.dat" in the program's folder.
std::u16string GetInfoCachePath();

// SQLite's soft heap limit for this much free physical memory.
DWORD LibraryMemoryLimit(DWORD availablePhysical);

// The library's steps of the player core's start-up. `listener` (may be null) is registered
// for the tag, suspend and close events. The folder question is asked over `owner`; a Yes
// empties "metadataLocation" in `settings`. S_OK when the database opened.
HRESULT OpenLibrary(CMediaLibrary* library, CSettings* settings, HWND owner, LibraryEventListener listener,
                    DWORD_PTR context);
