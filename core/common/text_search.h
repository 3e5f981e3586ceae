// Case-insensitive substring search over wide and narrow text, shared by the settings, the
// playlists, the tag readers and the network client (HTTP header fields are narrow).
#pragma once
#include <windows.h>

// The first place where `pattern` occurs in `text` ignoring case, or null; null or empty
// arguments, and a pattern longer than the text, give null.
const WCHAR* WStrFindNoCase(const WCHAR* text, const WCHAR* pattern);
const char* StrFindNoCase(const char* text, const char* pattern);
