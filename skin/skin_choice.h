// Choosing the skin file for the screen: among the skin files a search found, the variant of the
// stored skin (or of any skin) whose size is the screen's, else one of the screen's aspect.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// `storedSkin` is the skin stored for this screen size, or null when any skin will do. `found`
// are the skin files of the search, in the order found. 1 with the file in `out` (260
// characters) when one suits and differs (no case) from `lastApplied`; 0 otherwise.
int FindSkinVariantForScreen(LPCWSTR storedSkin, int width, int height, const std::vector<std::u16string>& found,
                             LPCWSTR lastApplied, WCHAR* out);

// The image that previews a skin file: for a package the first of "preview.jpg", "preview.gif",
// "preview.png" and "main.bmp" that can be extracted (a temporary copy the caller deletes). 0 with
// an empty path for anything else.
int LoadSkinPreview(LPCWSTR skinFile, WCHAR* imagePath, BOOL* isTemporary);
