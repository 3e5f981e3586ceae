// CPlaylist::LoadFromPathOrUrl: the playlist an entry names, read into the list in that entry's
// place. A URL is downloaded by the player core into a temporary file beside the program, read
// under the URL's name (its ending decides the layout) and deleted however the reading went.
#include <string>

#include "playlist.h"
#include "settingsui/special_folders.h"

namespace {

constexpr int kTemporaryNames = 99;

// The first of "tmpplaylist[1].tmp" ... "[99]" beside the program that can be created new. A
// name taken by a stale file is passed over and that file left alone: it is not ours to delete.
class CTemporaryPlaylist {
 public:
  CTemporaryPlaylist() {
    WCHAR folder[MAX_PATH];
    GetSpecialFolderPath(kProgramFolderId, folder);  // ends in "\"
    for (int n = 1; n <= kTemporaryNames && file_ == INVALID_HANDLE_VALUE; ++n) {
      WCHAR name[MAX_PATH + 32];
      wsprintfW(name, u"%stmpplaylist[%d].tmp", folder, n);
      file_ = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file_ != INVALID_HANDLE_VALUE) path_ = name;
    }
  }
  ~CTemporaryPlaylist() {
    Close();
    if (!path_.empty()) DeleteFileW(path_.c_str());
  }
  CTemporaryPlaylist(const CTemporaryPlaylist&) = delete;
  CTemporaryPlaylist& operator=(const CTemporaryPlaylist&) = delete;

  bool Created() const { return !path_.empty(); }
  HANDLE File() const { return file_; }
  LPCWSTR Path() const { return path_.c_str(); }
  // The file is opened without sharing, so it is closed before it is read by name.
  void Close() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::u16string path_;
};

}  // namespace

int CPlaylist::LoadFromPathOrUrl(LPCWSTR path, int insertAt, IPlaylistCore* core) {
  if (!path || !*path) return 0;
  const int before = GetCount();
  int first = -1;
  if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
    first = LoadFile(path, nullptr);
  } else if (core && wcschr(path, u'/')) {
    first = DownloadAndRead(path, core);
  }
  if (first < 0) return 0;
  if (insertAt != -1) ReplaceEntryWithRead(insertAt, before);
  return 1;
}

int CPlaylist::DownloadAndRead(LPCWSTR url, IPlaylistCore* core) {
  CTemporaryPlaylist temporary;
  if (!temporary.Created()) return -1;
  const int fetched = core->DownloadToFile(url, temporary.File());
  temporary.Close();
  return fetched >= 0 ? LoadFile(temporary.Path(), url) : -1;
}

void CPlaylist::ReplaceEntryWithRead(int index, int firstRead) {
  // Only an entry that stood before the ones just appended can be the list's own.
  if (index < 0 || index >= firstRead) return;
  const bool wasCurrent = current_ == index;
  RemoveItem(index);
  for (int k = 0; firstRead - 1 + k < GetCount(); ++k) MoveItems(firstRead - 1 + k, index + k, TRUE);
  // Removing the current entry made its neighbour current; the list's first entry is the one
  // that was asked to play.
  if (wasCurrent) SetCurrentIndex(index);
}
