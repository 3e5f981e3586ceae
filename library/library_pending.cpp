// Where the library object meets the parts of the library that come later: tag storage and its
// prepared statements, library-bound items, blob handles and the query engine. Each stays a
// small seam that says so in the debug output when reached and fails the call that needs it.
#include "resources/library_resources.h"
#include "library_schema.h"
#include "media_library.h"

namespace {

void NotBuilt(const char16_t* what) {
  std::u16string line = u"CMediaLibrary: ";
  line += what;
  line += u" is not built yet\r\n";
  OutputDebugStringW(line.c_str());
}

}  // namespace

// The temporary tag tables are the database's; the tag-storage statements that come with them
// are tag storage's.
void CMediaLibrary::PrepareStatements() {
  RunSchemaScript(*db_, instance_, IDR_LIBRARY_TEMP_TAGS);
  NotBuilt(u"tag storage (its prepared statements)");
}

// No statement is prepared yet, so there is none to finalize before the connection closes.
void CMediaLibrary::FinalizeStatements() {}

IMediaItem* CMediaLibrary::OpenBoundItem(DWORD mid, LPCWSTR source, DWORD flag) {
  NotBuilt(u"the library-bound item");
  return nullptr;
}

HRESULT CMediaLibrary::LoadItem(LPCWSTR source, IMediaItem* item) {
  NotBuilt(u"tag storage (loading an item)");
  return E_NOTIMPL;
}

HRESULT CMediaLibrary::StoreEntry(IMediaItem* item) {
  NotBuilt(u"tag storage (storing an item)");
  return E_NOTIMPL;
}

HRESULT CMediaLibrary::AskDecoderForUpdate(const DecModule* decoder, LPCWSTR source, DWORD mode,
                                           const WIN32_FIND_DATAW* fileInfo, BOOL* needed) {
  NotBuilt(u"asking the decoder whether an entry needs reading again");
  return S_OK;
}

void CMediaLibrary::OnBlobRemoved(LONG blobId, const void* bytes, DWORD size, DWORD crc) {
  NotBuilt(u"the blob handle store (a removed blob row)");
}

STDMETHODIMP CMediaLibrary::OpenServiceItem(LPCWSTR name, IMediaItem** item, BOOL* created) {
  if (item) *item = nullptr;
  if (created) *created = FALSE;
  NotBuilt(u"the service item (a library-bound item)");
  return E_FAIL;
}

STDMETHODIMP CMediaLibrary::QueryValues(IMediaItem* query, IMediaResult** result) {
  if (result) *result = nullptr;
  NotBuilt(u"the query engine");
  return E_NOTIMPL;
}

STDMETHODIMP CMediaLibrary::QueryMedia(IMediaItem* query, IMediaList** result) {
  if (result) *result = nullptr;
  NotBuilt(u"the query engine");
  return E_NOTIMPL;
}
