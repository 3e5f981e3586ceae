// One Windows Media attribute into tags by its value type. Text is appended to what the tag
// holds, so two WM/Genre attributes keep both genres.
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

HRESULT StoreUnhandledTag(ItemWriter& out, const std::u16string& name, DWORD type, const BYTE* data, size_t size) {
  const CSettings* settings = GetSettings();
  if (!settings || settings->processUnhandledTags == 0) return S_OK;
  IMediaItem* item = out.item();
  const DWORD n = out.FreeInstance(TAG_UNHANDLED_NAME);
  if (n == ItemWriter::kNoInstance) return S_OK;
  SetInstanceText(item, TAG_UNHANDLED_NAME, n, name);
  SetInstanceInt(item, TAG_UNHANDLED_TYPE, n, type);
  SetInstanceBytes(item, TAG_UNHANDLED_DATA, n, data, size);
  return S_OK;
}

HRESULT SetAsfAttribute(ItemWriter& out, LPCWSTR name, const BYTE* value, DWORD type, DWORD length) {
  if (!out.item() || !name) return E_FAIL;
  type &= 0xFFFF;
  const DWORD tag = GetAsfAttributeName(name);
  if (tag == 0 && !(type == ASF_BYTES && _wcsicmp(name, u"WM/Picture") == 0))
    return StoreUnhandledTag(out, name, type, value, length);
  if (tag == ASF_IGNORED_TAG) return S_OK;
  if (type == ASF_STRING) {
    auto text = DecodeId3Text(ID3_UTF16_LE, value, length);
    if (!text) return E_FAIL;
    if (text->empty()) return S_OK;
    return out.AppendText(tag, *text);
  }
  // Every other type replaces the value.
  IMediaItem* item = out.For(tag);
  switch (type) {
    case ASF_BYTES:
      if (_wcsicmp(name, u"WM/Picture") == 0) {
        if (length < 1) return E_FAIL;
        DWORD instance = 0;
        return ReadPictureFrame(value[0], value + 1, length - 1, out, false, true, &instance, false, -1);
      }
      if (_wcsicmp(name, u"WM/Lyrics_Synchronised") == 0)
        return ReadSyncedLyrics(out, tag, value, length, ID3_UTF16_LE, true);
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
