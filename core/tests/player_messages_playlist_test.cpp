// Player callback messages about the playlist: its views, its entries as items, the Local
// Content binding, counts, media lists played, appended and exported, paths added and opened,
// and the resume positions kept for paths.
#include "core/settings/settings.h"
#include "media_item.h"
#include "media_list.h"
#include "player_message_cases.h"

namespace zb::testing {
namespace {

class PlaylistMessages : public MessageTest {
 protected:
  // A media list of the given sources, named.
  static IMediaList* ListOf(std::initializer_list<const char16_t*> sources, const char16_t* name) {
    CMediaList* list = CreateMediaList();
    for (const char16_t* source : sources) {
      CMediaItem* item = CreateMediaItem();
      item->SetSource(source);
      list->Add(item);
      item->Release();
    }
    if (name) list->SetName(name);
    return list;
  }
  static DWORD CountOf(IMediaList* list) {
    DWORD count = 0;
    list->GetCount(&count);
    return count;
  }
  std::vector<UINT> ViewMessages(HWND view) { return RecordedFor(view, PLM_CURRENT, PLM_CURRENT); }
};

TEST_F(PlaylistMessages, ViewsComeAndGoAndHearTheChanges) {
  StandInWindow view;
  HWND handle = view.Handle();
  RecordMessagesOf(handle);
  RecordedMessages().clear();
  RunMessageCases({
      {"4097 add", PLAYER_MSG_ADD_PLAYLIST_VIEW, [&](MessageArgs& a) { a.Pointer(&handle, sizeof handle); }, 0, nullptr},
      {"4097 no window", PLAYER_MSG_ADD_PLAYLIST_VIEW, nullptr, -1, nullptr},
      {"4097 short in", PLAYER_MSG_ADD_PLAYLIST_VIEW, [&](MessageArgs& a) { a.Pointer(&handle, 2); }, -1, nullptr},
  });
  Playlist().SetCurrentIndex(1);
  EXPECT_EQ(ViewMessages(handle), std::vector<UINT>{PLM_CURRENT});
  RunMessageCases({
      {"4098 no window", PLAYER_MSG_REMOVE_PLAYLIST_VIEW, nullptr, -1, nullptr},
      {"4098 remove", PLAYER_MSG_REMOVE_PLAYLIST_VIEW, [&](MessageArgs& a) { a.Pointer(&handle, sizeof handle); }, 0, nullptr},
  });
  Playlist().SetCurrentIndex(0);
  EXPECT_TRUE(ViewMessages(handle).empty());
}

TEST_F(PlaylistMessages, EntriesBindingAndCounts) {
  RunMessageCases({
      {"4102 entry 1", PLAYER_MSG_GET_PLAYLIST_ITEM, [](MessageArgs& a) { a.Word(1); a.Out(sizeof(void*)); }, 0,
       [](MessageArgs& a) {
         auto* item = a.out->As<IMediaItem*>();
         EXPECT_EQ(SourceOf(item), u"\\Music\\two.fake");
         if (item) item->Release();
       }},
      {"4102 no entry 7", PLAYER_MSG_GET_PLAYLIST_ITEM, [](MessageArgs& a) { a.Word(7); a.Out(sizeof(void*)); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<IMediaItem*>(), nullptr); }},
      {"4102 no out", PLAYER_MSG_GET_PLAYLIST_ITEM, [](MessageArgs& a) { a.Word(1); }, 0, nullptr},
      {"4112 not Local Content", PLAYER_MSG_IS_LOCAL_CONTENT_PLAYLIST, [](MessageArgs& a) { a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 0u); }},
      {"4112 no out", PLAYER_MSG_IS_LOCAL_CONTENT_PLAYLIST, nullptr, -1, nullptr},
      {"4116 valid entries", PLAYER_MSG_COUNT_PLAYLIST_VALID, [](MessageArgs& a) { a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 2u); }},
      {"4116 no out", PLAYER_MSG_COUNT_PLAYLIST_VALID, nullptr, 0, nullptr},
      {"4108 scan progress", PLAYER_MSG_GET_SCAN_PROGRESS, [](MessageArgs& a) { a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_LE(a.out->As<DWORD>(), 200u); }},
      {"4108 no out", PLAYER_MSG_GET_SCAN_PROGRESS, [](MessageArgs& a) { a.Out(2); }, 0,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4114 valid in the scan's lists", PLAYER_MSG_COUNT_VALID_ITEMS, [](MessageArgs& a) { a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_NE(a.out->As<DWORD>(), 0xCDCDCDCDu); }},
      {"4114 no out", PLAYER_MSG_COUNT_VALID_ITEMS, nullptr, 0, nullptr},
      {"4363 length of the scan's lists", PLAYER_MSG_GET_PLAYLIST_LENGTH, [](MessageArgs& a) { a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_NE(a.out->As<DWORD>(), 0xCDCDCDCDu); }},
      {"4363 no out", PLAYER_MSG_GET_PLAYLIST_LENGTH, nullptr, 0, nullptr},
      {"4113 select Local Content", PLAYER_MSG_SELECT_LOCAL_CONTENT, nullptr, 0,
       [this](MessageArgs&) { EXPECT_EQ(core_->GetPlaylistFileName(), u"-"); }},
      {"4112 Local Content now", PLAYER_MSG_IS_LOCAL_CONTENT_PLAYLIST, [](MessageArgs& a) { a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 1u); }},
  });
}

TEST_F(PlaylistMessages, MediaListsArePlayedAppendedAndExported) {
  IMediaList* three = ListOf({u"\\Music\\three.fake"}, u"Mix");
  IMediaList* more = ListOf({u"\\Music\\four.fake", u"\\Music\\five.fake"}, nullptr);
  IMediaList* target = CreateMediaList();
  RunMessageCases({
      {"4131 no list", PLAYER_MSG_PLAY_MEDIA_LIST, nullptr, -1,
       [this](MessageArgs&) { EXPECT_EQ(Playlist().GetCount(), 2); }},
      {"4131 play", PLAYER_MSG_PLAY_MEDIA_LIST, [&](MessageArgs& a) { a.Pointer(three); }, 0,
       [this](MessageArgs&) {
         ASSERT_EQ(Playlist().GetCount(), 1);
         EXPECT_EQ(Playlist().GetItemPath(0), u"\\Music\\three.fake");
         EXPECT_EQ(core_->GetPlaylistFileName(), u"Mix");
       }},
      {"4132 append", PLAYER_MSG_APPEND_MEDIA_LIST, [&](MessageArgs& a) { a.Pointer(more); }, 0,
       [this](MessageArgs&) {
         ASSERT_EQ(Playlist().GetCount(), 3);
         EXPECT_EQ(Playlist().GetItemPath(2), u"\\Music\\five.fake");
       }},
      {"4132 short in size", PLAYER_MSG_APPEND_MEDIA_LIST, [&](MessageArgs& a) { a.Pointer(more, 2); }, -1,
       [this](MessageArgs&) { EXPECT_EQ(Playlist().GetCount(), 3); }},
  });
  // 4133 hands the list itself as out.
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_EXPORT_PLAYLIST, nullptr, 0, target, sizeof target), 0);
  EXPECT_EQ(CountOf(target), 3u);
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_EXPORT_PLAYLIST, nullptr, 0, nullptr, sizeof target), -1);
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_EXPORT_PLAYLIST, nullptr, 0, target, 2), -1);
  EXPECT_EQ(CountOf(target), 3u);
  // 4134 with flags bit 0 adds the favourites when the library knows them as a playlist.
  IMediaList* local = CreateMediaList();
  DWORD flags = 1;
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_EXPORT_LOCAL_CONTENT, &flags, sizeof flags, local, sizeof local), 0);
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_EXPORT_LOCAL_CONTENT, &flags, sizeof flags, nullptr, 0), -1);
  local->Release();
  for (IMediaList* list : {three, more, target}) list->Release();
}

TEST_F(PlaylistMessages, PathsAreAddedOpenedAndTheListCleared) {
  RunMessageCases({
      {"4146 add", PLAYER_MSG_ADD_PATH, [](MessageArgs& a) { a.Text(u"\\Music\\added.fake"); }, -1,
       [this](MessageArgs&) {
         ASSERT_EQ(Playlist().GetCount(), 3);
         EXPECT_EQ(Playlist().GetItemPath(2), u"\\Music\\added.fake");
       }},
      {"4146 unterminated", PLAYER_MSG_ADD_PATH, [](MessageArgs& a) { a.Text(u"\\Music\\x.fake"); a.inSize = 4; }, -1,
       [this](MessageArgs&) { EXPECT_EQ(Playlist().GetCount(), 3); }},
      {"4147 open an entry", PLAYER_MSG_ENQUEUE_PATH, [](MessageArgs& a) { a.Text(u"\\Music\\two.fake"); }, -1,
       [this](MessageArgs&) {
         EXPECT_EQ(Playlist().GetCurrentIndex(), 1);
         EXPECT_EQ(Current(), u"\\Music\\two.fake");
         EXPECT_TRUE(core_->IsPlaying());
       }},
      {"4147 no path", PLAYER_MSG_ENQUEUE_PATH, nullptr, -1,
       [this](MessageArgs&) { EXPECT_EQ(Current(), u"\\Music\\two.fake"); }},
      {"4149 clear", PLAYER_MSG_CLEAR_PLAYLIST, nullptr, -1,
       [this](MessageArgs&) {
         EXPECT_EQ(Playlist().GetCount(), 0);
         EXPECT_EQ(core_->GetPlaylistFileName(), u"");
       }},
  });
}

TEST_F(PlaylistMessages, ResumePositionsFollowTheSettingAndTheBookmarkList) {
  core_->GetBookmarkList()->Set(u"\\Music\\one.fake", 5000);
  GetSettings()->autoResumePlaylists = 0;
  RunMessageCases({
      {"4361 switched off", PLAYER_MSG_GET_RESUME_POSITION, [](MessageArgs& a) { a.Text(u"\\Music\\one.fake"); a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<LONG>(), -1); }},
      {"4362 bookmark", PLAYER_MSG_GET_BOOKMARK_POSITION, [](MessageArgs& a) { a.Text(u"\\Music\\one.fake"); a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<LONG>(), 5000); }},
      {"4362 none", PLAYER_MSG_GET_BOOKMARK_POSITION, [](MessageArgs& a) { a.Text(u"\\Music\\nine.fake"); a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<LONG>(), -1); }},
      {"4362 no out", PLAYER_MSG_GET_BOOKMARK_POSITION, [](MessageArgs& a) { a.Text(u"\\Music\\one.fake"); a.Out(2); }, 0,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
  });
  GetSettings()->autoResumePlaylists = 1;
  RunMessageCases({
      {"4361 on", PLAYER_MSG_GET_RESUME_POSITION, [](MessageArgs& a) { a.Text(u"\\Music\\one.fake"); a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<LONG>(), 5000); }},
      {"4361 no path", PLAYER_MSG_GET_RESUME_POSITION, [](MessageArgs& a) { a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
  });
}

}  // namespace
}  // namespace zb::testing
