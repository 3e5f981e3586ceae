// Feed and directory documents as playlist entries: the document goes to the parser that knows
// its root element, and what the parser found becomes entries, with the document's title as the
// playlist's. Items without a URL are left out.
#include <memory>

#include "feed_parser.h"
#include "playlist.h"

bool CPlaylist::ReadFeed(const std::u16string& text, LPCWSTR source, int& first) {
  std::unique_ptr<CFeedParser> parser(CreateFeedParser(text.c_str()));
  if (!parser) return false;
  if (!parser->Parse(text.c_str(), source)) return false;
  std::vector<FeedItem> items;
  for (int i = 0; i < parser->GetItemCount(); ++i) items.push_back(*parser->GetItem(i));
  first = AppendFeedItems(parser->GetTitle().c_str(), items);
  return true;
}

int CPlaylist::AppendFeedItems(LPCWSTR title, const std::vector<FeedItem>& items) {
  SetBatching(TRUE);
  SetTitle(title);
  int first = -1;
  for (const FeedItem& feed : items) {
    const int index = InsertItem(feed.url.c_str(), -1, nullptr, -2);
    if (index < 0) continue;
    PlaylistItem& entry = items_[static_cast<size_t>(index)];
    if (!feed.title.empty()) entry.title = feed.title;
    if (feed.length != -2) entry.length = feed.length;
    if (!feed.title.empty() && feed.length != -2) entry.infoState = 0;
    if (feed.kind) entry.mediaKind = 1;
    if (first < 0) first = index;
  }
  SetBatching(FALSE);
  return first;
}
