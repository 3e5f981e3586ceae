// CHttpStream: one HTTP or ICY stream. A worker thread sends the request (following redirects),
// reads the response head, then receives the body into a ring that the network input source
// drains on the decoder's thread; ICY metadata is taken out of the bytes on the way in.
#pragma once
#include <windows.h>
#include <winsock2.h>

#include <atomic>
#include <functional>

#include "core/common/critical_section.h"
#include "core/interface/input_source.h"
#include "icy_metadata.h"

struct IMediaItem;

#define HTTPSTREAM_CONNECTING 1
#define HTTPSTREAM_STREAMING 2
#define HTTPSTREAM_FAILED 3
#define HTTPSTREAM_ENDED 4

#define WM_HTTPSTREAM_STATE (WM_USER + 91)
#define WM_HTTPSTREAM_BUFFERED (WM_USER + 92)

constexpr int kHttpUrlBytes = 4096;
constexpr int kHttpHeadBytes = 16384;
constexpr int kHttpHeadLimit = 8191;      // bytes of a response head that are read at most
constexpr int kHttpRequestBytes = 2048;
constexpr int kHttpExtraHeaderBytes = 2048;
constexpr int kHttpTextBytes = 4096;
constexpr int kHttpRedirectLimit = 10;    // a longer chain is taken for a loop
constexpr int kHttpFallbackRing = 2048;
constexpr int kHttpKeepBehind = 1024;     // bytes behind the reader kept for short seeks back

class CHttpStream {
 public:
  explicit CHttpStream(InputSource* host);
  ~CHttpStream();
  CHttpStream(const CHttpStream&) = delete;
  CHttpStream& operator=(const CHttpStream&) = delete;

  // Keeps the URL (null: the one kept) and starts the worker; 1.
  int Open(LPCWSTR url);
  // Stops the worker and drops the connection.
  BOOL Close();
  int ConnectNetwork(DWORD priority);
  int ReleaseNetwork();
  // 1 when a 200 or 206 head was read and taken in; a redirect target is left in redirect_.
  int SendRequest(char* url, int getBody, int http11, const char* extraHeaders);
  int ReadResponseHead();
  // A copy of the first header's value (caller frees with delete[]); with no name, the head itself.
  char* GetHeaderValue(const char* name);
  void SetState(int state);
  void SetBufferingPercent(int missing);
  void UpdateStatusText();
  void OnTitleChanged();
  void FillStreamTags(IMediaItem* item);

  // The request and receive phases of the worker (http_worker.cpp).
  DWORD RunWorker();
  // Waits for the end of the request phase, at most `ms` (INFINITE allowed); 1 when it ended.
  BOOL WaitForData(DWORD ms);
  // The wait a reconnect or seek allows the request phase: both timeouts and some slack.
  DWORD RequestPhaseBound() const;
  // Why the stream failed or ended early, for people: empty when nothing went wrong.
  const char* LastError() const { return error_; }
  void SetError(const char* text);

  // Ring bookkeeping shared with the reader (net_input_read.cpp).
  int Buffered() const;      // bytes between the read and the write index
  int KeptBehind() const;    // bytes between the keep-mark and the read index
  void MoveKeepMark();

  // ---- Fields (in the order of their documentation) ----
  IMediaItem* libraryItem_ = nullptr;
  InputSource* host_;
  int standardHeaders_ = 1;
  int urlEncode_ = 0;
  int http11_ = 0;
  DWORD priority_ = 0x8000;
  DWORD spareOption_ = 0;
  char url_[kHttpUrlBytes] = {};
  WCHAR wideUrl_[kHttpUrlBytes] = {};
  int contentLength_ = 0;
  int rangeStart_ = 0;
  int noCache_ = 0;
  char contentType_[100] = {};
  char* postBody_ = nullptr;
  int postLength_ = 0;
  int keepPostOnRedirect_ = 1;
  char postContentType_[100] = "application/x-www-form-urlencoded";
  int expiryValid_ = 0;
  FILETIME expiry_ = {};
  HANDLE thread_ = nullptr;
  std::atomic<int> stop_{0};
  HANDLE connection_ = nullptr;
  std::atomic<int> paused_{0};
  int reconnectAttempts_ = 0;
  HWND notifyWindow_ = nullptr;
  HANDLE stateEvent_ = INVALID_HANDLE_VALUE;
  HANDLE receiveEvent_ = INVALID_HANDLE_VALUE;
  HANDLE dataEvent_ = nullptr;
  SOCKET socket_ = INVALID_SOCKET;
  std::atomic<int> state_{0};
  std::atomic<int> bufferingMissing_{0};
  DWORD lastStatusTick_ = 0;
  int lastShownPercent_ = 0;
  int receiveTimeout_ = 5000;
  int connectTimeout_ = 15000;
  char* ring_ = nullptr;
  int ringSize_ = 0;
  char fallbackRing_[kHttpFallbackRing] = {};
  std::atomic<int> keepMark_{0};
  std::atomic<int> readIndex_{0};
  std::atomic<int> writeIndex_{0};
  std::atomic<int> received_{0};
  int readPosition_ = 0;
  CIcyMetadata icy_;
  std::atomic<int> reconnectRequest_{0};
  char head_[kHttpHeadBytes] = {};
  char redirect_[kHttpUrlBytes] = {};
  char title_[kHttpTextBytes] = {};
  char station_[kHttpTextBytes] = {};
  int spinner_ = 0;
  char extraHeaders_[kHttpExtraHeaderBytes] = {};
  CCriticalSection lock_;
  char error_[160] = {};
  // Hears every new title on the worker thread, under the lock (the fetch call's listeners).
  std::function<void(const char*)> titleListener_;

 private:
  void NewSocket();
  void RequestPhase();
  void ReceivePhase();
  void TakeHeaders(bool rangeAsked);

 public:
  void StoreTitle(const char* title);
};

// The process-wide HTTP proxy, "host" or "host:port"; null or empty: none.
void SetHttpProxy(LPCWSTR proxy);
// A copy of the proxy text as it stands.
void GetHttpProxy(char* out, int size);

DWORD WINAPI HttpStreamThread(LPVOID stream);
