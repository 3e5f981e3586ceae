// Player callback messages that make media lists from sources and bitmaps from image data, and
// those that answer with the menu bar, paint behind a visualisation, hand out cue-mark cookies
// and open a plug-in's settings key.
#include "media_item.h"
#include "media_list.h"
#include "player_message_cases.h"

namespace zb::testing {
namespace {

class ListMessages : public MessageTest {
 protected:
  void SetUp() override {
    MessageTest::SetUp();
    WriteDeviceFile(u"\\Music\\two.m3u", "one.fake\r\ntwo.fake\r\n");
  }
  static DWORD CountOf(IMediaList* list) {
    DWORD count = 0;
    list->GetCount(&count);
    return count;
  }
};

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, std::abs(info.bmHeight)};
}

TEST_F(ListMessages, SourcesBecomeMediaLists) {
  IMediaList* list = CreateMediaList();
  CMediaItem* item = CreateMediaItem();
  item->SetSource(u"\\Music\\two.m3u");
  WriteDeviceFile(u"\\Music\\empty.m3u", "");
  CMediaItem* empty = CreateMediaItem();
  empty->SetSource(u"\\Music\\empty.m3u");  // a file with no entries: nothing to read
  RunMessageCases({
      {"4160 no list to fill", PLAYER_MSG_LOAD_ITEM_LIST, nullptr, -1, nullptr},
  });
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_LOAD_ITEM_LIST, item, sizeof(void*), list, sizeof list), 0);
  EXPECT_EQ(CountOf(list), 2u);
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_LOAD_ITEM_LIST, empty, sizeof(void*), list, sizeof list), -1);
  EXPECT_EQ(CountOf(list), 2u);
  // 4135 takes the path itself.
  std::u16string path = u"\\Music\\two.m3u";
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_LOAD_PATH_LIST, path.data(), static_cast<UINT>((path.size() + 1) * 2), list, sizeof list), 0);
  EXPECT_EQ(CountOf(list), 4u);
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_LOAD_PATH_LIST, path.data(), 4, list, sizeof list), -1);  // unterminated
  EXPECT_EQ(CountOf(list), 4u);
  // The playlist itself did not change.
  EXPECT_EQ(Playlist().GetCount(), 2);
  item->Release();
  empty->Release();
  list->Release();
}

// A source that is no file is offered to the hooks first (event 101); one that takes it answers.
TEST_F(ListMessages, ASourceThatIsNoFileGoesToTheHooksFirst) {
  IMediaList* list = CreateMediaList();
  CMediaItem* item = CreateMediaItem();
  item->SetSource(u"podcast:feed");
  ScriptedHooks().takes[PLAYER_EVENT_LOAD_ITEM_LIST] = 0;
  ScriptedHooks().TakeSeen();
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_LOAD_ITEM_LIST, item, sizeof(void*), list, sizeof list), 0);
  EXPECT_EQ(ScriptedHooks().TakeSeen(), std::vector<std::string>{"event 101 out"});
  EXPECT_EQ(CountOf(list), 0u);
  // Not taken: the source itself becomes the entry.
  ScriptedHooks().takes.clear();
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_LOAD_ITEM_LIST, item, sizeof(void*), list, sizeof list), 0);
  EXPECT_EQ(CountOf(list), 1u);
  item->Release();
  list->Release();
}

TEST_F(ListMessages, AlbumArtIsDecodedAndScaledToFit) {
  const std::vector<BYTE> large = BmpFile(400, 300);
  const std::vector<BYTE> small = BmpFile(40, 30);
  auto request = [](const std::vector<BYTE>& image, DWORD flags) {
    return PlayerAlbumArtRequest{0, image.data(), static_cast<DWORD>(image.size()), flags, 100, 100};
  };
  const struct {
    const char* name;
    PlayerAlbumArtRequest request;
    SIZE size;
  } cases[] = {
      {"scaled", request(large, ALBUM_ART_SCALE), {100, 75}},
      {"scaled smoothly into a DIB section", request(large, ALBUM_ART_SCALE | ALBUM_ART_DIB), {100, 75}},
      {"not asked to scale", request(large, 0), {400, 300}},
      {"small enough", request(small, ALBUM_ART_SCALE), {40, 30}},
  };
  for (const auto& c : cases) {
    PlayerAlbumArtRequest r = c.request;
    GuardedOut out(sizeof(HBITMAP));
    EXPECT_EQ(PlayerCallback(PLAYER_MSG_GET_ALBUM_ART, &r, sizeof r, out.get(), out.size()), 0) << c.name;
    EXPECT_TRUE(out.GuardsIntact()) << c.name;
    EXPECT_EQ(r.size, sizeof r) << c.name;
    HBITMAP bitmap = out.As<HBITMAP>();
    const SIZE size = BitmapSize(bitmap);
    EXPECT_EQ(size.cx, c.size.cx) << c.name;
    EXPECT_EQ(size.cy, c.size.cy) << c.name;
    if (bitmap) DeleteObject(bitmap);
  }
  // 4109 hands the bytes alone: unscaled.
  std::vector<BYTE> bytes = large;
  GuardedOut out(sizeof(HBITMAP));
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_GET_ALBUM_ART_BY_DATA, bytes.data(), static_cast<UINT>(bytes.size()), out.get(), out.size()), 0);
  EXPECT_EQ(BitmapSize(out.As<HBITMAP>()).cx, 400);
  DeleteObject(out.As<HBITMAP>());
  // Bad requests make nothing and touch no out.
  GuardedOut none(sizeof(HBITMAP));
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_GET_ALBUM_ART_BY_DATA, bytes.data(), 0, none.get(), none.size()), -1);
  PlayerAlbumArtRequest noData{0, nullptr, 0, 0, 0, 0};
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_GET_ALBUM_ART, &noData, sizeof noData, none.get(), none.size()), -1);
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_GET_ALBUM_ART, &noData, 8, none.get(), none.size()), -1);
  EXPECT_TRUE(none.Untouched());
  // Bytes that are no image give no bitmap, and still no failure of the message.
  std::vector<BYTE> junk(64, 0x11);
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_GET_ALBUM_ART_BY_DATA, junk.data(), 64, none.get(), none.size()), 0);
  EXPECT_EQ(none.As<HBITMAP>(), nullptr);
}

TEST_F(ListMessages, MenuBarVisualisationCookiesAndSettingsKeys) {
  HDC dc = CreateCompatibleDC(nullptr);
  RunMessageCases({
      {"4357 whole record", PLAYER_MSG_GET_MENU_INFO, [](MessageArgs& a) { a.Out(sizeof(PlayerMenuInfo)); }, -1,
       [](MessageArgs& a) {
         const auto info = a.out->As<PlayerMenuInfo>();
         EXPECT_EQ(info.leftCommand, 40083u);
         EXPECT_EQ(info.rightCommand, 40086u);
       }},
      {"4357 menu bar only", PLAYER_MSG_GET_MENU_INFO, [](MessageArgs& a) { a.Out(sizeof(HWND)); }, -1, nullptr},
      {"4357 no out", PLAYER_MSG_GET_MENU_INFO, [](MessageArgs& a) { a.Out(2); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4143 device context", PLAYER_MSG_DRAW_VISUALIZATION, [&](MessageArgs& a) { a.Pointer(&dc, sizeof dc); }, -1, nullptr},
      {"4143 nothing", PLAYER_MSG_DRAW_VISUALIZATION, nullptr, -1, nullptr},
      {"4356 playlist dialog", PLAYER_MSG_SHOW_PLAYLIST_DIALOG, nullptr, -1, nullptr},
      {"4144 no out", PLAYER_MSG_ADD_COOKIE, [](MessageArgs& a) { a.Word(100); }, 0, nullptr},
      {"4144 first cookie", PLAYER_MSG_ADD_COOKIE, [](MessageArgs& a) { a.Word(100); a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 2u); }},
      {"4144 second cookie", PLAYER_MSG_ADD_COOKIE, [](MessageArgs& a) { a.Word(200); a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 3u); }},
      {"4145 remove", PLAYER_MSG_REMOVE_COOKIE, [](MessageArgs& a) { a.Word(2); }, 0,
       [this](MessageArgs&) { EXPECT_EQ(core_->GetCueMarks().Passed(0, 1000), std::vector<DWORD>{3}); }},
      {"4145 no cookie", PLAYER_MSG_REMOVE_COOKIE, nullptr, 0, nullptr},
      {"4111 no module", PLAYER_MSG_OPEN_SETTINGS_KEY, [](MessageArgs& a) { a.Out(sizeof(HKEY)); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4111 no out", PLAYER_MSG_OPEN_SETTINGS_KEY, [](MessageArgs& a) { a.Pointer(GetModuleHandleW(nullptr), 4); }, -1, nullptr},
  });
  DeleteDC(dc);
}

}  // namespace
}  // namespace zb::testing
