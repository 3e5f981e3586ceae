// Reading a tag row into a value, and the full date form that date rows carry beside their text.
#include "tag_rows.h"

#include <cstring>

#include "blob_handles.h"
#include "sql_database.h"
#include "tag_value.h"

bool ReadTagRow(CMediaLibrary* library, DWORD type, const CSqlQuery& row, CTagValue* value) {
  const DWORD tag = static_cast<DWORD>(row.GetInt(0, 0));
  CTagValue v;
  HRESULT made = E_FAIL;
  switch (type) {
    case TAG_TYPE_INT:
      made = v.SetInt(row.GetInt(2, 0));
      break;
    case TAG_TYPE_REAL:
      made = v.SetFloat(static_cast<float>(row.GetDouble(2, 0)));
      break;
    case TAG_TYPE_GUID: {
      int size = 0;
      const void* bytes = row.GetBlob(2, &size);
      GUID guid;
      if (bytes && size == sizeof guid) {
        std::memcpy(&guid, bytes, sizeof guid);
        made = v.SetGuid(guid);
      }
      break;
    }
    case TAG_TYPE_DATE:
    case TAG_TYPE_STR: {
      LPCWSTR text = row.GetText(2, nullptr);
      if (text) made = v.SetText(text);
      break;
    }
    case TAG_TYPE_BLOB: {
      const LONG blobId = row.GetInt(2, 0);
      const DWORD size = static_cast<DWORD>(row.GetInt(3, 0));
      const DWORD handle = CLibraryBlobStore::Instance().GetBlobHandleForId(library, blobId, size, 0);
      made = v.SetBlobHandle(handle, size);
      break;
    }
    default:
      break;
  }
  if (FAILED(made)) return false;
  // A date row is its text; any row whose tag names another type converts, or is skipped.
  if (v.id != tag && FAILED(v.ConvertTo(tag))) return false;
  v.instance = static_cast<DWORD>(row.GetInt(1, 0));
  *value = std::move(v);
  return true;
}

std::u16string FullDateValue(const std::u16string& text) {
  struct Step {
    size_t length;
    const char16_t* tail;
  };
  static constexpr Step kSteps[] = {{4, u"-01"}, {7, u"-01"}, {10, u" 00"}, {13, u":00"}, {16, u":00"}};
  std::u16string full = text;
  for (const Step& step : kSteps) {
    if (full.size() == step.length) full += step.tail;
  }
  return full.size() == 19 ? full : text;
}
