// Which paths lead to a network share, and whether that share is there. The device's
// redirector lists its connected shares as folders, so a share counts as connected when its
// root folder answers.
#include <string>

#include "file_source.h"

namespace {

constexpr WCHAR kNetworkFolder[] = u"\\Network\\";

// "\\server\share" or "\Network\share": the path up to the end of its share name.
std::u16string ShareRoot(LPCWSTR path, size_t skip, int names) {
  const WCHAR* end = path + skip;
  for (int i = 0; i < names && *end; ++i) {
    const WCHAR* next = wcschr(end, u'\\');
    end = next ? next + (i + 1 < names ? 1 : 0) : end + wcslen(end);
  }
  return std::u16string(path, static_cast<size_t>(end - path));
}

}  // namespace

BOOL IsNetworkPath(LPCWSTR path, BOOL* unreachable) {
  if (unreachable) *unreachable = FALSE;
  if (!path) return FALSE;
  const bool unc = path[0] == u'\\' && path[1] == u'\\';
  const bool network = unc || _wcsnicmp(path, kNetworkFolder, 9) == 0;
  if (!network) return FALSE;
  if (unreachable) {
    const std::u16string root = unc ? ShareRoot(path, 2, 2) : ShareRoot(path, 9, 1);
    *unreachable = GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES;
  }
  return TRUE;
}
