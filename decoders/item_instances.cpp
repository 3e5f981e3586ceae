// Multi-valued tag writing shared by the tag readers.
#include "item_instances.h"

#include <climits>

DWORD FirstFreeInstance(IMediaItem* item, DWORD tag, DWORD from) {
  for (DWORD i = from;; ++i) {
    BOOL present = FALSE;
    if (FAILED(item->HasInstance(tag, i, &present)) || !present) return i;
  }
}

HRESULT SetInstanceText(IMediaItem* item, DWORD tag, DWORD instance, const std::u16string& text) {
  if (text.empty()) return E_FAIL;
  return item->SetInstance(tag, instance, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

HRESULT SetInstanceInt(IMediaItem* item, DWORD tag, DWORD instance, DWORD value) {
  return item->SetInstance(tag, instance, &value, sizeof value);
}

HRESULT SetInstanceFloat(IMediaItem* item, DWORD tag, DWORD instance, float value) {
  return item->SetInstance(tag, instance, &value, sizeof value);
}

HRESULT SetInstanceBytes(IMediaItem* item, DWORD tag, DWORD instance, const void* data, size_t size) {
  if (size > static_cast<size_t>(INT_MAX)) return E_INVALIDARG;
  return item->SetInstance(tag, instance, data, static_cast<DWORD>(size));
}

void SetTextTag(IMediaItem* item, DWORD tag, const std::u16string& text) {
  if (!text.empty()) item->SetString(tag, text.c_str());
}
