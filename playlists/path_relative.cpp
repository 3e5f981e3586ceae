// Paths relative to one another: a playlist written beside its media names them as "..\x.mp3"
// so that the pair can move together between a device and a storage card.
#include <algorithm>
#include <string>

#include "path_helpers.h"

int CommonPrefixLength(LPCWSTR path1, LPCWSTR path2, LPWSTR out) {
  if (out) out[0] = 0;
  if (!path1 || !path2) return 0;
  const bool network = IsNetworkPath(path1);
  if (network != static_cast<bool>(IsNetworkPath(path2))) return 0;

  // The common part ends where both paths have a backslash, or both end, after equal text.
  int i = 0;
  int boundary = 0;
  while (path1[i] && path2[i] && towupper(path1[i]) == towupper(path2[i])) {
    if (path1[i] == u'\\') boundary = i;
    ++i;
  }
  if ((path1[i] == 0 || path1[i] == u'\\') && (path2[i] == 0 || path2[i] == u'\\')) boundary = i;

  std::u16string common(path1, static_cast<size_t>(boundary));
  if (network) {
    if (boundary <= 2) return 0;  // "\\" alone names no server
  } else if (boundary == 2 && path1[1] == u':') {
    common = std::u16string(path1, 2) + u'\\';  // the drive's root
  } else if (boundary == 0 && path1[0] == u'\\' && path2[0] == u'\\') {
    common = u"\\";  // both hang from the device's root
  }
  if (out) lstrcpynW(out, common.c_str(), MAX_PATH);
  return static_cast<int>(common.size());
}

BOOL RelativePathTo(LPWSTR out, LPCWSTR from, DWORD fromAttributes, LPCWSTR to) {
  if (out) out[0] = 0;
  if (!out || !from || !to || wcslen(from) >= MAX_PATH || wcslen(to) >= MAX_PATH) return FALSE;
  WCHAR fromFolder[MAX_PATH];
  WCHAR toFolder[MAX_PATH];
  wcscpy(fromFolder, from);
  wcscpy(toFolder, to);
  if (!(fromAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    RemoveFileSpec(fromFolder);
    RemoveFileSpec(toFolder);
  }
  size_t common = static_cast<size_t>(CommonPrefixLength(fromFolder, toFolder, nullptr));
  if (common == 0) return FALSE;

  // One ".." for every folder of `from` below the common part.
  std::u16string result;
  bool inName = false;
  for (LPCWSTR p = fromFolder + std::min(common, wcslen(fromFolder)); *p; ++p) {
    if (*p != u'\\' && !inName) result += result.empty() ? u".." : u"\\..";
    inName = *p != u'\\';
  }
  if (result.empty()) result = u".";
  std::u16string rest = to + std::min(common, wcslen(to));
  if (!rest.empty()) {
    if (rest[0] != u'\\') result += u'\\';
    result += rest;
  }
  if (result.size() >= MAX_PATH) return FALSE;
  wcscpy(out, result.c_str());
  return TRUE;
}
