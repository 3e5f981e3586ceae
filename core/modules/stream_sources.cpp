// The pass-through and empty stream sources, and source copies (see stream_sources.h).
#include "core/modules/stream_sources.h"

#include <cstring>

namespace {

void Nothing(InputSource*) {}
int Refuse(InputSource*) { return -1; }
int Zero(InputSource*) { return 0; }
DWORD NoLength(InputSource*) { return 0; }
int NoItems(InputSource*, void*, int, int) { return 0; }
int NoSeek(InputSource*, int, int) { return -1; }
int OpenNothing(InputSource*, LPCWSTR) { return -1; }
void CloseNothing(InputSource*) {}
int NoProperty(InputSource*, UINT, void*, UINT, void*, UINT) { return -1; }
HRESULT NoInfo(InputSource*, LPCWSTR, IMediaItem*) { return E_FAIL; }
int NoStation(InputSource*, LPCWSTR, LPWSTR buffer) {
  if (buffer) buffer[0] = 0;
  return 0;
}
WCHAR* EmptyTitle(InputSource*, LPCWSTR, LPWSTR buffer) {
  if (!buffer) return nullptr;
  buffer[0] = 0;
  return buffer;
}

// The decoder reads the URL itself: opening always succeeds, and there is nothing to read.
int OpenPassThrough(InputSource*, LPCWSTR path) { return path ? 0 : -1; }
WCHAR* PathTitle(InputSource*, LPCWSTR path, LPWSTR buffer) {
  if (!buffer) return nullptr;
  lstrcpynW(buffer, path ? path : u"", MAX_PATH);
  return buffer + wcslen(buffer);
}

InputSource g_passThrough = {INPUT_SOURCE_VERSION, INPUT_SOURCE_FLAG_LIVE, u"network pass-through", nullptr, nullptr, 0,
                             Zero, Zero, Nothing, Nothing, OpenPassThrough, CloseNothing, NoItems, NoSeek, NoLength,
                             Zero, Zero, PathTitle, NoStation, nullptr, NoInfo, NoProperty, nullptr, nullptr,
                             nullptr, nullptr, nullptr, {}};
InputSource g_empty = {INPUT_SOURCE_VERSION, 0, u"empty source", nullptr, nullptr, 0, Refuse, Refuse, Nothing,
                       Nothing, OpenNothing, CloseNothing, NoItems, NoSeek, NoLength, Refuse, Zero, EmptyTitle,
                       NoStation, nullptr, NoInfo, NoProperty, nullptr, nullptr, nullptr, nullptr, nullptr, {}};

}  // namespace

InputSource* NetworkPassThroughSource() { return &g_passThrough; }
InputSource* EmptySource() { return &g_empty; }

void CSourceCopy::Reset(const InputSource* record, DWORD openFlags) {
  if (held_ && copy_.Release) copy_.Release(&copy_);
  held_ = false;
  std::memset(&copy_, 0, sizeof copy_);
  if (!record) return;
  copy_ = *record;
  copy_.state = nullptr;
  if (copy_.Init) copy_.Init(&copy_);
  copy_.openFlags = openFlags;
  held_ = true;
}
