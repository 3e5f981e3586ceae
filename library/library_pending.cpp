// Where the library object meets the parts of the library that come later: the decoder's own
// say on whether an entry needs reading again, and the query engine. Each stays a small seam
// that says so in the debug output when reached and fails the call that needs it.
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

HRESULT CMediaLibrary::AskDecoderForUpdate(const DecModule* decoder, LPCWSTR source, DWORD mode,
                                           const WIN32_FIND_DATAW* fileInfo, BOOL* needed) {
  NotBuilt(u"asking the decoder whether an entry needs reading again");
  return S_OK;
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
