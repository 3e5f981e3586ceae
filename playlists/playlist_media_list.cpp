// The playlist as a media list and back: exporting hands every entry to the library (found,
// read or made up for the path) with what the playlist knows of it; appending adds a list's
// items as entries with their titles and lengths.
#include "media_item.h"
#include "media_list.h"
#include "playlist.h"
#include "tagids.h"

namespace {

// Where a library item keeps the playlist's own title and length for it.
constexpr DWORD kPlaylistTitleTag = 0x000175F9;
constexpr DWORD kPlaylistLengthTag = 0x000275FA;

// {F1BCF888-07D3-404D-BCDE-4F9FAD68424C}: the entry's media-kind flag is set.
DEFINE_GUID(kOtherMediaType, 0xF1BCF888, 0x07D3, 0x404D, 0xBC, 0xDE, 0x4F, 0x9F, 0xAD, 0x68, 0x42, 0x4C);
// {D21EF878-87BC-4277-92EA-585E16C7AFD9}: audio, for items that have no media type yet.
DEFINE_GUID(kAudioMediaType, 0xD21EF878, 0x87BC, 0x4277, 0x92, 0xEA, 0x58, 0x5E, 0x16, 0xC7, 0xAF, 0xD9);

bool IsBoundLibraryItem(IMediaItem* item) {
  IUnknown* bound = nullptr;
  if (FAILED(item->QueryInterface(IID_ILibraryItem, reinterpret_cast<void**>(&bound))) || !bound) return false;
  bound->Release();
  return true;
}

// "http://...", "\\server\..." and "scheme://..." are streams the library does not hold.
bool IsStreamSource(const std::u16string& path) {
  if (path.rfind(u"http://", 0) == 0 || path.rfind(u"\\\\", 0) == 0) return true;
  const size_t run = path.find_first_of(u"\\:/");
  return run != std::u16string::npos && path.compare(run, 3, u"://") == 0;
}

IMediaItem* NewDetachedItem(const std::u16string& source) {
  CMediaItem* item = CreateMediaItem();
  if (item) item->SetSource(source.c_str());
  return item;
}

bool ReadString(IMediaItem* item, DWORD tag, std::u16string& text) {
  BSTR value = nullptr;
  if (FAILED(item->GetString(tag, &value)) || !value) return false;
  text = value;
  SysFreeString(value);
  return true;
}

bool HasTag(IMediaItem* item, DWORD tag) {
  BOOL present = FALSE;
  return SUCCEEDED(item->HasTag(tag, &present)) && present;
}

}  // namespace

HRESULT CPlaylist::AppendMediaList(IMediaList* list) {
  if (!list) return E_FAIL;
  Notify(PLM_BATCH, 0, 0);
  for (LONG n = 0;; ++n) {
    IMediaItem* item = nullptr;
    if (FAILED(list->GetItem(n, &item)) || !item) break;
    std::u16string source;
    BSTR text = nullptr;
    if (SUCCEEDED(item->GetSource(&text)) && text) source = text;
    SysFreeString(text);
    const int index = InsertItem(source.c_str(), -1, nullptr, -2);
    if (index >= 0) {
      const bool bound = IsBoundLibraryItem(item);
      LONG length = 0;
      bool known = SUCCEEDED(item->GetInt(TAG_LENGTH, &length));
      if (!known && bound) known = SUCCEEDED(item->GetInt(kPlaylistLengthTag, &length));
      length = !known ? -2 : length < 0 ? -1 : length;
      std::u16string title;
      bool titled = ReadString(item, TAG_DISPLAY_TITLE, title);
      if (!titled && bound) titled = ReadString(item, kPlaylistTitleTag, title);
      if (titled && _wcsicmp(title.c_str(), source.c_str()) != 0) {
        SetItemInfo(index, source.c_str(), title.c_str(), -2);
        items_[static_cast<size_t>(index)].length = length;
      }
    }
    item->Release();
  }
  Notify(PLM_BATCH, 1, 0);
  return S_OK;
}

HRESULT CPlaylist::ExportToMediaList(IPlaylistCore* core, IMediaList** out) {
  if (!out) return E_FAIL;
  *out = nullptr;
  CMediaList* list = CreateMediaList();
  if (!list) return E_OUTOFMEMORY;
  list->SetNameText(title_.c_str());
  for (int i = 0; i < GetCount(); ++i) {
    const PlaylistItem entry = items_[static_cast<size_t>(i)];
    IMediaItem* item = nullptr;
    if (IsStreamSource(entry.path)) {
      item = NewDetachedItem(entry.path);
    } else {
      if (core) item = core->FindLibraryItem(entry.path.c_str());
      if (!item && core) {
        if (IMediaItem* stored = core->GetLibraryItemForSource(entry.path.c_str())) stored->Release();
        item = core->FindLibraryItem(entry.path.c_str());
      }
      if (!item) {
        item = NewDetachedItem(entry.path);
        if (item && core) core->FindLibraryEntryForPlaylist(item, entry.path.c_str());
      }
    }
    if (!item) continue;

    const std::u16string shown = entry.DisplayName();
    if (IsBoundLibraryItem(item)) {
      item->SetString(kPlaylistTitleTag, shown.c_str());
      item->SetInt(kPlaylistLengthTag, entry.length);
    } else {
      if (_wcsicmp(shown.c_str(), entry.path.c_str()) != 0) {
        std::u16string display;
        const bool hasDisplay = ReadString(item, TAG_DISPLAY_TITLE, display);
        if ((hasDisplay && display != shown) || (!hasDisplay && !HasTag(item, TAG_SONG_TITLE))) {
          item->SetString(TAG_DISPLAY_TITLE, shown.c_str());
        }
      }
      if (entry.length != -2) item->SetInt(TAG_LENGTH, entry.length);
      if (entry.mediaKind) {
        item->SetGuid(TAG_MEDIA_TYPE, kOtherMediaType);
      } else if (!HasTag(item, TAG_MEDIA_TYPE)) {
        item->SetGuid(TAG_MEDIA_TYPE, kAudioMediaType);
      }
    }
    list->AddItem(item);
    item->Release();
  }
  *out = list;
  return S_OK;
}
