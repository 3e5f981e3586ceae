// CTagValue: one typed tag value with its conversions between the six value types, as items,
// tag readers and the database layer exchange it. All representations sit side by side; the
// type bits of the identifier say which one holds the value.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "blob_ref.h"
#include "tagids.h"

class CTagValue {
 public:
  CTagValue() = default;
  CTagValue(const CTagValue& other);
  CTagValue(CTagValue&& other) noexcept;
  CTagValue& operator=(const CTagValue& other);
  CTagValue& operator=(CTagValue&& other) noexcept;
  ~CTagValue();

  DWORD Type() const { return TAG_TYPE(id); }
  void Clear();

  // Setters by source form: each sets the bare type identifier and the value.
  HRESULT SetText(LPCWSTR value);  // trimmed; E_INVALIDARG for null, E_FAIL when nothing is left
  HRESULT SetText(std::u16string_view value);
  HRESULT SetInt(LONG value);
  HRESULT SetFloat(float value);
  HRESULT SetFileTime(const FILETIME& value);
  HRESULT SetSystemTime(const SYSTEMTIME& value);
  HRESULT SetBlob(const void* data, DWORD size);
  HRESULT SetBlobHandle(DWORD handle, DWORD size);
  HRESULT SetGuid(REFGUID value);
  // Byte form of the tag's type (see GetBytes); a text must end with a terminator inside size.
  HRESULT SetFromBytes(DWORD type, const void* data, DWORD size);

  // A value for tag T: the source form converted to T's type. The conversion failed when the
  // result's id is not T.
  static CTagValue ForText(DWORD tag, std::u16string_view value);
  static CTagValue ForInt(DWORD tag, LONG value);
  static CTagValue ForFloat(DWORD tag, float value);
  static CTagValue ForFileTime(DWORD tag, const FILETIME& value);
  static CTagValue ForSystemTime(DWORD tag, const SYSTEMTIME& value);
  static CTagValue ForBlob(DWORD tag, const void* data, DWORD size);
  static CTagValue ForBlobHandle(DWORD tag, DWORD handle, DWORD size);
  static CTagValue ForGuid(DWORD tag, REFGUID value);
  static CTagValue ForBytes(DWORD tag, const void* data, DWORD size);

  HRESULT ConvertTo(DWORD tag);

  HRESULT ToText(std::u16string* text) const;
  HRESULT ToInt(LONG* value) const;
  HRESULT ToFloat(float* value) const;
  HRESULT ToFileTime(FILETIME* value) const;
  HRESULT ToSystemTime(SYSTEMTIME* value) const;
  HRESULT ToGuid(GUID* value) const;
  // Null buffer: only the size of the byte form. Otherwise *size must hold it.
  HRESULT GetBytes(void* buffer, DWORD* size) const;
  DWORD GetBlobSize() const { return blob_ ? blob_->Size() : 0; }
  const CBlobRef* Blob() const { return blob_; }

  DWORD id = 0;
  DWORD instance = 0;
  std::u16string text;
  LONG integer = 0;
  float real = 0;
  SYSTEMTIME date{};
  GUID guid{};

 private:
  void SetBlobRef(CBlobRef* ref);

  CBlobRef* blob_ = nullptr;
};

// The clock that relative dates ("now", "now-3600") and two-digit years read: the device's
// UTC time unless a test installs another. Null restores the device clock.
using TagClock = void (*)(SYSTEMTIME* now);
void SetTagClock(TagClock clock);
void GetTagClockTime(SYSTEMTIME* now);

// Year, month, day, hour, minute, second in that order; the first difference gives a - b. With
// the wildcard, a field that is 0 in either date ends the comparison as equal.
int CompareDates(const SYSTEMTIME& a, const SYSTEMTIME& b, bool wildcard);

// GUID in the registry form with braces and upper-case digits, and back; the form without braces
// is accepted as well.
std::u16string GuidToText(REFGUID guid);
bool TextToGuid(std::u16string_view text, GUID* guid);
