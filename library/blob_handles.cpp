// CLibraryBlobStore: the handles, numbered from 0x80000000 up so they never meet the memory
// store's, each {row id, private copy, size, crc, owner}. Lock order: the library lock first,
// then the store's own lock; the store never waits for a library while it holds its own.
#include "blob_handles.h"

#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "blob_checksum.h"
#include "media_library.h"

namespace {

constexpr DWORD kFirstHandle = 0x80000000u;

struct BlobHandle {
  LONG id = 0;  // the row (> 0); minus the old row once it went; 0 when there never was one
  bool hasCopy = false;
  std::vector<BYTE> copy;
  DWORD size = 0;
  DWORD crc = 0;
  CMediaLibrary* owner = nullptr;
  LONG refs = 0;
};

using RowKey = std::pair<CMediaLibrary*, LONG>;

std::mutex g_lock;
std::map<DWORD, std::unique_ptr<BlobHandle>> g_handles;
std::multimap<RowKey, DWORD> g_byRow;  // handles on a row, by library and row id
DWORD g_next = kFirstHandle;
std::atomic<CMediaLibrary*> g_attached{nullptr};

bool Ours(DWORD handle) { return handle >= kFirstHandle && handle != BLOB_HANDLE_NONE; }

BlobHandle* Find(DWORD handle) {
  auto found = g_handles.find(handle);
  return found == g_handles.end() ? nullptr : found->second.get();
}

void Unindex(DWORD number, const BlobHandle& h) {
  auto [first, last] = g_byRow.equal_range({h.owner, h.id});
  for (auto it = first; it != last; ++it) {
    if (it->second == number) {
      g_byRow.erase(it);
      return;
    }
  }
}

DWORD NewHandle(std::unique_ptr<BlobHandle> handle) {
  if (g_next == BLOB_HANDLE_NONE) g_next = kFirstHandle;
  while (g_handles.count(g_next)) ++g_next;
  const DWORD number = g_next++;
  if (handle->id > 0) g_byRow.emplace(RowKey{handle->owner, handle->id}, number);
  g_handles.emplace(number, std::move(handle));
  return number;
}

void TakeCopy(BlobHandle& h, const void* bytes, DWORD size, DWORD crc) {
  h.copy.assign(static_cast<const BYTE*>(bytes), static_cast<const BYTE*>(bytes) + size);
  h.hasCopy = true;
  h.size = size;
  h.crc = crc;
}

}  // namespace

CLibraryBlobStore& CLibraryBlobStore::Instance() {
  static CLibraryBlobStore store;
  return store;
}

void CLibraryBlobStore::Attach(CMediaLibrary* library) {
  g_attached = library;
  SetBlobStore(this);
}

void CLibraryBlobStore::Detach(CMediaLibrary* library) {
  CMediaLibrary* expected = library;
  g_attached.compare_exchange_strong(expected, nullptr);
  std::lock_guard hold(g_lock);
  for (auto& [number, h] : g_handles) {
    if (h->owner != library) continue;
    Unindex(number, *h);
    std::vector<BYTE> bytes;
    if (!h->hasCopy && h->id > 0 && library->ReadBlobRow(h->id, &bytes)) {
      h->copy = std::move(bytes);
      h->hasCopy = true;
    }
    h->id = h->hasCopy ? -(h->id > 0 ? h->id : -h->id) : 0;
    h->owner = nullptr;
  }
}

DWORD CLibraryBlobStore::GetBlobHandleForData(const void* bytes, DWORD size) {
  CMediaLibrary* library = g_attached;
  if (!library) return GetMemoryBlobStore()->GetBlobHandleForData(bytes, size);
  return GetBlobHandleForData(library, bytes, size);
}

DWORD CLibraryBlobStore::GetBlobHandleForData(CMediaLibrary* library, const void* bytes, DWORD size) {
  if (!bytes || size == 0) return BLOB_HANDLE_NONE;
  const DWORD crc = BlobChecksum(bytes, size);
  LONG id = 0;
  {
    CLibraryLock lock(library);
    id = library->FindOrInsertBlob(bytes, size, crc);
    if (id > 0) return GetBlobHandleForId(library, id, size, crc);
  }
  // No row now (closed, or writes suspended): the value keeps its bytes until one can be had.
  auto handle = std::make_unique<BlobHandle>();
  TakeCopy(*handle, bytes, size, crc);
  handle->owner = library;
  std::lock_guard hold(g_lock);
  return NewHandle(std::move(handle));
}

DWORD CLibraryBlobStore::GetBlobHandleForId(CMediaLibrary* library, LONG blobId, DWORD size, DWORD crc) {
  if (blobId <= 0) return BLOB_HANDLE_NONE;
  std::lock_guard hold(g_lock);
  auto found = g_byRow.find({library, blobId});
  if (found != g_byRow.end()) return found->second;
  auto handle = std::make_unique<BlobHandle>();
  handle->id = blobId;
  handle->size = size;
  handle->crc = crc;
  handle->owner = library;
  return NewHandle(std::move(handle));
}

void CLibraryBlobStore::AddBlobHandleRefs(DWORD handle, LONG delta) {
  if (!Ours(handle)) return GetMemoryBlobStore()->AddBlobHandleRefs(handle, delta);
  std::lock_guard hold(g_lock);
  BlobHandle* h = Find(handle);
  if (!h) return;
  h->refs += delta;
  if (h->refs > 0) return;
  Unindex(handle, *h);
  g_handles.erase(handle);
}

void CLibraryBlobStore::OnBlobRemoved(CMediaLibrary* library, LONG blobId, const void* bytes, DWORD size, DWORD crc) {
  std::lock_guard hold(g_lock);
  auto [first, last] = g_byRow.equal_range({library, blobId});
  for (auto it = first; it != last; ++it) {
    BlobHandle& h = *g_handles.at(it->second);
    if (bytes && size > 0) {
      TakeCopy(h, bytes, size, crc);
      h.id = -blobId;
    } else {
      h.id = 0;  // nothing to keep: the value is gone with its row
    }
  }
  g_byRow.erase(first, last);
}

LONG CLibraryBlobStore::GetBlobId(CMediaLibrary* library, const CBlobRef& blob) {
  const DWORD handle = blob.Handle();
  if (Ours(handle)) {
    std::lock_guard hold(g_lock);
    BlobHandle* h = Find(handle);
    if (!h) return 0;
    if (h->owner == library && h->id > 0) return h->id;
  }
  // Not a row of this library (any more): its bytes find or make one.
  std::vector<BYTE> bytes;
  if (!HandleBytes(handle, blob.Size(), &bytes) || bytes.empty()) return 0;
  const DWORD size = static_cast<DWORD>(bytes.size());
  const DWORD crc = BlobChecksum(bytes.data(), size);
  const LONG id = library->FindOrInsertBlob(bytes.data(), size, crc);
  if (id <= 0 || !Ours(handle)) return id;
  std::lock_guard hold(g_lock);
  BlobHandle* h = Find(handle);
  if (h && h->hasCopy) {
    // The handle lives on the row from here; the trigger gives the copy back if it goes again.
    Unindex(handle, *h);
    h->id = id;
    h->owner = library;
    h->crc = crc;
    h->hasCopy = false;
    h->copy.clear();
    h->copy.shrink_to_fit();
    g_byRow.emplace(RowKey{library, id}, handle);
  }
  return id;
}

bool CLibraryBlobStore::HandleBytes(DWORD handle, DWORD size, std::vector<BYTE>* bytes) {
  if (!Ours(handle)) {
    bytes->resize(size);
    return size > 0 && SUCCEEDED(GetMemoryBlobStore()->ReadBlob(handle, bytes->data(), size));
  }
  CMediaLibrary* owner = nullptr;
  LONG id = 0;
  {
    std::lock_guard hold(g_lock);
    BlobHandle* h = Find(handle);
    if (!h) return false;
    if (h->hasCopy) {
      *bytes = h->copy;
      return true;
    }
    owner = h->owner;
    id = h->id;
  }
  if (!owner || id <= 0) return false;
  CLibraryLock lock(owner);
  return owner->ReadBlobRow(id, bytes);
}

HRESULT CLibraryBlobStore::ReadBlob(DWORD handle, void* buffer, DWORD size) {
  if (!Ours(handle)) return GetMemoryBlobStore()->ReadBlob(handle, buffer, size);
  if (!buffer) return E_FAIL;
  std::vector<BYTE> bytes;
  if (!HandleBytes(handle, size, &bytes) || bytes.size() > size) return E_FAIL;
  std::memcpy(buffer, bytes.data(), bytes.size());
  return S_OK;
}

int CLibraryBlobStore::CompareBlobHandles(DWORD a, DWORD b) {
  if (a == b) return 0;
  if (!Ours(a) && !Ours(b)) return GetMemoryBlobStore()->CompareBlobHandles(a, b);
  DWORD size = 0;  // the values compared have one size; a handle of ours knows it
  {
    std::lock_guard hold(g_lock);
    const BlobHandle* ha = Ours(a) ? Find(a) : nullptr;
    const BlobHandle* hb = Ours(b) ? Find(b) : nullptr;
    if ((Ours(a) && !ha) || (Ours(b) && !hb)) return static_cast<int>(ha != nullptr) - static_cast<int>(hb != nullptr);
    if (ha && hb && ha->owner == hb->owner && ha->id > 0 && hb->id > 0) return ha->id < hb->id ? -1 : (ha->id > hb->id ? 1 : 0);
    size = ha ? ha->size : hb->size;
  }
  // Handles of different rows or stores: equal only when their bytes are.
  std::vector<BYTE> x, y;
  const bool validA = HandleBytes(a, size, &x), validB = HandleBytes(b, size, &y);
  if (!validA || !validB) return static_cast<int>(validA) - static_cast<int>(validB);
  if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
  const int c = std::memcmp(x.data(), y.data(), x.size());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
