// CLibraryItem: the item bound to one row of the library database. Reads are served from a
// private detached item that caches the row, filled one tag or the whole row at a time; writes go
// straight to the library and empty the cache. Made and registered by the library object.
#pragma once
#include <windows.h>

#include <string>

#include "com_object.h"
#include "mediaitem.h"
#include "title_format.h"

class CMediaItem;
class CMediaLibrary;
class CTagValue;

class CLibraryItem : public CComObject<IMediaItem> {
 public:
  // Null when the library or the mid is 0 or memory runs out; one reference for the caller.
  static CLibraryItem* Create(CMediaLibrary* library, DWORD mid, LPCWSTR source, DWORD readOnly);

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;

  STDMETHODIMP_(IMediaItem*) Clone() override;
  STDMETHODIMP Matches(IMediaItem* pattern, BOOL* matched) override;
  STDMETHODIMP GetSource(BSTR* source) override;
  STDMETHODIMP GetTagCount(DWORD* count) override;
  STDMETHODIMP GetTagName(DWORD id, BSTR* name) override;
  STDMETHODIMP GetTagId(LPCWSTR name, DWORD* id) override;
  STDMETHODIMP GetTagIdAt(LONG index, DWORD* id) override;
  STDMETHODIMP GetInstanceAt(LONG index, DWORD* instance) override;
  STDMETHODIMP IndexOfTag(DWORD id, LONG* index) override;
  STDMETHODIMP IndexOfTagNumber(DWORD number, LONG* index) override;
  STDMETHODIMP GetGuid(DWORD id, GUID* value) override;
  STDMETHODIMP GetBytes(DWORD id, void* buffer, DWORD* size) override;
  STDMETHODIMP GetSystemTime(DWORD id, SYSTEMTIME* value) override;
  STDMETHODIMP GetFileTime(DWORD id, FILETIME* value) override;
  STDMETHODIMP GetFloat(DWORD id, float* value) override;
  STDMETHODIMP GetInt(DWORD id, LONG* value) override;
  STDMETHODIMP GetString(DWORD id, BSTR* value) override;
  STDMETHODIMP GetInstance(DWORD id, DWORD instance, void* buffer, DWORD* size) override;
  STDMETHODIMP GetGuidAt(LONG index, GUID* value) override;
  STDMETHODIMP GetBytesAt(LONG index, void* buffer, DWORD* size) override;
  STDMETHODIMP GetSystemTimeAt(LONG index, SYSTEMTIME* value) override;
  STDMETHODIMP GetFileTimeAt(LONG index, FILETIME* value) override;
  STDMETHODIMP GetFloatAt(LONG index, float* value) override;
  STDMETHODIMP GetIntAt(LONG index, LONG* value) override;
  STDMETHODIMP GetStringAt(LONG index, BSTR* value) override;
  STDMETHODIMP SetGuid(DWORD id, REFGUID value) override;
  STDMETHODIMP SetBytes(DWORD id, const void* data, DWORD size) override;
  STDMETHODIMP SetSystemTime(DWORD id, const SYSTEMTIME* value) override;
  STDMETHODIMP SetFileTime(DWORD id, const FILETIME* value) override;
  STDMETHODIMP SetFloat(DWORD id, float value) override;
  STDMETHODIMP SetInt(DWORD id, LONG value) override;
  STDMETHODIMP SetString(DWORD id, LPCWSTR value) override;
  STDMETHODIMP SetInstance(DWORD id, DWORD instance, const void* data, DWORD size) override;
  STDMETHODIMP Clear() override;
  STDMETHODIMP RemoveTag(DWORD id) override;
  STDMETHODIMP RemoveAt(LONG index) override;
  STDMETHODIMP IsReadOnlyAt(LONG index, BOOL* readOnly) override;
  STDMETHODIMP OpenBlobStream(DWORD id, DWORD instance, IStream** stream) override;
  // The last argument is the blob's size: the stream writes a row of that size in place.
  STDMETHODIMP CreateBlobStream(DWORD id, DWORD instance, IStream** stream, DWORD size) override;
  STDMETHODIMP GetTagIdByNumber(DWORD number, DWORD* id) override;
  STDMETHODIMP FormatTitle(DWORD mode, DWORD lengthHint, LPCWSTR format, BSTR* title, LONG* missing) override;
  STDMETHODIMP RemoveInstance(DWORD id, DWORD instance) override;
  STDMETHODIMP IndexOfInstance(DWORD id, DWORD instance, LONG* index) override;
  STDMETHODIMP HasTag(DWORD id, BOOL* present) override;
  STDMETHODIMP HasInstance(DWORD id, DWORD instance, BOOL* present) override;

  // Helpers of the query engine and the playlist readers.
  void SetReadOnly(DWORD flag) { readOnly_ = flag; }
  HRESULT SetCachedString(DWORD id, LPCWSTR text);
  HRESULT SetCachedInt(DWORD id, LONG value);
  HRESULT HasCachedTag(DWORD id, LONG* index);
  // Another item wrote the row: everything cached is stale.
  void Refresh();
  const std::u16string& SourceText() const { return source_; }
  DWORD Mid() const { return mid_; }
  // A service item holds the library's transaction begun when it was opened, until its end.
  void HoldBatch() { holdsBatch_ = true; }
  bool HoldsBatch() const { return holdsBatch_; }

 protected:
  CLibraryItem(CMediaLibrary* library, DWORD mid, LPCWSTR source, DWORD readOnly, CMediaItem* cache);
  ~CLibraryItem() override;

 private:
  void EnsureLoaded();
  void Invalidate();
  bool Writable(DWORD id) const;
  // Reads one tag from the row into the cache as stored; false when the row has none.
  bool FetchIntoCache(DWORD id);
  CTagValue FetchValue(DWORD id, DWORD instance);
  HRESULT WriteValue(DWORD id, const CTagValue& value);
  // Loads the whole row, then asks the cache.
  template <typename... Params, typename... Args>
  HRESULT FromRow(HRESULT (STDMETHODCALLTYPE CMediaItem::*slot)(Params...), Args... args);
  template <typename Out>
  HRESULT ReadById(DWORD id, Out* out, HRESULT (STDMETHODCALLTYPE CMediaItem::*get)(DWORD, Out*));

  CMediaItem* cache_;
  std::u16string source_;
  CMediaLibrary* library_;
  TitleCache title_;
  DWORD mid_;
  DWORD readOnly_;
  BOOL titleChanged_ = TRUE;
  bool loaded_ = false;
  bool holdsBatch_ = false;
};

// Read-only view of any item: reads go to the wrapped item, writes are refused.
IMediaItem* CreateReadOnlyItem(IMediaItem* item);
