// Player callback messages about the playlists: the core's playlist (its views, entries, name
// and exports to media lists), the Local Content and playlist-files lists of the scan, and the
// resume positions kept for paths.
#include "core/interface/player_messages.h"
#include "core/player/core_media_library.h"
#include "core/player/player_core.h"
#include "core/player/player_message_table.h"
#include "core/settings/bookmark_list.h"
#include "core/settings/settings.h"
#include "core/window/main_window_state.h"
#include "local_content.h"
#include "media_item.h"
#include "medialist.h"
#include "player_items.h"
#include "playlist.h"
#include "playlist_colors.h"

namespace {

constexpr DWORD kTagMediaType = 413117;
constexpr GUID kPlaylistCategory = {0xF1BCF888, 0x07D3, 0x404D, {0xBC, 0xDE, 0x4F, 0x9F, 0xAD, 0x68, 0x42, 0x4C}};

bool PointerSized(UINT size) { return size >= sizeof(void*); }

int CountValid(CPlaylist* list) {
  int valid = 0;
  for (int i = 0; list && i < list->GetCount(); ++i)
    if (list->GetItemStatus(i)) ++valid;
  return valid;
}
int Count(CPlaylist* list) { return list ? list->GetCount() : 0; }

int AddView(CPlayerCore& core, const PlayerMessage& m) {
  HWND* view = InAs<HWND>(m);
  if (!view) return -1;
  CSectionLock hold(core.MessageLock());
  core.GetPlaylist()->AddView(*view);
  return 0;
}

int RemoveView(CPlayerCore& core, const PlayerMessage& m) {
  HWND* view = InAs<HWND>(m);
  if (!view) return -1;
  CSectionLock hold(core.MessageLock());
  core.GetPlaylist()->RemoveView(*view);
  return 0;
}

// The path of an entry; when it does not fit, the in word learns the bytes it needs.
int GetPlaylistFile(CPlayerCore& core, const PlayerMessage& m) {
  DWORD* index = InAs<DWORD>(m);
  if (!index) return -1;
  CSectionLock hold(core.MessageLock());
  CPlaylist* playlist = core.GetPlaylist();
  const int at = static_cast<int>(*index);
  if (at < 0 || at >= playlist->GetCount()) return -1;
  const std::u16string path = playlist->GetItemPath(at);
  if (CopyTextIfFits(path, m.out, m.outSize)) return 0;
  *index = static_cast<DWORD>((path.size() + 1) * sizeof(WCHAR));
  return -1;
}

int GetPlaylistItem(CPlayerCore& core, const PlayerMessage& m) {
  auto** item = OutAs<IMediaItem*>(m);
  if (!item) return 0;
  const int index = m.in && m.inSize == sizeof(DWORD) ? static_cast<int>(*static_cast<DWORD*>(m.in)) : -1;
  CSectionLock hold(core.MessageLock());
  *item = nullptr;
  *item = GetPlaylistItemInterface(CoreItemHost(), core.GetMediaLibrary(), index);
  return 0;
}

int GetScanProgress(CPlayerCore&, const PlayerMessage& m) {
  DWORD* progress = OutAs<DWORD>(m);
  if (!progress) return 0;
  *progress = static_cast<DWORD>(GetListScanProgress(GetPlaylistFilesList()) + GetListScanProgress(GetLocalContentPlaylist()));
  return 0;
}

int IsLocalContentPlaylist(CPlayerCore& core, const PlayerMessage& m) {
  DWORD* answer = OutAs<DWORD>(m);
  if (!answer) return -1;
  *answer = IsLocalContentKey(core.GetPlaylistFileName().c_str()) ? 1 : 0;
  return 0;
}

int SelectLocalContent(CPlayerCore& core, const PlayerMessage&) {
  CSectionLock hold(core.MessageLock());
  std::u16string key;
  GetLocalContentKey(key);
  core.SetPlaylistFileName(key.c_str());
  return 0;
}

int CountValidItems(CPlayerCore&, const PlayerMessage& m) {
  DWORD* count = OutAs<DWORD>(m);
  if (!count) return 0;
  *count = static_cast<DWORD>(CountValid(GetPlaylistFilesList()) + CountValid(GetLocalContentPlaylist()));
  return 0;
}

int CountPlaylistValid(CPlayerCore& core, const PlayerMessage& m) {
  DWORD* count = OutAs<DWORD>(m);
  if (!count) return 0;
  CSectionLock hold(core.MessageLock());
  *count = static_cast<DWORD>(CountValid(core.GetPlaylist()));
  return 0;
}

int GetPlaylistLength(CPlayerCore&, const PlayerMessage& m) {
  DWORD* count = OutAs<DWORD>(m);
  if (!count) return 0;
  *count = static_cast<DWORD>(Count(GetPlaylistFilesList()) + Count(GetLocalContentPlaylist()));
  return 0;
}

int AppendMediaList(CPlayerCore& core, const PlayerMessage& m) {
  if (!m.in || !PointerSized(m.inSize)) return -1;
  CSectionLock hold(core.MessageLock());
  return SUCCEEDED(core.GetPlaylist()->AppendMediaList(static_cast<IMediaList*>(m.in))) ? 0 : -1;
}

int PlayMediaList(CPlayerCore& core, const PlayerMessage& m) {
  if (!m.in) return -1;
  CSectionLock hold(core.MessageLock());
  core.Stop(FALSE);
  core.SetPlaylistFileName(nullptr);
  core.GetPlaylist()->Clear();
  const int result = AppendMediaList(core, m);
  if (m.inSize == sizeof(void*)) {
    IMediaList* named = nullptr;
    if (SUCCEEDED(static_cast<IUnknown*>(m.in)->QueryInterface(IID_IMediaList2, reinterpret_cast<void**>(&named))) &&
        named) {
      BSTR name = nullptr;
      if (SUCCEEDED(named->GetName(&name)) && name && *name) core.SetPlaylistFileName(name);
      SysFreeString(name);
      named->Release();
    }
  }
  return result;
}

int ExportPlaylist(CPlayerCore& core, const PlayerMessage& m) {
  if (!m.out || !PointerSized(m.outSize)) return -1;
  CSectionLock hold(core.MessageLock());
  auto* target = static_cast<IMediaList*>(m.out);
  return SUCCEEDED(ExportPlaylistInto(core, core.GetPlaylist(), target)) ? 0 : -1;
}

int ExportLocalContent(CPlayerCore& core, const PlayerMessage& m) {
  if (!m.out || !PointerSized(m.outSize)) return -1;
  const DWORD flags = m.in && m.inSize == sizeof(DWORD) ? *static_cast<DWORD*>(m.in) : 0;
  auto* target = static_cast<IMediaList*>(m.out);
  if (FAILED(ExportPlaylistInto(core, GetLocalContentPlaylist(), target))) return -1;
  if (flags & 1) {
    const std::u16string favorites = ProgramFilePath(u"Favorites.dat");
    if (GetFileAttributesW(favorites.c_str()) != INVALID_FILE_ATTRIBUTES) {
      CMediaItem* item = CreateMediaItem();
      if (item) {
        item->SetSource(favorites.c_str());
        if (SUCCEEDED(core.FindLibraryEntryForPlaylist(item, favorites.c_str()))) {
          item->SetGuid(kTagMediaType, kPlaylistCategory);
          target->Add(item);
        }
        item->Release();
      }
    }
  }
  return 0;
}

int ApplyRowColors(CPlayerCore& core, const PlayerMessage& m) {
  const DRAWITEMSTRUCT* row = InAs<DRAWITEMSTRUCT>(m);
  if (!row) return 0;
  CSectionLock hold(core.MessageLock());
  ApplyPlaylistItemColors(row);
  return 0;
}

int PeekAhead(CPlayerCore& core, const PlayerMessage& m) {
  if (!m.out || m.outSize < sizeof(WCHAR)) return 0;
  const int steps = m.in && m.inSize == sizeof(DWORD) ? static_cast<int>(*static_cast<DWORD*>(m.in)) : 1;
  CSectionLock hold(core.MessageLock());
  core.GetPlaylist()->PeekAhead(steps, static_cast<LPWSTR>(m.out), static_cast<int>(m.outSize / sizeof(WCHAR)));
  return 0;
}

int AddPath(CPlayerCore& core, const PlayerMessage& m) {
  if (LPCWSTR path = InText(m)) core.AddFilesFromPath(path);
  return -1;
}

int OpenPath(CPlayerCore& core, const PlayerMessage& m) {
  if (LPCWSTR path = InText(m)) core.AddPathOrSelect(path, TRUE);
  return -1;
}

int ClearPlaylist(CPlayerCore& core, const PlayerMessage&) {
  CSectionLock hold(core.MessageLock());
  core.SetPlaylistFileName(nullptr);
  core.GetPlaylist()->Clear();
  return -1;
}

int GetPlaylistName(CPlayerCore& core, const PlayerMessage& m) {
  CSectionLock hold(core.MessageLock());
  CopyText(core.GetPlaylistFileName(), m.out, m.outSize);
  return -1;
}

int GetFavoritesPath(CPlayerCore&, const PlayerMessage& m) {
  if (!m.out || m.outSize < sizeof(WCHAR)) return -1;
  CopyText(ProgramFilePath(u"Favorites.dat"), m.out, m.outSize);
  return 0;
}

int GetScanFolder(CPlayerCore&, const PlayerMessage& m) {
  if (!m.out) return -1;
  return CopyTextIfFits(GetListScanFolder(GetPlaylistFilesList()), m.out, m.outSize) ? 1 : 0;
}

int GetCurrentTitle(CPlayerCore&, const PlayerMessage& m) {
  if (!m.out) return -1;
  return CopyTextIfFits(MainWindow().title, m.out, m.outSize) ? 1 : 0;
}

int GetResumePosition(CPlayerCore& core, const PlayerMessage& m) {
  LPCWSTR path = InText(m);
  LONG* position = OutAs<LONG>(m);
  if (!path || !position) return 0;
  CSectionLock hold(core.MessageLock());
  CSettings* settings = GetSettings();
  CBookmarkList* bookmarks = core.GetBookmarkList();
  *position = settings && settings->autoResumePlaylists && bookmarks ? bookmarks->GetPosition(path) : -1;
  return 0;
}

int GetBookmarkPosition(CPlayerCore& core, const PlayerMessage& m) {
  LPCWSTR key = InText(m);
  LONG* position = OutAs<LONG>(m);
  if (!key || !position) return 0;
  CSectionLock hold(core.MessageLock());
  CBookmarkList* bookmarks = core.GetBookmarkList();
  *position = bookmarks ? bookmarks->GetPosition(key) : -1;
  return 0;
}

constexpr PlayerMessageEntry kEntries[] = {
    {PLAYER_MSG_ADD_PLAYLIST_VIEW, AddView},
    {PLAYER_MSG_REMOVE_PLAYLIST_VIEW, RemoveView},
    {PLAYER_MSG_GET_PLAYLIST_FILE, GetPlaylistFile},
    {PLAYER_MSG_GET_PLAYLIST_ITEM, GetPlaylistItem},
    {PLAYER_MSG_GET_SCAN_PROGRESS, GetScanProgress},
    {PLAYER_MSG_IS_LOCAL_CONTENT_PLAYLIST, IsLocalContentPlaylist},
    {PLAYER_MSG_SELECT_LOCAL_CONTENT, SelectLocalContent},
    {PLAYER_MSG_COUNT_VALID_ITEMS, CountValidItems},
    {PLAYER_MSG_COUNT_PLAYLIST_VALID, CountPlaylistValid},
    {PLAYER_MSG_GET_PLAYLIST_LENGTH, GetPlaylistLength},
    {PLAYER_MSG_PLAY_MEDIA_LIST, PlayMediaList},
    {PLAYER_MSG_APPEND_MEDIA_LIST, AppendMediaList},
    {PLAYER_MSG_EXPORT_PLAYLIST, ExportPlaylist},
    {PLAYER_MSG_EXPORT_LOCAL_CONTENT, ExportLocalContent},
    {PLAYER_MSG_APPLY_ROW_COLORS, ApplyRowColors},
    {PLAYER_MSG_PEEK_AHEAD, PeekAhead},
    {PLAYER_MSG_ADD_PATH, AddPath},
    {PLAYER_MSG_ENQUEUE_PATH, OpenPath},
    {PLAYER_MSG_CLEAR_PLAYLIST, ClearPlaylist},
    {PLAYER_MSG_GET_PLAYLIST_NAME, GetPlaylistName},
    {PLAYER_MSG_GET_FAVORITES_PATH, GetFavoritesPath},
    {PLAYER_MSG_GET_SCAN_FOLDER, GetScanFolder},
    {PLAYER_MSG_GET_CURRENT_TITLE, GetCurrentTitle},
    {PLAYER_MSG_GET_RESUME_POSITION, GetResumePosition},
    {PLAYER_MSG_GET_BOOKMARK_POSITION, GetBookmarkPosition},
};

}  // namespace

std::span<const PlayerMessageEntry> PlaylistMessages() { return kEntries; }
