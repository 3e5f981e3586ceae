// What the core's playlist asks of the core (IPlaylistCore): the advance setting, the playable
// types for folder scans and the media library's items (downloads: download_to_file.cpp);
// and the library's activity bits that the transport sets while it plays.
#include "core/player/core_media_library.h"
#include "core/player/core_seam.h"
#include "core/transport/open_filter.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "player_items.h"
#include "playlist_probe.h"

namespace {

constexpr DWORD kTagPlaylistKind = 0x0006138C;
// {46D49CCF-1C31-4442-A51A-28343D2DBE9D}: the item is a playlist file.
constexpr GUID kPlaylistFileKind = {0x46D49CCF, 0x1C31, 0x4442, {0xA5, 0x1A, 0x28, 0x34, 0x3D, 0x2D, 0xBE, 0x9D}};

}  // namespace

DWORD CPlayerCore::GetManualPlaylistAdvance() {
  CSettings* settings = GetSettings();
  return settings ? settings->manualPlaylistAdvance : 0;
}

std::u16string CPlayerCore::GetPlayableExtensions() {
  std::u16string filter(BuildOpenFilter(OPEN_FILTER_MEDIA, nullptr), 0);
  BuildOpenFilter(OPEN_FILTER_MEDIA, filter.data());
  return UpperExtensionList(filter.c_str());
}

IMediaItem* CPlayerCore::FindLibraryItem(LPCWSTR source) {
  IMediaItem* item = nullptr;
  if (!library_ || !source || FAILED(library_->FindItem(source, &item, 0))) return nullptr;
  return item;
}

IMediaItem* CPlayerCore::GetLibraryItemForSource(LPCWSTR source) {
  return ::GetLibraryItemForSource(CoreItemHost(), GetMediaLibrary(), source);
}

// A playlist file's own tags, read by the playlist probe through the file reader.
HRESULT CPlayerCore::FindLibraryEntryForPlaylist(IMediaItem* item, LPCWSTR path) {
  if (FAILED(ReadItemTags(item, path, &PlaylistProbe))) return E_FAIL;
  item->SetGuid(kTagPlaylistKind, kPlaylistFileKind);
  return S_OK;
}

void CPlayerCore::RequestLibraryFlush(DWORD bits, DWORD mask) {
  if (library_) library_->RequestFlush(bits, mask);
}
