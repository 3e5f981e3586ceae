// The resume entries and numbered bookmarks of the item now open, kept in the core's bookmark
// list: a bookmark's key is "*N*" and the path, N the first number not yet used for that path.
// Every change is written to the bookmarks file at once, so a crash loses none of them.
#include <string>

#include "core/settings/bookmark_list.h"
#include "core/player/player_core.h"

namespace {

// The path of a bookmark key "*N*path"; empty for a key without its second '*'.
std::u16string BookmarkPath(const std::u16string& key) {
  if (!IsBookmarkText(key)) return {};
  const size_t second = key.find(u'*', 1);
  return second == std::u16string::npos ? std::u16string() : key.substr(second + 1);
}

std::u16string BookmarkKey(int number, const std::u16string& path) {
  WCHAR prefix[24];
  wsprintfW(prefix, u"%c%d%c", u'*', number, u'*');
  return prefix + path;
}

}  // namespace

void CPlayerCore::SetResumeEntry(LPCWSTR key, LONG position) {
  if (!key || !*key) return;
  bookmarks_->Set(key, position);
  bookmarks_->Save();
}

LONG CPlayerCore::GetResumePosition() { return bookmarks_->GetPosition(GetCurrentPath().c_str()); }

void CPlayerCore::ForgetResumePosition() { SetResumeEntry(GetCurrentPath().c_str(), -1); }

void CPlayerCore::AddBookmarkForCurrent() {
  const std::u16string path = GetCurrentPath();
  // A number beyond the count of entries is free for certain, so the walk ends.
  const int last = static_cast<int>(bookmarks_->Entries().size()) + 1;
  for (int number = 1; number <= last; ++number) {
    const std::u16string key = BookmarkKey(number, path);
    if (bookmarks_->GetPosition(key.c_str()) != -1) continue;
    SetResumeEntry(key.c_str(), lastPosition_ == -1 ? 0 : lastPosition_);
    return;
  }
}

void CPlayerCore::ReplaceBookmarkForCurrent() {
  const std::u16string path = GetCurrentPath();
  for (int index = 0;; ++index) {
    const std::u16string text = GetBookmarkText(index, nullptr);
    if (text.empty()) break;
    if (_wcsicmp(text.c_str(), path.c_str()) == 0) {
      DeleteBookmark(index);
      break;
    }
  }
  AddBookmarkForCurrent();
}

std::u16string CPlayerCore::GetBookmarkText(int index, LONG* position) {
  return BookmarkPath(bookmarks_->GetBookmark(index, position));
}

void CPlayerCore::DeleteBookmark(int index) {
  const std::u16string key = bookmarks_->GetBookmark(index, nullptr);
  if (!key.empty()) SetResumeEntry(key.c_str(), -1);
}

void CPlayerCore::PruneBookmarks(BOOL checkFiles) {
  for (int index = 0;;) {
    const std::u16string key = bookmarks_->GetBookmark(index, nullptr);
    if (key.empty()) break;
    const std::u16string path = BookmarkPath(key);
    // Shares may just be unreachable now; only local files that are gone count as gone.
    const bool gone = !checkFiles || path.empty() ||
                      (path.rfind(u"\\\\", 0) != 0 && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES);
    if (gone) {
      bookmarks_->Set(key.c_str(), -1);
    } else {
      ++index;
    }
  }
  bookmarks_->Save();
}
