// Filling a playlist from the file system: a path that names a playlist file is read as one, a
// folder adds the media files found in it (and its subfolders), sorted by path as they are added.
#include <string>

#include "playlist.h"

namespace {

// Endings read as playlist files, with the shortest path each applies to.
constexpr struct {
  const char16_t* ending;
  size_t longerThan;
} kPlaylistEndings[] = {
    {u".PLS", 5}, {u".M3U", 5}, {u".M3U8", 5}, {u".PSPL", 5}, {u".ASX", 5},
    {u".WMWEBASX", 9}, {u".LST", 5}, {u".PHP", 5}, {u".PL", 5}, {u".PLT", 5},
};

constexpr DWORD kReparsePoint = 0x400;

bool EndsWithNoCase(const std::u16string& text, const char16_t* ending) {
  const size_t length = wcslen(ending);
  return text.size() >= length && _wcsicmp(text.c_str() + text.size() - length, ending) == 0;
}

// "*.MP3;*.OGG": the extension must stand after a '*' and before ';' or the end.
bool FilterHasExtension(const std::u16string& filter, const std::u16string& extension) {
  for (size_t at = filter.find(extension); at != std::u16string::npos; at = filter.find(extension, at + 1)) {
    const size_t end = at + extension.size();
    if (at > 0 && filter[at - 1] == u'*' && (end == filter.size() || filter[end] == u';')) return true;
  }
  return false;
}

std::u16string JoinPath(const std::u16string& folder, const char16_t* name) {
  std::u16string path = folder;
  if (path.empty() || path.back() != u'\\') path += u'\\';  // the root "\" takes no second one
  return path + name;
}

}  // namespace

int CPlaylist::AddPath(LPCWSTR path) {
  if (!path || !*path) return -1;
  const std::u16string text = path;
  for (const auto& playlist : kPlaylistEndings) {
    if (text.size() > playlist.longerThan && EndsWithNoCase(text, playlist.ending)) return LoadFile(path, nullptr);
  }
  return InsertItem(path, -1, nullptr, -2);
}

int CPlaylist::AddFolder(LPCWSTR folder, int level, int insertAt, LPCWSTR filter, DWORD minimumSize) {
  if (!folder) return -1;
  const bool top = level <= 1;
  if (top) Notify(PLM_BATCH, 0, 0);
  std::u16string patterns = filter && *filter ? filter : core_ ? core_->GetPlayableExtensions() : u"";
  if (insertAt > GetCount()) insertAt = -1;

  int first = -1;
  int added = 0;
  AddFolderFiles(folder, level, insertAt, patterns, minimumSize, first, added);
  if (!top) return first;
  if (added > 0) {
    // Only the entries just added are sorted; the entry that stood at the insert position before
    // is not theirs to move.
    Reorder(3, first, insertAt == -1 ? GetCount() - 1 : insertAt + added - 1);
  }
  Notify(PLM_BATCH, 1, 0);
  return first;
}

void CPlaylist::AddFolderFiles(const std::u16string& folder, int level, int insertAt, const std::u16string& filter,
                               DWORD minimumSize, int& first, int& added) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(JoinPath(folder, u"*.*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::u16string name = found.cFileName;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!(found.dwFileAttributes & kReparsePoint) && level != 0 && name != u"." && name != u"..") {
        AddFolderFiles(JoinPath(folder, found.cFileName), level + 1, insertAt, filter, minimumSize, first, added);
      }
      continue;
    }
    const size_t dot = name.rfind(u'.');
    if (dot == std::u16string::npos) continue;
    if (minimumSize != 0 && found.nFileSizeHigh == 0 && found.nFileSizeLow < minimumSize) continue;
    std::u16string extension = name.substr(dot);
    _wcsupr(extension.data());
    if (!FilterHasExtension(filter, extension)) continue;
    const int index = InsertItem(JoinPath(folder, found.cFileName).c_str(), insertAt, nullptr, -2);
    if (index < 0) continue;
    if (first < 0) first = index;
    ++added;
  } while (FindNextFileW(find, &found));
  FindClose(find);
}
