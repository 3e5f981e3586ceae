// Reading an item's tags back in tests.
#pragma once
#include <string>

#include "media_item.h"

namespace zbtest {

// The text of a single-valued tag; "<none>" when the item lacks it.
std::u16string StringTag(IMediaItem* item, DWORD id);
// An integer tag; `missing` when the item lacks it.
long IntTag(IMediaItem* item, DWORD id, long missing = -99999);
// All instances of a multi-valued integer tag, in instance order from 0 until one is missing.
std::vector<DWORD> IntInstances(IMediaItem* item, DWORD id);
// All instances of a multi-valued text tag, in instance order from 0 until one is missing.
std::vector<std::u16string> TextInstances(IMediaItem* item, DWORD id);

struct ItemHolder {
  CMediaItem* item = CreateMediaItem();
  ~ItemHolder() { item->Release(); }
  CMediaItem* operator->() { return item; }
  operator IMediaItem*() { return item; }
};

}  // namespace zbtest
