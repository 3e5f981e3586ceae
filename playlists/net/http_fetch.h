// Fetching a URL whole, for everyone who wants a document rather than a stream to play: the
// player's playlist downloads, feeds and directories, and zbfetch. It runs the network input
// source on the calling thread's behalf and hands over the body with the ICY metadata removed.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

struct HttpFetchOptions {
  DWORD connectTimeoutMs = 0;  // 0: the settings' "httpConnectTimeout"
  DWORD receiveTimeoutMs = 0;  // 0: the settings' "httpReceiveTimeout"
  DWORD maxMs = 0;             // stop after this long (a live stream never ends); 0: no limit
  long long maxBytes = 0;      // stop after this many body bytes; 0: no limit
  std::function<void(const char* head)> onHead;       // the response head, once
  std::function<void(const char* title)> onTitle;     // each new ICY title, on the stream's thread
  std::function<bool(const char* data, int size)> onData;  // false stops the fetch
};

struct HttpFetchResult {
  bool complete = false;  // the whole body arrived (or the limits asked to stop)
  bool cutShort = false;  // a limit or the data callback stopped the body before its end
  long long bytes = 0;    // body bytes handed over
  bool noCache = false;
  bool hasExpiry = false;
  FILETIME expiry = {};
  std::u16string finalUrl;     // after redirects
  std::string contentType;
  std::string error;           // why it failed, for people; empty on success
};

// 0 when the body was fetched whole, negative on failure (result->error says why). A URL that
// holds a CR or LF is refused: its text would reach the request head.
int HttpFetch(LPCWSTR url, const HttpFetchOptions& options, HttpFetchResult* result);
// The body into a buffer, or appended to an open file at its position.
int HttpFetchToBuffer(LPCWSTR url, std::string* body, HttpFetchResult* result = nullptr);
// `maxMs` bounds the whole fetch (0: no bound).
int HttpFetchToFile(LPCWSTR url, HANDLE file, HttpFetchResult* result = nullptr, DWORD maxMs = 0);
