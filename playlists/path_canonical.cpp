// Canonical paths and joining: playlist files name their entries relative to the playlist's
// folder with "." and "..", and the player stores them resolved.
#include <string>
#include <vector>

#include "path_helpers.h"

namespace {

// The root a path keeps through canonicalisation: "\\server\share", "X:\" or "X:", "\" or none.
size_t RootLength(const std::u16string& path) {
  if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') {
    size_t server = path.find(u'\\', 2);
    if (server == std::u16string::npos) return path.size();
    size_t share = path.find(u'\\', server + 1);
    return share == std::u16string::npos ? path.size() : share;
  }
  if (path.size() >= 2 && path[1] == u':') return path.size() >= 3 && path[2] == u'\\' ? 3 : 2;
  return !path.empty() && path[0] == u'\\' ? 1 : 0;
}

std::u16string Canonical(const std::u16string& path) {
  const size_t rootLength = RootLength(path);
  std::u16string root = path.substr(0, rootLength);
  std::u16string rest = path.substr(rootLength);
  const bool network = root.size() >= 2 && root[0] == u'\\' && root[1] == u'\\';
  const bool trailing = !rest.empty() && rest.back() == u'\\';
  if (network && !rest.empty() && rest[0] == u'\\') rest.erase(0, 1);

  std::vector<std::u16string> parts;
  size_t start = 0;
  while (start <= rest.size() && !rest.empty()) {
    size_t end = rest.find(u'\\', start);
    if (end == std::u16string::npos) end = rest.size();
    std::u16string part = rest.substr(start, end - start);
    if (part == u"..") {
      if (!parts.empty()) parts.pop_back();  // at the root a ".." has nowhere to go
    } else if (part != u"." && !part.empty()) {
      parts.push_back(part);
    }
    start = end + 1;
  }

  std::u16string result = root;
  for (size_t i = 0; i < parts.size(); ++i) {
    if ((i > 0 || network) && (result.empty() || result.back() != u'\\')) result += u'\\';
    result += parts[i];
  }
  if (trailing && (result.empty() || result.back() != u'\\')) result += u'\\';
  if (result.empty()) return u"\\";
  if (result.size() == 2 && result[1] == u':') result += u'\\';
  return result;
}

bool Empty(LPCWSTR text) { return !text || !*text; }

}  // namespace

BOOL CanonicalizePath(LPWSTR out, LPCWSTR path) {
  if (!out || !path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::u16string result;
  if (wcslen(path) < MAX_PATH) result = Canonical(path);
  if (result.empty() || result.size() >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return FALSE;
  }
  wcscpy(out, result.c_str());
  return TRUE;
}

LPWSTR CombinePath(LPWSTR out, LPCWSTR folder, LPCWSTR relative) {
  if (!out) return nullptr;
  if (!folder && !relative) return out;
  std::u16string joined;
  if (Empty(relative)) {
    joined = folder ? folder : u"";
  } else if (Empty(folder)) {
    joined = relative;
  } else if (!IsRelativePath(relative)) {
    joined = relative;
    if (relative[0] == u'\\' && relative[1] != u'\\') {
      // "\x" under "X:\folder" or "\\server\share\folder" stays on that drive or share.
      WCHAR root[MAX_PATH];
      if (wcslen(folder) < MAX_PATH) {
        wcscpy(root, folder);
        if (StripToRoot(root)) {
          joined = root;
          if (!joined.empty() && joined.back() == u'\\') joined.pop_back();
          joined += relative;
        }
      }
    }
  } else {
    joined = folder;
    if (joined.back() != u'\\') joined += u'\\';
    joined += relative;
  }
  if (joined.size() >= MAX_PATH) return nullptr;
  return CanonicalizePath(out, joined.c_str()) ? out : nullptr;
}
