// Finding the program's data files (skins, presets) by name: in the program's folder, in the
// device's memory and on storage cards, and in the Windows folder.
#pragma once
#include <windows.h>

constexpr int kMaxDataFiles = 100;
typedef WCHAR DataFilePath[MAX_PATH];

// Searches each of the names (separated by ";", at most 279 characters in all; wildcards
// allowed) in the program's folder, then in "\My Documents" and on the storage cards (with their
// first-level folders in the second enumeration mode), then, when asked, in "\Windows". With
// `firstOnly` the search ends at the first path found. Returns the program's one table of found
// paths, ended by an empty entry; it stays valid until the next search.
const DataFilePath* FindDataFiles(const WCHAR* names, BOOL firstOnly, BOOL alsoWindows, BOOL secondMode);

// The first path found, or an empty text.
const WCHAR* FindDataFile(const WCHAR* names, BOOL alsoWindows, BOOL secondMode);

// `name` + `suffix` looked up with FindDataFile and copied to `out` (MAX_PATH characters); an
// empty name gives an empty result.
void FindDataFileWithSuffix(WCHAR* out, const WCHAR* name, const WCHAR* suffix, BOOL alsoWindows, BOOL secondMode);
