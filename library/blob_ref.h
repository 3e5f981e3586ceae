// Blob bytes of tag values are held by a store of counted handles (the library's blob_data rows
// once the database is open); a value keeps a counted CBlobRef on one handle.
#pragma once
#include <windows.h>

#include <atomic>

#define BLOB_HANDLE_NONE 0xFFFFFFFFu

// What tag values need of the blob store. The library object installs its database-backed store;
// until then detached values keep their bytes in a process-wide store in memory.
class IBlobStore {
 public:
  // A handle for these bytes (equal bytes may share one), BLOB_HANDLE_NONE when none can be had.
  virtual DWORD GetBlobHandleForData(const void* bytes, DWORD size) = 0;
  virtual void AddBlobHandleRefs(DWORD handle, LONG delta) = 0;
  virtual int CompareBlobHandles(DWORD a, DWORD b) = 0;
  // Copies the blob; the buffer must hold it.
  virtual HRESULT ReadBlob(DWORD handle, void* buffer, DWORD size) = 0;

 protected:
  ~IBlobStore() = default;
};

// Installs the store every later blob operation goes through; null restores the memory store.
// Only switch while no blob value is alive.
void SetBlobStore(IBlobStore* store);
IBlobStore* GetBlobStore();
// The in-memory store, which keeps serving the handles it gave out after another is installed.
IBlobStore* GetMemoryBlobStore();

class CBlobRef {
 public:
  // Both give the first reference, or null when the store has no handle for them.
  static CBlobRef* Create(const void* bytes, DWORD size);
  static CBlobRef* CreateForHandle(DWORD handle, DWORD size);

  void AddRef();
  void Release();
  DWORD Size() const { return size_; }
  DWORD Handle() const { return handle_; }
  HRESULT Read(void* buffer, DWORD size) const;
  // Orders missing references first, then by size, then as the store orders the handles.
  static int Compare(const CBlobRef* a, const CBlobRef* b);

 private:
  CBlobRef(DWORD size, DWORD handle) : size_(size), handle_(handle) {}
  DWORD size_;
  DWORD handle_;
  std::atomic<LONG> refs_{1};
};
