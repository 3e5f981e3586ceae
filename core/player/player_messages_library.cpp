// Player callback messages that reach the media library: items by path and by source, new and
// stored items, validity marks, queries, the kept tags, the library's status, its reopening and
// its move to the folder the settings name.
#include "core/interface/player_messages.h"
#include "core/player/core_media_library.h"
#include "core/player/player_core.h"
#include "core/player/player_message_table.h"
#include "core/settings/settings.h"
#include "library_location.h"
#include "library_move_window.h"
#include "media_item.h"
#include "media_library.h"
#include "medialist.h"
#include "player_items.h"

namespace {

// A detached item of the source (none for null); null when it cannot be made.
IMediaItem* NewItem(LPCWSTR source) {
  CMediaItem* item = CreateMediaItem();
  if (item && source) item->SetSource(source);
  return item;
}

std::u16string SourceOf(IUnknown* object) {
  std::u16string source;
  BSTR text = nullptr;
  IMediaItem* item = nullptr;
  IMediaList* list = nullptr;
  if (SUCCEEDED(object->QueryInterface(IID_IMediaItem, reinterpret_cast<void**>(&item))) && item) {
    if (SUCCEEDED(item->GetSource(&text)) && text) source = text;
    item->Release();
  } else if (SUCCEEDED(object->QueryInterface(IID_IMediaList, reinterpret_cast<void**>(&list))) && list) {
    if (SUCCEEDED(list->GetFileName(&text)) && text) source = text;
    list->Release();
  }
  SysFreeString(text);
  return source;
}

int GetItemByPath(CPlayerCore& core, const PlayerMessage& m) {
  LPCWSTR path = InText(m);
  auto** out = OutAs<IMediaItem*>(m);
  if (!path || !out) return 0;
  CSectionLock hold(core.MessageLock());
  *out = nullptr;
  if (_wcsicmp(path, core.GetCurrentPath().c_str()) == 0 && core.GetCurrentItem()) {
    *out = core.GetCurrentItem();
    (*out)->AddRef();
  } else if (CMediaLibrary* library = core.GetMediaLibrary()) {
    *out = GetLibraryItemForSource(CoreItemHost(), library, path);
  }
  return 0;
}

int StoreItem(CPlayerCore& core, const PlayerMessage& m) {
  if (!m.in) return -1;
  CSectionLock hold(core.MessageLock());
  CMediaLibrary* library = core.GetMediaLibrary();
  CMediaItem* copy = library ? CreateMediaItem() : nullptr;
  if (!copy) return -1;
  HRESULT result = copy->CopyFrom(static_cast<IMediaItem*>(m.in), 0, -1, TRUE);
  if (SUCCEEDED(result)) result = library->StoreItem(copy);
  copy->Release();
  return SUCCEEDED(result) ? 0 : -1;
}

int CreateItem(CPlayerCore& core, const PlayerMessage& m) {
  LPCWSTR source = InText(m);
  auto** out = OutAs<IMediaItem*>(m);
  if (!source || !out) return -1;
  CSectionLock hold(core.MessageLock());
  *out = NewItem(source);
  return *out ? 0 : -1;
}

int NewDetachedItem(CPlayerCore&, const PlayerMessage& m) {
  auto** out = OutAs<IMediaItem*>(m);
  if (!out) return -1;
  LPCWSTR source = m.in ? InText(m) : nullptr;
  *out = NewItem(source && *source ? source : nullptr);
  return -1;
}

// A trailing "*" stands for every source under the folder.
int Mark(CPlayerCore& core, const PlayerMessage& m, bool valid) {
  LPCWSTR text = InText(m);
  if (!text) return 0;
  std::u16string source(text);
  const BOOL folder = !source.empty() && source.back() == u'*';
  if (folder) source.pop_back();
  CSectionLock hold(core.MessageLock());
  if (CMediaLibrary* library = core.GetMediaLibrary())
    valid ? library->MarkValid(source.c_str(), folder) : library->MarkInvalid(source.c_str(), folder);
  return 0;
}
int MarkValid(CPlayerCore& core, const PlayerMessage& m) { return Mark(core, m, true); }
int MarkInvalid(CPlayerCore& core, const PlayerMessage& m) { return Mark(core, m, false); }

// Queries and query items answer -1 when they made nothing, whatever the reason.
template <class Made, class Make>
int MakeFromLibrary(CPlayerCore& core, const PlayerMessage& m, bool needsQuery, Make make) {
  auto** out = OutAs<Made*>(m);
  if ((needsQuery && !m.in) || !out) return -1;
  *out = nullptr;
  CMediaLibrary* library = core.GetMediaLibrary();
  if (!library || FAILED(make(library, static_cast<IMediaItem*>(m.in), out))) *out = nullptr;
  return *out ? 0 : -1;
}

int QueryValues(CPlayerCore& core, const PlayerMessage& m) {
  return MakeFromLibrary<IMediaResult>(core, m, true, [](CMediaLibrary* library, IMediaItem* query, IMediaResult** out) {
    return library->QueryValues(query, out);
  });
}

int CreateQueryItem(CPlayerCore& core, const PlayerMessage& m) {
  return MakeFromLibrary<IMediaItem>(core, m, false, [](CMediaLibrary* library, IMediaItem*, IMediaItem** out) {
    return library->CreateItem(out);
  });
}

int QueryMedia(CPlayerCore& core, const PlayerMessage& m) {
  return MakeFromLibrary<IMediaList>(core, m, true, [](CMediaLibrary* library, IMediaItem* query, IMediaList** out) {
    return library->QueryMedia(query, out);
  });
}

int GetItemFromObject(CPlayerCore& core, const PlayerMessage& m) {
  auto** out = OutAs<IMediaItem*>(m);
  if (!m.in || !out) return 0;
  CSectionLock hold(core.MessageLock());
  *out = nullptr;
  const std::u16string source = SourceOf(static_cast<IUnknown*>(m.in));
  CMediaLibrary* library = core.GetMediaLibrary();
  if (library && !source.empty()) *out = FindLibraryItem(library, source.c_str());
  return 0;
}

int GetMediaLibrary(CPlayerCore& core, const PlayerMessage& m) {
  void** out = OutAs<void*>(m);
  if (!out) return E_INVALIDARG;
  CSectionLock hold(core.MessageLock());
  *out = nullptr;
  CMediaLibrary* library = core.GetMediaLibrary();
  return library ? library->QueryInterface(IID_IMediaLibrary, out) : E_FAIL;
}

int AddKeptTag(CPlayerCore& core, const PlayerMessage& m) {
  const DWORD* tag = InAs<DWORD>(m);
  if (!tag) return 0;
  CSectionLock hold(core.MessageLock());
  if (CMediaLibrary* library = core.GetMediaLibrary()) library->AddKeptTag(*tag);
  return 0;
}

int RemoveKeptTag(CPlayerCore& core, const PlayerMessage& m) {
  const DWORD* tag = InAs<DWORD>(m);
  if (!tag) return 0;
  CSectionLock hold(core.MessageLock());
  if (CMediaLibrary* library = core.GetMediaLibrary()) library->RemoveKeptTag(*tag);
  return 0;
}

int GetLibraryStatus(CPlayerCore& core, const PlayerMessage& m) {
  auto* status = InAs<MEDIA_LIBRARY_STATUS>(m);
  if (status && core.GetLibraryLink()) core.GetLibraryLink()->GetStatus(status);
  return 0;
}

int ReopenLibrary(CPlayerCore& core, const PlayerMessage&) {
  CSectionLock hold(core.MessageLock());
  if (core.GetLibraryLink()) core.GetLibraryLink()->Reopen();
  return 0;
}

int MoveLibrary(CPlayerCore& core, const PlayerMessage&) {
  CSectionLock hold(core.MessageLock());
  CMediaLibrary* library = core.GetMediaLibrary();
  CSettings* settings = GetSettings();
  if (!library || !settings) return -1;
  HWND window = CreateMovingLibraryWindow(core.GetMainWindow());
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  const std::u16string path = GetLibraryDatabasePath(*settings);
  const int result = library->MoveLibrary(path.c_str(), ReportMoveProgress, window);
  SetCursor(nullptr);
  if (window) DestroyWindow(window);
  return result;
}

constexpr PlayerMessageEntry kEntries[] = {
    {PLAYER_MSG_GET_ITEM_BY_PATH, GetItemByPath},
    {PLAYER_MSG_STORE_ITEM, StoreItem},
    {PLAYER_MSG_CREATE_ITEM, CreateItem},
    {PLAYER_MSG_NEW_ITEM, NewDetachedItem},
    {PLAYER_MSG_MARK_VALID, MarkValid},
    {PLAYER_MSG_MARK_INVALID, MarkInvalid},
    {PLAYER_MSG_QUERY_VALUES, QueryValues},
    {PLAYER_MSG_CREATE_QUERY_ITEM, CreateQueryItem},
    {PLAYER_MSG_QUERY_MEDIA, QueryMedia},
    {PLAYER_MSG_GET_ITEM_FROM_OBJECT, GetItemFromObject},
    {PLAYER_MSG_GET_MEDIA_LIBRARY, GetMediaLibrary},
    {PLAYER_MSG_ADD_KEPT_TAG, AddKeptTag},
    {PLAYER_MSG_REMOVE_KEPT_TAG, RemoveKeptTag},
    {PLAYER_MSG_GET_LIBRARY_STATUS, GetLibraryStatus},
    {PLAYER_MSG_REOPEN_LIBRARY, ReopenLibrary},
    {PLAYER_MSG_MOVE_LIBRARY, MoveLibrary},
};

}  // namespace

std::span<const PlayerMessageEntry> LibraryMessages() { return kEntries; }
