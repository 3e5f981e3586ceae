// A smart playlist read through the product's feed reader asks the player itself: its queries
// reach the core's library through the player callback and its entries are the library's items.
#include <algorithm>
#include <memory>

#include "feed_parser.h"
#include "media_item.h"
#include "player_message_support.h"
#include "tagids.h"

namespace zb::testing {
namespace {

class SmartPlaylistThroughThePlayer : public MessageTest {};

TEST_F(SmartPlaylistThroughThePlayer, ItsQueryFindsTheLibrarysItems) {
  for (const char16_t* source : {u"\\Music\\odd1.mp3", u"\\Music\\odd2.mp3", u"\\Music\\even.mp3"}) {
    CMediaItem* item = CreateMediaItem();
    item->SetSource(source);
    item->SetString(TAG_ARTIST, std::u16string_view(source).find(u"odd") != std::u16string_view::npos ? u"Odd Band" : u"Even Band");
    ASSERT_EQ(PlayerCallback(PLAYER_MSG_STORE_ITEM, item, sizeof(void*), nullptr, 0), 0);
    item->Release();
  }
  const std::u16string document =
      u"<?xml version=\"1.0\"?><pspl version=\"1.0\"><head><title>Picks</title></head><body>"
      u"<query><match name=\"Artist\">Odd Band</match></query></body></pspl>";
  std::unique_ptr<CFeedParser> parser(CreateFeedParser(document.c_str()));
  ASSERT_NE(parser, nullptr);
  parser->Parse(document.c_str(), u"\\My Documents\\picks.pspl");
  std::vector<std::u16string> urls;
  for (int i = 0; i < parser->GetItemCount(); ++i) urls.push_back(parser->GetItem(i)->url);
  std::sort(urls.begin(), urls.end());
  EXPECT_EQ(urls, (std::vector<std::u16string>{u"\\Music\\odd1.mp3", u"\\Music\\odd2.mp3"}));
}

}  // namespace
}  // namespace zb::testing
