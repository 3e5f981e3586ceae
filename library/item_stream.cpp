// The detached item's blob writer: everything is forwarded to a memory stream, and the bytes are
// stored on the item once, when the writer lets go of the stream.
#include "item_stream.h"

#include <objbase.h>

#include "tagids.h"

CItemStream* CItemStream::Create(IMediaItem* item, DWORD tag, DWORD instance, DWORD reserved) {
  IStream* memory = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &memory)) || !memory) return nullptr;
  return new CItemStream(item, memory, tag, instance, reserved);
}

CItemStream::CItemStream(IMediaItem* item, IStream* memory, DWORD tag, DWORD instance, DWORD reserved)
    : item_(item), memory_(memory), tag_(tag), instance_(instance), reserved_(reserved) {
  item_->AddRef();
}

STDMETHODIMP CItemStream::QueryInterface(REFIID riid, void** object) { return Answer(riid, object, {IID_IStream}); }

CItemStream::~CItemStream() {
  STATSTG stat{};
  HGLOBAL memory = nullptr;
  if (SUCCEEDED(memory_->Stat(&stat, STATFLAG_NONAME)) && SUCCEEDED(GetHGlobalFromStream(memory_, &memory)) &&
      memory) {
    const DWORD size = static_cast<DWORD>(stat.cbSize.QuadPart);
    const void* bytes = GlobalLock(memory);
    if (bytes || size == 0) {
      if (TAG_IS_MULTI(tag_)) item_->SetInstance(tag_, instance_, bytes, size);
      else item_->SetBytes(tag_, bytes, size);
    }
    if (bytes) GlobalUnlock(memory);
  }
  memory_->Release();
  item_->Release();
}
