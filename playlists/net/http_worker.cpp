// The stream's worker thread: the request phase (redirects followed, relative ones resolved, a
// bounded number of them), then the receive loop that fills the ring and strips ICY metadata.
// Whatever way the worker ends, the reader waiting for the request phase is woken.
#include <algorithm>
#include <cstring>
#include <exception>

#include "core/modules/host_callbacks.h"
#include "http_stream.h"
#include "http_text.h"

namespace {

constexpr int kStandardHeaderFlag = 1;
constexpr char kStandardHeaders[] = "User-Agent: Zonbrel\r\nIcy-MetaData:1\r\n";
constexpr int kLargestPiece = 16384;

}  // namespace

DWORD WINAPI HttpStreamThread(LPVOID object) {
  auto* stream = static_cast<CHttpStream*>(object);
  return stream->RunWorker();
}

DWORD CHttpStream::RunWorker() {
  try {
    HostSetThreadPriority();
    const int priority = GetThreadPriority(GetCurrentThread());
    SetThreadPriority(GetCurrentThread(), priority <= THREAD_PRIORITY_ABOVE_NORMAL ? THREAD_PRIORITY_ABOVE_NORMAL
                                                                                    : THREAD_PRIORITY_NORMAL);
    RequestPhase();
    if (state_ == HTTPSTREAM_STREAMING) ReceivePhase();
  } catch (const std::exception&) {
    SetError("the stream's worker failed");
    stop_ = 1;
    SetState(HTTPSTREAM_FAILED);
  }
  // A reader waiting for the request phase always wakes, whatever happened.
  SetEvent(dataEvent_);
  return 0;
}

void CHttpStream::RequestPhase() {
  extraHeaders_[0] = 0;
  if (char* lines = std::strstr(url_, "\r\n")) {
    CopyTextBounded(extraHeaders_, lines + 2, sizeof extraHeaders_);
    *lines = 0;
    standardHeaders_ = 0;
  }
  SetState(HTTPSTREAM_CONNECTING);
  ConnectNetwork(priority_);
  for (int redirects = 0; state_ == HTTPSTREAM_CONNECTING;) {
    redirect_[0] = 0;
    if (urlEncode_) {
      char encoded[kHttpUrlBytes];
      if (UrlEncode(nullptr, url_) < kHttpUrlBytes) {
        UrlEncode(encoded, url_);
        CopyTextBounded(url_, encoded, sizeof url_);
      }
    }
    const char* extra = standardHeaders_ == kStandardHeaderFlag ? kStandardHeaders : extraHeaders_[0] ? extraHeaders_ : nullptr;
    if (SendRequest(url_, 1, http11_, extra)) {
      bufferingMissing_ = 100;
      SetState(HTTPSTREAM_STREAMING);
      break;
    }
    char next[kHttpUrlBytes];
    const bool follow = redirect_[0] && !stop_ && ResolveLocation(url_, redirect_, next, sizeof next);
    if (follow && ++redirects > kHttpRedirectLimit) SetError("too many redirects: the chain is taken for a loop");
    if (!follow || redirects > kHttpRedirectLimit) {
      if (redirect_[0] && !error_[0]) SetError("the redirect's Location is not a usable URL");
      stop_ = 1;
      SetState(HTTPSTREAM_FAILED);
      SetEvent(dataEvent_);
      return;
    }
    CopyTextBounded(url_, next, sizeof url_);
    MultiByteToWideChar(CP_UTF8, 0, url_, -1, wideUrl_, kHttpUrlBytes);
    wideUrl_[kHttpUrlBytes - 1] = 0;
    if (!keepPostOnRedirect_) {
      delete[] postBody_;
      postBody_ = nullptr;
      postLength_ = 0;
    }
  }
  SetEvent(dataEvent_);
}

void CHttpStream::ReceivePhase() {
  const int limit = receiveTimeout_ > 0 ? receiveTimeout_ : 5000;
  int idle = 0;
  const auto onTitle = [this](const char* title) { StoreTitle(title); };
  while (!stop_) {
    const int write = writeIndex_, keep = keepMark_;
    const int free = keep - write - 1 + (keep <= write ? ringSize_ : 0);
    DWORD pause = 1;
    if (free < 1024) {
      BOOL on = TRUE;
      setsockopt(socket_, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on), sizeof on);
      pause = 100;
    } else {
      const int piece = std::min({free, ringSize_ - write, kLargestPiece});
      fd_set set;
      FD_ZERO(&set);
      FD_SET(socket_, &set);
      timeval step = {0, 250000};
      const int ready = select(0, &set, nullptr, nullptr, &step);
      if (ready < 0) {
        SetError("the connection failed");
        break;
      }
      if (ready == 0) {
        idle += 250;
        if (idle > limit) {
          SetError("the server sent nothing within the receive timeout");
          break;
        }
      } else {
        const int n = recv(socket_, ring_ + write, piece, 0);
        if (n <= 0) break;  // the server closed the stream (or it failed)
        idle = 0;
        const int audio = icy_.Strip(ring_ + write, n, onTitle);
        writeIndex_ = (write + audio) % ringSize_;
        received_ += audio;
      }
    }
    if (notifyWindow_ && IsWindow(notifyWindow_))
      PostMessageW(notifyWindow_, WM_HTTPSTREAM_BUFFERED, static_cast<WPARAM>(Buffered()), reinterpret_cast<LPARAM>(host_));
    if (receiveEvent_ && receiveEvent_ != INVALID_HANDLE_VALUE) SetEvent(receiveEvent_);
    Sleep(pause);
  }
  stop_ = 1;
  if (socket_ != INVALID_SOCKET) NewSocket();
  SetState(HTTPSTREAM_ENDED);
}
