// What a parsed feed document makes of the playlist: its title, one entry per item with a URL,
// titles and lengths taken as the feed gives them, links marked as the other media type, and the
// views told once at the end.
#include <string>
#include <vector>

#include "feed_parser.h"
#include "reader_device.h"
#include "tagids.h"

namespace zb::testing {
namespace {

DEFINE_GUID(kPlaylistType, 0xF1BCF888, 0x07D3, 0x404D, 0xBC, 0xDE, 0x4F, 0x9F, 0xAD, 0x68, 0x42, 0x4C);
DEFINE_GUID(kAudioType, 0xD21EF878, 0x87BC, 0x4277, 0x92, 0xEA, 0x58, 0x5E, 0x16, 0xC7, 0xAF, 0xD9);

GUID MediaType(IMediaList* list, LONG index) {
  IMediaItem* item = nullptr;
  GUID type = GUID_NULL;
  if (SUCCEEDED(list->GetItem(index, &item)) && item) {
    item->GetGuid(TAG_MEDIA_TYPE, &type);
    item->Release();
  }
  return type;
}

TEST(PlaylistFeedItems, ItemsWithAUrlBecomeEntriesUnderTheDocumentsTitle) {
  ReaderDevice device;
  device.AddView();
  std::vector<FeedItem> items(5);
  items[0] = {u"http://a/1", u"One", u"guid-1", 60000, 0};
  items[1] = {u"", u"no URL: left out", u"", 1000, 0};
  items[2] = {u"http://a/2", u"", u"", -1, 0};
  items[3] = {u"http://a/3", u"Link", u"", -2, 1};
  items[4] = {u"http://a/4", u"Both", u"", -1, 1};
  EXPECT_EQ(device.Playlist().AppendFeedItems(u"Doc Title", items), 0);
  EXPECT_EQ(device.Playlist().GetTitle(), u"Doc Title");
  // Settled only with both a title and a length.
  EXPECT_EQ(device.Listing(),
            "    0 http://a/1 \"One\" 60000 0\n    1 http://a/2 \"http://a/2\" -1 1\n    2 http://a/3 \"Link\" -2 1\n"
            "    3 http://a/4 \"Both\" -1 0\n  current -1, history, position 0\n");
  EXPECT_EQ(device.TakeTrace(),
            "  1: PLM_TITLE 0 0\n"
            "  1: PLM_ITEMCHANGED 0 0\n"
            "  1: PLM_ITEMCHANGED 1 1\n"
            "  1: PLM_ITEMCHANGED 2 2\n"
            "  1: PLM_ITEMCHANGED 3 3\n"
            "  1: PLM_CURRENT -1 0\n");

  IMediaList* list = nullptr;
  ASSERT_EQ(device.Playlist().ExportToMediaList(&device.Core(), &list), S_OK);
  EXPECT_EQ(MediaType(list, 0), kAudioType);
  EXPECT_EQ(MediaType(list, 2), kPlaylistType);
  EXPECT_EQ(MediaType(list, 3), kPlaylistType);
  list->Release();
}

TEST(PlaylistFeedItems, ADocumentWithoutItemsAddsNothing) {
  ReaderDevice device;
  device.Playlist().SetTitle(u"Before");
  EXPECT_EQ(device.Playlist().AppendFeedItems(u"Empty", {FeedItem{}}), -1);
  EXPECT_EQ(device.Playlist().GetCount(), 0);
  EXPECT_EQ(device.Playlist().GetTitle(), u"Empty");
}

}  // namespace
}  // namespace zb::testing
