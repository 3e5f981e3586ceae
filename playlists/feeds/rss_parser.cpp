// RSS feeds and podcasts: each item becomes an entry from its enclosure, else from the first
// playable link in its description, else a web link to its page. Enclosures of types no decoder
// takes stay, marked so the user knows before trying.
#include <climits>
#include <limits>

#include "feed_parsers.h"
#include "feed_player.h"

namespace {

enum : int {
  kStart = 0,
  kRss = 1,
  kChannel = 2,
  kItem = 3,
  kChannelTitle = 101,
  kItemTitle = 102,
  kDuration = 103,
  kGuid = 104,
  kLink = 105,
  kDescription = 106,
};

constexpr char16_t kItunesDuration[] = u"http://www.itunes.com/dtds/podcast-1.0.dtd/duration";
constexpr char16_t kMayNotPlay[] = u"(May not play) ";

// Elements of an item whose text is kept, by the state that collects it.
constexpr struct {
  const char16_t* name;
  int state;
} kItemTexts[] = {
    {u"title", kItemTitle}, {u"guid", kGuid}, {u"link", kLink}, {u"description", kDescription}, {kItunesDuration, kDuration},
};

// "1:02:03", "02:03" or "45": hours, minutes and seconds from the right; ms, or -1 when the text
// holds no number or a length out of range.
LONG DurationMs(const std::u16string& text) {
  long long parts[3] = {0, 0, 0};
  int count = 0;
  size_t i = 0;
  while (i < text.size() && count < 3) {
    const bool negative = text[i] == u'-';
    if (negative || text[i] == u'+') ++i;
    if (i >= text.size() || text[i] < u'0' || text[i] > u'9') break;
    long long value = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value < INT_MAX) value = value * 10 + (text[i++] - u'0');
    parts[count++] = negative ? -value : value;
    if (i >= text.size() || text[i] != u':') break;
    ++i;
  }
  if (!count) return -1;
  long long seconds = 0;
  for (int n = 0; n < count; ++n) seconds = seconds * 60 + parts[n];
  const long long ms = seconds * 1000;
  return ms < 0 || ms > std::numeric_limits<LONG>::max() ? -1 : static_cast<LONG>(ms);
}

// The text from the last '.', as the player's extension check takes it.
std::u16string Extension(const std::u16string& url) {
  const size_t dot = url.rfind(u'.');
  return dot == std::u16string::npos ? std::u16string() : url.substr(dot);
}

}  // namespace

void CRssParser::OnStartElement(LPCWSTR name, LPCWSTR* attributes) {
  const int depth = depth_++;
  if (state_ == kStart && depth == 0 && Is(name, u"rss")) {
    state_ = kRss;
  } else if (state_ == kRss && depth == 1 && Is(name, u"channel")) {
    state_ = kChannel;
  } else if (state_ == kChannel && depth == 2 && Is(name, u"title")) {
    CollectText(kChannelTitle);
  } else if (state_ == kChannel && depth == 2 && Is(name, u"item")) {
    items_.emplace_back();
    itemLink_.clear();
    mayNotPlay_ = false;
    state_ = kItem;
  } else if (state_ == kItem && depth == 3 && Is(name, u"enclosure")) {
    FeedItem& item = items_.back();
    if (LPCWSTR url = Attribute(attributes, u"url")) {
      text_ = url;
      item.url = TakeText();
      item.kind = 0;
    }
    LPCWSTR type = Attribute(attributes, u"type");
    if (type && AskPlayableMime(type) == 0) mayNotPlay_ = true;
  } else if (state_ == kItem && depth == 3) {
    for (const auto& text : kItemTexts) {
      if (Is(name, text.name)) CollectText(text.state);
    }
  }
}

void CRssParser::OnEndElement(LPCWSTR) {
  const int depth = --depth_;
  if (state_ > 100) {
    if (depth == (state_ == kChannelTitle ? 2 : 3)) EndText();
  } else if (state_ == kItem && depth == 2) {
    EndItem();
    state_ = kChannel;
  } else if (state_ == kChannel && depth == 1) {
    state_ = kRss;
  } else if (state_ == kRss && depth == 0) {
    state_ = kStart;
  }
}

void CRssParser::EndText() {
  const int state = state_;
  state_ = state == kChannelTitle ? kChannel : kItem;
  std::u16string text = TakeText();
  if (state == kChannelTitle) {
    title_ = std::move(text);
    return;
  }
  FeedItem& item = items_.back();
  switch (state) {
    case kItemTitle: item.title = std::move(text); break;
    case kGuid: item.identifier = std::move(text); break;
    case kLink:
      if (itemLink_.empty()) itemLink_ = std::move(text);
      break;
    case kDuration:
      if (const LONG ms = DurationMs(text); ms >= 0) item.length = ms;
      break;
    case kDescription:
      if (!item.url.empty()) break;
      for (const FeedItem& link : ScanHtmlLinks(text)) {
        const std::u16string extension = Extension(link.url);
        if (extension.empty() || _wcsicmp(extension.c_str(), u".html") == 0) continue;
        if (!IsPlayableExtension(extension.c_str())) continue;
        item.url = link.url;
        item.title = link.title;
        break;
      }
      break;
  }
}

void CRssParser::EndItem() {
  FeedItem& item = items_.back();
  if (mayNotPlay_) item.title = kMayNotPlay + item.title;
  if (item.url.empty() && !itemLink_.empty()) {
    item.url = itemLink_;
    item.length = -1;
    item.kind = 1;
  }
}
