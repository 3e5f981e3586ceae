// CBlobRef and the in-memory blob store that detached items use before (or without) a library.
// Equal bytes share one handle, as rows of equal size and CRC do in the database.
#include "blob_ref.h"

#include <cstring>
#include <map>
#include <new>
#include <mutex>
#include <vector>

namespace {

class CMemoryBlobStore final : public IBlobStore {
 public:
  DWORD GetBlobHandleForData(const void* bytes, DWORD size) override {
    if (!bytes || size == 0) return BLOB_HANDLE_NONE;
    std::vector<BYTE> data(static_cast<const BYTE*>(bytes), static_cast<const BYTE*>(bytes) + size);
    std::lock_guard lock(mutex_);
    auto found = byData_.find(data);
    if (found != byData_.end()) return found->second;
    if (next_ == BLOB_HANDLE_NONE) return BLOB_HANDLE_NONE;
    DWORD handle = next_++;
    auto inserted = byData_.emplace(std::move(data), handle).first;
    blobs_[handle] = Blob{&inserted->first, 0};
    return handle;
  }

  void AddBlobHandleRefs(DWORD handle, LONG delta) override {
    std::lock_guard lock(mutex_);
    auto found = blobs_.find(handle);
    if (found == blobs_.end()) return;
    found->second.refs += delta;
    if (found->second.refs <= 0) {
      byData_.erase(*found->second.data);
      blobs_.erase(found);
    }
  }

  int CompareBlobHandles(DWORD a, DWORD b) override {
    if (a == b) return 0;
    std::lock_guard lock(mutex_);
    bool validA = blobs_.count(a) != 0, validB = blobs_.count(b) != 0;
    if (!validA || !validB) return static_cast<int>(validA) - static_cast<int>(validB);
    return a < b ? -1 : 1;
  }

  HRESULT ReadBlob(DWORD handle, void* buffer, DWORD size) override {
    std::lock_guard lock(mutex_);
    auto found = blobs_.find(handle);
    if (found == blobs_.end() || !buffer || found->second.data->size() > size) return E_FAIL;
    std::memcpy(buffer, found->second.data->data(), found->second.data->size());
    return S_OK;
  }

 private:
  struct Blob {
    const std::vector<BYTE>* data;
    LONG refs;
  };
  std::mutex mutex_;
  std::map<std::vector<BYTE>, DWORD> byData_;
  std::map<DWORD, Blob> blobs_;
  DWORD next_ = 1;
};

CMemoryBlobStore& MemoryStore() {
  static CMemoryBlobStore store;
  return store;
}

std::atomic<IBlobStore*> g_store{nullptr};

}  // namespace

void SetBlobStore(IBlobStore* store) { g_store = store; }

IBlobStore* GetMemoryBlobStore() { return &MemoryStore(); }

IBlobStore* GetBlobStore() {
  IBlobStore* store = g_store;
  return store ? store : &MemoryStore();
}

CBlobRef* CBlobRef::Create(const void* bytes, DWORD size) {
  if (!bytes || size == 0) return nullptr;
  return CreateForHandle(GetBlobStore()->GetBlobHandleForData(bytes, size), size);
}

CBlobRef* CBlobRef::CreateForHandle(DWORD handle, DWORD size) {
  if (handle == BLOB_HANDLE_NONE || size == 0) return nullptr;
  auto* ref = new (std::nothrow) CBlobRef(size, handle);
  if (ref) GetBlobStore()->AddBlobHandleRefs(handle, 1);
  return ref;
}

void CBlobRef::AddRef() {
  ++refs_;
  GetBlobStore()->AddBlobHandleRefs(handle_, 1);
}

void CBlobRef::Release() {
  GetBlobStore()->AddBlobHandleRefs(handle_, -1);
  if (--refs_ == 0) delete this;
}

HRESULT CBlobRef::Read(void* buffer, DWORD size) const {
  if (!buffer || size != size_) return E_FAIL;
  return GetBlobStore()->ReadBlob(handle_, buffer, size);
}

int CBlobRef::Compare(const CBlobRef* a, const CBlobRef* b) {
  if (a == b) return 0;
  if (!a || !b) return a ? 1 : -1;
  if (a->size_ != b->size_) return a->size_ < b->size_ ? -1 : 1;
  return GetBlobStore()->CompareBlobHandles(a->handle_, b->handle_);
}
