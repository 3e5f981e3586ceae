// Player callback messages about decoders and stream sources: what plays by MIME type and
// extension, copies of the source for a URL given out and taken back, the decoders' stored
// flags, sources that plug-ins register, a decoder copy for a path and the output reset.
#include "core/modules/decoder_choice.h"
#include "core/output/output_registry.h"
#include "core/settings/settings.h"
#include "player_message_cases.h"

namespace zb::testing {
namespace {

class SourceMessages : public MessageTest {};

int g_fixtureInits = 0;
int g_fixtureStartUps = 0;
int ClaimsFixturePaths(InputSource*, LPCWSTR path) { return path && wcsncmp(path, u"fixture://", 10) == 0 ? 1 : 0; }
void CountInit(InputSource*) { ++g_fixtureInits; }
void CountStartUp() { ++g_fixtureStartUps; }

InputSource& FixtureSource() {
  static InputSource source = [] {
    InputSource record{};
    record.version = INPUT_SOURCE_VERSION;
    record.description = u"fixture source";
    record.Init = CountInit;
    record.StartUp = CountStartUp;
    record.ClaimsPath = ClaimsFixturePaths;
    return record;
  }();
  return source;
}

TEST_F(SourceMessages, WhatThePlayerPlaysByMimeTypeAndExtension) {
  RunMessageCases({
      {"4123 audio/mpeg", PLAYER_MSG_CAN_PLAY_MIME, [](MessageArgs& a) { a.Text(u"audio/mpeg"); a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 1u); }},
      {"4123 unknown type", PLAYER_MSG_CAN_PLAY_MIME, [](MessageArgs& a) { a.Text(u"x-none/none"); a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 0u); }},
      {"4123 no out", PLAYER_MSG_CAN_PLAY_MIME, [](MessageArgs& a) { a.Text(u"audio/mpeg"); a.Out(2); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4127 .mp3", PLAYER_MSG_CAN_PLAY_EXTENSION, [](MessageArgs& a) { a.Text(u".mp3"); a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 1u); }},
      {"4127 .zzz", PLAYER_MSG_CAN_PLAY_EXTENSION, [](MessageArgs& a) { a.Text(u".zzz"); a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 0u); }},
      {"4127 no extension", PLAYER_MSG_CAN_PLAY_EXTENSION, [](MessageArgs& a) { a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
  });
}

TEST_F(SourceMessages, UrlCopiesAreGivenOutAndOnlyThoseTakenBack) {
  InputSource* copy = nullptr;
  InputSource stranger{};
  RunMessageCases({
      {"4136 http", PLAYER_MSG_OPEN_URL, [](MessageArgs& a) { a.Text(u"http://127.0.0.1:9/list.m3u"); a.Out(sizeof(void*)); }, 0,
       [&](MessageArgs& a) {
         copy = a.out->As<InputSource*>();
         ASSERT_NE(copy, nullptr);
         EXPECT_EQ(copy->Read, ChooseSource(u"http://127.0.0.1:9/list.m3u")->Read);
       }},
      {"4136 empty URL opened nothing", PLAYER_MSG_OPEN_URL, [](MessageArgs& a) { a.Text(u""); a.Out(sizeof(void*)); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4136 no out", PLAYER_MSG_OPEN_URL, [](MessageArgs& a) { a.Text(u"http://127.0.0.1:9/"); }, -1, nullptr},
      // A record the player did not hand out is left alone (freeing it would be fatal).
      {"4137 a stranger", PLAYER_MSG_CLOSE_URL, [&](MessageArgs& a) { a.Pointer(&stranger, sizeof stranger); }, 0, nullptr},
      {"4137 wrong size", PLAYER_MSG_CLOSE_URL, [&](MessageArgs& a) { a.Pointer(copy, 8); }, 0, nullptr},
      {"4137 the copy", PLAYER_MSG_CLOSE_URL, [&](MessageArgs& a) { a.Pointer(copy, sizeof(InputSource)); }, 0, nullptr},
      {"4137 the copy again", PLAYER_MSG_CLOSE_URL, [&](MessageArgs& a) { a.Pointer(copy, sizeof(InputSource)); }, 0, nullptr},
  });
  EXPECT_FALSE(core_->CloseUrlCopy(copy));
}

TEST_F(SourceMessages, DecoderFlagsAreStoredByName) {
  DWORD value = 0x5A;
  RunMessageCases({
      {"4141 never written", PLAYER_MSG_GET_DECODER_FLAGS, [](MessageArgs& a) { a.Text(u"mp3"); a.Out(4); }, 0,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4142 first write", PLAYER_MSG_SET_DECODER_FLAGS, [&](MessageArgs& a) { a.Text(u"mp3"); a.out.emplace(4); memcpy(a.out->get(), &value, 4); }, 0, nullptr},
      {"4142 second write", PLAYER_MSG_SET_DECODER_FLAGS, [&](MessageArgs& a) { a.Text(u"mp3"); a.out.emplace(4); memcpy(a.out->get(), &value, 4); }, 1, nullptr},
      {"4141 read back", PLAYER_MSG_GET_DECODER_FLAGS, [](MessageArgs& a) { a.Text(u"mp3"); a.Out(4); }, 1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->As<DWORD>(), 0x5Au); }},
      {"4141 no name size", PLAYER_MSG_GET_DECODER_FLAGS, [](MessageArgs& a) { a.Text(u"mp3"); a.inSize = 0; a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4142 no value", PLAYER_MSG_SET_DECODER_FLAGS, [](MessageArgs& a) { a.Text(u"ogg"); }, -1, nullptr},
  });
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_NE(RegQueryValueExW(key, u"decflagsogg", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(SourceMessages, SourcesRegisterAndDecoderCopiesComeWithoutTheirSource) {
  InputSource old = FixtureSource();
  old.version = 2;
  InputSource unclaiming = FixtureSource();
  unclaiming.ClaimsPath = nullptr;
  g_fixtureInits = g_fixtureStartUps = 0;
  const int before = SourceList().Count();
  RunMessageCases({
      {"4154 version 2", PLAYER_MSG_REGISTER_SOURCE, [&](MessageArgs& a) { a.Pointer(&old); }, -1, nullptr},
      {"4154 no claim", PLAYER_MSG_REGISTER_SOURCE, [&](MessageArgs& a) { a.Pointer(&unclaiming); }, -1, nullptr},
      {"4154 register", PLAYER_MSG_REGISTER_SOURCE, [](MessageArgs& a) { a.Pointer(&FixtureSource()); }, 0,
       [&](MessageArgs&) {
         EXPECT_EQ(SourceList().Count(), before + 1);
         EXPECT_EQ(g_fixtureStartUps, 1);
         EXPECT_EQ(g_fixtureInits, 1);
         EXPECT_EQ(ChooseSource(u"fixture://a"), &FixtureSource());
       }},
      {"0x80000004 decoder copy", PLAYER_MSG_GET_DECODER_COPY,
       [](MessageArgs& a) { a.Text(u"\\Music\\one.fake"); a.Out(sizeof(DecModule)); }, -1,
       [](MessageArgs& a) {
         const auto copy = a.out->As<DecModule>();
         EXPECT_EQ(copy.Play, ScriptedRecord().Play);
         EXPECT_EQ(copy.source, nullptr);
         EXPECT_EQ(copy.outModule, &NullOut);
       }},
      {"0x80000004 short out", PLAYER_MSG_GET_DECODER_COPY,
       [](MessageArgs& a) { a.Text(u"\\Music\\one.fake"); a.Out(sizeof(DecModule) - 1); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"0x80000007 output reset, nothing open", PLAYER_MSG_OUTPUT_RESET, nullptr, 0,
       [this](MessageArgs&) { EXPECT_FALSE(core_->IsPlaying()); }},
  });
}

}  // namespace
}  // namespace zb::testing
