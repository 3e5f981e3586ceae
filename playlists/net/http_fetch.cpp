// HttpFetch and its buffer and file forms (see http_fetch.h): a copy of the network input source
// opened for the URL and read to its end within the given limits.
#include "http_fetch.h"

#include <cstring>

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
  if (options.onTitle) stream->titleListener_ = options.onTitle;
  source->Open(source, url);
  const DWORD started = GetTickCount();
  if (!stream->WaitForData(stream->RequestPhaseBound())) stream->SetError("the server did not answer in time");
  const bool answered = stream->state_ == HTTPSTREAM_STREAMING || stream->state_ == HTTPSTREAM_ENDED;
  if (answered && options.onHead) options.onHead(stream->head_);
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
