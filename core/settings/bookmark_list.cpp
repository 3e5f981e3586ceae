// The bookmark list. Paths compare without case; a one-entry cache serves the repeated position
// lookups of the item that is playing.
#include "core/settings/bookmark_list.h"

#include <algorithm>

#include "core/settings/settings.h"

namespace {

bool SameText(const std::u16string& a, const WCHAR* b) { return _wcsicmp(a.c_str(), b) == 0; }

}  // namespace

CBookmarkList::CBookmarkList(CPlayerCore* owner, const WCHAR* fileName)
    : owner_(owner), fileName_(fileName ? fileName : u"") {}

void CBookmarkList::Set(const WCHAR* text, LONG position) {
  if (!text) return;
  cachedPath_.clear();
  std::erase_if(entries_, [text](const Entry& e) { return SameText(e.text, text); });
  if (position == -1) return;
  entries_.push_back({text, position});
  if (IsBookmarkText(entries_.back().text)) return;
  const CSettings* settings = GetSettings();
  const size_t bound = settings ? settings->bookmarkTableSize : 300;
  size_t plain = static_cast<size_t>(CountPlain());
  for (auto it = entries_.begin(); plain > bound && it != entries_.end();) {
    if (IsBookmarkText(it->text)) {
      ++it;
    } else {
      it = entries_.erase(it);
      --plain;
    }
  }
}

LONG CBookmarkList::GetPosition(const WCHAR* path) {
  if (!path) return -1;
  if (!cachedPath_.empty() && cachedPath_ == path) return cachedPosition_;
  int index = Find(path);
  if (index < 0) return -1;
  cachedPath_ = path;
  cachedPosition_ = entries_[static_cast<size_t>(index)].position;
  return cachedPosition_;
}

std::u16string CBookmarkList::GetLastPlain() const {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (!IsBookmarkText(it->text)) return it->text;
  }
  return {};
}

std::u16string CBookmarkList::GetBookmark(int n, LONG* position) const {
  for (const Entry& e : entries_) {
    if (!IsBookmarkText(e.text)) continue;
    if (n-- == 0) {
      if (position) *position = e.position;
      return e.text;
    }
  }
  return {};
}

int CBookmarkList::IndexOfPlain(int n) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!IsBookmarkText(entries_[i].text) && n-- == 0) return static_cast<int>(i);
  }
  return -1;
}

int CBookmarkList::CountPlain() const {
  return static_cast<int>(std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return !IsBookmarkText(e.text); }));
}

int CBookmarkList::Find(const WCHAR* text) const {
  if (!text) return -1;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (SameText(entries_[i].text, text)) return static_cast<int>(i);
  }
  return -1;
}
