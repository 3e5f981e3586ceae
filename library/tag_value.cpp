// CTagValue: copying with blob references, the setters by source form, conversion to a tag's
// type and the number and byte forms. Text and date forms live in tag_text.cpp and tag_dates.cpp.
#include "tag_value.h"

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "wide_text.h"

CTagValue::CTagValue(const CTagValue& other) { *this = other; }

CTagValue::CTagValue(CTagValue&& other) noexcept { *this = std::move(other); }

CTagValue& CTagValue::operator=(const CTagValue& other) {
  if (this == &other) return *this;
  if (other.blob_) const_cast<CBlobRef*>(other.blob_)->AddRef();
  SetBlobRef(other.blob_);
  id = other.id;
  instance = other.instance;
  text = other.text;
  integer = other.integer;
  real = other.real;
  date = other.date;
  guid = other.guid;
  return *this;
}

CTagValue& CTagValue::operator=(CTagValue&& other) noexcept {
  if (this == &other) return *this;
  SetBlobRef(other.blob_);
  other.blob_ = nullptr;
  id = other.id;
  instance = other.instance;
  text = std::move(other.text);
  integer = other.integer;
  real = other.real;
  date = other.date;
  guid = other.guid;
  return *this;
}

CTagValue::~CTagValue() { SetBlobRef(nullptr); }

void CTagValue::Clear() { *this = CTagValue(); }

void CTagValue::SetBlobRef(CBlobRef* ref) {
  if (blob_) blob_->Release();
  blob_ = ref;
}

HRESULT CTagValue::SetText(LPCWSTR value) {
  if (!value) return E_INVALIDARG;
  return SetText(std::u16string_view(value));
}

HRESULT CTagValue::SetText(std::u16string_view value) {
  std::u16string_view trimmed = zblib::Trim(value);
  if (trimmed.empty()) return E_FAIL;
  text.assign(trimmed);
  id = TAG_ID(0, TAG_TYPE_STR);
  return S_OK;
}

HRESULT CTagValue::SetInt(LONG value) {
  integer = value;
  id = TAG_ID(0, TAG_TYPE_INT);
  return S_OK;
}

HRESULT CTagValue::SetFloat(float value) {
  real = value;
  id = TAG_ID(0, TAG_TYPE_REAL);
  return S_OK;
}

HRESULT CTagValue::SetSystemTime(const SYSTEMTIME& value) {
  date = value;
  id = TAG_ID(0, TAG_TYPE_DATE);
  return S_OK;
}

HRESULT CTagValue::SetBlob(const void* data, DWORD size) {
  if (!data || size == 0) return E_FAIL;
  CBlobRef* ref = CBlobRef::Create(data, size);
  if (!ref) return E_FAIL;
  SetBlobRef(ref);
  id = TAG_ID(0, TAG_TYPE_BLOB);
  return S_OK;
}

HRESULT CTagValue::SetBlobHandle(DWORD handle, DWORD size) {
  CBlobRef* ref = CBlobRef::CreateForHandle(handle, size);
  if (!ref) return E_FAIL;
  SetBlobRef(ref);
  id = TAG_ID(0, TAG_TYPE_BLOB);
  return S_OK;
}

HRESULT CTagValue::SetGuid(REFGUID value) {
  guid = value;
  id = TAG_ID(0, TAG_TYPE_GUID);
  return S_OK;
}

HRESULT CTagValue::SetFromBytes(DWORD type, const void* data, DWORD size) {
  if (!data) return E_FAIL;
  const auto* bytes = static_cast<const BYTE*>(data);
  switch (type) {
    case TAG_TYPE_STR: {
      // The text must end inside the given size: never read past what the caller handed over.
      if (size < sizeof(WCHAR)) return E_FAIL;
      std::u16string value;
      for (DWORD offset = 0; offset + sizeof(WCHAR) <= size; offset += sizeof(WCHAR)) {
        WCHAR c;
        std::memcpy(&c, bytes + offset, sizeof(c));
        if (c == 0) return SetText(value);
        value += c;
      }
      return E_FAIL;
    }
    case TAG_TYPE_INT: {
      if (size != sizeof(LONG)) return E_FAIL;
      LONG value;
      std::memcpy(&value, bytes, sizeof(value));
      return SetInt(value);
    }
    case TAG_TYPE_REAL: {
      if (size == sizeof(float)) {
        float value;
        std::memcpy(&value, bytes, sizeof(value));
        return SetFloat(value);
      }
      if (size != sizeof(double)) return E_FAIL;
      double value;
      std::memcpy(&value, bytes, sizeof(value));
      return SetFloat(static_cast<float>(value));
    }
    case TAG_TYPE_DATE: {
      if (size == sizeof(SYSTEMTIME)) {
        SYSTEMTIME value;
        std::memcpy(&value, bytes, sizeof(value));
        return SetSystemTime(value);
      }
      if (size != sizeof(FILETIME)) return E_FAIL;
      FILETIME value;
      std::memcpy(&value, bytes, sizeof(value));
      return SetFileTime(value);
    }
    case TAG_TYPE_BLOB:
      return SetBlob(data, size);
    case TAG_TYPE_GUID: {
      if (size != sizeof(GUID)) return E_FAIL;
      GUID value;
      std::memcpy(&value, bytes, sizeof(value));
      return SetGuid(value);
    }
    default:
      return E_FAIL;
  }
}

// A value set from one source form, then converted to the tag's type.
template <typename... Params, typename... Args>
static CTagValue Build(DWORD tag, HRESULT (CTagValue::*set)(Params...), Args&&... args) {
  CTagValue v;
  if (SUCCEEDED((v.*set)(std::forward<Args>(args)...))) v.ConvertTo(tag);
  return v;
}

CTagValue CTagValue::ForText(DWORD tag, std::u16string_view value) {
  return Build<std::u16string_view>(tag, &CTagValue::SetText, value);
}
CTagValue CTagValue::ForInt(DWORD tag, LONG value) { return Build(tag, &CTagValue::SetInt, value); }
CTagValue CTagValue::ForFloat(DWORD tag, float value) { return Build(tag, &CTagValue::SetFloat, value); }
CTagValue CTagValue::ForFileTime(DWORD tag, const FILETIME& value) { return Build(tag, &CTagValue::SetFileTime, value); }
CTagValue CTagValue::ForSystemTime(DWORD tag, const SYSTEMTIME& value) {
  return Build(tag, &CTagValue::SetSystemTime, value);
}
CTagValue CTagValue::ForBlob(DWORD tag, const void* data, DWORD size) { return Build(tag, &CTagValue::SetBlob, data, size); }
CTagValue CTagValue::ForBlobHandle(DWORD tag, DWORD handle, DWORD size) {
  return Build(tag, &CTagValue::SetBlobHandle, handle, size);
}
CTagValue CTagValue::ForGuid(DWORD tag, REFGUID value) { return Build(tag, &CTagValue::SetGuid, value); }
CTagValue CTagValue::ForBytes(DWORD tag, const void* data, DWORD size) {
  return Build(tag, &CTagValue::SetFromBytes, TAG_TYPE(tag), data, size);
}

HRESULT CTagValue::ConvertTo(DWORD tag) {
  HRESULT hr = E_FAIL;
  switch (TAG_TYPE(tag)) {
    case TAG_TYPE_STR: {
      if (Type() == TAG_TYPE_STR) {
        // Already text: only the trimming is left, without a copy when there is nothing to trim.
        const std::u16string_view trimmed = zblib::Trim(text);
        if (trimmed.empty()) return E_FAIL;
        if (trimmed.size() != text.size()) text = std::u16string(trimmed);
        hr = S_OK;
        break;
      }
      std::u16string value;
      if (FAILED(ToText(&value))) return E_FAIL;
      std::u16string_view trimmed = zblib::Trim(value);
      if (trimmed.empty()) return E_FAIL;
      text.assign(trimmed);
      hr = S_OK;
      break;
    }
    case TAG_TYPE_INT: {
      LONG value;
      hr = ToInt(&value);
      if (SUCCEEDED(hr)) integer = value;
      break;
    }
    case TAG_TYPE_REAL: {
      float value;
      hr = ToFloat(&value);
      if (SUCCEEDED(hr)) real = value;
      break;
    }
    case TAG_TYPE_DATE: {
      SYSTEMTIME value;
      hr = ToSystemTime(&value);
      if (SUCCEEDED(hr)) date = value;
      break;
    }
    case TAG_TYPE_BLOB: {
      if (id == TAG_ID(0, TAG_TYPE_BLOB) && blob_) {
        hr = S_OK;
        break;
      }
      DWORD size = 0;
      if (FAILED(GetBytes(nullptr, &size)) || size == 0) return E_FAIL;
      std::vector<BYTE> bytes(size);
      if (FAILED(GetBytes(bytes.data(), &size))) return E_FAIL;
      CBlobRef* ref = CBlobRef::Create(bytes.data(), size);
      if (!ref) return E_FAIL;
      SetBlobRef(ref);
      hr = S_OK;
      break;
    }
    case TAG_TYPE_GUID: {
      GUID value;
      hr = ToGuid(&value);
      if (SUCCEEDED(hr)) guid = value;
      break;
    }
    default:
      return E_FAIL;
  }
  if (SUCCEEDED(hr)) id = tag;
  return SUCCEEDED(hr) ? S_OK : E_FAIL;
}

HRESULT CTagValue::ToInt(LONG* value) const {
  if (!value) return E_POINTER;
  *value = 0;
  switch (Type()) {
    case TAG_TYPE_INT:
      *value = integer;
      return S_OK;
    case TAG_TYPE_STR:
      return zblib::ScanInt(text, value) ? S_OK : E_FAIL;
    case TAG_TYPE_REAL:
      // Outside the integer range (and NaN) there is no truncated value to give.
      if (!(real > -2147483649.0f && real < 2147483648.0f)) return E_FAIL;
      *value = static_cast<LONG>(std::trunc(real));
      return S_OK;
    case TAG_TYPE_DATE:
      if (date.wYear == 0) return E_FAIL;
      *value = date.wYear;
      return S_OK;
    default:
      return E_FAIL;
  }
}

HRESULT CTagValue::ToFloat(float* value) const {
  if (!value) return E_POINTER;
  *value = 0;
  switch (Type()) {
    case TAG_TYPE_REAL:
      *value = real;
      return S_OK;
    case TAG_TYPE_STR:
      return zblib::ScanFloat(text, value) ? S_OK : E_FAIL;
    case TAG_TYPE_INT:
      *value = static_cast<float>(integer);
      return S_OK;
    case TAG_TYPE_DATE: {
      FILETIME ft;
      if (FAILED(ToFileTime(&ft))) return E_FAIL;
      *value = static_cast<float>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
      return S_OK;
    }
    default:
      return E_FAIL;
  }
}

HRESULT CTagValue::GetBytes(void* buffer, DWORD* size) const {
  if (!size) return E_POINTER;
  DWORD needed = 0;
  const void* source = nullptr;
  switch (Type()) {
    case TAG_TYPE_STR:
      needed = static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR));
      source = text.c_str();
      break;
    case TAG_TYPE_INT:
      needed = sizeof(integer);
      source = &integer;
      break;
    case TAG_TYPE_REAL:
      needed = sizeof(real);
      source = &real;
      break;
    case TAG_TYPE_DATE:
      needed = sizeof(date);
      source = &date;
      break;
    case TAG_TYPE_BLOB:
      needed = GetBlobSize();
      break;
    case TAG_TYPE_GUID:
      needed = sizeof(guid);
      source = &guid;
      break;
    default:
      if (!buffer) {
        *size = 0;
        return S_OK;
      }
      return E_FAIL;
  }
  if (!buffer) {
    *size = needed;
    return S_OK;
  }
  if (*size < needed) return E_FAIL;
  if (Type() == TAG_TYPE_BLOB) {
    if (blob_ && FAILED(blob_->Read(buffer, needed))) {
      *size = 0;
      return E_FAIL;
    }
  } else {
    std::memcpy(buffer, source, needed);
  }
  *size = needed;
  return S_OK;
}
