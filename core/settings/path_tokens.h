// Whole-component and whole-extension matching for the settings' path and extension lists, so
// that "\Music" never stands for "\Music2" and "m3u8" never for "m3u".
#pragma once
#include <windows.h>

#include <string_view>

// Whether `folder` (a path list token such as "\Storage Card\Music" or "Temp") names a folder of
// `path`: a token that begins with "\" must be the start of the path, any other token may stand
// anywhere, and both must end at a "\" of the path. Case is ignored.
bool PathHasFolder(std::u16string_view path, std::u16string_view folder);
// Whether `path` is `folder` itself or one of the folders above it.
bool PathIsFolderOrParent(std::u16string_view path, std::u16string_view folder);
// Whether `extension` is one of the ";"-separated entries of `list` (entries and extension may
// carry a leading "*" and "."; case is ignored).
bool ExtensionInList(std::u16string_view extension, std::u16string_view list);
// The extension without one leading "*" and then one leading ".".
std::u16string_view BareExtension(std::u16string_view extension);
