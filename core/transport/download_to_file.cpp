// CPlayerCore::DownloadToFile: a URL's content into an open file, for playlists named by URL.
// A copy in the download cache that has not expired answers first; a fresh download that may be
// cached is kept there until its expiry (or the default time to live).
#include "cache_file_set.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "http_fetch.h"

namespace {

constexpr ULONGLONG kTicksPerMinute = 600000000ULL;
// A playlist document is small: its whole download may take twice the connect and receive
// time-outs together, so a server that trickles forever cannot hold the player.
constexpr DWORD kLimitFactor = 2;
constexpr DWORD kDefaultConnectSeconds = 15, kDefaultReceiveSeconds = 5;

DWORD DownloadLimitMs() {
  const CSettings* settings = GetSettings();
  const DWORD connect = settings ? settings->httpConnectTimeout : kDefaultConnectSeconds;
  const DWORD receive = settings ? settings->httpReceiveTimeout : kDefaultReceiveSeconds;
  return (connect + receive) * kLimitFactor * 1000;
}

LONGLONG FilePosition(HANDLE file) {
  LONG high = 0;
  const DWORD low = SetFilePointer(file, 0, &high, FILE_CURRENT);
  return (static_cast<LONGLONG>(high) << 32) | low;
}

void SetPosition(HANDLE file, LONGLONG position) {
  LONG high = static_cast<LONG>(position >> 32);
  SetFilePointer(file, static_cast<LONG>(position & 0xFFFFFFFF), &high, FILE_BEGIN);
}

}  // namespace

int CPlayerCore::DownloadToFile(LPCWSTR url, HANDLE file) {
  if (!url || !*url || !file || file == INVALID_HANDLE_VALUE) return E_FAIL;
  const LONGLONG start = FilePosition(file);
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  CCacheFileSet* cache = GetCacheFileSet();
  if (cache && cache->IsCached(url, &now)) {
    if (cache->CopyTo(url, file)) return 0;
    SetPosition(file, start);
    SetEndOfFile(file);
  }
  HttpFetchResult result;
  const int fetched = HttpFetchToFile(url, file, &result, DownloadLimitMs());
  // Stopped by the time limit or by a failed write, the file holds part of the document.
  const bool whole = fetched == 0 && result.complete && !result.cutShort;
  if (!whole && result.cutShort) result.error = "the download was cut short";
  if (!result.error.empty()) {
    const std::u16string why = u"DownloadToFile: " + std::u16string(result.error.begin(), result.error.end()) + u"\r\n";
    OutputDebugStringW(why.c_str());
  }
  const LONGLONG end = FilePosition(file);
  const DWORD size = static_cast<DWORD>(end - start);
  if (whole && !result.noCache && cache && size && cache->CanStore(url, size)) {
    FILETIME expiry = result.expiry;
    if (!result.hasExpiry) {
      CSettings* settings = GetSettings();
      ULARGE_INTEGER t;
      t.LowPart = now.dwLowDateTime;
      t.HighPart = now.dwHighDateTime;
      t.QuadPart += (settings ? settings->httpCacheDefaultTTL : 180) * kTicksPerMinute;
      expiry.dwLowDateTime = t.LowPart;
      expiry.dwHighDateTime = t.HighPart;
    }
    SetPosition(file, start);
    cache->Store(url, file, size, &expiry);
    SetPosition(file, end);
  }
  return whole && size ? 0 : E_FAIL;
}
