// What a device path is made of: roots, network forms, components, the file name, and the
// small in-place edits (backslash, file spec, quotes) that the other path routines build on.
#include "path_helpers.h"

namespace {

bool IsDriveForm(LPCWSTR path) {
  return path[0] != 0 && path[1] == u':';
}

// Backslashes after the leading "\\" of a network path.
int NetworkBackslashes(LPCWSTR path) {
  int count = 0;
  for (LPCWSTR p = path + 2; *p; ++p) count += *p == u'\\';
  return count;
}

}  // namespace

BOOL IsNetworkPath(LPCWSTR path) {
  return path && path[0] == u'\\' && path[1] == u'\\';
}

BOOL IsNetworkServer(LPCWSTR path) {
  return IsNetworkPath(path) && NetworkBackslashes(path) == 1;
}

BOOL IsRelativePath(LPCWSTR path) {
  if (!path || !*path) return TRUE;
  return path[0] != u'\\' && !IsDriveForm(path);
}

BOOL IsRootPath(LPCWSTR path) {
  if (!path || !*path) return FALSE;
  if (path[0] == u'\\' && path[1] == 0) return TRUE;
  if (IsDriveForm(path)) return path[2] == u'\\' && path[3] == 0;
  // "\\", "\\server", "\\server\share"
  return IsNetworkPath(path) && NetworkBackslashes(path) <= 1;
}

LPCWSTR FindNextComponent(LPCWSTR path) {
  if (!path || !*path) return nullptr;
  LPCWSTR slash = wcschr(path, u'\\');
  if (!slash) return path + wcslen(path);
  return slash[1] == u'\\' ? slash + 2 : slash + 1;
}

LPCWSTR FindPathFileName(LPCWSTR path) {
  if (!path) return nullptr;
  LPCWSTR name = path;
  for (LPCWSTR p = path; *p; p = CharNextW(p)) {
    if ((*p == u'\\' || *p == u':') && p[1] != 0 && p[1] != u'\\') name = p + 1;
  }
  return name;
}

LPWSTR AddBackslash(LPWSTR path) {
  if (!path) return nullptr;
  size_t length = wcslen(path);
  if (length >= MAX_PATH) return nullptr;
  if (length > 0 && path[length - 1] == u'\\') return path + length;
  // The buffer holds MAX_PATH characters with the terminator: a 259-character path is full.
  if (length + 1 >= MAX_PATH) return nullptr;
  path[length] = u'\\';
  path[length + 1] = 0;
  return path + length + 1;
}

LPWSTR RemoveBackslash(LPWSTR path) {
  if (!path) return nullptr;
  size_t length = wcslen(path);
  if (length == 0) return path;
  if (path[length - 1] == u'\\' && !IsRootPath(path)) path[--length] = 0;
  return length == 0 ? path : CharPrevW(path, path + length);
}

BOOL RemoveFileSpec(LPWSTR path) {
  if (!path) return FALSE;
  LPWSTR slash = wcsrchr(path, u'\\');
  if (slash) {
    *slash = 0;
  } else {
    path[0] = 0;
  }
  return TRUE;
}

BOOL StripToRoot(LPWSTR path) {
  if (!path) return FALSE;
  if (!*path) return TRUE;
  while (!IsRootPath(path)) {
    LPWSTR slash = wcsrchr(path, u'\\');
    if (!slash) {
      path[0] = 0;
      return FALSE;
    }
    // Keep the backslash when it belongs to the root ("\", "X:\").
    slash[1] = 0;
    if (IsRootPath(path)) return TRUE;
    *slash = 0;
  }
  return TRUE;
}

void StripQuotes(LPWSTR path) {
  if (!path || path[0] != u'"') return;
  LPWSTR closing = wcschr(path + 1, u'"');
  size_t length = closing ? static_cast<size_t>(closing - (path + 1)) : wcslen(path + 1);
  for (size_t i = 0; i < length; ++i) path[i] = path[i + 1];
  path[length] = 0;
}

BOOL IsDirectory(LPCWSTR path) {
  if (!path) return FALSE;
  DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

LPCWSTR GetDisplayFileName(LPCWSTR path) {
  if (!path) return nullptr;
  LPCWSTR slash = wcsrchr(path, u'\\');
  if (!slash || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return path;
  return slash + 1;
}
