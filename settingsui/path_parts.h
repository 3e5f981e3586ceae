// Small path-part helpers the playlist window shows names with.
#pragma once
#include <windows.h>

// The text after the last "\" or "/", whichever comes later; the whole path when it has neither.
void GetFileNamePart(WCHAR* out, const WCHAR* path);
// Copies path to out (unless they are the same buffer) and ends it at its last "."; returns the
// position of that "." in out, or null when there is none.
WCHAR* StripExtension(WCHAR* out, const WCHAR* path);
