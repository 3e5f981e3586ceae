// The skin-file table: the extensions of skin packages and sectioned skin descriptions, used by
// the file associations, the skin choice and the settings' default skin path.
#pragma once
#include <windows.h>

constexpr int kSkinFileExtensionCount = 3;

// Copies the i-th extension (".zsz", ".wsz", ".skn") to `out`: non-zero, or 0 for another i.
int GetSkinFileExtension(int i, WCHAR* out);
// 1 for a skin package, 2 for a sectioned skin description, 0 for anything else (no case).
int GetSkinFileType(const WCHAR* path);
// "*" and the i-th extension; i = -1 gives every row joined by ";" ("*.zsz;*.wsz;*.skn"). The
// empty text and 0 for another i. `out` holds 32 characters.
int BuildSkinFileMask(int i, WCHAR* out);
