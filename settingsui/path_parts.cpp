// Path-part helpers. Both separators count, since playlists carry URLs and device paths alike.
#include "settingsui/path_parts.h"

#include <cstring>

void GetFileNamePart(WCHAR* out, const WCHAR* path) {
  const WCHAR* back = wcsrchr(path, u'\\');
  const WCHAR* forward = wcsrchr(path, u'/');
  const WCHAR* last = back > forward ? back : forward;
  const WCHAR* name = last ? last + 1 : path;
  std::memmove(out, name, (wcslen(name) + 1) * sizeof(WCHAR));
}

WCHAR* StripExtension(WCHAR* out, const WCHAR* path) {
  if (out != path) std::memmove(out, path, (wcslen(path) + 1) * sizeof(WCHAR));
  WCHAR* dot = wcsrchr(out, u'.');
  if (dot) *dot = 0;
  return dot;
}
