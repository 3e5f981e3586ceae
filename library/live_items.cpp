// The register of live library items, by mid: a write through one item tells the others of the
// same row, and a service item's release ends the transaction its opening began. Service items
// are hidden entries under "zblc.svc." and a caller's name.
#include "library_item.h"
#include "media_library.h"
#include "tag_tables.h"

bool CMediaLibrary::RegisterItem(CLibraryItem* item) {
  EnterCriticalSection(&registryLock_);
  bool ok = true;
  try {
    liveItems_.emplace(item->Mid(), item);
  } catch (...) {
    ok = false;
  }
  LeaveCriticalSection(&registryLock_);
  return ok;
}

namespace {

// A new library item for the row, registered; null when it can't be made.
CLibraryItem* MakeRegisteredItem(CMediaLibrary* library, DWORD mid, LPCWSTR source, DWORD flag) {
  CLibraryItem* item = CLibraryItem::Create(library, mid, source, flag);
  if (item && !library->RegisterItem(item)) {
    item->Release();
    return nullptr;
  }
  return item;
}

}  // namespace

IMediaItem* CMediaLibrary::OpenBoundItem(DWORD mid, LPCWSTR source, DWORD flag) {
  CLibraryLock lock(this);
  if (!db_ || mid == 0 || !source || !*source) return nullptr;
  return MakeRegisteredItem(this, mid, source, flag);
}

IMediaItem* CMediaLibrary::OpenBoundItemWithText(DWORD mid, LPCWSTR source, DWORD tag, LPCWSTR text, DWORD flag) {
  IMediaItem* item = OpenBoundItem(mid, source, flag);
  if (item && text) static_cast<CLibraryItem*>(item)->SetCachedString(tag, text);
  return item;
}

IMediaItem* CMediaLibrary::OpenListedItem(DWORD mid, LPCWSTR source, DWORD tag, LPCWSTR text) {
  if (mid == 0 || !source || !*source) return nullptr;
  CLibraryItem* item = MakeRegisteredItem(this, mid, source, 0);
  if (item && text) item->SetCachedString(tag, text);
  return item;
}

void CMediaLibrary::UnregisterItem(CLibraryItem* item) {
  // Only a service item's end touches the database; the many plain items of a released list need
  // the registry lock alone, as their registering did.
  if (item->HoldsBatch()) {
    CLibraryLock lock(this);
    if (db_) db_->CommitTransaction();
  }
  EnterCriticalSection(&registryLock_);
  auto [first, last] = liveItems_.equal_range(item->Mid());
  for (auto it = first; it != last; ++it) {
    if (it->second == item) {
      liveItems_.erase(it);
      break;
    }
  }
  LeaveCriticalSection(&registryLock_);
}

void CMediaLibrary::NotifyItemsOfRow(DWORD mid, IMediaItem* except) {
  ++rowChanges_;
  EnterCriticalSection(&registryLock_);
  auto [first, last] = liveItems_.equal_range(mid);
  for (auto it = first; it != last; ++it) {
    if (static_cast<IMediaItem*>(it->second) != except) it->second->Refresh();
  }
  LeaveCriticalSection(&registryLock_);
}

std::u16string CMediaLibrary::GetSourceByMid(DWORD mid) {
  CLibraryLock lock(this);
  if (mid == 0) return {};
  CSqlStatement* find = Cached(u"select source from media where mid=?;");
  if (!find) return {};
  find->BindInt(1, static_cast<int>(mid));
  CSqlQuery row = find->ExecQuery();
  return row.Eof() ? std::u16string() : std::u16string(row.GetText(0, u""));
}

STDMETHODIMP CMediaLibrary::OpenServiceItem(LPCWSTR name, IMediaItem** item, BOOL* created) {
  if (!item) return E_POINTER;
  *item = nullptr;
  const bool mayCreate = created && *created;
  if (created) *created = FALSE;
  if (!name) return E_FAIL;
  CLibraryLock lock(this);
  if (!db_) return E_FAIL;
  const std::u16string source = kServiceItemPrefix + std::u16string(name);
  IMediaItem* found = nullptr;
  if (SUCCEEDED(FindItem(source.c_str(), &found, 0)) && found) {
    db_->BeginTransaction();
    static_cast<CLibraryItem*>(found)->HoldBatch();
    MarkValid(source.c_str(), FALSE);
    *item = found;
    return S_OK;
  }
  if (!mayCreate || writeSuspended_) return E_FAIL;
  CSqlStatement* insert = Statement(kStmtInsertMedia);
  if (!insert) return E_FAIL;
  insert->BindText(1, source.c_str());
  insert->BindInt(2, ScanMark());
  for (int column = 3; column <= 5; ++column) insert->BindInt(column, 0);
  if (insert->Execute() <= 0) return E_FAIL;
  if (created) *created = TRUE;
  RaiseEvent(LIBEVENT_ITEM_ADDED, source.c_str(), nullptr);
  if (FAILED(FindItem(source.c_str(), &found, 0)) || !found) return E_FAIL;
  db_->BeginTransaction();
  static_cast<CLibraryItem*>(found)->HoldBatch();
  *item = found;
  return S_OK;
}
