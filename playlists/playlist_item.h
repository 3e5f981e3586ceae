// PlaylistItem: one entry of a playlist, a path or URL with what is known about it so far.
#pragma once
#include <windows.h>

#include <string>

struct PlaylistItem {
  // 0: nothing more to learn; 1 or more: information still to read (the core counts attempts).
  LONG infoState = 1;
  std::u16string path;  // identity, compared case-sensitively
  std::u16string title;  // empty: unknown
  LONG length = -2;  // ms; -2 unknown, -1 the source reports none
  DWORD mediaKind = 0;  // non-zero: exported to the library as the other media type

  PlaylistItem() = default;
  explicit PlaylistItem(LPCWSTR itemPath) : path(itemPath) {}
  PlaylistItem(LPCWSTR itemPath, LPCWSTR itemTitle) : path(itemPath), title(itemTitle ? itemTitle : u"") {}
  PlaylistItem(LPCWSTR itemPath, LPCWSTR itemTitle, LONG itemLength)
      : infoState(itemLength == -2 ? 1 : 0), path(itemPath), title(itemTitle ? itemTitle : u""), length(itemLength) {}

  // The title, or else the file name of the path's first MAX_PATH characters.
  std::u16string DisplayName() const {
    if (!title.empty()) return title;
    const std::u16string shown = path.substr(0, MAX_PATH);
    const size_t slash = shown.rfind(u'\\');
    return slash == std::u16string::npos ? shown : shown.substr(slash + 1);
  }
};
