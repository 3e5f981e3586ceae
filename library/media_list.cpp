// CMediaList: reference counting, editing, merging with another list, shuffling and finding by
// source. Sorting is in media_list_sort.cpp.
#include "media_list.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "playlist.h"
#include "playlist_file_writer.h"
#include "tagids.h"
#include "wide_text.h"

namespace {

// An item's source, or nothing when it cannot be read.
bool SourceOf(IMediaItem* item, std::u16string* source) {
  BSTR text = nullptr;
  if (!item || FAILED(item->GetSource(&text))) return false;
  source->assign(zblib::View(text));
  SysFreeString(text);
  return true;
}

}  // namespace

CMediaList* CMediaList::Create() { return new (std::nothrow) CMediaList(); }
CMediaList* CreateMediaList() { return CMediaList::Create(); }

CMediaList::~CMediaList() {
  // In the order of their memory: the items of one query were made one after another, and giving
  // them back that way, not in the list's sorted order, spares the allocator and the register of
  // live items a jump across memory for each.
  std::vector<IMediaItem*> made;
  made.reserve(items_.size());
  for (const Slot& slot : items_)
    if (slot.item) made.push_back(slot.item);
  std::sort(made.begin(), made.end(), std::less<IMediaItem*>());
  for (IMediaItem* item : made) item->Release();
}

IMediaItem* CMediaList::Item(size_t index) {
  {
    std::lock_guard<std::mutex> guard(making_);
    if (items_[index].item) return items_[index].item;
  }
  // Made outside the lock: making takes the library's locks, which a caller may hold already.
  IMediaItem* made = rows_->MakeItem(items_[index].row);
  if (!made) return nullptr;
  std::lock_guard<std::mutex> guard(making_);
  if (items_[index].item) {
    made->Release();  // another thread made it first
  } else {
    items_[index].item = made;
  }
  return items_[index].item;
}

bool CMediaList::SourceAt(size_t index, std::u16string* source) {
  {
    std::lock_guard<std::mutex> guard(making_);
    if (!items_[index].item) {
      rows_->Source(items_[index].row, source);
      return true;
    }
  }
  return SourceOf(items_[index].item, source);
}

STDMETHODIMP CMediaList::QueryInterface(REFIID riid, void** object) {
  return Answer(riid, object, {IID_IMediaList, IID_IMediaList2});
}

STDMETHODIMP CMediaList::GetCount(DWORD* count) {
  if (!count) return E_FAIL;
  *count = static_cast<DWORD>(items_.size());
  return S_OK;
}

STDMETHODIMP CMediaList::GetItem(LONG index, IMediaItem** item) {
  if (!item) return E_POINTER;
  *item = nullptr;
  if (!InRange(index)) return E_FAIL;
  *item = Item(static_cast<size_t>(index));
  if (!*item) return E_FAIL;
  (*item)->AddRef();
  return S_OK;
}

STDMETHODIMP CMediaList::Insert(LONG index, IMediaItem* item) {
  if (!item) return E_POINTER;
  if (index < 0 || static_cast<size_t>(index) > items_.size()) return E_FAIL;
  item->AddRef();
  items_.insert(items_.begin() + index, Slot{item, 0});
  Changed();
  return S_OK;
}

STDMETHODIMP CMediaList::Add(IMediaItem* item) {
  if (!item) return E_POINTER;
  AddItem(item);
  return S_OK;
}

void CMediaList::AddItem(IMediaItem* item) {
  item->AddRef();
  items_.push_back(Slot{item, 0});
  Changed();
}

void CMediaList::AddRow(CMediaLibrary* library, DWORD tag, DWORD mid, const ListedText& source,
                        const ListedText& text) {
  // The rows a library item would refuse are left out, as the item would be.
  if (mid == 0 || !source.data || source.length == 0) return;
  if (!rows_) rows_ = std::make_unique<CListedRows>(library, tag);
  items_.push_back(Slot{nullptr, rows_->Add(mid, source, text)});
  Changed();
}

STDMETHODIMP CMediaList::RemoveAt(LONG index) {
  if (!InRange(index)) return E_FAIL;
  IMediaItem* item = items_[static_cast<size_t>(index)].item;
  items_.erase(items_.begin() + index);
  if (item) item->Release();
  Changed();
  return S_OK;
}

STDMETHODIMP CMediaList::Clear() {
  std::vector<Slot> old;
  old.swap(items_);
  for (const Slot& slot : old)
    if (slot.item) slot.item->Release();
  Changed();
  return S_OK;
}

STDMETHODIMP CMediaList::Swap(LONG first, LONG second) {
  if (!InRange(first) || !InRange(second)) return E_FAIL;
  std::swap(items_[static_cast<size_t>(first)], items_[static_cast<size_t>(second)]);
  Changed();
  return S_OK;
}

STDMETHODIMP CMediaList::AppendList(IUnknown* other, BOOL allowDuplicates) {
  if (!other) return E_POINTER;
  IMediaList* list = nullptr;
  if (FAILED(other->QueryInterface(IID_IMediaList2, reinterpret_cast<void**>(&list))) || !list) return E_FAIL;
  HRESULT hr = Merge(list, allowDuplicates ? MEDIALIST_MERGE_ALL : MEDIALIST_MERGE_NEW_SOURCES);
  list->Release();
  return hr;
}

STDMETHODIMP CMediaList::KeepIndices(const LONG* indices, LONG count) {
  if (count < 0 || (count > 0 && !indices)) return E_INVALIDARG;
  std::vector<LONG> keep(indices, indices + count);
  if (!std::all_of(keep.begin(), keep.end(), [this](LONG i) { return InRange(i); })) return E_FAIL;
  std::sort(keep.begin(), keep.end());
  // An entry kept twice holds one item twice, as it always did: that needs the item now, and
  // before anything is kept, so that a failure leaves the list as it was.
  for (size_t k = 1; k < keep.size(); ++k)
    if (keep[k - 1] == keep[k] && !Item(static_cast<size_t>(keep[k]))) return E_FAIL;
  std::vector<Slot> kept;
  kept.reserve(keep.size());
  for (LONG i : keep) {
    const Slot& slot = items_[static_cast<size_t>(i)];
    if (slot.item) slot.item->AddRef();
    kept.push_back(slot);
  }
  kept.swap(items_);
  for (const Slot& slot : kept)
    if (slot.item) slot.item->Release();
  Changed();
  return S_OK;
}

STDMETHODIMP CMediaList::GetName(BSTR* name) {
  if (!name) return E_POINTER;
  return zblib::NewBstr(name_, name);
}

STDMETHODIMP CMediaList::SetName(LPCWSTR name) {
  if (!name) return E_POINTER;
  name_ = name;
  return S_OK;
}

void CMediaList::SetNameText(LPCWSTR text) { name_ = zblib::View(text); }
void CMediaList::SetFileNameText(LPCWSTR text) { fileName_ = zblib::View(text); }

STDMETHODIMP CMediaList::GetFileName(BSTR* fileName) {
  if (!fileName) return E_POINTER;
  return zblib::NewBstr(fileName_, fileName);
}

STDMETHODIMP CMediaList::Merge(IMediaList* other, DWORD mode) {
  if (!other) return E_POINTER;
  if (mode > MEDIALIST_MERGE_REMOVE_SAME) return E_FAIL;
  // Take the other list's items and sources first: it may be this very list, which the
  // steps below change while they walk it.
  DWORD count = 0;
  if (FAILED(other->GetCount(&count))) return E_FAIL;
  struct Incoming {
    IMediaItem* item;
    std::u16string source;
  };
  std::vector<Incoming> incoming;
  auto releaseAll = [&incoming] {
    for (Incoming& in : incoming) in.item->Release();
  };
  for (DWORD i = 0; i < count; ++i) {
    IMediaItem* item = nullptr;
    if (FAILED(other->GetItem(static_cast<LONG>(i), &item)) || !item) {
      releaseAll();
      return E_FAIL;
    }
    incoming.push_back({item, {}});
    if (!SourceOf(item, &incoming.back().source)) {
      releaseAll();
      return E_FAIL;
    }
  }
  for (const Incoming& in : incoming) {
    if (mode == MEDIALIST_MERGE_KEEP_SAME || mode == MEDIALIST_MERGE_REMOVE_SAME) {
      for (size_t i = 0; i < items_.size();) {
        std::u16string source;
        const bool same = SourceAt(i, &source) && zblib::EqualNoCase(source, in.source);
        if (same == (mode == MEDIALIST_MERGE_REMOVE_SAME)) RemoveAt(static_cast<LONG>(i));
        else ++i;
      }
      continue;
    }
    bool present = false;
    if (mode == MEDIALIST_MERGE_NEW_SOURCES) {
      for (size_t i = 0; i < items_.size() && !present; ++i) {
        std::u16string source;
        present = SourceAt(i, &source) && zblib::EqualNoCase(source, in.source);
      }
    }
    if (!present) AddItem(in.item);
  }
  releaseAll();
  Changed();
  return S_OK;
}

STDMETHODIMP CMediaList::IsPlaylistItem(LONG index, BOOL* playlist) {
  if (!playlist) return E_POINTER;
  *playlist = FALSE;
  if (!InRange(index)) return E_FAIL;
  GUID type;
  IMediaItem* item = Item(static_cast<size_t>(index));
  *playlist = item && SUCCEEDED(item->GetGuid(TAG_MEDIA_TYPE, &type)) && type == MEDIATYPE_PLAYLIST;
  return S_OK;
}

// Writing a list as a playlist file belongs with the playlist writer, which is not built yet.
STDMETHODIMP CMediaList::SaveAsPlaylist(LPCWSTR path) {
  if (!path) return E_POINTER;
  // Never over a file: neither the name given nor the one the writer would use for it.
  const std::u16string written = WrittenPlaylistName(path);
  if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES || GetFileAttributesW(written.c_str()) != INVALID_FILE_ATTRIBUTES)
    return E_FAIL;
  CPlaylist playlist(nullptr);
  if (FAILED(playlist.AppendMediaList(this))) return E_FAIL;
  if (!playlist.SaveFile(path)) return E_FAIL;
  return GetFileAttributesW(written.c_str()) != INVALID_FILE_ATTRIBUTES ? S_OK : E_FAIL;
}

STDMETHODIMP CMediaList::Shuffle() {
  // The runtime's generator, which the player seeds; the file name stays, as the items do.
  for (size_t i = 1; i < items_.size(); ++i) {
    size_t j = static_cast<size_t>(std::rand()) % (i + 1);
    std::swap(items_[i], items_[j]);
  }
  return S_OK;
}

STDMETHODIMP CMediaList::FindBySource(LPCWSTR source, IMediaItem** item) {
  if (!source || !item) return E_POINTER;
  *item = nullptr;
  for (size_t i = 0; i < items_.size(); ++i) {
    std::u16string own;
    if (SourceAt(i, &own) && zblib::EqualNoCase(own, source)) {
      IMediaItem* found = Item(i);
      if (!found) return E_FAIL;
      found->AddRef();
      *item = found;
      return S_OK;
    }
  }
  return E_FAIL;
}
