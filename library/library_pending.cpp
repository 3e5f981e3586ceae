// Where the library object meets the parts of the library that come later: the decoder's own
// say on whether an entry needs reading again. It stays a small seam that says so in the debug
// output when reached.
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
