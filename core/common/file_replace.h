// Replacing a file's whole contents without ever leaving it half written: the program's lists
// (bookmarks, equaliser presets, text files) go through here when they save.
#pragma once
#include <windows.h>

// Writes `size` bytes as the new contents of `path`. They go to a temporary file beside it first,
// which is then renamed into place; on any failure the earlier contents stay as they were, the
// temporary file is removed and the result is FALSE (with the platform's error code).
BOOL ReplaceFileContents(const WCHAR* path, const void* data, DWORD size);
