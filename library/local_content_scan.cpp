// The updater's folder stack (see local_content_scan.h). Ignored folders are neither read nor
// entered: nothing under "\Windows" is anyone's music.
#include "local_content_scan.h"

#include "core/settings/settings.h"
#include "local_content.h"
#include "path_helpers.h"
#include "playlist.h"

namespace {

constexpr DWORD kReparsePoint = 0x400;

std::u16string Join(const std::u16string& folder, LPCWSTR name) {
  std::u16string path = folder;
  if (path.empty() || path.back() != u'\\') path += u'\\';
  return path + name;
}

bool Ignored(const std::u16string& folder) {
  CSettings* settings = GetSettings();
  return settings && IsIgnoredFolder(*settings, folder.c_str());
}

}  // namespace

int SortedInsertPosition(const CPlaylist& playlist, const std::u16string& folder) {
  // The list is kept in path order, so the first entry after the folder is found by halving.
  int low = 0, high = playlist.GetCount();
  while (low < high) {
    const int middle = (low + high) / 2;
    if (ComparePathsNoCase(playlist.GetItemPath(middle), folder) <= 0) low = middle + 1;
    else high = middle;
  }
  return low < playlist.GetCount() ? low : -1;
}

int CFolderScan::AddSearchFolder(CPlaylist& playlist, LPCWSTR folder, BOOL pending, BOOL sorted, LPCWSTR filter,
                                 BOOL skipIgnored, DWORD minimumSize) {
  if (!folder) return -1;
  SearchFolder record;
  record.active = true;
  record.sorted = sorted != FALSE;
  record.skipIgnored = skipIgnored != FALSE;
  record.minimumSize = minimumSize;
  record.filter = filter ? filter : u"";
  record.folder = folder;
  if (!pending) return AddFolderFiles(playlist, record);
  done_ = 0;
  stack_.push_back(std::move(record));
  stack_.push_back(SearchFolder{});
  return RescanSearchFolder(playlist);
}

int CFolderScan::RescanSearchFolder(CPlaylist& playlist) {
  if (stack_.empty()) {
    done_ = 0;
    return -1;
  }
  const SearchFolder record = std::move(stack_.back());
  stack_.pop_back();
  int first = -1;
  if (record.active && !record.folder.empty()) {
    const bool ignored = record.skipIgnored && Ignored(record.folder);
    if (!ignored) {
      first = AddFolderFiles(playlist, record);
      WIN32_FIND_DATAW found;
      HANDLE find = FindFirstFileW(Join(record.folder, u"*.*").c_str(), &found);
      if (find != INVALID_HANDLE_VALUE) {
        do {
          const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
          if (!folder || (found.dwFileAttributes & kReparsePoint)) continue;
          if (!wcscmp(found.cFileName, u".") || !wcscmp(found.cFileName, u"..")) continue;
          SearchFolder child = record;
          child.folder = Join(record.folder, found.cFileName);
          stack_.push_back(std::move(child));
        } while (FindNextFileW(find, &found));
        FindClose(find);
      }
    }
  }
  if (stack_.empty()) done_ = 0;
  else ++done_;
  return first;
}

int CFolderScan::AddFolderFiles(CPlaylist& playlist, const SearchFolder& record) {
  const int at = record.sorted ? SortedInsertPosition(playlist, record.folder) : -1;
  return playlist.AddFolder(record.folder.c_str(), 0, at, record.filter.empty() ? nullptr : record.filter.c_str(),
                            record.minimumSize);
}

int CFolderScan::GetScanProgress() const {
  const int pending = static_cast<int>(stack_.size());
  if (pending == 0) return 0;
  return std::max(1, pending * 100 / (done_ + pending));
}

std::u16string CFolderScan::GetCurrentScanFolder() const {
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
    if (it->active && !it->folder.empty()) return it->folder;
  }
  return {};
}

void CFolderScan::Clear() {
  stack_.clear();
  done_ = 0;
}
