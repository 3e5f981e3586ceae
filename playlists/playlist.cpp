// CPlaylist's entries and current index: inserting, removing and moving entries while the
// current index and the history keep pointing at the same entries, and the views hear of it.
#include "playlist.h"

#include "playlist_neighbours.h"

CPlaylist::CPlaylist(IPlaylistCore* core) : core_(core) { ClearHistory(); }

CPlaylist::~CPlaylist() {
  // The main playlist owns the Local Content lists for as long as the player runs.
  if (core_) DestroyLocalContentLists();
}

void CPlaylist::Clear() {
  items_.clear();
  current_ = -1;
  ClearHistory();
  Notify(PLM_RESET, 0, 0);
}

int CPlaylist::InsertItem(LPCWSTR path, int index, LPCWSTR title, int length) {
  if (!path || !*path) return -1;
  const int count = GetCount();
  const int at = index == -1 || static_cast<unsigned>(index) > static_cast<unsigned>(count) ? count : index;
  PlaylistItem item = !title ? PlaylistItem(path) : length == -2 ? PlaylistItem(path, title) : PlaylistItem(path, title, length);
  items_.insert(items_.begin() + at, std::move(item));
  if (at < count) {
    for (int& entry : history_) entry += entry >= at ? 1 : 0;
  }
  HistoryChanged();
  Notify(PLM_ITEMCHANGED, static_cast<WPARAM>(at), at);
  // Compared with the position actually used: an append (index -1) never moves the current entry.
  if (current_ >= at) {
    if (current_ < GetCount() - 1) ++current_;
    SendCurrent();
  }
  return at;
}

void CPlaylist::RemoveItem(int index) {
  if (!IsValid(index)) return;
  items_.erase(items_.begin() + index);
  Notify(PLM_REMOVED, static_cast<WPARAM>(index), 0);
  if (current_ >= index) {
    current_ = std::min(std::max(current_ - 1, 0), GetCount() - 1);
    SendCurrent();
  }
  std::vector<int> kept;
  kept.reserve(history_.size());
  const int played = position_;
  for (size_t slot = 0; slot < history_.size(); ++slot) {
    const int entry = history_[slot];
    if (entry == index) {
      if (static_cast<int>(slot) < played) --position_;
      continue;
    }
    kept.push_back(entry > index ? entry - 1 : entry);
  }
  history_ = std::move(kept);
  HistoryChanged();
}

void CPlaylist::MoveItems(int from, int to, BOOL shift) {
  if (from == to || !IsValid(from) || !IsValid(to)) return;
  const int step = !shift ? to - from : to > from ? 1 : -1;
  for (int i = from; i != to; i += step) {
    std::swap(items_[static_cast<size_t>(i)], items_[static_cast<size_t>(i + step)]);
    if (current_ == i || current_ == i + step) {
      current_ = current_ == i ? i + step : i;
      SendCurrent();
    }
  }
  // The history follows the same exchanges, applied in one pass.
  for (int& entry : history_) {
    if (entry == from) {
      entry = to;
    } else if (!shift) {
      entry = entry == to ? from : entry;
    } else if (step > 0 && entry > from && entry <= to) {
      --entry;
    } else if (step < 0 && entry >= to && entry < from) {
      ++entry;
    }
  }
  HistoryChanged();

  const WPARAM shiftFlag = shift ? PLM_MOVED_SHIFT : 0;
  if (from <= 0xFFFF && to <= 0xFFFF) {
    Notify(PLM_MOVED, shiftFlag, static_cast<LPARAM>(static_cast<DWORD>(to) << 16 | static_cast<DWORD>(from)));
  } else {
    PLAYLISTMOVE move = {from, to};
    Notify(PLM_MOVED, shiftFlag | PLM_MOVED_WIDE, reinterpret_cast<LPARAM>(&move));
  }
}

void CPlaylist::SetCurrentIndex(int index) {
  current_ = items_.empty() ? -1 : std::min(std::max(index, 0), GetCount() - 1);
  SendCurrent();
}

int CPlaylist::GetCurrentPath(std::u16string& path) const {
  path = IsValid(current_) ? items_[static_cast<size_t>(current_)].path : std::u16string();
  return current_;
}

int CPlaylist::CopyCurrentPath(LPWSTR buffer, int size) const {
  if (!buffer || size <= 0) return current_;
  std::u16string path;
  GetCurrentPath(path);
  lstrcpynW(buffer, path.c_str(), size);
  return current_;
}

std::u16string CPlaylist::GetItemPath(int index) const {
  return IsValid(index) ? items_[static_cast<size_t>(index)].path : std::u16string();
}

std::u16string CPlaylist::GetItemDisplayName(int index) const {
  return IsValid(index) ? items_[static_cast<size_t>(index)].DisplayName() : std::u16string();
}

int CPlaylist::GetItemLength(int index) const {
  return IsValid(index) ? items_[static_cast<size_t>(index)].length : -2;
}

int CPlaylist::GetItemStatus(int index) const {
  return IsValid(index) ? items_[static_cast<size_t>(index)].infoState : 0;
}

int CPlaylist::CountPendingItems() const {
  int pending = 0;
  for (const PlaylistItem& item : items_) pending += item.infoState != 0 ? 1 : 0;
  return pending;
}
