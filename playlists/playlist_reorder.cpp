// The reorder commands of the playlist window: sorting by name, file or path with exchanges the
// views follow one by one, reversing, shuffling, and sorting by tags through the media library.
#include "path_helpers.h"
#include "playlist.h"
#include "tagids.h"

namespace {

// Tag keys of the library sorts, modes 6 to 8, all ascending.
constexpr DWORD kTagSortKeys[3][4] = {
    {TAG_ALBUM_ARTIST, TAG_ALBUM, TAG_TRACK_NUMBER, TAG_RELEASE_DATE},
    {TAG_ARTIST, TAG_ALBUM, TAG_TRACK_NUMBER, TAG_RELEASE_DATE},
    {TAG_SONG_TITLE, TAG_ALBUM_ARTIST, TAG_ALBUM, TAG_TRACK_NUMBER},
};

int CompareForMode(int mode, const PlaylistItem& a, const PlaylistItem& b) {
  if (mode == 1) return _wcsicmp(a.DisplayName().c_str(), b.DisplayName().c_str());
  if (mode == 2) {
    const size_t slashA = a.path.rfind(u'\\');
    const size_t slashB = b.path.rfind(u'\\');
    if (slashA == std::u16string::npos || slashB == std::u16string::npos) return _wcsicmp(a.path.c_str(), b.path.c_str());
    return _wcsicmp(a.path.c_str() + slashA, b.path.c_str() + slashB);
  }
  return ComparePathsNoCase(a.path, b.path);
}

}  // namespace

// Paths in folder order: A-Z fold to lower case, and a backslash sorts before any other
// character, so "\A\B\x.mp3" comes before "\A\B1.mp3".
int ComparePathsNoCase(const std::u16string& a, const std::u16string& b) {
  const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; };
  for (size_t i = 0;; ++i) {
    const char16_t x = i < a.size() ? fold(a[i]) : 0;
    const char16_t y = i < b.size() ? fold(b[i]) : 0;
    if (x != y) {
      if (x == u'\\' && y != 0) return -1;
      if (y == u'\\' && x != 0) return 1;
      return x < y ? -1 : 1;
    }
    if (x == 0) return 0;
  }
}

void CPlaylist::SortRange(int mode, int first, int last) {
  // Quicksort on the middle entry's key; the smaller side recurses, so the depth stays logarithmic.
  while (first < last) {
    const PlaylistItem pivot = items_[static_cast<size_t>(first + (last - first) / 2)];
    int i = first;
    int j = last;
    while (i <= j) {
      while (CompareForMode(mode, items_[static_cast<size_t>(i)], pivot) < 0) ++i;
      while (CompareForMode(mode, items_[static_cast<size_t>(j)], pivot) > 0) --j;
      if (i <= j) MoveItems(i++, j--, FALSE);
    }
    if (j - first < last - i) {
      SortRange(mode, first, j);
      first = i;
    } else {
      SortRange(mode, i, last);
      last = j;
    }
  }
}

void CPlaylist::Reorder(int mode, int first, int last) {
  const int count = GetCount();
  if (mode >= 1 && mode <= 3) {
    if (mode == 1 && core_) {
      for (int i = 0; i < count; ++i) {
        if (GetItemStatus(i) != 0) RequestItemInfo(i, 0);
      }
    }
    const bool whole = last == -1;
    if (whole) last = count - 1;
    if (whole) Notify(PLM_BATCH, 0, 0);
    if (first >= 0 && last < count) SortRange(mode, first, last);
    if (whole) Notify(PLM_BATCH, 1, 0);
  } else if (mode == 4) {
    for (int i = 0; i < count / 2; ++i) MoveItems(i, count - 1 - i, FALSE);
  } else if (mode == 5) {
    for (int n = 0; n < count; ++n) {
      const int a = GetShuffleRandom();
      const int b = GetShuffleRandom();
      MoveItems(b % count, a % count, FALSE);
    }
  } else if (mode >= 6 && mode <= 8) {
    IMediaList* list = nullptr;
    if (FAILED(ExportToMediaList(core_, &list)) || !list) return;
    DWORD exported = 0;
    const DWORD ascending[4] = {1, 1, 1, 1};
    if (SUCCEEDED(list->GetCount(&exported)) && static_cast<int>(exported) == count &&
        SUCCEEDED(list->Sort(kTagSortKeys[mode - 6], ascending, 4))) {
      Clear();
      AppendMediaList(list);
    }
    list->Release();
  }
}
