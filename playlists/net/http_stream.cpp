// CHttpStream's life: construction with its ring, opening and closing the worker, the connection
// manager, the state and status texts the player shows, and the title tags of the stream's item.
#include "http_stream.h"

#include <connmgr.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "core/interface/player_messages.h"
#include "core/settings/settings.h"
#include "http_text.h"
#include "mediaitem.h"
#include "medialibrary.h"
#include "tagids.h"

namespace {

constexpr int kLargestText = 259;
constexpr DWORD kStopWaitMs = 2000;
constexpr DWORD kConnectionWaitMs = 25000;

CCriticalSection& ProxyLock() {
  static CCriticalSection lock;
  return lock;
}
char g_proxy[260] = {};

// Narrow text of the wire into wide: UTF-8 when it is, else the ANSI page.
void Widen(const char* text, LPWSTR out, int chars) {
  out[0] = 0;
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, out, chars);
  if (n <= 0) n = MultiByteToWideChar(CP_ACP, 0, text, -1, out, chars);
  out[chars - 1] = 0;
  if (n <= 0) out[0] = 0;
}

// The connection manager's calls, found in cellcore.dll each time; E_FAIL without it.
template <class Fn>
Fn ConnMgrCall(const char16_t* name) {
  static HMODULE cellcore = LoadLibraryW(u"cellcore.dll");
  return cellcore ? reinterpret_cast<Fn>(GetProcAddressW(cellcore, name)) : nullptr;
}

}  // namespace

void SetHttpProxy(LPCWSTR proxy) {
  CSectionLock hold(ProxyLock());
  g_proxy[0] = 0;
  if (proxy) WideCharToMultiByte(CP_ACP, 0, proxy, -1, g_proxy, sizeof g_proxy, nullptr, nullptr);
  g_proxy[sizeof g_proxy - 1] = 0;
}

void GetHttpProxy(char* out, int size) {
  CSectionLock hold(ProxyLock());
  CopyTextBounded(out, g_proxy, size);
}

CHttpStream::CHttpStream(InputSource* host) : host_(host) {
  NewSocket();
  dataEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CSettings* settings = GetSettings();
  int size = 65536;
  if (settings) {
    receiveTimeout_ = static_cast<int>(settings->httpReceiveTimeout) * 1000;
    connectTimeout_ = static_cast<int>(settings->httpConnectTimeout) * 1000;
    size = static_cast<int>(settings->httpBufferSize);
  }
  if (size < 1024) size = 65536;
  for (; size > kHttpFallbackRing; size -= 1024) {
    ring_ = new (std::nothrow) char[static_cast<size_t>(size) + 64];
    if (ring_) break;
  }
  if (!ring_) {
    ring_ = fallbackRing_;
    size = kHttpFallbackRing;
  }
  ringSize_ = size;
  lastStatusTick_ = GetTickCount();
}

CHttpStream::~CHttpStream() {
  if (libraryItem_) {
    if (host_ && host_->hostCallback) host_->hostCallback(PLAYER_MSG_SHOW_STREAM_STATUS, nullptr, 0, nullptr, 0);
    libraryItem_->Release();
  }
  if (socket_ != INVALID_SOCKET) closesocket(socket_);
  if (dataEvent_) CloseHandle(dataEvent_);
  if (ring_ != fallbackRing_) delete[] ring_;
  delete[] postBody_;
}

void CHttpStream::NewSocket() {
  if (socket_ != INVALID_SOCKET) closesocket(socket_);
  socket_ = socket(AF_INET, SOCK_STREAM, 0);
}

void CHttpStream::SetError(const char* text) {
  CSectionLock hold(lock_);
  CopyTextBounded(error_, text ? text : "", sizeof error_);
}

int CHttpStream::Open(LPCWSTR url) {
  if (!wideUrl_[0] && url) CopyStringBounded(wideUrl_, kHttpUrlBytes, url);
  if (host_ && host_->hostCallback && !libraryItem_) {
    DWORD current = 0;
    host_->hostCallback(PLAYER_MSG_IS_CURRENT_SOURCE, host_, sizeof(InputSource), &current, sizeof current);
    IMediaLibrary* library = nullptr;
    if (current == 1 &&
        host_->hostCallback(PLAYER_MSG_GET_MEDIA_LIBRARY, nullptr, 0, &library, sizeof library) >= 0 && library) {
      if (FAILED(library->OpenItem(wideUrl_, 1, 3, &libraryItem_))) libraryItem_ = nullptr;
      library->Release();
    }
  }
  if (url) {
    url_[0] = 0;
    WideCharToMultiByte(CP_UTF8, 0, url, -1, url_, kHttpUrlBytes, nullptr, nullptr);
    url_[kHttpUrlBytes - 1] = 0;
  }
  // Tag reading of a URL: the object is prepared, nothing is connected.
  if (host_ && (host_->openFlags & INPUT_OPEN_SINGLE_SHOT)) return 1;
  SetError(nullptr);
  ResetEvent(dataEvent_);
  stop_ = 0;
  SetState(HTTPSTREAM_CONNECTING);
  thread_ = CreateThread(nullptr, 0, HttpStreamThread, this, 0, nullptr);
  if (!thread_) {
    SetError("the stream's thread could not be started");
    SetState(HTTPSTREAM_FAILED);
    SetEvent(dataEvent_);
  }
  return 1;
}

BOOL CHttpStream::Close() {
  if (thread_) {
    stop_ = 1;
    if (WaitForSingleObject(thread_, kStopWaitMs) != WAIT_OBJECT_0) TerminateThread(thread_, 0);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  keepMark_ = readIndex_ = writeIndex_ = 0;
  if (socket_ != INVALID_SOCKET) NewSocket();
  return ResetEvent(dataEvent_);
}

BOOL CHttpStream::WaitForData(DWORD ms) { return WaitForSingleObject(dataEvent_, ms) == WAIT_OBJECT_0; }

DWORD CHttpStream::RequestPhaseBound() const {
  // Every redirect may take a connect and a head; the bound covers a few of them.
  const DWORD one = static_cast<DWORD>((connectTimeout_ > 0 ? connectTimeout_ : 5000) +
                                       2 * (receiveTimeout_ > 0 ? receiveTimeout_ : 5000));
  return one * 3;
}

int CHttpStream::ConnectNetwork(DWORD priority) {
  connection_ = nullptr;
  using MapFn = HRESULT (*)(LPCWSTR, GUID*, DWORD*);
  using EstablishFn = HRESULT (*)(CONNMGR_CONNECTIONINFO*, HANDLE*, DWORD, DWORD*);
  using ProviderFn = HRESULT (*)(HANDLE, const GUID*, DWORD*, DWORD, DWORD, PBYTE, ULONG);
  using ReleaseFn = HRESULT (*)(HANDLE, LONG);
  const char* host = url_;
  if (const char* scheme = std::strstr(host, "://")) host = scheme + 3;
  const char* slash = std::strchr(host, '/');
  const char* at = std::strchr(host, '@');
  if (at && (!slash || at < slash)) host = at + 1;
  static WCHAR mapped[kHttpUrlBytes];
  Widen(host, mapped, kHttpUrlBytes);
  auto map = ConnMgrCall<MapFn>(u"ConnMgrMapURL");
  GUID destination = {};
  DWORD index = 0;
  if (!map || FAILED(map(mapped, &destination, &index))) return 0;
  CONNMGR_CONNECTIONINFO info = {};
  info.cbSize = sizeof info;
  info.dwParams = CONNMGR_PARAM_GUIDDESTNET;
  info.dwFlags = CONNMGR_FLAG_PROXY_HTTP;
  info.dwPriority = priority;
  info.guidDestNet = destination;
  auto establish = ConnMgrCall<EstablishFn>(u"ConnMgrEstablishConnectionSync");
  HANDLE handle = nullptr;
  DWORD status = 0;
  if (!establish || FAILED(establish(&info, &handle, kConnectionWaitMs, &status))) return 0;
  if (status != CONNMGR_STATUS_CONNECTED) {
    if (auto release = ConnMgrCall<ReleaseFn>(u"ConnMgrReleaseConnection")) release(handle, 1);
    return 0;
  }
  connection_ = handle;
  PROXY_CONFIG config = {};
  auto provider = ConnMgrCall<ProviderFn>(u"ConnMgrProviderMessage");
  const HRESULT asked = provider ? provider(handle, &IID_ConnPrv_IPv4Proxy, nullptr, 0, 0,
                                           reinterpret_cast<PBYTE>(&config), sizeof config)
                                 : E_FAIL;
  if (asked == S_OK || asked == E_NOINTERFACE) SetHttpProxy(config.szProxyServer);
  return 1;
}

int CHttpStream::ReleaseNetwork() {
  if (connection_) {
    using ReleaseFn = HRESULT (*)(HANDLE, LONG);
    if (auto release = ConnMgrCall<ReleaseFn>(u"ConnMgrReleaseConnection")) release(connection_, 1);
  }
  connection_ = nullptr;
  return 1;
}

int CHttpStream::Buffered() const {
  const int n = writeIndex_ - readIndex_;
  return n < 0 ? n + ringSize_ : n;
}

int CHttpStream::KeptBehind() const {
  const int n = readIndex_ - keepMark_;
  return n < 0 ? n + ringSize_ : n;
}

void CHttpStream::MoveKeepMark() {
  if (KeptBehind() < kHttpKeepBehind) return;
  const int mark = readIndex_ - kHttpKeepBehind;
  keepMark_ = mark < 0 ? mark + ringSize_ : mark;
}

void CHttpStream::SetState(int state) {
  state_ = state;
  if (notifyWindow_ && IsWindow(notifyWindow_))
    PostMessageW(notifyWindow_, WM_HTTPSTREAM_STATE, static_cast<WPARAM>(state), reinterpret_cast<LPARAM>(host_));
  if (stateEvent_ && stateEvent_ != INVALID_HANDLE_VALUE) SetEvent(stateEvent_);
  UpdateStatusText();
}

void CHttpStream::SetBufferingPercent(int missing) {
  if (missing == bufferingMissing_) return;
  bufferingMissing_ = missing;
  const DWORD now = GetTickCount();
  if (now - lastStatusTick_ < 1001 && !(missing == 0 && lastShownPercent_ != 0)) return;
  lastShownPercent_ = missing;
  lastStatusTick_ = now;
  UpdateStatusText();
}

void CHttpStream::UpdateStatusText() {
  CSectionLock hold(lock_);
  if (!libraryItem_ || !host_ || !host_->hostCallback) return;
  WCHAR text[64] = {};
  const int missing = bufferingMissing_;
  switch (state_) {
    case HTTPSTREAM_CONNECTING:
      wsprintfW(text, u"Connecting...%c", u"|/-\\"[spinner_++ % 4]);
      break;
    case HTTPSTREAM_FAILED:
      lstrcpyW(text, std::strstr(head_, "Server Full") ? u"Server Full" : u"Connection Failed");
      break;
    case HTTPSTREAM_STREAMING:
      if (missing >= 100) lstrcpyW(text, u"Buffering...");
      else if (missing >= 1) wsprintfW(text, u"Buffering %d%%", 100 - missing);
      break;
    default:
      break;
  }
  const UINT bytes = static_cast<UINT>((lstrlenW(text) + 1) * sizeof(WCHAR));
  host_->hostCallback(PLAYER_MSG_SHOW_STREAM_STATUS, text[0] ? text : nullptr, text[0] ? bytes : 0, nullptr, 0);
}

void CHttpStream::StoreTitle(const char* title) {
  {
    CSectionLock hold(lock_);
    CopyTextBounded(title_, title, sizeof title_);
    if (titleListener_) titleListener_(title_);
  }
  OnTitleChanged();
}

void CHttpStream::OnTitleChanged() {
  CSectionLock hold(lock_);
  if (libraryItem_) FillStreamTags(libraryItem_);
  OutputDebugStringW(u"FMC EVENT\n");
}

void CHttpStream::FillStreamTags(IMediaItem* item) {
  if (!item) return;
  CSectionLock hold(lock_);
  WCHAR station[kLargestText + 1], title[kLargestText + 1];
  Widen(station_, station, kLargestText + 1);
  Widen(title_, title, kLargestText + 1);
  if (station[0]) item->SetString(TAG_STATION_ID, station);
  if (title[0] && lstrcmpW(title, station) != 0) item->SetString(TAG_SUBTITLE, title);
  if (!station[0] && !title[0]) return;
  IMediaItem* direct = nullptr;
  BSTR formatted = nullptr;
  CSettings* settings = GetSettings();
  LONG missing = 0;
  bool set = false;
  if (settings && SUCCEEDED(item->QueryInterface(IID_IMediaItemDirect, reinterpret_cast<void**>(&direct))) && direct) {
    if (SUCCEEDED(direct->FormatTitle(1, 1024, settings->streamTitleFormat, &formatted, &missing)) && formatted &&
        formatted[0]) {
      item->SetString(TAG_DISPLAY_TITLE, formatted);
      set = true;
    }
    if (formatted) SysFreeString(formatted);
    direct->Release();
  }
  if (!set && title[0]) item->SetString(TAG_DISPLAY_TITLE, title);
}
