// What the core's playlist asks of the core (IPlaylistCore): the advance setting, the playable
// types for folder scans and the media library's items (downloads: download_to_file.cpp);
// and the library's activity bits that the transport sets while it plays.
#include "core/player/core_seam.h"
#include "core/transport/open_filter.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"

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
  LogSeam(u"CMediaLibrary::GetItemForSource");
  return nullptr;
}

HRESULT CPlayerCore::FindLibraryEntryForPlaylist(IMediaItem*, LPCWSTR) {
  LogSeam(u"CMediaLibrary::FindEntryForPlaylist");
  return E_FAIL;
}

void CPlayerCore::RequestLibraryFlush(DWORD bits, DWORD mask) {
  if (library_) library_->RequestFlush(bits, mask);
}
