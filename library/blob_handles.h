// The library's blob handles: a tag value of type blob holds a counted handle on a blob_data row
// rather than the bytes. A handle whose row is deleted (or whose library closes) keeps a private
// copy of the bytes, and puts a row back when the value is written again.
#pragma once
#include <windows.h>

#include <vector>

#include "blob_ref.h"

class CMediaLibrary;

class CLibraryBlobStore final : public IBlobStore {
 public:
  // The process's one store; a library attaches when its database opens and detaches at its end.
  static CLibraryBlobStore& Instance();
  void Attach(CMediaLibrary* library);
  // Gives every live handle of the library a private copy; call under its lock, still connected.
  void Detach(CMediaLibrary* library);

  // IBlobStore, for values made without naming a library: the attached one's rows.
  DWORD GetBlobHandleForData(const void* bytes, DWORD size) override;
  void AddBlobHandleRefs(DWORD handle, LONG delta) override;
  int CompareBlobHandles(DWORD a, DWORD b) override;
  // Fails unless the buffer holds the whole blob: a part is never passed off as the value.
  HRESULT ReadBlob(DWORD handle, void* buffer, DWORD size) override;

  // The handle on the library's row of these bytes (inserted when absent); a handle with a private
  // copy when no row can be had; BLOB_HANDLE_NONE without bytes.
  DWORD GetBlobHandleForData(CMediaLibrary* library, const void* bytes, DWORD size);
  DWORD GetBlobHandleForId(CMediaLibrary* library, LONG blobId, DWORD size, DWORD crc);
  // The trigger's news that row `blobId` goes: its live handles keep the bytes.
  void OnBlobRemoved(CMediaLibrary* library, LONG blobId, const void* bytes, DWORD size, DWORD crc);
  // The library's row id for the value's bytes, put back when needed; 0 when none can be had.
  LONG GetBlobId(CMediaLibrary* library, const CBlobRef& blob);
  // The `size` bytes behind any handle, this store's or the memory store's.
  bool HandleBytes(DWORD handle, DWORD size, std::vector<BYTE>* bytes);

 private:
  CLibraryBlobStore() = default;
};
