// The program's own path routines on device paths ("\" separators, "X:" drives, "\\server\share"
// network paths). The platform has no path library, so the playlist reader, writer and list
// windows resolve, relate and shorten paths with these. Buffers hold MAX_PATH characters.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Joins a folder and a path relative to it, canonicalised into `out`; null when it does not fit.
LPWSTR CombinePath(LPWSTR out, LPCWSTR folder, LPCWSTR relative);
// Appends "\" unless present; the new end, or null when the path cannot take one more character.
LPWSTR AddBackslash(LPWSTR path);
// Cuts components off until a root is left; FALSE when no root is left (a relative path).
BOOL StripToRoot(LPWSTR path);
// Drops one trailing "\" unless the path is a root; points at the last character left.
LPWSTR RemoveBackslash(LPWSTR path);
BOOL IsRelativePath(LPCWSTR path);
BOOL IsRootPath(LPCWSTR path);
BOOL IsNetworkPath(LPCWSTR path);
BOOL IsNetworkServer(LPCWSTR path);
// Resolves "." and ".." (never above the root); FALSE with ERROR_INVALID_PARAMETER for a null
// argument, ERROR_FILENAME_EXCED_RANGE for a path that does not fit a MAX_PATH buffer.
BOOL CanonicalizePath(LPWSTR out, LPCWSTR path);
LPCWSTR FindNextComponent(LPCWSTR path);
// Length of the leading components the two paths share, ignoring case; `out` (may be null)
// receives that part.
int CommonPrefixLength(LPCWSTR path1, LPCWSTR path2, LPWSTR out);
// The path from `from` to `to` ("..\C\x.mp3"); `fromAttributes` says whether `from` is a folder.
BOOL RelativePathTo(LPWSTR out, LPCWSTR from, DWORD fromAttributes, LPCWSTR to);
void StripQuotes(LPWSTR path);
// Shortens the path in place with "..." until it is at most `width` pixels wide in the device
// context (null = the screen's). TRUE when it fits.
BOOL CompactPathToWidth(HDC dc, LPWSTR path, UINT width);
// The same over any measure of text width.
using TextWidthMeasure = std::function<int(LPCWSTR text, int length)>;
BOOL CompactPathToMeasure(LPWSTR path, UINT width, const TextWidthMeasure& measure);
LPCWSTR FindPathFileName(LPCWSTR path);
BOOL IsDirectory(LPCWSTR path);
BOOL RemoveFileSpec(LPWSTR path);
LPCWSTR GetDisplayFileName(LPCWSTR path);
// Paths in folder order: A-Z fold to lower case, and a backslash sorts before any other
// character; negative, 0 or positive.
int ComparePathsNoCase(const std::u16string& a, const std::u16string& b);
