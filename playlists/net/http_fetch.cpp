// HttpFetch and its buffer and file forms (see http_fetch.h): a copy of the network input source
// opened for the URL and read to its end within the given limits.
#include "http_fetch.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/modules/stream_sources.h"
#include "http_stream.h"
#include "net_input_source.h"

namespace {

constexpr int kPiece = 4096;

// WinSock for the fetch's own duration: the player has it up already; a tool does not.
class CWinSockHold {
 public:
  CWinSockHold() { WSAStartup(MAKEWORD(1, 1), &data_); }
  ~CWinSockHold() { WSACleanup(); }

 private:
  WSADATA data_;
};

// Titles come on the stream's thread and can arrive before the caller has been given the head:
// they wait for it, so the caller hears of the head first and of the titles in order.
class CTitlesAfterHead {
 public:
  explicit CTitlesAfterHead(std::function<void(const char*)> onTitle) : onTitle_(std::move(onTitle)) {}
  void Title(const char* title) {
    std::lock_guard hold(lock_);
    if (headGiven_) onTitle_(title);
    else pending_.emplace_back(title);
  }
  void HeadGiven() {
    std::lock_guard hold(lock_);
    headGiven_ = true;
    for (const std::string& title : pending_) onTitle_(title.c_str());
    pending_.clear();
  }

 private:
  std::function<void(const char*)> onTitle_;
  std::mutex lock_;
  bool headGiven_ = false;
  std::vector<std::string> pending_;
};

}  // namespace

int HttpFetch(LPCWSTR url, const HttpFetchOptions& options, HttpFetchResult* out) {
  HttpFetchResult local;
  HttpFetchResult& result = out ? *out : local;
  result = HttpFetchResult();
  if (!url || !*url) {
    result.error = "no URL";
    return -1;
  }
  for (LPCWSTR p = url; *p; ++p)
    if (*p == u'\r' || *p == u'\n') {
      result.error = "the URL holds a line break";
      return -1;
    }
  CWinSockHold winsock;
  CSourceCopy copy;
  copy.Reset(NetInputSourceRecord());
  InputSource* source = copy.get();
  CHttpStream* stream = NetStreamOf(source);
  if (!stream) {
    result.error = "out of memory";
    return -1;
  }
  if (options.connectTimeoutMs) stream->connectTimeout_ = static_cast<int>(options.connectTimeoutMs);
  if (options.receiveTimeoutMs) stream->receiveTimeout_ = static_cast<int>(options.receiveTimeoutMs);
  // Shared with the stream's thread, which may still hold the listener as the fetch returns.
  const auto titles = options.onTitle ? std::make_shared<CTitlesAfterHead>(options.onTitle) : nullptr;
  if (titles) stream->titleListener_ = [titles](const char* title) { titles->Title(title); };
  source->Open(source, url);
  const DWORD started = GetTickCount();
  if (!stream->WaitForData(stream->RequestPhaseBound())) stream->SetError("the server did not answer in time");
  const bool answered = stream->state_ == HTTPSTREAM_STREAMING || stream->state_ == HTTPSTREAM_ENDED;
  if (answered && options.onHead) options.onHead(stream->head_);
  if (titles) titles->HeadGiven();
  bool stopped = false;
  if (answered) {
    char piece[kPiece];
    for (;;) {
      if (options.maxMs && GetTickCount() - started >= options.maxMs) {
        stopped = true;
        break;
      }
      int want = kPiece;
      if (options.maxBytes && options.maxBytes - result.bytes < want) want = static_cast<int>(options.maxBytes - result.bytes);
      const int n = want > 0 ? source->Read(source, piece, 1, want) : 0;
      if (n > 0) {
        result.bytes += n;
        if (options.onData && !options.onData(piece, n)) {
          stopped = true;
          break;
        }
      }
      if (options.maxBytes && result.bytes >= options.maxBytes) {
        stopped = true;
        break;
      }
      if (n <= 0) break;
    }
  }
  const bool whole = stream->contentLength_ <= 0 || result.bytes >= stream->contentLength_ - stream->rangeStart_;
  result.complete = stopped || (stream->state_ == HTTPSTREAM_ENDED && whole);
  result.cutShort = stopped;
  result.noCache = stream->noCache_ != 0;
  result.hasExpiry = stream->expiryValid_ != 0;
  result.expiry = stream->expiry_;
  result.finalUrl = stream->wideUrl_;
  result.contentType = stream->contentType_;
  if (!result.complete) {
    result.error = stream->LastError()[0] ? stream->LastError() : "the body ended before its Content-Length";
  }
  source->Close(source);
  return result.complete ? 0 : -1;
}

int HttpFetchToBuffer(LPCWSTR url, std::string* body, HttpFetchResult* result) {
  HttpFetchOptions options;
  options.onData = [body](const char* data, int size) {
    if (body) body->append(data, static_cast<size_t>(size));
    return true;
  };
  return HttpFetch(url, options, result);
}

int HttpFetchToFile(LPCWSTR url, HANDLE file, HttpFetchResult* result, DWORD maxMs) {
  HttpFetchOptions options;
  options.maxMs = maxMs;
  bool written = true;
  options.onData = [file, &written](const char* data, int size) {
    DWORD wrote = 0;
    written = WriteFile(file, data, static_cast<DWORD>(size), &wrote, nullptr) && wrote == static_cast<DWORD>(size);
    return written;
  };
  const int fetched = HttpFetch(url, options, result);
  if (!written && result) result->error = "the file could not be written";
  return written ? fetched : -1;
}
