// CMediaItem: reference counting, the ordered tag map, the getters and setters of IMediaItem and
// the protected tags. Copying, matching and reading from files are in their own files.
#include "media_item.h"

#include <algorithm>
#include <new>
#include <vector>

#include <objbase.h>

#include "item_stream.h"
#include "tagnames.h"
#include "wide_text.h"

namespace {

// The file identity and size tags: they may only go all at once (Clear), never one by one.
constexpr DWORD kProtectedTags[] = {TAG_FILE, TAG_FILE_PATH, TAG_FILE_NAME, TAG_FILE_EXTENSION, TAG_LENGTH, TAG_SIZE};

template <typename Out>
HRESULT Convert(const CTagValue* value, Out* out, HRESULT (CTagValue::*convert)(Out*) const) {
  if (!out) return E_POINTER;
  if (!value) {
    *out = Out{};
    return E_INVALIDARG;
  }
  return (value->*convert)(out);
}

HRESULT ConvertToBstr(const CTagValue* value, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!value) return E_INVALIDARG;
  std::u16string text;
  if (FAILED(value->ToText(&text))) return E_FAIL;
  return zblib::NewBstr(text, out);
}

HRESULT CopyBytes(const CTagValue* value, void* buffer, DWORD* size) {
  if (!size) return E_POINTER;
  if (!value) return E_INVALIDARG;
  return value->GetBytes(buffer, size);
}

}  // namespace

CMediaItem::CMediaItem() { title_.item = this; }
CMediaItem::~CMediaItem() = default;

CMediaItem* CMediaItem::Create() { return new (std::nothrow) CMediaItem(); }
CMediaItem* CreateMediaItem() { return CMediaItem::Create(); }

bool CMediaItem::IsProtectedTag(DWORD id) {
  return std::find(std::begin(kProtectedTags), std::end(kProtectedTags), id) != std::end(kProtectedTags);
}

STDMETHODIMP CMediaItem::QueryInterface(REFIID riid, void** object) {
  return Answer(riid, object, {IID_IMediaItem, IID_IMediaItemDirect});
}

STDMETHODIMP_(IMediaItem*) CMediaItem::Clone() {
  CMediaItem* copy = Create();
  if (!copy) return nullptr;
  copy->source_ = source_;
  copy->entries_ = entries_;
  return copy;
}

// ---- the ordered map ----

std::vector<CMediaItem::Entry>::const_iterator CMediaItem::Lookup(DWORD id, DWORD instance) const {
  const Key key{id, static_cast<LONG>(instance)};
  auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                             [](const Entry& e, const Key& k) { return e.first < k; });
  return it != entries_.end() && it->first == key ? it : entries_.end();
}

const CTagValue* CMediaItem::Find(DWORD id, DWORD instance) const {
  auto it = Lookup(id, instance);
  return it == entries_.end() ? nullptr : &it->second;
}

const CTagValue* CMediaItem::At(LONG index) const {
  if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return nullptr;
  return &entries_[static_cast<size_t>(index)].second;
}

void CMediaItem::Store(DWORD id, DWORD instance, CTagValue value) {
  const Key key{id, static_cast<LONG>(instance)};
  value.instance = instance;
  auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                             [](const Entry& e, const Key& k) { return e.first < k; });
  if (it != entries_.end() && it->first == key) it->second = std::move(value);
  else entries_.insert(it, Entry{key, std::move(value)});
  MarkChanged();
}

HRESULT CMediaItem::StoreSingle(DWORD id, CTagValue value) {
  if (TAG_IS_MULTI(id) || TAG_NUMBER(id) == 0 || value.id != id) return E_FAIL;
  Store(id, 0, std::move(value));
  return S_OK;
}

bool CMediaItem::Erase(DWORD id, DWORD instance) {
  auto it = Lookup(id, instance);
  if (it == entries_.end()) return false;
  entries_.erase(it);
  MarkChanged();
  return true;
}

void CMediaItem::SetEntry(DWORD id, DWORD instance, const CTagValue& value) { Store(id, instance, value); }

void CMediaItem::Reset() {
  source_.clear();
  entries_.clear();
  MarkChanged();
}

void CMediaItem::SetSource(LPCWSTR source) {
  Reset();
  source_ = zblib::View(source);
}

// ---- reading ----

STDMETHODIMP CMediaItem::GetSource(BSTR* source) {
  if (!source) return E_POINTER;
  return zblib::NewBstr(source_, source);
}

STDMETHODIMP CMediaItem::GetTagCount(DWORD* count) {
  if (!count) return E_POINTER;
  *count = static_cast<DWORD>(entries_.size());
  return S_OK;
}

STDMETHODIMP CMediaItem::GetTagName(DWORD id, BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  std::u16string text;
  if (FAILED(LookupTagName(id, &text))) return E_FAIL;
  return zblib::NewBstr(text, name);
}

STDMETHODIMP CMediaItem::GetTagId(LPCWSTR name, DWORD* id) {
  if (!id) return E_POINTER;
  *id = 0;
  if (!name) return E_FAIL;
  return LookupTagId(name, id);
}

STDMETHODIMP CMediaItem::GetTagIdByNumber(DWORD number, DWORD* id) { return LookupTagIdByNumber(number, id); }

STDMETHODIMP CMediaItem::GetTagIdAt(LONG index, DWORD* id) {
  if (!id) return E_POINTER;
  if (!At(index)) return E_INVALIDARG;
  *id = entries_[static_cast<size_t>(index)].first.id;
  return S_OK;
}

STDMETHODIMP CMediaItem::GetInstanceAt(LONG index, DWORD* instance) {
  if (!instance) return E_POINTER;
  if (!At(index)) return E_INVALIDARG;
  const Key& key = entries_[static_cast<size_t>(index)].first;
  if (!TAG_IS_MULTI(key.id)) return E_FAIL;
  *instance = static_cast<DWORD>(key.instance);
  return S_OK;
}

STDMETHODIMP CMediaItem::IndexOfTag(DWORD id, LONG* index) { return IndexOfInstance(id, 0, index); }

STDMETHODIMP CMediaItem::IndexOfInstance(DWORD id, DWORD instance, LONG* index) {
  if (!index) return E_POINTER;
  auto it = Lookup(id, instance);
  *index = it == entries_.end() ? -1 : static_cast<LONG>(it - entries_.begin());
  return *index < 0 ? E_FAIL : S_OK;
}

STDMETHODIMP CMediaItem::IndexOfTagNumber(DWORD number, LONG* index) {
  if (!index) return E_POINTER;
  *index = -1;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (TAG_NUMBER(entries_[i].first.id) == TAG_NUMBER(number)) {
      *index = static_cast<LONG>(i);
      return S_OK;
    }
  }
  return E_FAIL;
}

STDMETHODIMP CMediaItem::HasTag(DWORD id, BOOL* present) { return HasInstance(id, 0, present); }

STDMETHODIMP CMediaItem::HasInstance(DWORD id, DWORD instance, BOOL* present) {
  if (!present) return E_POINTER;
  *present = Find(id, instance) != nullptr;
  return S_OK;
}

STDMETHODIMP CMediaItem::GetGuid(DWORD id, GUID* value) { return Convert(Find(id, 0), value, &CTagValue::ToGuid); }
STDMETHODIMP CMediaItem::GetSystemTime(DWORD id, SYSTEMTIME* value) {
  return Convert(Find(id, 0), value, &CTagValue::ToSystemTime);
}
STDMETHODIMP CMediaItem::GetFileTime(DWORD id, FILETIME* value) {
  return Convert(Find(id, 0), value, &CTagValue::ToFileTime);
}
STDMETHODIMP CMediaItem::GetFloat(DWORD id, float* value) { return Convert(Find(id, 0), value, &CTagValue::ToFloat); }
STDMETHODIMP CMediaItem::GetInt(DWORD id, LONG* value) { return Convert(Find(id, 0), value, &CTagValue::ToInt); }
STDMETHODIMP CMediaItem::GetString(DWORD id, BSTR* value) { return ConvertToBstr(Find(id, 0), value); }
STDMETHODIMP CMediaItem::GetBytes(DWORD id, void* buffer, DWORD* size) { return CopyBytes(Find(id, 0), buffer, size); }

STDMETHODIMP CMediaItem::GetInstance(DWORD id, DWORD instance, void* buffer, DWORD* size) {
  if (!size) return E_POINTER;
  if (!TAG_IS_MULTI(id)) return E_INVALIDARG;
  return CopyBytes(Find(id, instance), buffer, size);
}

STDMETHODIMP CMediaItem::GetGuidAt(LONG index, GUID* value) { return Convert(At(index), value, &CTagValue::ToGuid); }
STDMETHODIMP CMediaItem::GetSystemTimeAt(LONG index, SYSTEMTIME* value) {
  return Convert(At(index), value, &CTagValue::ToSystemTime);
}
STDMETHODIMP CMediaItem::GetFileTimeAt(LONG index, FILETIME* value) {
  return Convert(At(index), value, &CTagValue::ToFileTime);
}
STDMETHODIMP CMediaItem::GetFloatAt(LONG index, float* value) { return Convert(At(index), value, &CTagValue::ToFloat); }
STDMETHODIMP CMediaItem::GetIntAt(LONG index, LONG* value) { return Convert(At(index), value, &CTagValue::ToInt); }
STDMETHODIMP CMediaItem::GetStringAt(LONG index, BSTR* value) { return ConvertToBstr(At(index), value); }
STDMETHODIMP CMediaItem::GetBytesAt(LONG index, void* buffer, DWORD* size) {
  return CopyBytes(At(index), buffer, size);
}

// ---- writing ----

STDMETHODIMP CMediaItem::SetGuid(DWORD id, REFGUID value) { return StoreSingle(id, CTagValue::ForGuid(id, value)); }

STDMETHODIMP CMediaItem::SetBytes(DWORD id, const void* data, DWORD size) {
  return StoreSingle(id, CTagValue::ForBlob(id, data, size));
}

STDMETHODIMP CMediaItem::SetSystemTime(DWORD id, const SYSTEMTIME* value) {
  if (!value) return E_INVALIDARG;
  return StoreSingle(id, CTagValue::ForSystemTime(id, *value));
}

STDMETHODIMP CMediaItem::SetFileTime(DWORD id, const FILETIME* value) {
  if (!value) return E_INVALIDARG;
  return StoreSingle(id, CTagValue::ForFileTime(id, *value));
}

STDMETHODIMP CMediaItem::SetFloat(DWORD id, float value) { return StoreSingle(id, CTagValue::ForFloat(id, value)); }
STDMETHODIMP CMediaItem::SetInt(DWORD id, LONG value) { return StoreSingle(id, CTagValue::ForInt(id, value)); }

STDMETHODIMP CMediaItem::SetString(DWORD id, LPCWSTR value) {
  if (!value) return E_INVALIDARG;
  return StoreSingle(id, CTagValue::ForText(id, value));
}

STDMETHODIMP CMediaItem::SetInstance(DWORD id, DWORD instance, const void* data, DWORD size) {
  if (!TAG_IS_MULTI(id) || TAG_NUMBER(id) == 0) return E_FAIL;
  CTagValue value = CTagValue::ForBytes(id, data, size);
  if (value.id != id) return E_FAIL;
  Store(id, instance, std::move(value));
  return S_OK;
}

STDMETHODIMP CMediaItem::Clear() {
  for (LONG i = static_cast<LONG>(entries_.size()) - 1; i >= 0; --i) RemoveAt(i);
  MarkChanged();
  return S_OK;
}

STDMETHODIMP CMediaItem::RemoveTag(DWORD id) { return RemoveInstance(id, 0); }

STDMETHODIMP CMediaItem::RemoveInstance(DWORD id, DWORD instance) {
  if (IsProtectedTag(id)) return E_FAIL;
  return Erase(id, instance) ? S_OK : E_FAIL;
}

STDMETHODIMP CMediaItem::RemoveAt(LONG index) {
  if (!At(index)) return E_INVALIDARG;
  entries_.erase(entries_.begin() + index);
  MarkChanged();
  return S_OK;
}

STDMETHODIMP CMediaItem::IsReadOnlyAt(LONG index, BOOL* readOnly) {
  if (!readOnly) return E_POINTER;
  if (!At(index)) return E_FAIL;
  *readOnly = IsProtectedTag(entries_[static_cast<size_t>(index)].first.id);
  return S_OK;
}

STDMETHODIMP CMediaItem::FormatTitle(DWORD mode, DWORD, LPCWSTR format, BSTR* title, LONG* missing) {
  return FormatItemTitle(&title_, &changed_, mode, format, title, missing);
}

// A read stream holds a copy of the bytes, so the tag may change while it is read.
STDMETHODIMP CMediaItem::OpenBlobStream(DWORD id, DWORD instance, IStream** stream) {
  if (!stream) return E_POINTER;
  *stream = nullptr;
  const CTagValue* value = TAG_IS_MULTI(id) || TAG_TYPE(id) != TAG_TYPE_BLOB ? nullptr : Find(id, instance);
  if (!value) return E_INVALIDARG;
  std::vector<BYTE> bytes(value->GetBlobSize());
  DWORD size = static_cast<DWORD>(bytes.size());
  if (!bytes.empty() && FAILED(value->GetBytes(bytes.data(), &size))) return E_FAIL;
  IStream* copy = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &copy)) || !copy) return E_FAIL;
  ULONG written = 0;
  const LARGE_INTEGER start{};
  if ((size && (FAILED(copy->Write(bytes.data(), size, &written)) || written != size)) ||
      FAILED(copy->Seek(start, STREAM_SEEK_SET, nullptr))) {
    copy->Release();
    return E_FAIL;
  }
  *stream = copy;
  return S_OK;
}

STDMETHODIMP CMediaItem::CreateBlobStream(DWORD id, DWORD instance, IStream** stream, DWORD reserved) {
  if (!stream) return E_POINTER;
  *stream = CItemStream::Create(this, id, instance, reserved);
  return *stream ? S_OK : E_FAIL;
}
