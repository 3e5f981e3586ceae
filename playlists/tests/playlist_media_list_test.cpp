// The playlist as a media list and back: which entries the library is asked about, what a bound
// library item and a detached item receive, and what appending a list makes of titles and lengths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media_item.h"
#include "media_list.h"
#include "playlist.h"
#include "script_core.h"
#include "tagids.h"
#include "testing/test_device.h"

namespace {

constexpr DWORD kPlaylistTitleTag = 0x000175F9;
constexpr DWORD kPlaylistLengthTag = 0x000275FA;
DEFINE_GUID(kAudio, 0xD21EF878, 0x87BC, 0x4277, 0x92, 0xEA, 0x58, 0x5E, 0x16, 0xC7, 0xAF, 0xD9);

// A library-bound item as the library hands one out: it answers to IID_ILibraryItem.
class BoundItem : public CMediaItem {
 public:
  static BoundItem* Make(LPCWSTR source) {
    BoundItem* item = new BoundItem();
    item->SetSource(source);
    return item;
  }
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    return Answer(riid, object, {IID_IMediaItem, IID_IMediaItemDirect, IID_ILibraryItem});
  }
};

// The library holds "\lib.mp3" only once GetLibraryItemForSource has read it.
class LibraryCore : public CScriptCore {
 public:
  std::vector<std::u16string> asked;
  bool stored = false;

  IMediaItem* FindLibraryItem(LPCWSTR source) override {
    asked.push_back(u"find " + std::u16string(source));
    return stored && std::u16string(source) == u"\\lib.mp3" ? BoundItem::Make(source) : nullptr;
  }
  IMediaItem* GetLibraryItemForSource(LPCWSTR source) override {
    asked.push_back(u"read " + std::u16string(source));
    stored = stored || std::u16string(source) == u"\\lib.mp3";
    return nullptr;
  }
};

std::u16string Text(IMediaItem* item, DWORD tag) {
  BSTR value = nullptr;
  if (FAILED(item->GetString(tag, &value)) || !value) return u"(none)";
  std::u16string text = value;
  SysFreeString(value);
  return text;
}

LONG Number(IMediaItem* item, DWORD tag) {
  LONG value = 0;
  return SUCCEEDED(item->GetInt(tag, &value)) ? value : -999;
}

IMediaItem* ItemAt(IMediaList* list, LONG index) {
  IMediaItem* item = nullptr;
  EXPECT_EQ(list->GetItem(index, &item), S_OK);
  return item;
}

class PlaylistMediaList : public ::testing::Test {
 protected:
  zb::testing::TestDevice device;
  LibraryCore core;
};

TEST_F(PlaylistMediaList, ExportAsksTheLibraryForLocalFilesOnly) {
  CPlaylist playlist(&core);
  playlist.SetTitle(u"Road trip");
  playlist.InsertItem(u"\\lib.mp3", -1, u"Kept Title", 185000);
  playlist.InsertItem(u"http://radio.example/live", -1, nullptr, -2);
  playlist.InsertItem(u"mms://host/stream", -1, u"Station", -1);
  playlist.InsertItem(u"\\\\server\\share\\x.mp3", -1, nullptr, -2);
  playlist.InsertItem(u"\\tagged.mp3", -1, nullptr, -2);
  core.tags[u"\\tagged.mp3"] = {{TAG_SONG_TITLE, u"From Tags"}};

  IMediaList* list = nullptr;
  ASSERT_EQ(playlist.ExportToMediaList(&core, &list), S_OK);
  ASSERT_NE(list, nullptr);
  DWORD count = 0;
  list->GetCount(&count);
  ASSERT_EQ(count, 5u);
  BSTR name = nullptr;
  list->GetName(&name);
  EXPECT_EQ(std::u16string(name), u"Road trip");
  SysFreeString(name);
  // Streams and network paths are never looked up; a missing file is read, then found bound.
  EXPECT_EQ(core.asked, (std::vector<std::u16string>{u"find \\lib.mp3", u"read \\lib.mp3", u"find \\lib.mp3",
                                                     u"find \\tagged.mp3", u"read \\tagged.mp3", u"find \\tagged.mp3"}));

  IMediaItem* bound = ItemAt(list, 0);
  EXPECT_EQ(Text(bound, kPlaylistTitleTag), u"Kept Title");
  EXPECT_EQ(Number(bound, kPlaylistLengthTag), 185000);
  EXPECT_EQ(Text(bound, TAG_DISPLAY_TITLE), u"(none)");  // the library's own tags stay as they are
  bound->Release();

  IMediaItem* radio = ItemAt(list, 1);
  EXPECT_EQ(Text(radio, TAG_DISPLAY_TITLE), u"(none)");  // its display name is its path
  EXPECT_EQ(Number(radio, TAG_LENGTH), -999);
  GUID type = GUID_NULL;
  EXPECT_EQ(radio->GetGuid(TAG_MEDIA_TYPE, &type), S_OK);
  EXPECT_EQ(type, kAudio);
  radio->Release();

  IMediaItem* station = ItemAt(list, 2);
  EXPECT_EQ(Text(station, TAG_DISPLAY_TITLE), u"Station");
  EXPECT_EQ(Number(station, TAG_LENGTH), -1);
  station->Release();

  IMediaItem* share = ItemAt(list, 3);
  EXPECT_EQ(Text(share, TAG_DISPLAY_TITLE), u"x.mp3");
  share->Release();

  // A song title from the tags keeps the file name from becoming the display title.
  IMediaItem* tagged = ItemAt(list, 4);
  EXPECT_EQ(Text(tagged, TAG_SONG_TITLE), u"From Tags");
  EXPECT_EQ(Text(tagged, TAG_DISPLAY_TITLE), u"(none)");
  tagged->Release();
  list->Release();
}

TEST_F(PlaylistMediaList, AppendTakesTitlesAndLengthsFromTheItems) {
  CMediaList* list = CreateMediaList();
  const auto add = [list](IMediaItem* item) {
    list->AddItem(item);
    item->Release();
  };
  CMediaItem* titled = CreateMediaItem();
  titled->SetSource(u"\\a.mp3");
  titled->SetString(TAG_DISPLAY_TITLE, u"Song A");
  titled->SetInt(TAG_LENGTH, 200000);
  add(titled);
  CMediaItem* plain = CreateMediaItem();
  plain->SetSource(u"\\b.mp3");
  plain->SetInt(TAG_LENGTH, 3000);
  add(plain);
  CMediaItem* sameAsPath = CreateMediaItem();
  sameAsPath->SetSource(u"\\c.mp3");
  sameAsPath->SetString(TAG_DISPLAY_TITLE, u"\\C.MP3");
  add(sameAsPath);
  BoundItem* bound = BoundItem::Make(u"\\d.mp3");
  bound->SetString(kPlaylistTitleTag, u"Bound Title");
  bound->SetInt(kPlaylistLengthTag, -5);
  add(bound);
  CMediaItem* notBound = CreateMediaItem();  // private tags count only on bound items
  notBound->SetSource(u"\\e.mp3");
  notBound->SetString(kPlaylistTitleTag, u"Ignored");
  add(notBound);

  CPlaylist playlist(&core);
  EXPECT_EQ(playlist.AppendMediaList(nullptr), E_FAIL);
  EXPECT_EQ(playlist.AppendMediaList(list), S_OK);
  ASSERT_EQ(playlist.GetCount(), 5);
  const struct {
    const char16_t* name;
    int length;
  } expected[] = {{u"Song A", 200000}, {u"b.mp3", -2}, {u"c.mp3", -2}, {u"Bound Title", -1}, {u"e.mp3", -2}};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(playlist.GetItemDisplayName(i), expected[i].name);
    EXPECT_EQ(playlist.GetItemLength(i), expected[i].length);
  }
  list->Release();
}

TEST_F(PlaylistMediaList, ExportWithoutAnOutPointerFails) {
  CPlaylist playlist(&core);
  EXPECT_EQ(playlist.ExportToMediaList(&core, nullptr), E_FAIL);
}

}  // namespace
