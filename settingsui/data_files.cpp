// Data-file lookup. The device's project-file enumeration lists "My Documents" and the storage
// cards; the same places are searched here with the file functions, so the lookup works on
// every device and on this host alike.
#include "settingsui/data_files.h"

#include <string>
#include <vector>

#include "settingsui/special_folders.h"

namespace {

constexpr size_t kMaxNames = 279;

struct FoundTable {
  DataFilePath paths[kMaxDataFiles + 1];
  int count;
};

FoundTable g_found;

bool Full() { return g_found.count >= kMaxDataFiles; }

void Add(const std::u16string& path) {
  if (Full() || path.size() >= MAX_PATH) return;
  wcscpy(g_found.paths[g_found.count++], path.c_str());
}

// Adds every file (not folder) that the pattern finds; with firstOnly only the first.
bool FindInFolder(const std::u16string& pattern, bool firstOnly) {
  const size_t slash = pattern.rfind(u'\\');
  const std::u16string folder = slash == std::u16string::npos ? u"\\" : pattern.substr(0, slash + 1);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    Add(folder + data.cFileName);
    found = true;
  } while (!(firstOnly && found) && !Full() && FindNextFileW(find, &data));
  FindClose(find);
  return found;
}

// The folders the device's project enumeration covers: "\My Documents" and each storage card
// (a root folder marked temporary), and in the second mode their first-level folders too.
std::vector<std::u16string> ProjectFolders(bool secondMode) {
  std::vector<std::u16string> tops = {u"\\My Documents\\"};
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(u"\\*", &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const DWORD card = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
      if ((data.dwFileAttributes & card) == card) tops.push_back(u"\\" + std::u16string(data.cFileName) + u"\\");
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  if (!secondMode) return tops;
  std::vector<std::u16string> all;
  for (const std::u16string& top : tops) {
    all.push_back(top);
    HANDLE sub = FindFirstFileW((top + u"*").c_str(), &data);
    if (sub == INVALID_HANDLE_VALUE) continue;
    do {
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) all.push_back(top + data.cFileName + u"\\");
    } while (FindNextFileW(sub, &data));
    FindClose(sub);
  }
  return all;
}

}  // namespace

const DataFilePath* FindDataFiles(const WCHAR* names, BOOL firstOnly, BOOL alsoWindows, BOOL secondMode) {
  g_found.count = 0;
  g_found.paths[0][0] = 0;
  if (!names || wcslen(names) > kMaxNames) return g_found.paths;
  WCHAR program[MAX_PATH];
  GetSpecialFolderPath(kProgramFolderId, program);
  std::u16string list(names);
  for (size_t start = 0; start <= list.size() && !Full();) {
    size_t end = list.find(u';', start);
    if (end == std::u16string::npos) end = list.size();
    const std::u16string name = list.substr(start, end - start);
    start = end + 1;
    if (name.empty()) continue;
    const bool first = firstOnly != FALSE;
    bool found = FindInFolder(program + name, first);
    if (!(first && found)) {
      for (const std::u16string& folder : ProjectFolders(secondMode != FALSE)) {
        if (first && found) break;
        found = FindInFolder(folder + name, first) || found;
      }
    }
    if (alsoWindows && !(first && found)) found = FindInFolder(u"\\Windows\\" + name, first) || found;
    if (first && found) break;
  }
  g_found.paths[g_found.count][0] = 0;
  return g_found.paths;
}

const WCHAR* FindDataFile(const WCHAR* names, BOOL alsoWindows, BOOL secondMode) {
  return FindDataFiles(names, TRUE, alsoWindows, secondMode)[0];
}

void FindDataFileWithSuffix(WCHAR* out, const WCHAR* name, const WCHAR* suffix, BOOL alsoWindows, BOOL secondMode) {
  out[0] = 0;
  if (!name || !*name) return;
  std::u16string wanted = std::u16string(name) + (suffix ? suffix : u"");
  const WCHAR* found = FindDataFile(wanted.c_str(), alsoWindows, secondMode);
  wcscpy(out, found);
}
