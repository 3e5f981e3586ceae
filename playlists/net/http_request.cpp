// One HTTP request of a stream: the URL taken apart, the connect with its time limit, a request
// head that no URL can add lines to, and the response head read byte by byte within both a
// per-byte and a whole-head time limit, then the headers the stream goes by.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/common/text_search.h"
#include "http_stream.h"
#include "http_text.h"

namespace {

constexpr DWORD kStepMs = 250;
constexpr char kHttp[] = "http://";
constexpr DWORD kOpenFlagKeepAlive = 0x40000000u;

struct ContentClass {
  DWORD bits;
  const char* types[7];
};
// The playlist types are those the associations register for .m3u and .pls, so a list served
// with its own type expands as one served as text does.
constexpr ContentClass kContentClasses[] = {
    {0x8000, {"Content-Type: video/x-ms", "Content-Type: video/x-ms-asf", "Content-Type: audio/x-ms-wma"}},
    {0x4000,
     {"Content-Type: application/xml", "Content-Type: text/xml", "Content-Type: text/html", "Content-Type: audio/x-scpls",
      "Content-Type: audio/scpls", "Content-Type: audio/x-mpegurl", "Content-Type: audio/mpegurl"}},
    {0x4100, {"Content-Type: text/plain", "Content-Type: application/octet-stream"}},
};

// The value after a header name found anywhere in the head, blanks skipped; null when absent.
const char* ValueAfter(const char* head, const char* name) {
  const char* at = StrFindNoCase(head, name);
  if (!at) return nullptr;
  at += std::strlen(name);
  while (*at == ' ' || *at == '\t') ++at;
  return at;
}

std::string LineFrom(const char* at) { return std::string(at, std::strcspn(at, "\r\n")); }

// The path as it goes on the request line: bytes that would end or split the line escaped.
std::string RequestPath(const char* path) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(path); *p; ++p) {
    if (*p <= 0x20 || *p == 0x7F) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", *p);
      out += escaped;
    } else {
      out += static_cast<char>(*p);
    }
  }
  return out;
}

// Header lines a caller added: each a "Name: value" line; empty lines (which would end the head)
// and lines with a stray CR or LF are dropped.
std::string CleanHeaderLines(const char* text) {
  std::string out;
  std::string_view rest(text ? text : "");
  while (!rest.empty()) {
    const size_t end = rest.find("\r\n");
    const std::string line(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
    if (line.empty() || line.find(':') == std::string::npos || HasControlBytes(line.c_str())) continue;
    out += line + "\r\n";
  }
  return out;
}

bool WaitSocket(SOCKET s, bool forWrite, fd_set* failed) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  if (failed) {
    FD_ZERO(failed);
    FD_SET(s, failed);
  }
  timeval step = {0, static_cast<long>(kStepMs * 1000)};
  return select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, failed, &step) > 0 && FD_ISSET(s, &set);
}

}  // namespace

char* CHttpStream::GetHeaderValue(const char* name) {
  if (!name) return head_;
  for (const char* line = head_; line && *line;) {
    const size_t length = std::strlen(name);
    if (StrFindNoCase(line, name) == line && line[length] == ':') {
      const char* value = line + length + 1;
      while (*value == ' ' || *value == '\t') ++value;
      const std::string text = LineFrom(value);
      char* copy = new char[text.size() + 1];
      std::memcpy(copy, text.c_str(), text.size() + 1);
      return copy;
    }
    line = std::strchr(line, '\n');
    if (line) ++line;
  }
  return nullptr;
}

int CHttpStream::SendRequest(char* url, int getBody, int http11, const char* extraHeaders) {
  if (StrFindNoCase(url, kHttp) != url) {
    SetError(StrFindNoCase(url, "https://") == url ? "https is not supported: only http:// URLs can be fetched"
                                                   : "only http:// URLs can be fetched");
    return 0;
  }
  char proxy[260];
  GetHttpProxy(proxy, sizeof proxy);
  received_ = 0;
  readPosition_ = 0;
  reconnectRequest_ = 0;
  keepMark_ = readIndex_ = writeIndex_ = 0;
  icy_.Reset(0);
  stop_ = 0;
  noCache_ = 0;

  // user:password@host:port/path
  const std::string rest(url + sizeof kHttp - 1);
  const size_t slash = rest.find('/');
  std::string authority = rest.substr(0, slash);
  const std::string path = slash == std::string::npos ? "/" : rest.substr(slash);
  std::string user;
  if (const size_t at = authority.rfind('@'); at != std::string::npos) {
    user = authority.substr(0, at);
    authority = authority.substr(at + 1);
  }
  int port = 80;
  std::string host = authority;
  if (const size_t colon = authority.find(':'); colon != std::string::npos) {
    host = authority.substr(0, colon);
    char* end = nullptr;
    const long value = std::strtol(authority.c_str() + colon + 1, &end, 10);
    if (end == authority.c_str() + colon + 1 || *end || value < 1 || value > 65535) {
      SetError("the URL's port is not a number from 1 to 65535");
      return 0;
    }
    port = static_cast<int>(value);
  }
  if (host.empty() || HasControlBytes(host.c_str()) || host.find_first_of(" /?#") != std::string::npos) {
    SetError("the URL names no host");
    return 0;
  }
  std::string authorization;
  if (!user.empty() && Base64Encode(user.c_str(), nullptr) < 128) {
    char decoded[128];
    CopyTextBounded(decoded, user.c_str(), sizeof decoded);
    UrlDecode(decoded, decoded);
    char encoded[129];
    if (Base64Encode(decoded, nullptr) <= static_cast<int>(sizeof encoded)) {
      Base64Encode(decoded, encoded);
      authorization = std::string(encoded) + "\r\n";
    }
  }

  // Name resolution: the proxy when there is one, else the URL's host.
  std::string target = host;
  int targetPort = port;
  if (proxy[0]) {
    target = proxy;
    targetPort = 80;
    if (const size_t colon = target.find(':'); colon != std::string::npos) {
      targetPort = std::atoi(target.c_str() + colon + 1);
      target.resize(colon);
    }
  }
  ULONG address = inet_addr(target.c_str());
  if (address == INADDR_NONE) {
    hostent* found = gethostbyname(target.c_str());
    if (!found || !found->h_addr_list || !found->h_addr_list[0]) {
      SetError("the host name does not resolve");
      return 0;
    }
    std::memcpy(&address, found->h_addr_list[0], sizeof address);
  }

  // Connect without blocking, in steps, within the connect timeout.
  u_long nonBlocking = 1;
  if (socket_ == INVALID_SOCKET || ioctlsocket(socket_, FIONBIO, &nonBlocking) != 0) {
    SetError("no socket");
    return 0;
  }
  sockaddr_in local = {};
  local.sin_family = AF_INET;
  bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local);
  sockaddr_in remote = {};
  remote.sin_family = AF_INET;
  remote.sin_port = htons(static_cast<u_short>(targetPort));
  remote.sin_addr.s_addr = address;
  connect(socket_, reinterpret_cast<sockaddr*>(&remote), sizeof remote);
  const int connectLimit = connectTimeout_ > 0 ? connectTimeout_ : 5000;
  for (int waited = 0;;) {
    fd_set failed;
    if (WaitSocket(socket_, true, &failed)) break;
    if (FD_ISSET(socket_, &failed) && WSAGetLastError() != WSAEWOULDBLOCK) {
      SetError("the connection was refused");
      NewSocket();
      return 0;
    }
    UpdateStatusText();
    waited += kStepMs;
    if (waited > connectLimit || stop_) {
      SetError(stop_ ? "stopped" : "the connection was not made within the connect timeout");
      NewSocket();
      return 0;
    }
  }
  int error = 0;
  int errorSize = sizeof error;
  if (getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &errorSize) == 0 && error) {
    SetError("the connection was refused");
    NewSocket();
    return 0;
  }
  UpdateStatusText();

  // The request head.
  const char* method = postBody_ ? "POST" : getBody ? "GET" : "HEAD";
  const std::string requestPath = RequestPath(path.c_str());
  std::string request;
  if (proxy[0])
    request = std::string(method) + " http://" + host + ":" + std::to_string(port) + requestPath;
  else
    request = std::string(method) + " " + requestPath;
  request += http11 ? " HTTP/1.1\r\n" : " HTTP/1.0\r\n";
  request += "Host: " + host + "\r\n";
  if (!authorization.empty()) request += "Authorization: Basic " + authorization;
  request += CleanHeaderLines(extraHeaders);
  if (rangeStart_ > 0) request += "Range: bytes=" + std::to_string(rangeStart_) + "-\r\n";
  if (postBody_)
    request += std::string("Content-Type: ") + postContentType_ + "\r\nContent-Length: " + std::to_string(postLength_) + "\r\n";
  if (host_ && (host_->openFlags & kOpenFlagKeepAlive)) request += "Connection: Keep-Alive\r\n";
  request += "\r\n";
  if (request.size() >= static_cast<size_t>(kHttpRequestBytes)) {
    SetError("the request head would be longer than 2048 bytes");
    NewSocket();
    return 0;
  }
  auto sendAll = [&](const char* data, int size) {
    for (int sent = 0, waited = 0; sent < size;) {
      const int n = send(socket_, data + sent, size - sent, 0);
      if (n > 0) {
        sent += n;
        continue;
      }
      if (n < 0 && WSAGetLastError() == WSAEWOULDBLOCK && waited <= connectLimit && !stop_) {
        WaitSocket(socket_, true, nullptr);
        waited += kStepMs;
        continue;
      }
      return false;
    }
    return true;
  };
  if (!sendAll(request.data(), static_cast<int>(request.size())) || (postBody_ && !sendAll(postBody_, postLength_))) {
    SetError("the request could not be sent");
    NewSocket();
    return 0;
  }

  UpdateStatusText();
  const int status = ReadResponseHead();
  UpdateStatusText();
  if (status != 200 && status != 206) {
    if (status == 301 || status == 302) {
      const char* location = ValueAfter(head_, "\nLocation:");
      if (location) {
        const std::string text = LineFrom(location);
        if (text.size() < sizeof redirect_) CopyTextBounded(redirect_, text.c_str(), sizeof redirect_);
        else SetError("the redirect's Location is longer than 4095 bytes");
      } else {
        SetError("a redirect without a Location");
      }
    } else if (status >= 0) {
      char text[80];
      std::snprintf(text, sizeof text, "%s (HTTP status %d)",
                    std::strstr(head_, "Server Full") ? "Server Full" : "the server refused the request", status);
      SetError(text);
    }
    NewSocket();
    return 0;
  }
  TakeHeaders(rangeStart_ > 0);
  if (error_[0]) {
    NewSocket();
    return 0;
  }
  UpdateStatusText();
  return 1;
}

int CHttpStream::ReadResponseHead() {
  head_[0] = 0;
  int perByte = (connectTimeout_ + receiveTimeout_) / 2;
  if (perByte <= 0) perByte = 5000;
  // A head trickled in a byte at a time must still end: the whole head gets both timeouts.
  const int wholeHead = (connectTimeout_ > 0 ? connectTimeout_ : 5000) + (receiveTimeout_ > 0 ? receiveTimeout_ : 5000);
  int length = 0, total = 0;
  for (;;) {
    int waited = 0;
    for (;;) {
      fd_set set;
      FD_ZERO(&set);
      FD_SET(socket_, &set);
      timeval step = {0, static_cast<long>(kStepMs * 1000)};
      const int ready = select(0, &set, nullptr, nullptr, &step);
      if (ready < 0) {
        SetError("the connection failed while the response head was read");
        return -1;
      }
      if (ready > 0) break;
      waited += kStepMs;
      total += kStepMs;
      if (waited > perByte || stop_) {
        SetError(stop_ ? "stopped" : "the server sent no response within the receive timeout");
        return -1;
      }
    }
    if (total > wholeHead) {
      SetError("the response head did not end within the timeouts");
      return -1;
    }
    char c = 0;
    if (recv(socket_, &c, 1, 0) != 1) {
      SetError("the connection closed before the response head ended");
      return -1;
    }
    if (c == '\r') continue;
    if (length >= kHttpHeadLimit) {
      SetError("the response head is longer than 8191 bytes");
      return -1;
    }
    head_[length++] = c;
    head_[length] = 0;
    if (c == '\n' && length >= 2 && head_[length - 2] == '\n') break;
    // Time spent receiving counts towards the whole-head limit too: one tick per byte at least.
    if (length % 64 == 0) total += 1;
  }
  if (const char* name = std::strstr(head_, "\nicy-name:")) {
    name += 10;
    while (*name == ' ') ++name;
    const size_t size = std::strcspn(name, "\n");
    if (size <= 4080 && (std::strncmp(station_, name, size) != 0 || station_[size] != 0)) {
      {
        CSectionLock hold(lock_);
        std::memcpy(station_, name, size);
        station_[size] = 0;
      }
      OnTitleChanged();
    }
  }
  const char* blank = std::strchr(head_, ' ');
  if (!blank) {
    SetError("the response has no status line");
    return -1;
  }
  char digits[4] = {};
  std::memcpy(digits, blank + 1, 3);
  return std::atoi(digits);
}

void CHttpStream::TakeHeaders(bool rangeAsked) {
  if (const char* value = ValueAfter(head_, "icy-metaint:")) {
    char* end = nullptr;
    const long interval = std::strtol(value, &end, 10);
    if (end == value || interval < 1 || interval > kIcyLargestInterval) {
      SetError("the icy-metaint is not a usable interval");
      return;
    }
    icy_.Reset(static_cast<int>(interval));
  }
  if (const char* value = ValueAfter(head_, "Content-Length:")) {
    contentLength_ = std::atoi(value);
    if (contentLength_ > 0 && host_) host_->flags &= static_cast<WORD>(~INPUT_SOURCE_FLAG_LIVE);
  }
  if (const char* range = rangeAsked ? ValueAfter(head_, "Content-Range:") : nullptr) {
    if (StrFindNoCase(range, "bytes") == range) {
      range += 5;
      while (*range == ' ') ++range;
      int first = 0, last = 0, whole = 0;
      const int got = std::sscanf(range, "%d-%d/%d", &first, &last, &whole);
      if (got >= 1) received_ = readPosition_ = first;
      if (got == 3) contentLength_ = whole;
      else if (got == 2) contentLength_ = last;
      if (contentLength_ > 0 && host_) host_->flags &= static_cast<WORD>(~INPUT_SOURCE_FLAG_LIVE);
    }
  }
  if (const char* value = ValueAfter(head_, "Expires: ")) {
    const std::string date = LineFrom(value);
    if (!ParseHttpDate(date.c_str(), static_cast<int>(date.size()), &expiry_)) expiry_ = {};
    expiryValid_ = 1;
  }
  if (const char* value = ValueAfter(head_, "Cache-control: ")) {
    const std::string line = LineFrom(value);
    if (StrFindNoCase(line.c_str(), "no-cache") || StrFindNoCase(line.c_str(), "no-store")) noCache_ = 1;
    const char* age = StrFindNoCase(line.c_str(), "max-age=");
    const size_t skip = age ? 8 : 9;
    if (!age) age = StrFindNoCase(line.c_str(), "s-maxage=");
    if (age && age[skip] >= '0' && age[skip] <= '9') {
      const long long seconds = std::strtoll(age + skip, nullptr, 10);
      FILETIME now;
      GetSystemTimeAsFileTime(&now);
      ULARGE_INTEGER t;
      t.LowPart = now.dwLowDateTime;
      t.HighPart = now.dwHighDateTime;
      t.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ULL;
      expiry_.dwLowDateTime = t.LowPart;
      expiry_.dwHighDateTime = t.HighPart;
      expiryValid_ = 1;
    }
  }
  if (const char* value = ValueAfter(head_, "Content-Type: ")) CopyTextBounded(contentType_, LineFrom(value).c_str(), sizeof contentType_);
  for (const ContentClass& kind : kContentClasses)
    for (const char* type : kind.types)
      if (type && StrFindNoCase(head_, type) && host_) host_->openFlags |= kind.bits;
  if (StrFindNoCase(head_, "Pragma: No-Cache")) noCache_ = 1;
}
