// Items through the library: detached items for a source, opening an entry in any of the five
// dispositions, storing, and the checks the scan makes before it reads a file again.
#include "core/interface/dec_module.h"
#include "media_item.h"
#include "media_library.h"
#include "wide_text.h"

namespace {

constexpr ULONGLONG kFileTimeUnitsPerSecond = 10000000;

bool IsServiceSource(LPCWSTR source) { return zblib::View(source).starts_with(kServiceItemPrefix); }

ULONGLONG WholeSeconds(DWORD low, DWORD high) {
  const ULONGLONG time = (static_cast<ULONGLONG>(high) << 32) | low;
  return time / kFileTimeUnitsPerSecond;
}

}  // namespace

STDMETHODIMP CMediaLibrary::CreateItem(IMediaItem** item) {
  if (!item) return E_POINTER;
  *item = CreateMediaItem();
  return *item ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CMediaLibrary::OpenItem(LPCWSTR source, DWORD form, DWORD disposition, IMediaItem** item) {
  if (!item) return E_POINTER;
  *item = nullptr;
  if (!source || IsServiceSource(source) || form > LIBITEM_BOUND) return E_FAIL;
  CLibraryLock lock(this);
  if (!db_) return E_FAIL;

  auto openExisting = [&]() -> HRESULT {
    if (form == LIBITEM_BOUND) return FindItem(source, item, 0);
    CMediaItem* loaded = CreateMediaItem();
    if (!loaded) return E_OUTOFMEMORY;
    if (FAILED(LoadItem(source, loaded))) {
      loaded->Release();
      return E_FAIL;
    }
    *item = loaded;
    return S_OK;
  };
  auto createNew = [&]() -> HRESULT {
    if (ItemExists(source) == S_OK) return E_FAIL;
    CMediaItem* fresh = CreateMediaItem();
    if (!fresh) return E_OUTOFMEMORY;
    fresh->SetSource(source);
    if (form == LIBITEM_DETACHED) {
      *item = fresh;
      return S_OK;
    }
    const HRESULT stored = StoreEntry(fresh);
    fresh->Release();
    return SUCCEEDED(stored) ? FindItem(source, item, 0) : stored;
  };

  switch (disposition) {
    case LIBOPEN_CREATE_NEW:
      return createNew();
    case LIBOPEN_CREATE_ALWAYS:
      if (ItemExists(source) == S_OK) DeleteItems(source);
      return createNew();
    case LIBOPEN_OPEN_EXISTING:
      return openExisting();
    case LIBOPEN_OPEN_ALWAYS:
      return SUCCEEDED(openExisting()) ? S_OK : createNew();
    case LIBOPEN_TRUNCATE_EXISTING: {
      const HRESULT opened = openExisting();
      if (SUCCEEDED(opened)) (*item)->Clear();
      return opened;
    }
    default:
      return E_FAIL;
  }
}

STDMETHODIMP CMediaLibrary::StoreItem(IMediaItem* item) {
  if (!item) return E_POINTER;
  IUnknown* bound = nullptr;
  if (SUCCEEDED(item->QueryInterface(IID_ILibraryItem, reinterpret_cast<void**>(&bound))) && bound) {
    // Already the library's: its writes went through the temporary tags, which end here.
    bound->Release();
    ChangeMode(0, LIBMODE_TEMP_TAGS);
    return S_OK;
  }
  CMediaItem* copy = CreateMediaItem();
  if (!copy) return E_OUTOFMEMORY;
  const HRESULT copied = copy->CopyFrom(item, 0, -1, TRUE);
  const HRESULT stored = SUCCEEDED(copied) ? StoreEntry(copy) : copied;
  copy->Release();
  return stored;
}

HRESULT CMediaLibrary::FindItem(LPCWSTR source, IMediaItem** item, DWORD flag) {
  if (!source || !item) return E_POINTER;
  *item = nullptr;
  CLibraryLock lock(this);
  if (!db_) return E_POINTER;
  CSqlStatement find = db_->CompileStatement(u"select mid from media where source=?;");
  find.BindText(1, source);
  CSqlQuery row = find.ExecQuery();
  if (row.Eof()) return E_FAIL;
  *item = OpenBoundItem(static_cast<DWORD>(row.GetInt(0, 0)), source, flag);
  return *item ? S_OK : E_FAIL;
}

HRESULT CMediaLibrary::NeedsUpdate(LPCWSTR source, const DecModule* decoder, DWORD mode,
                                   const WIN32_FIND_DATAW* fileInfo, BOOL* needed) {
  if (!source || !needed) return E_POINTER;
  CLibraryLock lock(this);
  if (!db_) return E_POINTER;
  *needed = TRUE;
  // Asked once per file of every scan: compiled once.
  CSqlStatement* find = Cached(u"select mid, filesize, filedatelow, filedatehigh from media where source=?;");
  if (!find) return E_FAIL;
  find->BindText(1, source);
  CSqlQuery row = find->ExecQuery();
  if (row.Eof()) return E_FAIL;
  if (mode == 1 && fileInfo) {
    const bool sameSize = static_cast<DWORD>(row.GetInt(1, 0)) == fileInfo->nFileSizeLow;
    const bool sameTime = WholeSeconds(static_cast<DWORD>(row.GetInt(2, 0)), static_cast<DWORD>(row.GetInt(3, 0))) ==
                          WholeSeconds(fileInfo->ftLastWriteTime.dwLowDateTime, fileInfo->ftLastWriteTime.dwHighDateTime);
    *needed = sameSize && sameTime ? FALSE : TRUE;
    return S_OK;
  }
  if (decoder && decoder->version >= 3) return AskDecoderForUpdate(decoder, source, mode, fileInfo, needed);
  return S_OK;
}
