// What the player learns about an entry after it was added: its title and length as the tags
// and the decoder report them, merged so that a worse answer never replaces a better one.
#include "playlist.h"

#include "playlist_neighbours.h"

namespace {

// A title such as "http://host/x" (a scheme of up to ten ASCII letters and "://"): the length of
// the scheme, or -1 for any other text.
int UrlSchemeLength(const std::u16string& text) {
  const size_t marker = text.find(u"://");
  if (marker == std::u16string::npos || marker > 10) return -1;
  for (size_t i = 0; i < marker; ++i) {
    const char16_t c = text[i];
    if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))) return -1;
  }
  return static_cast<int>(marker);
}

}  // namespace

void CPlaylist::SetItemInfo(int index, LPCWSTR path, LPCWSTR title, int length) {
  if (index == -1) index = current_;
  // An entry never takes an empty path: it would lose what it played.
  if (!IsValid(index) || !path || !*path) return;
  PlaylistItem& item = items_[static_cast<size_t>(index)];

  const bool samePath = item.path == path;
  const bool nothingNew = title && item.title == title && (length == -2 || length == item.length);
  if (samePath && !nothingNew) {
    std::u16string candidate = title ? title : item.title;
    // A URL offered as the title does not replace a real title, only a URL of the same scheme.
    const int scheme = UrlSchemeLength(candidate);
    bool take = true;
    if (!item.title.empty() && scheme >= 0) {
      take = _wcsnicmp(candidate.c_str(), item.title.c_str(), static_cast<size_t>(scheme) + 3) == 0;
    }
    bool changed = false;
    if (take && candidate != item.title) {
      item.title = std::move(candidate);
      changed = true;
    }
    if (length != item.length && !(length == -1 && item.length >= 0)) {
      item.length = length;
      changed = true;
    }
    const LONG state = item.length == -2 ? 1 : 0;
    if (state != item.infoState) {
      item.infoState = state;
      changed = true;
    }
    if (changed) Notify(PLM_ITEMINFO, static_cast<WPARAM>(index), index);
  } else if (!samePath && !title) {
    item.path = path;
    item.title.clear();
    item.length = length;
    item.infoState = 1;
    Notify(PLM_ITEMREPLACED, static_cast<WPARAM>(index), index);
  } else {
    item.infoState = 0;
  }
}

void CPlaylist::ValidateItem(int index) {
  if (!IsValid(index)) return;
  if (IsLibraryEntryCurrent(core_, items_[static_cast<size_t>(index)].path.c_str())) {
    items_[static_cast<size_t>(index)].infoState = 0;
  } else {
    RequestItemInfo(index, 1);
  }
}

void CPlaylist::RequestItemInfo(int index, int flag) {
  if (!IsValid(index)) return;
  LONG& state = items_[static_cast<size_t>(index)].infoState;
  if (state == 0) state = 1;
  if (!core_) return;
  // The core may answer at once through SetItemInfo, so the path is passed as a copy.
  const std::u16string path = items_[static_cast<size_t>(index)].path;
  core_->ReadItemInfo(this, index, path.c_str(), 0, flag);
}

void CPlaylist::MarkItemResult(int index, BOOL giveUp) {
  if (!IsValid(index)) return;
  LONG& state = items_[static_cast<size_t>(index)].infoState;
  if (giveUp) {
    state = 0;
  } else if (state != 0) {
    ++state;
  }
}
