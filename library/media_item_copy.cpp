// Taking tags over from another item of any kind (through its interface only), and storing a
// value that arrived as text. Storing a foreign item in the library, copying query results and
// copying the playing item all go through CopyFrom.
#include <vector>

#include "item_reading.h"
#include "media_item.h"
#include "wide_text.h"

// The byte form of one multi-valued entry, read through the interface; false when unreadable.
static bool ReadInstanceBytes(IMediaItem* other, DWORD id, DWORD instance, std::vector<BYTE>* bytes) {
  DWORD size = 0;
  switch (TAG_TYPE(id)) {
    case TAG_TYPE_INT:
    case TAG_TYPE_REAL:
      size = 4;
      break;
    case TAG_TYPE_DATE:
      size = sizeof(SYSTEMTIME);
      break;
    default:
      if (FAILED(other->GetInstance(id, instance, nullptr, &size))) return false;
      break;
  }
  bytes->resize(size);
  if (size == 0) return true;
  if (FAILED(other->GetInstance(id, instance, bytes->data(), &size))) return false;
  bytes->resize(size);
  return true;
}

// One getter of a plain type and the value made from its result.
template <typename T, typename Make>
static bool ReadWith(IMediaItem* item, DWORD id, HRESULT (STDMETHODCALLTYPE IMediaItem::*get)(DWORD, T*), Make make,
                     CTagValue* value) {
  T v{};
  if (FAILED((item->*get)(id, &v))) return false;
  *value = make(id, v);
  return true;
}

// A single-valued entry read with the getter of its type.
static bool ReadSingle(IMediaItem* other, DWORD id, CTagValue* value) {
  switch (TAG_TYPE(id)) {
    case TAG_TYPE_STR: {
      BSTR text = nullptr;
      if (FAILED(other->GetString(id, &text)) || !text) return false;
      *value = CTagValue::ForText(id, text);
      SysFreeString(text);
      return true;
    }
    case TAG_TYPE_INT:
      return ReadWith(other, id, &IMediaItem::GetInt, CTagValue::ForInt, value);
    case TAG_TYPE_REAL:
      return ReadWith(other, id, &IMediaItem::GetFloat, CTagValue::ForFloat, value);
    case TAG_TYPE_DATE:
      return ReadWith(other, id, &IMediaItem::GetSystemTime, CTagValue::ForSystemTime, value);
    case TAG_TYPE_GUID:
      return ReadWith(other, id, &IMediaItem::GetGuid, CTagValue::ForGuid, value);
    case TAG_TYPE_BLOB: {
      DWORD size = 0;
      if (FAILED(other->GetBytes(id, nullptr, &size)) || size == 0) return false;
      std::vector<BYTE> bytes(size);
      if (FAILED(other->GetBytes(id, bytes.data(), &size))) return false;
      *value = CTagValue::ForBlob(id, bytes.data(), size);
      return true;
    }
    default:
      return false;
  }
}

bool ReadForeignValue(IMediaItem* item, DWORD id, DWORD instance, CTagValue* value) {
  if (!TAG_IS_MULTI(id)) return ReadSingle(item, id, value) && value->id == id;
  if (TAG_TYPE(id) < TAG_TYPE_STR || TAG_TYPE(id) > TAG_TYPE_GUID) return false;
  std::vector<BYTE> bytes;
  // An unreadable or empty instance carries no value.
  if (!ReadInstanceBytes(item, id, instance, &bytes) || bytes.empty()) return false;
  *value = CTagValue::ForBytes(id, bytes.data(), static_cast<DWORD>(bytes.size()));
  return value->id == id;
}

HRESULT CMediaItem::CopyFrom(IMediaItem* other, LONG first, LONG end, BOOL replace) {
  if (!other) return E_POINTER;
  if (first < 0) return E_INVALIDARG;
  if (replace) {
    BSTR source = nullptr;
    if (FAILED(other->GetSource(&source))) return E_FAIL;
    std::u16string copy(zblib::View(source));
    SysFreeString(source);
    SetSource(copy.c_str());
  }
  MarkChanged();
  DWORD count = 0;
  if (FAILED(other->GetTagCount(&count))) return E_FAIL;
  const LONG last = end < 0 || static_cast<DWORD>(end) > count ? static_cast<LONG>(count) : end;
  for (LONG i = first; i < last; ++i) {
    DWORD id = 0;
    if (FAILED(other->GetTagIdAt(i, &id)) || id == 0) return E_FAIL;
    DWORD instance = 0;
    if (TAG_IS_MULTI(id) && FAILED(other->GetInstanceAt(i, &instance))) return E_FAIL;
    // An entry that cannot be read is skipped; the rest of the item still comes over.
    CTagValue value;
    if (ReadForeignValue(other, id, instance, &value)) Store(id, instance, std::move(value));
  }
  return S_OK;
}

HRESULT CMediaItem::SetTagFromText(DWORD id, DWORD instance, std::u16string_view text) {
  if (TAG_NUMBER(id) == 0) return E_FAIL;
  CTagValue value = CTagValue::ForText(id, text);
  if (value.id != id) return E_FAIL;
  Store(id, TAG_IS_MULTI(id) ? instance : 0, std::move(value));
  return S_OK;
}
