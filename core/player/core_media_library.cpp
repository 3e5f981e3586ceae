// The media library object the core holds (IMediaLibraryLink over CMediaLibrary), made with the
// Local Content sink, and the host the scan and the library's player bridge work through: tag
// reading by the claiming decoder, the playable types, and the core's playback when there is one.
#include "core/player/core_media_library.h"

#include "core/modules/decoder_choice.h"
#include "core/modules/stream_sources.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "core/transport/open_filter.h"
#include "local_content.h"
#include "media_item.h"
#include "media_library.h"
#include "player_items.h"
#include "playlist.h"
#include "tag_reading.h"

namespace {

constexpr DWORD kTagReadingOpen = 0x80000000;

void StreamTitle(InputSource* stream, LPCWSTR path, LPWSTR title) {
  if (stream && stream->GetTitle) stream->GetTitle(stream, path, title);
}

std::u16string Extensions(DWORD kind) {
  std::u16string filter(BuildOpenFilter(kind, nullptr), 0);
  BuildOpenFilter(kind, filter.data());
  return UpperExtensionList(filter.c_str());
}

class CCoreItemHost final : public IPlayerItemHost {
 public:
  IMediaItem* CurrentItem() override {
    CPlayerCore* core = PeekPlayerCore();
    IMediaItem* item = core ? core->GetCurrentItem() : nullptr;
    if (item) item->AddRef();
    return item;
  }
  std::u16string CurrentPath() override {
    CPlayerCore* core = PeekPlayerCore();
    return core ? core->GetCurrentPath() : std::u16string();
  }
  bool PlaylistEntryPath(int index, std::u16string* path) override {
    CPlayerCore* core = PeekPlayerCore();
    CPlaylist* playlist = core ? core->GetPlaylist() : nullptr;
    if (!playlist || index < 0 || index >= playlist->GetCount()) return false;
    *path = playlist->GetItemPath(index);
    return true;
  }
  HRESULT ReadTags(LPCWSTR source, CMediaItem* item) override {
    const DecModule* record = ChooseDecoder(source);
    if (!record) return E_NOINTERFACE;
    return ReadItemTags(item, source, record);
  }
  BOOL EnsureBothArtistValues() override {
    CSettings* settings = GetSettings();
    return settings && settings->ensureBothArtistValues;
  }
  void OfferToHooks(UINT code, void* data, UINT size) override {
    if (CPlayerCore* core = PeekPlayerCore()) core->DispatchToHooks(code, data, size, nullptr, nullptr);
  }
};

CCoreItemHost g_itemHost;

class CCoreLibraryLink final : public IMediaLibraryLink, public ILocalContentHost {
 public:
  explicit CCoreLibraryLink(CMediaLibrary* library) : library_(library) { SetLocalContentHost(this); }

  // IMediaLibraryLink
  HRESULT GetStatus(MEDIA_LIBRARY_STATUS* status) override {
    if (!status || status->size != sizeof *status) return E_FAIL;
    MEDIALIBRARYSTATUS inner{sizeof inner, 0, 0, 0};
    const HRESULT result = library_->GetStatus(&inner);
    status->open = inner.open;
    status->writeSuspended = inner.suspended;
    status->background = inner.busy;
    return result;
  }
  HRESULT FindItem(LPCWSTR path, IMediaItem** item, DWORD flags) override { return library_->FindItem(path, item, flags); }
  void Reopen() override { library_->Reopen(); }
  void RequestFlush(DWORD bits, DWORD mask) override { library_->ChangeMode(bits & mask, mask); }
  HRESULT Unadvise(int event, LibraryEventCallback callback, void* context) override {
    if (callback != &CPlayerCore::OnLibraryEvent) return E_FAIL;
    return library_->Unadvise(static_cast<DWORD>(event), 0, ForwardLibraryEvent, reinterpret_cast<DWORD_PTR>(context));
  }
  void Release() override {
    if (GetLocalContentHost() == this) SetLocalContentHost(nullptr);
    if (!closed_) library_->Close(FALSE);
    library_->Release();
    delete this;
  }
  CMediaLibrary* Object() override { return library_; }
  void Compact(BOOL compact) override {
    library_->Close(compact);
    closed_ = true;
  }

  // ILocalContentHost
  CMediaLibrary* Library() override { return library_; }
  IPlayerItemHost* ItemHost() override { return &g_itemHost; }
  std::u16string MediaExtensions() override { return Extensions(OPEN_FILTER_MEDIA); }
  std::u16string PlaylistExtensions() override { return Extensions(OPEN_FILTER_PLAYLISTS); }
  BOOL IsPlaying() override {
    CPlayerCore* core = PeekPlayerCore();
    return core && core->IsPlaying();
  }
  void LeavePath(LPCWSTR path) override {
    CPlayerCore* core = PeekPlayerCore();
    if (!core || !path || !core->IsPlaying()) return;
    const std::u16string playing = core->GetCurrentPath();
    if (_wcsnicmp(playing.c_str(), path, wcslen(path)) == 0) core->NextItem(FALSE);
  }

 private:
  ~CCoreLibraryLink() = default;
  CMediaLibrary* library_;
  bool closed_ = false;
};

}  // namespace

IMediaLibraryLink* CreateCoreMediaLibrary(HINSTANCE instance) {
  ILibraryScanSink* sink = CreateLocalContentSink();
  auto* library = new CMediaLibrary(instance, sink);
  sink->Release();  // the library holds its own reference
  return new CCoreLibraryLink(library);
}

IPlayerItemHost* CoreItemHost() { return &g_itemHost; }

void ForwardLibraryEvent(DWORD event, DWORD_PTR context, LPCWSTR text, const LIBEVENTINFO*) {
  CPlayerCore::OnLibraryEvent(static_cast<int>(event), text, reinterpret_cast<void*>(context));
}

HRESULT ReadItemTags(IMediaItem* item, LPCWSTR path, const DecModule* record) {
  auto* target = dynamic_cast<CMediaItem*>(item);
  if (!target) return E_FAIL;
  target->Reset();
  if (!path || !record) return E_FAIL;
  target->SetSource(path);
  InputSource* provider = record->source ? record->source : ChooseSource(path);
  CSourceCopy copy;
  copy.Reset(provider, kTagReadingOpen);
  InputSource* stream = copy.get();
  TagReadSource source{};
  source.stream = stream;
  source.streamVersion = stream ? stream->version : 0;
  source.streamFlags = stream ? stream->flags : 0;
  source.ReadStreamInfo = record->ReadStreamInfo;
  source.GetContentType = record->GetContentType;
  source.GetTitle = StreamTitle;
  source.ReadInfo = stream ? stream->ReadInfo : nullptr;
  const HRESULT result = target->ReadTagsFromFile(&source);
  return SUCCEEDED(result) ? S_OK : E_FAIL;
}

void UpdateLibraryEntry(CMediaLibrary* library, LPCWSTR path, const DecModule* record) {
  if (!library || !path || !*path) return;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(path, &found);
  if (find == INVALID_HANDLE_VALUE) return;
  FindClose(find);
  BOOL isNew = TRUE;
  if (SUCCEEDED(library->NeedsUpdate(path, record, 1, &found, &isNew)) && !isNew) {
    library->MarkValid(path, FALSE);
    return;
  }
  RefreshLibraryEntry(&g_itemHost, library, path);
}
