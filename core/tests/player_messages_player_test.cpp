// Player callback messages about the player itself: keys forwarded to the main window and to the
// button handler, categories, player values, user-interface commands, the player state item's
// tags, and the ids the player does not serve.
#include "core/settings/settings.h"
#include "media_item.h"
#include "player_message_cases.h"
#include "tagids.h"

namespace zb::testing {
namespace {

class PlayerMessages : public MessageTest {
 protected:
  std::vector<UINT> MainWindowMessages(UINT from, UINT to) { return RecordedFor(window_.Handle(), from, to); }
};

constexpr GUID kPodcasts = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};

TEST_F(PlayerMessages, KeysReachTheMainWindowAndTheButtonHandler) {
  RecordMessagesOf(window_.Handle());
  RecordedMessages().clear();
  RunMessageCases({
      {"4100 key down", PLAYER_MSG_FORWARD_KEY,
       [](MessageArgs& a) { a.msg.message = WM_KEYDOWN; a.msg.wParam = 'A'; a.Pointer(&a.msg, sizeof a.msg); }, 0,
       [this](MessageArgs&) { EXPECT_EQ(MainWindowMessages(WM_KEYDOWN, WM_CHAR), std::vector<UINT>{WM_KEYDOWN}); }},
      {"4100 not a key", PLAYER_MSG_FORWARD_KEY,
       [](MessageArgs& a) { a.msg.message = WM_PAINT; a.Pointer(&a.msg, sizeof a.msg); }, 0,
       [this](MessageArgs&) { EXPECT_TRUE(MainWindowMessages(WM_PAINT, WM_PAINT).empty()); }},
      {"4100 short record", PLAYER_MSG_FORWARD_KEY,
       [](MessageArgs& a) { a.msg.message = WM_KEYDOWN; a.Pointer(&a.msg, 12); }, -1,
       [this](MessageArgs&) { EXPECT_TRUE(MainWindowMessages(WM_KEYDOWN, WM_CHAR).empty()); }},
      {"4139 button key", PLAYER_MSG_BUTTON_KEY,
       [this](MessageArgs& a) {
         a.msg.hwnd = window_.Handle();
         a.msg.message = WM_KEYUP;
         a.Pointer(&a.msg, sizeof a.msg);
         a.Out(4);
       },
       0, [](MessageArgs& a) { EXPECT_FALSE(a.out->Untouched()); }},
      {"4139 no out", PLAYER_MSG_BUTTON_KEY, [](MessageArgs& a) { a.Pointer(&a.msg, sizeof a.msg); a.Out(2); }, 0,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
  });
}

TEST_F(PlayerMessages, CategoriesPlayerValuesAndCommands) {
  GUID podcasts = kPodcasts;
  core_->SetShuffle(TRUE);
  GetSettings()->DSPEnabled = 1;
  RunMessageCases({
      {"4125 index 0 in a fresh player", PLAYER_MSG_QUERY_CATEGORY, [](MessageArgs& a) { a.Word(0); a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 1u); }},
      {"4125 index 7", PLAYER_MSG_QUERY_CATEGORY, [](MessageArgs& a) { a.Word(7); a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 0u); }},
      {"4125 unknown GUID", PLAYER_MSG_QUERY_CATEGORY, [&](MessageArgs& a) { a.Pointer(&podcasts, sizeof podcasts); a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 0u); }},
      {"4125 in of another size", PLAYER_MSG_QUERY_CATEGORY, [](MessageArgs& a) { a.Word(0, 8); a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4126 add", PLAYER_MSG_ADD_CATEGORY, [&](MessageArgs& a) { a.Pointer(&podcasts, sizeof podcasts); }, -1, nullptr},
      {"4126 add again", PLAYER_MSG_ADD_CATEGORY, [&](MessageArgs& a) { a.Pointer(&podcasts, sizeof podcasts); }, -1, nullptr},
      {"4126 short GUID", PLAYER_MSG_ADD_CATEGORY, [&](MessageArgs& a) { a.Pointer(&podcasts, 4); }, -1, nullptr},
      {"4125 added GUID", PLAYER_MSG_QUERY_CATEGORY, [&](MessageArgs& a) { a.Pointer(&podcasts, sizeof podcasts); a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 1u); }},
      {"4148 volume", PLAYER_MSG_GET_PLAYER_VALUE, [](MessageArgs& a) { a.Word(110); a.Out(4); }, 0,
       [this](MessageArgs& a) { EXPECT_EQ(a.out->As<int>(), core_->GetVolume()); }},
      {"4148 shuffle", PLAYER_MSG_GET_PLAYER_VALUE, [](MessageArgs& a) { a.Word(108); a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 1u); }},
      {"4148 DSP", PLAYER_MSG_GET_PLAYER_VALUE, [](MessageArgs& a) { a.Word(132); a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 1u); }},
      {"4148 mute", PLAYER_MSG_GET_PLAYER_VALUE, [](MessageArgs& a) { a.Word(131); a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 0u); }},
      {"4148 code 109", PLAYER_MSG_GET_PLAYER_VALUE, [](MessageArgs& a) { a.Word(109); a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4373 command", PLAYER_MSG_RUN_PLAYER_COMMAND, [](MessageArgs& a) { a.Word(27); a.Out(4); }, 0, nullptr},
      {"4373 no value", PLAYER_MSG_RUN_PLAYER_COMMAND, [](MessageArgs& a) { a.Word(27); }, 0, nullptr},
      {"4372 stream status", PLAYER_MSG_UI_COMMAND_29, nullptr, 0, nullptr},
      {"4352 before a dialog", PLAYER_MSG_BEFORE_MODAL_DIALOG, nullptr, 0, nullptr},
  });
  // 4373 runs the command through the hooks first: the scripted hook saw it.
  ScriptedHooks().TakeSeen();
  DWORD command = 27, value = 5;
  PlayerCallback(PLAYER_MSG_RUN_PLAYER_COMMAND, &command, sizeof command, &value, sizeof value);
  EXPECT_EQ(ScriptedHooks().TakeSeen(), std::vector<std::string>{"event 39 in 27 out"});
}

TEST_F(PlayerMessages, TheStateItemTakesTypedTagsAndTracksThem) {
  IMediaItem* state = core_->GetStateItem();
  const char16_t* artist = u"Band";
  LONG track = 7;
  SYSTEMTIME date = {2024, 5, 0, 17, 0, 0, 0, 0};
  RunMessageCases({
      {"4120 text", PLAYER_MSG_SET_STATE_TAG, [&](MessageArgs& a) { a.Word(TAG_ARTIST); a.out.emplace(sizeof artist); memcpy(a.out->get(), &artist, sizeof artist); }, 0,
       [&](MessageArgs&) { EXPECT_EQ(StringTag(state, TAG_ARTIST), u"Band"); }},
      {"4120 text with out size 3", PLAYER_MSG_SET_STATE_TAG, [&](MessageArgs& a) { a.Word(TAG_ALBUM); a.Out(3); }, -1,
       [&](MessageArgs&) { EXPECT_EQ(StringTag(state, TAG_ALBUM), u"(missing)"); }},
      {"4120 integer", PLAYER_MSG_SET_STATE_TAG, [&](MessageArgs& a) { a.Word(TAG_TRACK_NUMBER); a.out.emplace(4); memcpy(a.out->get(), &track, 4); }, 0,
       [&](MessageArgs&) {
         LONG value = 0;
         EXPECT_EQ(state->GetInt(TAG_TRACK_NUMBER, &value), S_OK);
         EXPECT_EQ(value, 7);
       }},
      {"4120 date as SYSTEMTIME", PLAYER_MSG_SET_STATE_TAG, [&](MessageArgs& a) { a.Word(TAG_RELEASE_DATE); a.out.emplace(sizeof date); memcpy(a.out->get(), &date, sizeof date); }, 0,
       [&](MessageArgs&) {
         SYSTEMTIME value{};
         EXPECT_EQ(state->GetSystemTime(TAG_RELEASE_DATE, &value), S_OK);
         EXPECT_EQ(value.wYear, 2024);
       }},
      {"4120 date of 5 bytes", PLAYER_MSG_SET_STATE_TAG, [&](MessageArgs& a) { a.Word(TAG_RELEASE_DATE); a.Out(5); }, -1, nullptr},
      {"4120 instance id (bit 31)", PLAYER_MSG_SET_STATE_TAG, [&](MessageArgs& a) { a.Word(0x80020001); a.Out(4); }, -1, nullptr},
      {"4120 no id", PLAYER_MSG_SET_STATE_TAG, [&](MessageArgs& a) { a.Out(4); }, -1, nullptr},
  });
  // The tracked list names each id once, in the order they were first set.
  std::vector<DWORD> tracked;
  for (DWORD instance = 0;; ++instance) {
    DWORD id = 0, size = sizeof id;
    if (FAILED(state->GetInstance(0x80027FFF, instance, &id, &size))) break;
    tracked.push_back(id);
  }
  EXPECT_EQ(tracked, (std::vector<DWORD>{TAG_ARTIST, TAG_TRACK_NUMBER, TAG_RELEASE_DATE}));

  CMediaItem* playing = CreateMediaItem();
  playing->SetString(TAG_ARTIST, u"Other Band");
  playing->SetString(TAG_ALBUM, u"Album");
  RunMessageCases({
      {"4122 refresh the tracked tags", PLAYER_MSG_REFRESH_STATE_TAGS, [&](MessageArgs& a) { a.Pointer(playing); }, -1,
       [&](MessageArgs&) {
         EXPECT_EQ(StringTag(state, TAG_ARTIST), u"Other Band");
         EXPECT_EQ(StringTag(state, TAG_ALBUM), u"(missing)");  // not tracked
       }},
      {"4122 no item", PLAYER_MSG_REFRESH_STATE_TAGS, nullptr, -1, nullptr},
      {"4371 copy every tag", PLAYER_MSG_COPY_STATE_TAGS, [&](MessageArgs& a) { a.Pointer(playing); }, -1,
       [&](MessageArgs&) { EXPECT_EQ(StringTag(state, TAG_ALBUM), u"Album"); }},
      {"4371 no item", PLAYER_MSG_COPY_STATE_TAGS, nullptr, -1, nullptr},
  });
  playing->Release();
}

TEST_F(PlayerMessages, IdsOutsideTheTableAnswerMinusOneAndTouchNothing) {
  for (UINT id : {0u, 4096u, 4107u, 4156u, 4159u, 4162u, 4351u, 4374u, 0x80000000u, 0x80000001u, 0x80000003u,
                  0x80000006u, 0x80000008u, 0xFFFFFFFFu}) {
    GuardedOut out(16);
    DWORD in = 1;
    EXPECT_EQ(PlayerCallback(id, &in, sizeof in, out.get(), out.size()), -1) << id;
    EXPECT_TRUE(out.Untouched()) << id;
    EXPECT_EQ(in, 1u) << id;
  }
}

}  // namespace
}  // namespace zb::testing
