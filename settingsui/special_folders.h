// The shell's special folders, with fixed fall-backs where the device's shell gives none, plus
// two ids of the program's own: the Windows folder and the program's folder.
#pragma once
#include <windows.h>

constexpr int kApplicationDataFolderId = 26;
constexpr int kWindowsFolderId = 256;
constexpr int kProgramFolderId = 257;

// Copies the folder's path, always ending in "\", into `out` (MAX_PATH characters). TRUE when
// the shell gave it (or for the program's own ids), FALSE when the fall-back path was used.
BOOL GetSpecialFolderPath(int id, WCHAR* out);
