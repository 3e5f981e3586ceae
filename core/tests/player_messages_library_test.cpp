// Player callback messages that reach the media library: items by path, stored copies, new and
// query items, queries, the library's interface, kept tags, status, reopening and its move.
// Messages that made nothing answer -1.
#include "core/player/core_media_library.h"
#include "core/settings/settings.h"
#include "library_location.h"
#include "media_item.h"
#include "media_library.h"
#include "media_list.h"
#include "player_message_cases.h"
#include "querytags.h"
#include "tagids.h"

namespace zb::testing {
namespace {

class LibraryMessages : public MessageTest {
 protected:
  // A detached item of the source with an artist.
  static IMediaItem* Item(const char16_t* source, const char16_t* artist) {
    CMediaItem* item = CreateMediaItem();
    item->SetSource(source);
    if (artist) item->SetString(TAG_ARTIST, artist);
    return item;
  }
  IMediaItem* Stored(const char16_t* source) {
    IMediaItem* item = nullptr;
    return SUCCEEDED(core_->GetLibraryLink()->FindItem(source, &item, 0)) ? item : nullptr;
  }
};

void ReleaseOut(MessageArgs& a) {
  if (auto* object = a.out->As<IUnknown*>()) object->Release();
}

TEST_F(LibraryMessages, ItemsAreStoredFoundAndMade) {
  IMediaItem* song = Item(u"\\Music\\stored.fake", u"Band");
  RunMessageCases({
      {"4106 store", PLAYER_MSG_STORE_ITEM, [&](MessageArgs& a) { a.Pointer(song); }, 0,
       [this](MessageArgs&) {
         IMediaItem* stored = Stored(u"\\Music\\stored.fake");
         EXPECT_EQ(StringTag(stored, TAG_ARTIST), u"Band");
         if (stored) stored->Release();
       }},
      {"4106 no item", PLAYER_MSG_STORE_ITEM, nullptr, -1, nullptr},
      {"4105 by path", PLAYER_MSG_GET_ITEM_BY_PATH,
       [](MessageArgs& a) { a.Text(u"\\Music\\stored.fake"); a.Out(sizeof(void*)); }, 0,
       [](MessageArgs& a) {
         EXPECT_EQ(StringTag(a.out->As<IMediaItem*>(), TAG_ARTIST), u"Band");
         ReleaseOut(a);
       }},
      {"4105 no out", PLAYER_MSG_GET_ITEM_BY_PATH, [](MessageArgs& a) { a.Text(u"\\Music\\stored.fake"); a.Out(2); }, 0,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4155 from an item", PLAYER_MSG_GET_ITEM_FROM_OBJECT, [&](MessageArgs& a) { a.Pointer(song); a.Out(sizeof(void*)); }, 0,
       [](MessageArgs& a) {
         EXPECT_EQ(StringTag(a.out->As<IMediaItem*>(), TAG_ARTIST), u"Band");
         ReleaseOut(a);
       }},
      {"4155 no object", PLAYER_MSG_GET_ITEM_FROM_OBJECT, [](MessageArgs& a) { a.Out(sizeof(void*)); }, 0,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4115 create", PLAYER_MSG_CREATE_ITEM, [](MessageArgs& a) { a.Text(u"\\Music\\new.fake"); a.Out(sizeof(void*)); }, 0,
       [](MessageArgs& a) {
         EXPECT_EQ(SourceOf(a.out->As<IMediaItem*>()), u"\\Music\\new.fake");
         ReleaseOut(a);
       }},
      {"4115 no source made nothing", PLAYER_MSG_CREATE_ITEM, [](MessageArgs& a) { a.Out(sizeof(void*)); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4121 new with source", PLAYER_MSG_NEW_ITEM, [](MessageArgs& a) { a.Text(u"\\Music\\n.fake"); a.Out(sizeof(void*)); }, -1,
       [](MessageArgs& a) {
         EXPECT_EQ(SourceOf(a.out->As<IMediaItem*>()), u"\\Music\\n.fake");
         ReleaseOut(a);
       }},
      {"4121 new without", PLAYER_MSG_NEW_ITEM, [](MessageArgs& a) { a.Out(sizeof(void*)); }, -1,
       [](MessageArgs& a) {
         EXPECT_EQ(SourceOf(a.out->As<IMediaItem*>()), u"");
         ReleaseOut(a);
       }},
      {"4121 no out", PLAYER_MSG_NEW_ITEM, [](MessageArgs& a) { a.Out(2); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4117 mark a folder valid", PLAYER_MSG_MARK_VALID, [](MessageArgs& a) { a.Text(u"\\Music\\*"); }, 0, nullptr},
      {"4118 mark invalid", PLAYER_MSG_MARK_INVALID, [](MessageArgs& a) { a.Text(u"\\Music\\stored.fake"); }, 0, nullptr},
      {"4118 no source", PLAYER_MSG_MARK_INVALID, nullptr, 0, nullptr},
  });
  song->Release();
}

TEST_F(LibraryMessages, QueriesRunThroughThePlayer) {
  IMediaItem* song = Item(u"\\Music\\q.fake", u"Quartet");
  ASSERT_EQ(PlayerCallback(PLAYER_MSG_STORE_ITEM, song, sizeof song, nullptr, 0), 0);
  song->Release();
  IMediaItem* query = nullptr;
  RunMessageCases({
      {"4129 query item", PLAYER_MSG_CREATE_QUERY_ITEM, [](MessageArgs& a) { a.Out(sizeof(void*)); }, 0,
       [&](MessageArgs& a) {
         query = a.out->As<IMediaItem*>();
         EXPECT_NE(query, nullptr);
       }},
      {"4129 no out", PLAYER_MSG_CREATE_QUERY_ITEM, [](MessageArgs& a) { a.Out(2); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
  });
  ASSERT_NE(query, nullptr);
  RunMessageCases({
      {"4130 every item", PLAYER_MSG_QUERY_MEDIA, [&](MessageArgs& a) { a.Pointer(query); a.Out(sizeof(void*)); }, 0,
       [](MessageArgs& a) {
         auto* list = a.out->As<IMediaList*>();
         ASSERT_NE(list, nullptr);
         IMediaItem* found = nullptr;
         EXPECT_EQ(list->FindBySource(u"\\Music\\q.fake", &found), S_OK);
         if (found) found->Release();
         list->Release();
       }},
      {"4130 no query made nothing", PLAYER_MSG_QUERY_MEDIA, [](MessageArgs& a) { a.Out(sizeof(void*)); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
  });
  LONG valueTag = static_cast<LONG>(TAG_ARTIST);
  ASSERT_EQ(query->SetInstance(QTAG_PARAMS, QPARAM_VALUE_TAG, &valueTag, sizeof valueTag), S_OK);
  RunMessageCases({
      {"4128 artists", PLAYER_MSG_QUERY_VALUES, [&](MessageArgs& a) { a.Pointer(query); a.Out(sizeof(void*)); }, 0,
       [](MessageArgs& a) {
         auto* result = a.out->As<IMediaResult*>();
         ASSERT_NE(result, nullptr);
         DWORD count = 0;
         EXPECT_EQ(result->GetCount(&count), S_OK);
         EXPECT_GE(count, 1u);
         result->Release();
       }},
      {"4128 no query", PLAYER_MSG_QUERY_VALUES, [](MessageArgs& a) { a.Out(sizeof(void*)); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
  });
  query->Release();
}

TEST_F(LibraryMessages, TheLibraryItselfItsTagsStatusAndPlace) {
  MEDIA_LIBRARY_STATUS status = {sizeof status, 0, 0, 0};
  RunMessageCases({
      {"4364 interface", PLAYER_MSG_GET_MEDIA_LIBRARY, [](MessageArgs& a) { a.Out(sizeof(void*)); }, S_OK,
       [](MessageArgs& a) {
         EXPECT_NE(a.out->As<void*>(), nullptr);
         ReleaseOut(a);
       }},
      {"4364 no out", PLAYER_MSG_GET_MEDIA_LIBRARY, nullptr, E_INVALIDARG, nullptr},
      {"4365 keep a tag", PLAYER_MSG_ADD_KEPT_TAG, [](MessageArgs& a) { a.Word(TAG_ALBUM); }, 0, nullptr},
      {"4366 drop it", PLAYER_MSG_REMOVE_KEPT_TAG, [](MessageArgs& a) { a.Word(TAG_ALBUM); }, 0, nullptr},
      {"4366 no tag", PLAYER_MSG_REMOVE_KEPT_TAG, nullptr, 0, nullptr},
      {"4368 status", PLAYER_MSG_GET_LIBRARY_STATUS, [&](MessageArgs& a) { a.Pointer(&status, sizeof status); }, 0,
       [&](MessageArgs&) { EXPECT_EQ(status.open, 1u); }},
      {"4368 no record", PLAYER_MSG_GET_LIBRARY_STATUS, nullptr, 0, nullptr},
      {"4369 reopen", PLAYER_MSG_REOPEN_LIBRARY, nullptr, 0,
       [this](MessageArgs&) {
         MEDIA_LIBRARY_STATUS after = {sizeof after, 0, 0, 0};
         EXPECT_EQ(core_->GetLibraryLink()->GetStatus(&after), S_OK);
         EXPECT_EQ(after.open, 1u);
       }},
  });
  // The library moves to the folder the settings name now.
  CreateDirectoryW(u"\\Moved", nullptr);
  wcscpy(GetSettings()->metadataLocation, u"\\Moved");
  const std::u16string target = GetLibraryDatabasePath(*GetSettings());
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_MOVE_LIBRARY, nullptr, 0, nullptr, 0), 1);
  EXPECT_NE(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES) << "no library at the new place";
}

}  // namespace
}  // namespace zb::testing
