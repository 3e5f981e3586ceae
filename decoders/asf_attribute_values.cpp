// One Windows Media attribute into tags by its value type, and the text merging that keeps
// several values of one tag (two WM/Genre attributes, a TCON with several genres).
#include <cstring>
#include <optional>

#include "asf_attributes.h"
#include "core/settings/settings.h"
#include "id3_reader.h"
#include "item_instances.h"
#include "tag_text.h"

#define TAG_UNHANDLED_NAME 0x80014A39u
#define TAG_UNHANDLED_TYPE 0x80024A3Au
#define TAG_UNHANDLED_DATA 0x80054A3Bu

namespace {

DWORD LittleEndian(const BYTE* b, int count) {
  DWORD value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | b[i];
  return value;
}

}  // namespace

HRESULT StoreUnhandledTag(IMediaItem* item, const std::u16string& name, DWORD type, const BYTE* data, size_t size) {
  const CSettings* settings = GetSettings();
  if (!settings || settings->processUnhandledTags == 0) return S_OK;
  const DWORD n = FirstFreeInstance(item, TAG_UNHANDLED_NAME);
  SetInstanceText(item, TAG_UNHANDLED_NAME, n, name);
  SetInstanceInt(item, TAG_UNHANDLED_TYPE, n, type);
  SetInstanceBytes(item, TAG_UNHANDLED_DATA, n, data, size);
  return S_OK;
}

HRESULT AppendTagText(IMediaItem* item, DWORD tag, const std::u16string& text, const std::u16string& separator) {
  BSTR existing = nullptr;
  if (FAILED(item->GetString(tag, &existing)) || !existing) return item->SetString(tag, text.c_str());
  std::u16string old(existing);
  SysFreeString(existing);
  if (old == text) return S_OK;
  if (tag == TAG_GENRE) {
    BOOL present = FALSE;
    item->HasInstance(TAG_GENRE_COLLECTION, 0, &present);
    if (!present) SetInstanceText(item, TAG_GENRE_COLLECTION, 0, old);
    SetInstanceText(item, TAG_GENRE_COLLECTION, FirstFreeInstance(item, TAG_GENRE_COLLECTION), text);
    if (_wcsicmp(old.c_str(), u"Other") == 0) old.clear();
  }
  const std::u16string joined = old.empty() || text.empty() ? old + text : old + separator + text;
  if (FAILED(item->SetString(tag, joined.c_str()))) item->SetString(tag, text.c_str());
  return S_OK;
}

HRESULT SetAsfAttribute(IMediaItem* item, LPCWSTR name, const BYTE* value, DWORD type, DWORD length) {
  if (!item || !name) return E_FAIL;
  type &= 0xFFFF;
  const DWORD tag = GetAsfAttributeName(name);
  if (tag == 0 && !(type == ASF_BYTES && _wcsicmp(name, u"WM/Picture") == 0))
    return StoreUnhandledTag(item, name, type, value, length);
  if (tag == ASF_IGNORED_TAG) return S_OK;
  switch (type) {
    case ASF_STRING: {
      auto text = DecodeId3Text(ID3_UTF16_LE, value, length);
      if (!text) return E_FAIL;
      if (text->empty()) return S_OK;
      return AppendTagText(item, tag, *text, u";");
    }
    case ASF_BYTES:
      if (_wcsicmp(name, u"WM/Picture") == 0) {
        if (length < 1) return E_FAIL;
        DWORD instance = 0;
        return ReadPictureFrame(value[0], value + 1, length - 1, item, false, true, &instance, false, -1);
      }
      if (_wcsicmp(name, u"WM/Lyrics_Synchronised") == 0)
        return ReadSyncedLyrics(item, tag, value, length, ID3_UTF16_LE, true);
      return item->SetBytes(tag, value, length);
    case ASF_BOOL:
      if (length > 4) return E_FAIL;
      return item->SetInt(tag, static_cast<LONG>(LittleEndian(value, static_cast<int>(length))));
    case ASF_DWORD: {
      if (length < 4) return E_FAIL;
      DWORD number = LittleEndian(value, 4);
      // WM/Track counts from 0.
      if (_wcsicmp(name, u"WM/Track") == 0) number += 1;
      return item->SetInt(tag, static_cast<LONG>(number));
    }
    case ASF_QWORD: {
      if (length < 8) return E_FAIL;
      const FILETIME time = {LittleEndian(value, 4), LittleEndian(value + 4, 4)};
      return item->SetFileTime(tag, &time);
    }
    case ASF_WORD:
      if (length < 2) return E_FAIL;
      return item->SetInt(tag, static_cast<LONG>(LittleEndian(value, 2)));
    case ASF_GUID: {
      if (length != 16) return E_FAIL;
      GUID guid;
      std::memcpy(&guid, value, 16);
      return item->SetGuid(tag, guid);
    }
    default: return E_FAIL;
  }
}
