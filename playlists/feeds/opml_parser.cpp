// OPML outlines (podcast exports and nested directories), shown one branch at a time: the
// outlines under the branch asked for become entries, and an outline with children becomes a
// link that asks for its own branch of the same document.
#include <string>

#include "feed_parsers.h"

namespace {

enum : int { kStart = 0, kOpml = 1, kHead = 2, kBody = 3, kDone = 4, kTitle = 101 };

constexpr char16_t kBranchHeader[] = u"\r\nX-OPML-Branch: ";
constexpr char16_t kSearchHeader[] = u"\r\nX-Zonbrel-Search: ";
constexpr char16_t kLineEnd[] = u"\r\n";

bool EqualNoCase(const std::u16string& a, const std::u16string& b) {
  return a.size() == b.size() && _wcsicmp(a.c_str(), b.c_str()) == 0;
}

bool StartsWithNoCase(const std::u16string& text, const std::u16string& prefix) {
  return text.size() >= prefix.size() && _wcsnicmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

std::u16string Joined(const std::u16string& branch, const std::u16string& name) {
  if (name.empty()) return branch;
  return branch.empty() ? name : branch + u'\\' + name;
}

// A value that goes into a header line: a line break in it would add header lines of its own.
std::u16string HeaderValue(LPCWSTR text) {
  std::u16string value;
  for (; text && *text; ++text) {
    if (*text != u'\r' && *text != u'\n') value += *text;
  }
  return value;
}

struct Outline {
  LPCWSTR text = nullptr;
  LPCWSTR id = nullptr;
  LPCWSTR type = nullptr;
  LPCWSTR url = nullptr;
  LPCWSTR query = nullptr;
  LPCWSTR duration = nullptr;
};

Outline ReadOutline(LPCWSTR* attributes) {
  Outline outline;
  for (LPCWSTR* a = attributes; a && a[0]; a += 2) {
    const LPCWSTR name = a[0];
    if (_wcsicmp(name, u"text") == 0) outline.text = a[1];
    else if (_wcsicmp(name, u"id") == 0) outline.id = a[1];
    else if (_wcsicmp(name, u"type") == 0) outline.type = a[1];
    else if (_wcsicmp(name, u"url") == 0 || _wcsicmp(name, u"xmlUrl") == 0) outline.url = a[1];  // the later wins
    else if (_wcsicmp(name, u"query") == 0) outline.query = a[1];
    else if (_wcsicmp(name, u"duration") == 0) outline.duration = a[1];
  }
  return outline;
}

bool TypeIs(const Outline& outline, LPCWSTR type) { return outline.type && _wcsicmp(outline.type, type) == 0; }

}  // namespace

void COpmlParser::Begin() {
  const size_t mark = source_.find(kBranchHeader);
  if (mark == std::u16string::npos) return;
  const size_t start = mark + std::size(kBranchHeader) - 1;
  const size_t end = source_.find(kLineEnd, start);
  requestedBranch_ = source_.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
  source_.resize(mark);
  const size_t last = requestedBranch_.rfind(u'\\');
  title_ = last == std::u16string::npos ? requestedBranch_ : requestedBranch_.substr(last + 1);
}

void COpmlParser::OnStartElement(LPCWSTR name, LPCWSTR* attributes) {
  const int depth = depth_++;
  if (state_ == kStart && depth == 0 && Is(name, u"opml")) {
    state_ = kOpml;
  } else if (state_ == kOpml && depth == 1 && Is(name, u"head")) {
    state_ = kHead;
  } else if (state_ == kHead && depth == 2 && Is(name, u"title")) {
    CollectText(kTitle);
  } else if (state_ == kOpml && depth == 1 && Is(name, u"body")) {
    state_ = kBody;
  } else if (state_ == kBody && depth >= 2 && Is(name, u"outline")) {
    StartOutline(attributes);
  }
}

void COpmlParser::StartOutline(LPCWSTR* attributes) {
  const Outline outline = ReadOutline(attributes);
  const std::u16string text = HeaderValue(outline.text);
  const std::u16string id = HeaderValue(outline.id);
  std::u16string name = !outline.id ? text : !outline.text ? id
                        : StartsWithNoCase(requestedBranch_, Joined(currentBranch_, text)) ? text : id;
  std::erase(name, u'\\');
  const std::u16string path = Joined(currentBranch_, name);

  if (EqualNoCase(currentBranch_, requestedBranch_)) {
    FeedItem entry{u"", outline.text ? outline.text : u"", u"", -1, 1};
    const std::u16string url = outline.url ? outline.url : u"";
    if (TypeIs(outline, u"link") || TypeIs(outline, u"rss")) {
      const size_t close = url.find(u']');
      entry.url = url.starts_with(u'[') && close != std::u16string::npos
                      ? url.substr(close + 1) + kBranchHeader + url.substr(1, close - 1) + kLineEnd
                      : url;
    } else if (TypeIs(outline, u"search")) {
      entry.url = url + kSearchHeader + HeaderValue(outline.query) + kLineEnd;
    } else if (TypeIs(outline, u"file") || TypeIs(outline, u"audio")) {
      entry.url = url;
      entry.kind = 0;
      // Directories give an audio outline's duration in seconds.
      entry.length = outline.duration && *outline.duration ? wcstol(outline.duration, nullptr, 10) * 1000 : -2;
      if (entry.length < -2) entry.length = -2;
    } else {
      entry.url = source_ + kBranchHeader + path + kLineEnd;
    }
    items_.push_back(std::move(entry));
  }
  branchMarks_.push_back(currentBranch_.size());
  currentBranch_ = path;
  if (!requestedBranch_.empty() && EqualNoCase(path, requestedBranch_) && outline.text) title_ = outline.text;
}

void COpmlParser::OnEndElement(LPCWSTR name) {
  const int depth = --depth_;
  if (state_ == kTitle) {
    if (depth != 2) return;
    state_ = kHead;
    std::u16string text = TakeText();
    if (title_.empty()) title_ = std::move(text);
  } else if (state_ == kHead && depth == 1) {
    state_ = kOpml;
  } else if (state_ == kBody && depth >= 2 && Is(name, u"outline") && !branchMarks_.empty()) {
    // The branch asked for is complete once it ends: later outlines are not shown.
    if (!requestedBranch_.empty() && EqualNoCase(currentBranch_, requestedBranch_)) state_ = kDone;
    currentBranch_.resize(branchMarks_.back());
    branchMarks_.pop_back();
  } else if (state_ == kBody && depth == 1) {
    state_ = kOpml;
  }
}
