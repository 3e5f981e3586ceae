// Reading an item's tags back in tests.
#include "item_text.h"

namespace zbtest {

std::u16string StringTag(IMediaItem* item, DWORD id) {
  BSTR value = nullptr;
  if (FAILED(item->GetString(id, &value)) || !value) return u"<none>";
  std::u16string text(value);
  SysFreeString(value);
  return text;
}

long IntTag(IMediaItem* item, DWORD id, long missing) {
  LONG value = 0;
  return SUCCEEDED(item->GetInt(id, &value)) ? value : missing;
}

std::vector<DWORD> IntInstances(IMediaItem* item, DWORD id) {
  std::vector<DWORD> values;
  for (DWORD i = 0;; ++i) {
    DWORD value = 0, size = sizeof value;
    if (FAILED(item->GetInstance(id, i, &value, &size))) break;
    values.push_back(value);
  }
  return values;
}

std::vector<std::u16string> TextInstances(IMediaItem* item, DWORD id) {
  std::vector<std::u16string> values;
  for (DWORD i = 0;; ++i) {
    LONG index = -1;
    BSTR value = nullptr;
    if (FAILED(item->IndexOfInstance(id, i, &index)) || FAILED(item->GetStringAt(index, &value)) || !value) break;
    values.emplace_back(value);
    SysFreeString(value);
  }
  return values;
}

}  // namespace zbtest
