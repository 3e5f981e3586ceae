// Filling the core's playlist from a path, a folder or an open-dialog specification, and the thin
// wrappers over the playlist that the main window and the plug-ins use. A specification is a
// plain path, or entries that each begin with '*': "*file", "**folder" (with its subfolders),
// "*?folder" (without).
#include <string>

#include "core/settings/bookmark_list.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "playlist.h"

namespace {

constexpr WCHAR kLocalContentKey = u'-';

bool InRange(CPlaylist* playlist, int index) { return index >= 0 && index < playlist->GetCount(); }

// A plain path, or a single "*" entry naming one file: the name the playlist was read from.
bool NamesOnePath(const std::u16string& spec, std::u16string* path) {
  if (spec.empty()) return false;
  if (spec[0] != u'*') {
    *path = spec;
    return true;
  }
  if (spec.size() < 2 || spec[1] == u'*' || spec[1] == u'?' || spec.find(u'*', 1) != std::u16string::npos) return false;
  *path = spec.substr(1);
  return true;
}

}  // namespace

int CPlayerCore::GetCurrentIndex() { return playlist_->GetCurrentIndex(); }
int CPlayerCore::GetItemCount() { return playlist_->GetCount(); }
std::u16string CPlayerCore::GetItemPath(int index) { return playlist_->GetItemPath(index); }
std::u16string CPlayerCore::GetItemDisplayName(int index) { return playlist_->GetItemDisplayName(index); }

int CPlayerCore::RemoveItem(int index) {
  if (!InRange(playlist_.get(), index)) return 0;
  playlist_->RemoveItem(index);
  return 1;
}

int CPlayerCore::RefreshItemInfo(int index) {
  if (!InRange(playlist_.get(), index)) return 0;
  playlist_->RequestItemInfo(index, 0);
  return 1;
}

int CPlayerCore::ClearItemInfo(int index, LPCWSTR path) {
  if (!InRange(playlist_.get(), index)) return 0;
  playlist_->SetItemInfo(index, path, nullptr, -2);
  return 1;
}

int CPlayerCore::InsertItem(int index, LPCWSTR path) {
  return playlist_->InsertItem(path, static_cast<SHORT>(index), nullptr, -2);
}

void CPlayerCore::ReorderPlaylist(int mode) { playlist_->Reorder(mode, 0, -1); }

int CPlayerCore::AddFilesFromPath(LPCWSTR spec) {
  if (!spec) return -1;
  if (spec[0] != u'*') return playlist_->AddPath(spec);
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  const std::u16string text(spec);
  int result = -1;
  for (size_t start = 0; start < text.size();) {
    // An entry runs from its '*' to the next '*' that starts another entry.
    const bool folder = start + 1 < text.size() && (text[start + 1] == u'*' || text[start + 1] == u'?');
    const size_t body = start + (folder ? 2 : 1);
    size_t end = text.find(u'*', body);
    if (end == std::u16string::npos) end = text.size();
    const std::u16string entry = text.substr(body, end - body);
    if (!entry.empty()) {
      result = folder ? playlist_->AddFolder(entry.c_str(), text[start + 1] == u'*' ? 1 : 0, -1, nullptr, 0)
                      : playlist_->AddPath(entry.c_str());
    }
    start = end;
  }
  SetCursor(nullptr);
  return result;
}

void CPlayerCore::EnqueuePath(LPCWSTR spec, BOOL play) {
  Stop(FALSE);
  SetPlaylistFileName(nullptr);
  playlist_->Clear();
  if (!spec) spec = u"";
  if (spec[0] == kLocalContentKey) {
    SetPlaylistFileName(spec);
    OpenItem(nullptr, nullptr);
    return;
  }
  int result = AddFilesFromPath(spec);
  std::u16string named;
  if (result >= 0 && playlist_->GetCount() > 1 && NamesOnePath(spec, &named)) {
    SetPlaylistFileName(named.c_str());
    CSettings* settings = GetSettings();
    const LONG stored = bookmarks_->GetPosition(named.c_str());
    if (settings && settings->autoResumePlaylists && stored >= 0 && !GetShuffle()) result = stored;
  }
  if (result < 0) {
    OpenItem(nullptr, nullptr);
    return;
  }
  if (result == 0 && GetShuffle()) {
    if (play) Play(FALSE);
    return;
  }
  playlist_->SetCurrentIndex(result);
  if (playlist_->GetCurrentIndex() == result) OpenCurrentPlaylistItem();
  if (play) Play(FALSE);
}

void CPlayerCore::AddPathOrSelect(LPCWSTR path, BOOL play) {
  if (!path || _wcsicmp(path, GetCurrentPath().c_str()) == 0) return;
  for (int index = 0; index < playlist_->GetCount(); ++index) {
    if (_wcsicmp(playlist_->GetItemPath(index).c_str(), path) != 0) continue;
    SelectItem(index);
    if (play) {
      Stop(FALSE);
      Play(FALSE);
    }
    return;
  }
  EnqueuePath(path, play);
}
