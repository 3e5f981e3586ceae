// The player callback as a loaded plug-in sees it: gen_callback.dll opens its own settings key,
// registers its command and its event hook from its Init, and sends the messages of the table
// through the callback pointer the player wrote into its record.
#include "callback_plugin_fixture.h"
#include "core/interface/player_events.h"
#include "core/window/main_window_state.h"
#include "media_item.h"
#include "player_message_cases.h"
#include "playlist.h"
#include "tagids.h"

namespace zb::testing {
namespace {

GenModule* g_driver = nullptr;

// Sends a message from inside the plug-in.
int SendFromPlugin(UINT id, void* in, UINT inSize, void* out, UINT outSize) {
  DriveRequest request{id, in, inSize, out, outSize, 0x7777};
  EXPECT_EQ(g_driver->CommandHook(kDriveMessage, &request, sizeof request, nullptr, 0), 0);
  return request.result;
}

class CallbackPlugin : public CallbackPluginTest {
 protected:
  void SetUp() override {
    Start();
    g_driver = Module(u"callback driver");
    ASSERT_NE(g_driver, nullptr);
    ASSERT_NE(g_driver->hostCallback, nullptr);
    core_->GetPlaylist()->Clear();
    for (const char16_t* path : {u"\\Music\\one.fake", u"\\Music\\two.fake"}) core_->GetPlaylist()->InsertItem(path, -1, nullptr, -2);
    core_->GetPlaylist()->SetCurrentIndex(0);
  }
};

TEST_F(CallbackPlugin, ItsInitOpenedItsKeyAndRegisteredItsCommandAndHook) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Kestrane\\Zonbrel\\Plugins\\gen_callback", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  DWORD opened = 0, size = sizeof opened;
  EXPECT_EQ(RegQueryValueExW(key, u"opened", nullptr, nullptr, reinterpret_cast<BYTE*>(&opened), &size), ERROR_SUCCESS);
  EXPECT_EQ(opened, 1u);
  RegCloseKey(key);
  EXPECT_EQ(CommandId(u"Drive"), 33);  // module 0's Init ran first
  WCHAR library[MAX_PATH] = {}, name[MAX_PATH] = {};
  core_->GetCommandInfo(33, library, name);
  EXPECT_NE(std::u16string_view(library).find(u"gen_callback.dll"), std::u16string_view::npos);
  // Its hook is in place and takes the cue marks, and only those.
  DWORD cookie = 9;
  EXPECT_EQ(core_->DispatchToHooks(PLAYER_EVENT_CUE_MARK_PASSED, &cookie, sizeof cookie, nullptr, nullptr), 0);
  EXPECT_EQ(core_->DispatchToHooks(PLAYER_EVENT_SEEKED, &cookie, sizeof cookie, nullptr, nullptr), E_FAIL);
}

TEST_F(CallbackPlugin, TheTableRunsFromInsideTheLibrary) {
  core_->SetPlaylistFileName(u"\\My Documents\\mix.m3u");
  wcscpy(MainWindow().title, u"Song");
  const char16_t* artist = u"Band";
  HMODULE self = g_driver->hDllInstance;
  const std::string utf8 = "h\xC3\xA9llo";
  RunMessageCases(
      {
          {"4099 fits", PLAYER_MSG_GET_PLAYLIST_FILE, [](MessageArgs& a) { a.Word(1); a.Out(64); }, 0,
           [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), u"\\Music\\two.fake"); }},
          {"4099 short", PLAYER_MSG_GET_PLAYLIST_FILE, [](MessageArgs& a) { a.Word(1); a.Out(6); }, -1,
           [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); EXPECT_EQ(a.word, 32u); }},
          {"4153 cut", PLAYER_MSG_GET_PLAYLIST_NAME, [](MessageArgs& a) { a.Out(8); }, -1,
           [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), u"\\My"); }},
          {"4153 out size 0", PLAYER_MSG_GET_PLAYLIST_NAME, [](MessageArgs& a) { a.Out(0); }, -1,
           [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
          {"4360 short", PLAYER_MSG_GET_CURRENT_TITLE, [](MessageArgs& a) { a.Out(4); }, 0,
           [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
          {"4360 fits", PLAYER_MSG_GET_CURRENT_TITLE, [](MessageArgs& a) { a.Out(10); }, 1,
           [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), u"Song"); }},
          {"4119 short", PLAYER_MSG_WIDE_TO_UTF8,
           [](MessageArgs& a) { a.text = u"h\u00E9llo"; a.Pointer(a.text.data(), static_cast<UINT>(-1)); a.Out(2); }, -1,
           nullptr},
          {"4119 whole", PLAYER_MSG_WIDE_TO_UTF8,
           [](MessageArgs& a) { a.text = u"h\u00E9llo"; a.Pointer(a.text.data(), static_cast<UINT>(-1)); a.Out(16); }, -1,
           [&](MessageArgs& a) { EXPECT_EQ(a.out->Bytes(), utf8); }},
          {"4144 cookie", PLAYER_MSG_ADD_COOKIE, [](MessageArgs& a) { a.Word(100); a.Out(4); }, 0,
           [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 2u); }},
          {"4145 remove", PLAYER_MSG_REMOVE_COOKIE, [](MessageArgs& a) { a.Word(2); }, 0,
           [this](MessageArgs&) { EXPECT_TRUE(core_->GetCueMarks().Passed(-1, 1000).empty()); }},
          {"4120 text tag", PLAYER_MSG_SET_STATE_TAG,
           [&](MessageArgs& a) { a.Word(TAG_ARTIST); a.out.emplace(sizeof artist); memcpy(a.out->get(), &artist, sizeof artist); }, 0,
           [this](MessageArgs&) {
             BSTR text = nullptr;
             EXPECT_EQ(core_->GetStateItem()->GetString(TAG_ARTIST, &text), S_OK);
             EXPECT_EQ(std::u16string(text ? text : u""), u"Band");
             SysFreeString(text);
           }},
          {"4120 text tag, out size 3", PLAYER_MSG_SET_STATE_TAG, [](MessageArgs& a) { a.Word(TAG_ALBUM); a.Out(3); }, -1, nullptr},
          {"4125 index 0", PLAYER_MSG_QUERY_CATEGORY, [](MessageArgs& a) { a.Word(0); a.Out(4); }, -1,
           [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 1u); }},
          {"4148 code 109", PLAYER_MSG_GET_PLAYER_VALUE, [](MessageArgs& a) { a.Word(109); a.Out(4); }, -1,
           [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
          {"4101 register", PLAYER_MSG_REGISTER_COMMAND, [](MessageArgs& a) { a.Pointer(g_driver); a.Out(4); }, -1,
           [this](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), static_cast<DWORD>(CommandId(u"Beta") + 1)); }},
          {"4111 its own key", PLAYER_MSG_OPEN_SETTINGS_KEY, [&](MessageArgs& a) { a.Pointer(self, sizeof self); a.Out(sizeof(HKEY)); }, 0,
           [](MessageArgs& a) {
             HKEY key = a.out->As<HKEY>();
             EXPECT_NE(key, nullptr);
             if (key) RegCloseKey(key);
           }},
          {"4111 no out", PLAYER_MSG_OPEN_SETTINGS_KEY, [&](MessageArgs& a) { a.Pointer(self, sizeof self); a.Out(2); }, -1,
           [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
          {"4115 no source", PLAYER_MSG_CREATE_ITEM, [](MessageArgs& a) { a.Out(sizeof(void*)); }, -1,
           [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
          {"4136 empty URL", PLAYER_MSG_OPEN_URL, [](MessageArgs& a) { a.Text(u""); a.Out(sizeof(void*)); }, -1,
           [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
          {"unknown id", 4200, [](MessageArgs& a) { a.Word(1); a.Out(8); }, -1,
           [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      },
      SendFromPlugin);
}

}  // namespace
}  // namespace zb::testing
