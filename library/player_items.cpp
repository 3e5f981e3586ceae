// The bridge's four operations (see player_items.h). Nothing is stored for a file whose tags
// could not be read or that has none; a file that was read with a failure is handed out unstored.
#include "player_items.h"

#include "media_item.h"
#include "media_library.h"
#include "wide_text.h"

namespace {

constexpr DWORD kArtistInstances = 0x80027533;  // instances: tag ids shown as artists

bool HasTag(IMediaItem* item, DWORD tag) {
  BOOL present = FALSE;
  return SUCCEEDED(item->HasTag(tag, &present)) && present;
}

bool Listed(IMediaItem* item, DWORD tag) {
  BOOL present = FALSE;
  return SUCCEEDED(item->HasInstance(kArtistInstances, tag, &present)) && present;
}

// Copies one artist text to the other tag, and lists the other tag beside the first.
void CopyArtist(IMediaItem* item, DWORD from, DWORD to) {
  BSTR text = nullptr;
  if (FAILED(item->GetString(from, &text)) || !text) return;
  item->SetString(to, text);
  SysFreeString(text);
  if (Listed(item, from)) {
    const LONG id = static_cast<LONG>(to);
    item->SetInstance(kArtistInstances, to, &id, sizeof id);
  }
}

}  // namespace

void FixAlbumArtist(IPlayerItemHost* host, IMediaItem* item) {
  if (!host || !item) return;
  if (host->EnsureBothArtistValues()) {
    const bool artist = HasTag(item, TAG_ARTIST), albumArtist = HasTag(item, TAG_ALBUM_ARTIST);
    if (!albumArtist && artist) CopyArtist(item, TAG_ARTIST, TAG_ALBUM_ARTIST);
    else if (!artist && albumArtist) CopyArtist(item, TAG_ALBUM_ARTIST, TAG_ARTIST);
  }
  host->OfferToHooks(kHookItemBeforeStore, &item, sizeof item);
}

IMediaItem* FindLibraryItem(CMediaLibrary* library, LPCWSTR source) {
  if (!library || !source || !*source) return nullptr;
  IMediaItem* item = nullptr;
  return SUCCEEDED(library->FindItem(source, &item, 0)) ? item : nullptr;
}

// The file's tags read into `item` (its source set) and, unless the read failed, stored; false
// when nothing could be read.
static bool ReadAndStore(IPlayerItemHost* host, CMediaLibrary* library, LPCWSTR source, CMediaItem* item, HRESULT* stored) {
  item->SetSource(source);
  DWORD count = 0;
  if (!host || FAILED(host->ReadTags(source, item)) || FAILED(item->GetTagCount(&count)) || count == 0) return false;
  LONG failed = 0;
  if (FAILED(item->GetInt(TAG_READ_FAILED, &failed)) || failed == 0) {
    FixAlbumArtist(host, item);
    if (library) *stored = library->StoreEntry(item);
  }
  return true;
}

IMediaItem* GetLibraryItemForSource(IPlayerItemHost* host, CMediaLibrary* library, LPCWSTR source) {
  if (!source || !*source) return nullptr;
  CMediaItem* item = CreateMediaItem();
  if (!item) return nullptr;
  if (library && SUCCEEDED(library->LoadItem(source, item))) return item;
  HRESULT stored = E_FAIL;
  if (!ReadAndStore(host, library, source, item, &stored)) {
    item->Release();
    return nullptr;
  }
  return item;
}

HRESULT RefreshLibraryEntry(IPlayerItemHost* host, CMediaLibrary* library, LPCWSTR source) {
  if (!source || !*source || !library) return E_POINTER;
  CMediaItem* item = CreateMediaItem();
  if (!item) return E_OUTOFMEMORY;
  HRESULT stored = E_FAIL;
  ReadAndStore(host, library, source, item, &stored);
  item->Release();
  return stored;
}

IMediaItem* GetPlaylistItemInterface(IPlayerItemHost* host, CMediaLibrary* library, int index) {
  if (!host) return nullptr;
  if (index != -1) {
    std::u16string path;
    if (!host->PlaylistEntryPath(index, &path)) return nullptr;
    if (path.empty()) return CreateMediaItem();
    if (!zblib::EqualNoCase(path, host->CurrentPath())) return GetLibraryItemForSource(host, library, path.c_str());
  }
  IMediaItem* current = host->CurrentItem();
  if (!current) return nullptr;
  IMediaItem* item = nullptr;
  current->QueryInterface(IID_IMediaItem, reinterpret_cast<void**>(&item));
  current->Release();
  return item;
}
