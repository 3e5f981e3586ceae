// CLibraryItem's slots: forwarded to the cache, served after loading the whole row, read one tag
// from the row, or written to the library. A value read from the row is cached as it is stored,
// so a getter that converts it never leaves a lossy copy behind.
#include "library_item.h"

#include <new>

#include "media_item.h"
#include "media_library.h"
#include "tag_value.h"

CLibraryItem* CLibraryItem::Create(CMediaLibrary* library, DWORD mid, LPCWSTR source, DWORD readOnly) {
  if (!library || mid == 0) return nullptr;
  CMediaItem* cache = CreateMediaItem();
  if (!cache) return nullptr;
  cache->SetSource(source);
  auto* item = new (std::nothrow) CLibraryItem(library, mid, source, readOnly, cache);
  if (!item) cache->Release();
  return item;
}

CLibraryItem::CLibraryItem(CMediaLibrary* library, DWORD mid, LPCWSTR source, DWORD readOnly, CMediaItem* cache)
    : cache_(cache), source_(source ? source : u""), library_(library), mid_(mid), readOnly_(readOnly) {
  title_.item = this;
  library_->AddRef();
}

CLibraryItem::~CLibraryItem() {
  library_->UnregisterItem(this);
  cache_->Release();
  library_->Release();
}

STDMETHODIMP CLibraryItem::QueryInterface(REFIID riid, void** object) {
  return Answer(riid, object, {IID_IMediaItem, IID_IMediaItemDirect, IID_ILibraryItem});
}

void CLibraryItem::EnsureLoaded() {
  if (loaded_) return;
  // Staged writes reach the main tables first, or the load would miss them.
  library_->ChangeMode(0, LIBMODE_TEMP_TAGS);
  cache_->SetSource(source_.c_str());
  loaded_ = SUCCEEDED(library_->LoadEntry(mid_, cache_));
  if (!loaded_) cache_->SetSource(source_.c_str());
}

void CLibraryItem::Invalidate() {
  cache_->SetSource(source_.c_str());
  loaded_ = false;
}

void CLibraryItem::Refresh() {
  Invalidate();
  titleChanged_ = TRUE;
}

CTagValue CLibraryItem::FetchValue(DWORD id, DWORD instance) {
  library_->ChangeMode(0, LIBMODE_TEMP_TAGS);
  return library_->GetTagValue(mid_, id, instance);
}

bool CLibraryItem::FetchIntoCache(DWORD id) {
  const CTagValue value = FetchValue(id, 0);
  if (value.id != id) return false;
  cache_->SetEntry(id, 0, value);
  return true;
}

template <typename... Params, typename... Args>
HRESULT CLibraryItem::FromRow(HRESULT (STDMETHODCALLTYPE CMediaItem::*slot)(Params...), Args... args) {
  EnsureLoaded();
  return (cache_->*slot)(args...);
}

template <typename Out>
HRESULT CLibraryItem::ReadById(DWORD id, Out* out, HRESULT (STDMETHODCALLTYPE CMediaItem::*get)(DWORD, Out*)) {
  if (!out) return E_FAIL;
  const HRESULT cached = (cache_->*get)(id, out);
  if (SUCCEEDED(cached) || loaded_) return cached;
  if (!FetchIntoCache(id)) return E_FAIL;
  return (cache_->*get)(id, out);
}

// ---- forwarded as they are ----

STDMETHODIMP CLibraryItem::GetSource(BSTR* source) { return cache_->GetSource(source); }
STDMETHODIMP CLibraryItem::GetTagName(DWORD id, BSTR* name) { return cache_->GetTagName(id, name); }
STDMETHODIMP CLibraryItem::GetTagId(LPCWSTR name, DWORD* id) { return cache_->GetTagId(name, id); }
STDMETHODIMP CLibraryItem::GetTagIdByNumber(DWORD number, DWORD* id) { return cache_->GetTagIdByNumber(number, id); }

// ---- the whole row first ----

STDMETHODIMP_(IMediaItem*) CLibraryItem::Clone() {
  EnsureLoaded();
  // The clone gets its own copy of the cache: what one of them caches or drops is its own.
  auto* cache = static_cast<CMediaItem*>(cache_->Clone());
  if (!cache) return nullptr;
  auto* copy = new (std::nothrow) CLibraryItem(library_, mid_, source_.c_str(), readOnly_, cache);
  if (!copy) {
    cache->Release();
    return nullptr;
  }
  copy->loaded_ = loaded_;
  if (!library_->RegisterItem(copy)) {
    copy->Release();
    return nullptr;
  }
  return copy;
}

STDMETHODIMP CLibraryItem::Matches(IMediaItem* pattern, BOOL* matched) {
  return FromRow(&CMediaItem::Matches, pattern, matched);
}
STDMETHODIMP CLibraryItem::GetTagIdAt(LONG index, DWORD* id) { return FromRow(&CMediaItem::GetTagIdAt, index, id); }
STDMETHODIMP CLibraryItem::GetInstanceAt(LONG index, DWORD* instance) {
  return FromRow(&CMediaItem::GetInstanceAt, index, instance);
}
STDMETHODIMP CLibraryItem::IndexOfTag(DWORD id, LONG* index) { return FromRow(&CMediaItem::IndexOfTag, id, index); }
STDMETHODIMP CLibraryItem::IndexOfTagNumber(DWORD number, LONG* index) {
  return FromRow(&CMediaItem::IndexOfTagNumber, number, index);
}
STDMETHODIMP CLibraryItem::IndexOfInstance(DWORD id, DWORD instance, LONG* index) {
  return FromRow(&CMediaItem::IndexOfInstance, id, instance, index);
}
STDMETHODIMP CLibraryItem::GetGuidAt(LONG index, GUID* value) { return FromRow(&CMediaItem::GetGuidAt, index, value); }
STDMETHODIMP CLibraryItem::GetBytesAt(LONG index, void* buffer, DWORD* size) {
  return FromRow(&CMediaItem::GetBytesAt, index, buffer, size);
}
STDMETHODIMP CLibraryItem::GetSystemTimeAt(LONG index, SYSTEMTIME* value) {
  return FromRow(&CMediaItem::GetSystemTimeAt, index, value);
}
STDMETHODIMP CLibraryItem::GetFileTimeAt(LONG index, FILETIME* value) {
  return FromRow(&CMediaItem::GetFileTimeAt, index, value);
}
STDMETHODIMP CLibraryItem::GetFloatAt(LONG index, float* value) {
  return FromRow(&CMediaItem::GetFloatAt, index, value);
}
STDMETHODIMP CLibraryItem::GetIntAt(LONG index, LONG* value) { return FromRow(&CMediaItem::GetIntAt, index, value); }
STDMETHODIMP CLibraryItem::GetStringAt(LONG index, BSTR* value) {
  return FromRow(&CMediaItem::GetStringAt, index, value);
}
STDMETHODIMP CLibraryItem::IsReadOnlyAt(LONG index, BOOL* readOnly) {
  EnsureLoaded();
  const HRESULT hr = cache_->IsReadOnlyAt(index, readOnly);
  if (SUCCEEDED(hr) && readOnly_) *readOnly = TRUE;
  return hr;
}

// ---- one tag from the row ----

STDMETHODIMP CLibraryItem::GetGuid(DWORD id, GUID* value) { return ReadById(id, value, &CMediaItem::GetGuid); }
STDMETHODIMP CLibraryItem::GetSystemTime(DWORD id, SYSTEMTIME* value) {
  return ReadById(id, value, &CMediaItem::GetSystemTime);
}
STDMETHODIMP CLibraryItem::GetFileTime(DWORD id, FILETIME* value) {
  return ReadById(id, value, &CMediaItem::GetFileTime);
}
STDMETHODIMP CLibraryItem::GetFloat(DWORD id, float* value) { return ReadById(id, value, &CMediaItem::GetFloat); }
STDMETHODIMP CLibraryItem::GetInt(DWORD id, LONG* value) { return ReadById(id, value, &CMediaItem::GetInt); }
STDMETHODIMP CLibraryItem::GetString(DWORD id, BSTR* value) { return ReadById(id, value, &CMediaItem::GetString); }

STDMETHODIMP CLibraryItem::GetBytes(DWORD id, void* buffer, DWORD* size) {
  if (loaded_) return cache_->GetBytes(id, buffer, size);
  if (!size) return E_POINTER;
  const CTagValue value = FetchValue(id, 0);
  if (value.id != id) return E_FAIL;
  return value.GetBytes(buffer, size);
}

STDMETHODIMP CLibraryItem::GetInstance(DWORD id, DWORD instance, void* buffer, DWORD* size) {
  if (loaded_) return cache_->GetInstance(id, instance, buffer, size);
  if (!size) return E_POINTER;
  if (!TAG_IS_MULTI(id)) return E_INVALIDARG;
  const CTagValue value = FetchValue(id, instance);
  if (value.id != id) return E_FAIL;
  return value.GetBytes(buffer, size);
}

STDMETHODIMP CLibraryItem::GetTagCount(DWORD* count) {
  if (loaded_) return cache_->GetTagCount(count);
  return library_->CountTags(mid_, count);
}

STDMETHODIMP CLibraryItem::OpenBlobStream(DWORD id, DWORD instance, IStream** stream) {
  // The row holds the bytes; the cache only ever holds handles on them.
  return library_->OpenBlobTag(mid_, id, instance, stream);
}

STDMETHODIMP CLibraryItem::HasTag(DWORD id, BOOL* present) { return HasInstance(id, 0, present); }

STDMETHODIMP CLibraryItem::HasInstance(DWORD id, DWORD instance, BOOL* present) {
  if (!present) return E_FAIL;
  if (loaded_) return cache_->HasInstance(id, instance, present);
  DWORD size = 0;
  const HRESULT hr = TAG_IS_MULTI(id) ? GetInstance(id, instance, nullptr, &size) : GetBytes(id, nullptr, &size);
  *present = SUCCEEDED(hr) && size > 0;
  return S_OK;
}

STDMETHODIMP CLibraryItem::FormatTitle(DWORD mode, DWORD, LPCWSTR format, BSTR* title, LONG* missing) {
  return FormatItemTitle(&title_, &titleChanged_, mode, format, title, missing);
}

// ---- writes ----

bool CLibraryItem::Writable(DWORD id) const { return !readOnly_ && !TAG_IS_MULTI(id) && TAG_NUMBER(id) != 0; }

// A value that did not convert to the tag's type, or that the library could not write, is
// reported: the caller must not believe it stored.
HRESULT CLibraryItem::WriteValue(DWORD id, const CTagValue& value) {
  Invalidate();
  if (value.id != id) return E_INVALIDARG;
  const HRESULT written = library_->SetTagValue(mid_, value, TRUE, this);
  titleChanged_ = TRUE;
  return written;
}

STDMETHODIMP CLibraryItem::SetGuid(DWORD id, REFGUID value) {
  if (!Writable(id)) return E_FAIL;
  return WriteValue(id, CTagValue::ForGuid(id, value));
}
STDMETHODIMP CLibraryItem::SetBytes(DWORD id, const void* data, DWORD size) {
  if (!Writable(id)) return E_FAIL;
  return WriteValue(id, CTagValue::ForBytes(id, data, size));
}
STDMETHODIMP CLibraryItem::SetSystemTime(DWORD id, const SYSTEMTIME* value) {
  if (!Writable(id)) return E_FAIL;
  if (!value) return E_INVALIDARG;
  return WriteValue(id, CTagValue::ForSystemTime(id, *value));
}
STDMETHODIMP CLibraryItem::SetFileTime(DWORD id, const FILETIME* value) {
  if (!Writable(id)) return E_FAIL;
  if (!value) return E_INVALIDARG;
  return WriteValue(id, CTagValue::ForFileTime(id, *value));
}
STDMETHODIMP CLibraryItem::SetFloat(DWORD id, float value) {
  if (!Writable(id)) return E_FAIL;
  return WriteValue(id, CTagValue::ForFloat(id, value));
}
STDMETHODIMP CLibraryItem::SetInt(DWORD id, LONG value) {
  if (!Writable(id)) return E_FAIL;
  return WriteValue(id, CTagValue::ForInt(id, value));
}
STDMETHODIMP CLibraryItem::SetString(DWORD id, LPCWSTR value) {
  if (!Writable(id)) return E_FAIL;
  if (!value) return E_INVALIDARG;
  return WriteValue(id, CTagValue::ForText(id, value));
}

STDMETHODIMP CLibraryItem::SetInstance(DWORD id, DWORD instance, const void* data, DWORD size) {
  if (readOnly_ || !TAG_IS_MULTI(id) || TAG_NUMBER(id) == 0) return E_FAIL;
  CTagValue value = CTagValue::ForBytes(id, data, size);
  value.instance = instance;
  return WriteValue(id, value);
}

STDMETHODIMP CLibraryItem::Clear() {
  if (readOnly_) return E_FAIL;
  Invalidate();
  const HRESULT hr = library_->DeleteEntryTags(mid_, this);
  titleChanged_ = TRUE;
  return hr;
}

STDMETHODIMP CLibraryItem::RemoveTag(DWORD id) { return RemoveInstance(id, 0); }

STDMETHODIMP CLibraryItem::RemoveInstance(DWORD id, DWORD instance) {
  if (readOnly_) return E_FAIL;
  Invalidate();
  const HRESULT hr = library_->DeleteTag(mid_, id, instance, this);
  titleChanged_ = TRUE;
  return hr;
}

STDMETHODIMP CLibraryItem::RemoveAt(LONG index) {
  if (readOnly_) return E_FAIL;
  EnsureLoaded();
  DWORD id = 0;
  const bool known = SUCCEEDED(cache_->GetTagIdAt(index, &id));
  DWORD instance = 0;
  if (known && TAG_IS_MULTI(id)) cache_->GetInstanceAt(index, &instance);
  Invalidate();
  if (!known) return E_INVALIDARG;
  const HRESULT hr = library_->DeleteTag(mid_, id, instance, this);
  titleChanged_ = TRUE;
  return hr;
}

STDMETHODIMP CLibraryItem::CreateBlobStream(DWORD id, DWORD instance, IStream** stream, DWORD size) {
  if (readOnly_) return E_FAIL;
  Invalidate();
  const HRESULT hr = library_->CreateBlobTag(mid_, id, instance, stream, size, this);
  if (SUCCEEDED(hr)) titleChanged_ = TRUE;
  return hr;
}

// ---- helpers ----

HRESULT CLibraryItem::SetCachedString(DWORD id, LPCWSTR text) {
  if (TAG_TYPE(id) != TAG_TYPE_STR || TAG_IS_MULTI(id)) return E_FAIL;
  return cache_->SetString(id, text);
}

HRESULT CLibraryItem::SetCachedInt(DWORD id, LONG value) { return cache_->SetInt(id, value); }

HRESULT CLibraryItem::HasCachedTag(DWORD id, LONG* index) { return cache_->IndexOfTag(id, index); }
