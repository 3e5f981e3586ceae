// The network input source's record and its slots other than reading (see net_input_source.h):
// the stream object's life per copy, its titles and tags, and the control codes through which
// the core and plug-ins reach its options and state.
#include "net_input_source.h"

#include <cstring>
#include <new>

#include "http_stream.h"
#include "http_text.h"
#include "mediaitem.h"
#include "tagids.h"

namespace {

constexpr DWORD kTagStreamUrl = 0x10065;
constexpr int kLargestText = 259;
constexpr UINT kWord = sizeof(DWORD);

void Nothing(InputSource*) {}
int NoOp(InputSource*) { return 0; }

void Init(InputSource* source) {
  source->state = new (std::nothrow) CHttpStream(source);
}

void Deinit(InputSource* source) {
  delete static_cast<CHttpStream*>(source->state);
  source->state = nullptr;
}

int Open(InputSource* source, LPCWSTR url) {
  CHttpStream* stream = NetStreamOf(source);
  if (!stream || !url) return -1;
  source->flags = 3;
  stream->Open(url);
  return 0;
}

void Close(InputSource* source) {
  CHttpStream* stream = NetStreamOf(source);
  if (!stream) return;
  if (stream->thread_) stream->Close();
  stream->ReleaseNetwork();
  Deinit(source);
  Init(source);
}

DWORD GetLength(InputSource* source) {
  CHttpStream* stream = NetStreamOf(source);
  return stream && stream->contentLength_ > 0 ? static_cast<DWORD>(stream->contentLength_) : 0xFFFFFFFFu;
}

int Tell(InputSource* source) {
  CHttpStream* stream = NetStreamOf(source);
  return stream ? stream->readPosition_ : 0;
}

int IsSeekable(InputSource* source) {
  CHttpStream* stream = NetStreamOf(source);
  return stream && stream->contentLength_ > 0 ? 1 : 0;
}

void Widen(const char* text, LPWSTR out, int chars) {
  out[0] = 0;
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, out, chars) <= 0)
    MultiByteToWideChar(CP_ACP, 0, text, -1, out, chars);
  out[chars - 1] = 0;
}

WCHAR* GetTitle(InputSource* source, LPCWSTR path, LPWSTR buffer) {
  CHttpStream* stream = NetStreamOf(source);
  if (!stream || !buffer) return buffer;
  CSectionLock hold(stream->lock_);
  if (path) CopyStringBounded(buffer, kLargestText + 1, path);
  else CopyStringBounded(buffer, kLargestText + 1, stream->wideUrl_);
  if (stream->title_[0]) {
    WCHAR title[kLargestText + 1], station[kLargestText + 1];
    Widen(stream->title_, title, kLargestText + 1);
    Widen(stream->station_, station, kLargestText + 1);
    lstrcpyW(buffer, title);
    if (station[0] && lstrcmpiW(station, title) != 0) {
      lstrcatW(buffer, u" (");
      lstrcatW(buffer, station);
      lstrcatW(buffer, u")");
    }
  }
  return buffer + lstrlenW(buffer);
}

int GetStationName(InputSource* source, LPCWSTR, LPWSTR buffer) {
  CHttpStream* stream = NetStreamOf(source);
  if (!stream || !buffer) return 0;
  CSectionLock hold(stream->lock_);
  if (!stream->station_[0]) return 0;
  Widen(stream->station_, buffer, kLargestText + 1);
  return lstrlenW(buffer);
}

HRESULT ReadInfo(InputSource* source, LPCWSTR url, IMediaItem* item) {
  if (!source || !url || !item) return E_FAIL;
  item->SetString(kTagStreamUrl, url);
  LONG length = 0;
  if (FAILED(item->GetInt(TAG_LENGTH, &length))) item->SetInt(TAG_LENGTH, -1);
  CHttpStream* stream = NetStreamOf(source);
  if (!stream) return E_FAIL;
  if (!stream->wideUrl_[0]) CopyStringBounded(stream->wideUrl_, kHttpUrlBytes, url);
  if (!stream->libraryItem_) {
    // Finds the library item as an open does, without connecting anything.
    const DWORD flags = source->openFlags;
    source->openFlags |= INPUT_OPEN_SINGLE_SHOT;
    stream->Open(nullptr);
    source->openFlags = flags;
  }
  stream->FillStreamTags(item);
  return S_OK;
}

HRESULT CheckItem(InputSource* source, LPCWSTR path, int, const WIN32_FIND_DATAW*, IMediaItem* item, BOOL* changed) {
  if (!source || !path || !item || !changed) return E_FAIL;
  *changed = FALSE;
  BSTR text = nullptr;
  for (DWORD tag : {static_cast<DWORD>(TAG_DISPLAY_TITLE), kTagStreamUrl}) {
    if (FAILED(item->GetString(tag, &text))) *changed = TRUE;
    if (text) SysFreeString(text);
    text = nullptr;
  }
  return S_OK;
}

void StartUp() {
  WSADATA data;
  WSAStartup(MAKEWORD(1, 1), &data);
  SetHttpProxy(nullptr);
}

void CleanUp() { WSACleanup(); }

// A copy of wide text of the wire cut to an out buffer of `size` bytes.
void WidenInto(const char* text, void* out, UINT size) {
  const int chars = static_cast<int>(size / sizeof(WCHAR));
  if (chars < 1) return;
  Widen(text, static_cast<LPWSTR>(out), chars);
}

int Control(InputSource* source, UINT id, void* in, UINT inSize, void* out, UINT outSize) {
  CHttpStream* stream = NetStreamOf(source);
  if (!stream) return -1;
  const bool wordIn = in && inSize == kWord, wordOut = out && outSize == kWord;
  const DWORD value = wordIn ? *static_cast<DWORD*>(in) : 0;
  auto put = [&](DWORD v) { *static_cast<DWORD*>(out) = v; };
  switch (id) {
    case 0x100: if (wordIn) stream->receiveTimeout_ = static_cast<int>(value); return 0;
    case 0x200: if (wordOut) put(static_cast<DWORD>(stream->receiveTimeout_)); return 0;
    case 0x400: if (wordIn) stream->connectTimeout_ = static_cast<int>(value); return 0;
    case 0x800: if (wordOut) put(static_cast<DWORD>(stream->connectTimeout_)); return 0;
    case 0x1000: if (wordOut) put(static_cast<DWORD>(stream->state_.load())); return 0;
    case 0x2000: if (wordOut) put(static_cast<DWORD>(stream->Buffered())); return 0;
    case 0x4000: if (wordIn) stream->notifyWindow_ = reinterpret_cast<HWND>(static_cast<UINT_PTR>(value)); return 0;
    case 0x8000:
      if (in && inSize == sizeof(HANDLE)) stream->stateEvent_ = *static_cast<HANDLE*>(in);
      return 0;
    case 0x10000:
      if (in && inSize == sizeof(HANDLE)) stream->receiveEvent_ = *static_cast<HANDLE*>(in);
      return 0;
    case 0x20000: if (wordOut) put(static_cast<DWORD>(stream->noCache_)); return 0;
    case 0x40000: {
      if (!out || !outSize) return 0;
      char narrow[kHttpUrlBytes];
      WideCharToMultiByte(CP_UTF8, 0, stream->wideUrl_, -1, narrow, sizeof narrow, nullptr, nullptr);
      narrow[sizeof narrow - 1] = 0;
      WidenInto(stream->url_[0] ? stream->url_ : narrow, out, outSize);
      return 0;
    }
    case 0x80000:
      if (!wordIn) return 0;
      if (stream->paused_ && !value) stream->reconnectRequest_ = stream->readPosition_;
      stream->paused_ = value ? 1 : 0;
      return 0;
    case 0x100000: {
      if (!wordOut) return 0;
      put(stream->WaitForData(wordIn ? value : INFINITE) ? 1 : 0);
      return 0;
    }
    case 0x200000:
      if (!out || outSize != sizeof(FILETIME) || !stream->expiryValid_) return 0;
      std::memcpy(out, &stream->expiry_, sizeof(FILETIME));
      return 1;
    case 0x400000: {
      delete[] stream->postBody_;
      stream->postBody_ = nullptr;
      stream->postLength_ = 0;
      if (!in || !inSize) return 0;
      stream->postBody_ = new (std::nothrow) char[inSize + 1];
      if (!stream->postBody_) return 0;
      std::memcpy(stream->postBody_, in, inSize);
      stream->postBody_[inSize] = 0;
      stream->postLength_ = static_cast<int>(inSize);
      return 1;
    }
    case 0x800000: if (out && outSize) WidenInto(stream->contentType_, out, outSize); return 0;
    case 0x1000000: if (wordIn) stream->keepPostOnRedirect_ = static_cast<int>(value); return 0;
    case 0x2000000:
      if (in && inSize) {
        const UINT n = inSize < sizeof stream->postContentType_ ? inSize : sizeof stream->postContentType_ - 1;
        std::memcpy(stream->postContentType_, in, n);
        stream->postContentType_[n] = 0;
        stream->postContentType_[std::strcspn(stream->postContentType_, "\r\n")] = 0;
      }
      return 0;
    case 0x10000000: if (wordIn) stream->spareOption_ = value; return 0;
    case 0x20000000: if (wordIn) stream->priority_ = value; return 0;
    case 0x30000000: if (wordIn) stream->http11_ = static_cast<int>(value); return 0;
    case 0x40000000: if (wordIn) stream->urlEncode_ = static_cast<int>(value); return 0;
    default: return 0;
  }
}

InputSource g_netSource = {3, 3, u"", nullptr, nullptr, 0, NoOp, NoOp, Init, Deinit, Open, Close,
                           NetInputRead, NetInputSeek, GetLength, Tell, IsSeekable, GetTitle, GetStationName,
                           nullptr, ReadInfo, Control, nullptr, StartUp, CleanUp, CheckItem, nullptr, {}};

}  // namespace

InputSource* NetInputSourceRecord() { return &g_netSource; }

CHttpStream* NetStreamOf(InputSource* source) {
  if (!source || !source->state) return nullptr;
  auto* stream = static_cast<CHttpStream*>(source->state);
  return stream->host_ == source ? stream : nullptr;
}
