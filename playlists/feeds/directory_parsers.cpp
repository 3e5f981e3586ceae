// The radio directory: its genre list links each genre to the genre's station list, and a
// station list links each station to its tune-in list. Names and ids go into the links' queries
// percent-encoded.
#include <string>

#include "feed_parsers.h"
#include "feed_player.h"

namespace {

enum : int { kStart = 0, kList = 1 };

constexpr char16_t kDirectoryName[] = u"Radio Directory";
constexpr char16_t kGenreQuery[] = u"?genre=";
constexpr char16_t kHttp[] = u"http://";

}  // namespace

void CGenreListParser::Begin() { title_ = kDirectoryName; }

void CGenreListParser::OnStartElement(LPCWSTR name, LPCWSTR* attributes) {
  const int depth = depth_++;
  if (state_ == kStart && depth == 0 && Is(name, u"genrelist")) {
    state_ = kList;
  } else if (state_ == kList && depth == 1 && Is(name, u"genre")) {
    for (LPCWSTR* a = attributes; a && a[0]; a += 2) {
      if (Is(a[0], u"name")) items_.push_back({source_ + kGenreQuery + PercentEncode(a[1]), a[1], u"", -1, 1});
    }
  }
}

void CStationListParser::Begin() {
  title_ = kDirectoryName;
  const size_t genre = source_.find(kGenreQuery);
  if (genre != std::u16string::npos) title_ = PercentDecode(std::u16string_view(source_).substr(genre + std::size(kGenreQuery) - 1));
}

void CStationListParser::OnStartElement(LPCWSTR name, LPCWSTR* attributes) {
  const int depth = depth_++;
  if (state_ == kStart && depth == 0 && Is(name, u"stationlist")) {
    state_ = kList;
  } else if (state_ == kList && depth == 1 && Is(name, u"tunein")) {
    LPCWSTR base = Attribute(attributes, u"base");
    const size_t host = std::size(kHttp) - 1;
    if (!base || base[0] != u'/' || _wcsnicmp(source_.c_str(), kHttp, host) != 0) return;
    const size_t slash = source_.find(u'/', host);
    if (slash != std::u16string::npos) source_ = source_.substr(0, slash) + base;
  } else if (state_ == kList && depth == 1 && Is(name, u"station")) {
    FeedItem station{u"", u"", u"", -1, 1};
    std::u16string mime;
    for (LPCWSTR* a = attributes; a && a[0]; a += 2) {
      if (Is(a[0], u"name")) station.title = a[1];
      else if (Is(a[0], u"id")) station.url = source_ + u"?id=" + PercentEncode(a[1]);
      else if (Is(a[0], u"mt")) mime = a[1];
    }
    // Stations of a type no decoder takes are left out; no answer keeps them.
    if (mime.empty() || AskPlayableMime(mime.c_str()) != 0) items_.push_back(std::move(station));
  }
}
