// ASX lists read as XML: each entry plays its first usable reference; further URL references of
// an entry become entries of their own, and an entry with nothing usable is dropped.
#include <string>

#include "feed_parsers.h"
#include "playlist.h"
#include "playlist_file_format.h"

namespace {

enum : int { kStart = 0, kAsx = 1, kEntry = 2, kTitle = 101, kAuthor = 102 };

bool FileExists(const std::u16string& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A relative reference joined to the folder of the list (a device folder or a URL), as the line
// reader joins it; empty when it does not fit a playlist line.
std::u16string Resolve(const std::u16string& source, const std::u16string& reference) {
  if (reference.size() >= static_cast<size_t>(kPlaylistLineChars)) return {};
  WCHAR line[kPlaylistLineChars];
  reference.copy(line, reference.size());
  line[reference.size()] = 0;
  int length = -2;
  return CPlaylist::ParseTextLine(source.c_str(), line, PLAYLIST_FORMAT_PLT, &length) == 1 ? std::u16string(line)
                                                                                          : std::u16string();
}

}  // namespace

void CAsxParser::OnStartElement(LPCWSTR name, LPCWSTR* attributes) {
  const int depth = depth_++;
  if (state_ == kStart && depth == 0 && Is(name, u"asx")) {
    state_ = kAsx;
  } else if (state_ == kAsx && depth == 1 && Is(name, u"entry")) {
    items_.emplace_back();
    references_.clear();
    author_.clear();
    state_ = kEntry;
  } else if (state_ == kEntry && depth == 2 && Is(name, u"title")) {
    CollectText(kTitle);
  } else if (state_ == kEntry && depth == 2 && Is(name, u"author")) {
    CollectText(kAuthor);
  } else if (state_ == kEntry && depth == 2 && Is(name, u"ref")) {
    for (LPCWSTR* a = attributes; a && a[0]; a += 2) {
      if (Is(a[0], u"href")) references_.push_back(a[1]);
    }
  }
}

void CAsxParser::OnEndElement(LPCWSTR) {
  const int depth = --depth_;
  if (state_ > 100) {
    if (depth != 2) return;
    (state_ == kTitle ? items_.back().title : author_) = TakeText();
    state_ = kEntry;
  } else if (state_ == kEntry && depth == 1) {
    EndEntry();
    state_ = kAsx;
  } else if (state_ == kAsx && depth == 0) {
    state_ = kStart;
  }
}

void CAsxParser::EndEntry() {
  const size_t index = items_.size() - 1;
  {
    FeedItem& entry = items_[index];
    if (!author_.empty()) entry.title = entry.title.empty() ? author_ : author_ + u" - " + entry.title;
  }
  for (const std::u16string& reference : references_) {
    if (reference.starts_with(u'\\')) {
      FeedItem& entry = items_[index];
      if (entry.url.empty() || (!reference.starts_with(u"\\\\") && FileExists(reference))) entry.url = reference;
    } else if (reference.find(u"://") != std::u16string::npos) {
      if (items_[index].url.empty()) {
        items_[index].url = reference;
      } else {
        FeedItem copy = items_[index];
        copy.url = reference;
        items_.push_back(std::move(copy));
      }
    } else {
      const std::u16string resolved = Resolve(source_, reference);
      FeedItem& entry = items_[index];
      if (!resolved.empty() && (entry.url.empty() || FileExists(resolved))) entry.url = resolved;
    }
  }
  references_.clear();
  if (items_[index].url.empty()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}
