// Player callback messages that copy text out: whole when the out size holds it, cut and still
// terminated within the size where the id copies what fits, nothing where it copies only whole
// texts, and nothing at all for an out size of 0.
#include "core/settings/settings.h"
#include "core/window/main_window_state.h"
#include "local_content.h"
#include "player_message_cases.h"

namespace zb::testing {
namespace {

class TextMessages : public MessageTest {};

constexpr char16_t kTwo[] = u"\\Music\\two.fake";  // 15 characters: 32 bytes with its terminator

TEST_F(TextMessages, PlaylistPathsCopyWholeOrTellTheSizeTheyNeed) {
  RunMessageCases({
      {"4099 fits", PLAYER_MSG_GET_PLAYLIST_FILE, [](MessageArgs& a) { a.Word(1); a.Out(64); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), kTwo); }},
      {"4099 exactly fits", PLAYER_MSG_GET_PLAYLIST_FILE, [](MessageArgs& a) { a.Word(1); a.Out(32); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), kTwo); }},
      {"4099 one byte short", PLAYER_MSG_GET_PLAYLIST_FILE, [](MessageArgs& a) { a.Word(1); a.Out(31); }, -1,
       [](MessageArgs& a) {
         EXPECT_TRUE(a.out->Untouched());
         EXPECT_EQ(a.word, 32u);  // the bytes it needs
       }},
      {"4099 out size 0", PLAYER_MSG_GET_PLAYLIST_FILE, [](MessageArgs& a) { a.Word(0); a.Out(0); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4099 no such entry", PLAYER_MSG_GET_PLAYLIST_FILE, [](MessageArgs& a) { a.Word(2); a.Out(64); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); EXPECT_EQ(a.word, 2u); }},
      {"4099 no in word", PLAYER_MSG_GET_PLAYLIST_FILE, [](MessageArgs& a) { a.Out(64); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4140 next entry", PLAYER_MSG_PEEK_AHEAD, [](MessageArgs& a) { a.Word(1); a.Out(64); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), kTwo); }},
      {"4140 default step", PLAYER_MSG_PEEK_AHEAD, [](MessageArgs& a) { a.Out(64); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), kTwo); }},
      {"4140 short buffer", PLAYER_MSG_PEEK_AHEAD, [](MessageArgs& a) { a.Word(1); a.Out(10); }, 0,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), u""); }},
      {"4140 out size 0", PLAYER_MSG_PEEK_AHEAD, [](MessageArgs& a) { a.Word(1); a.Out(0); }, 0,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4140 no out", PLAYER_MSG_PEEK_AHEAD, [](MessageArgs& a) { a.Word(1); }, 0, nullptr},
  });
  EXPECT_EQ(Playlist().GetCurrentIndex(), 0);  // peeking moved nothing
}

TEST_F(TextMessages, NamesAndFoldersCopyAtMostTheOutSize) {
  core_->SetPlaylistFileName(u"\\My Documents\\mix.m3u");
  wcscpy(MainWindow().title, u"Song");
  const std::u16string favorites = ProgramFilePath(u"Favorites.dat");
  RunMessageCases({
      {"4153 whole", PLAYER_MSG_GET_PLAYLIST_NAME, [](MessageArgs& a) { a.Out(128); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), u"\\My Documents\\mix.m3u"); }},
      {"4153 cut", PLAYER_MSG_GET_PLAYLIST_NAME, [](MessageArgs& a) { a.Out(8); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), u"\\My"); }},
      {"4153 out size 0", PLAYER_MSG_GET_PLAYLIST_NAME, [](MessageArgs& a) { a.Out(0); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4153 odd size", PLAYER_MSG_GET_PLAYLIST_NAME, [](MessageArgs& a) { a.Out(1); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4358 whole", PLAYER_MSG_GET_FAVORITES_PATH, [](MessageArgs& a) { a.Out(520); }, 0,
       [&](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), favorites); }},
      {"4358 cut", PLAYER_MSG_GET_FAVORITES_PATH, [](MessageArgs& a) { a.Out(10); }, 0,
       [&](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), favorites.substr(0, 4)); }},
      {"4358 no out", PLAYER_MSG_GET_FAVORITES_PATH, nullptr, -1, nullptr},
      {"4360 fits", PLAYER_MSG_GET_CURRENT_TITLE, [](MessageArgs& a) { a.Out(10); }, 1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), u"Song"); }},
      {"4360 short", PLAYER_MSG_GET_CURRENT_TITLE, [](MessageArgs& a) { a.Out(9); }, 0,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4360 no out", PLAYER_MSG_GET_CURRENT_TITLE, nullptr, -1, nullptr},
      {"4359 the folder scanned now", PLAYER_MSG_GET_SCAN_FOLDER, [](MessageArgs& a) { a.Out(520); }, 1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), GetListScanFolder(GetPlaylistFilesList())); }},
      {"4359 too short for a folder", PLAYER_MSG_GET_SCAN_FOLDER, [](MessageArgs& a) { a.Out(2); },
       GetListScanFolder(GetPlaylistFilesList()).empty() ? 1 : 0,
       [](MessageArgs& a) {
         if (GetListScanFolder(GetPlaylistFilesList()).empty())
           EXPECT_EQ(a.out->Wide(), u"");
         else
           EXPECT_TRUE(a.out->Untouched());
       }},
      {"4359 out size 0", PLAYER_MSG_GET_SCAN_FOLDER, [](MessageArgs& a) { a.Out(0); }, 0,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4359 no out", PLAYER_MSG_GET_SCAN_FOLDER, nullptr, -1, nullptr},
      {"4150 save as (no dialog saved)", PLAYER_MSG_SAVE_PLAYLIST_AS, [](MessageArgs& a) { a.Out(64); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), u""); }},
      {"4151 organise", PLAYER_MSG_ADD_PLAYLIST, [](MessageArgs& a) { a.Out(16); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), u"\\My Doc"); }},
      {"4152 rename", PLAYER_MSG_RENAME_PLAYLIST, [](MessageArgs& a) { a.Out(128); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), u"\\My Documents\\mix.m3u"); }},
      {"4152 out size 0", PLAYER_MSG_RENAME_PLAYLIST, [](MessageArgs& a) { a.Out(0); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
  });
}

TEST_F(TextMessages, OpenDialogsAnswerWhetherTheyCopiedAPath) {
  // No dialog can be answered here: each reports that nothing was chosen and empties the buffer.
  for (UINT id : {PLAYER_MSG_OPEN_DIALOG_KIND3, PLAYER_MSG_OPEN_DIALOG_KIND1, PLAYER_MSG_OPEN_DIALOG_KIND2}) {
    RunMessageCases({
        {"nothing chosen", id, [](MessageArgs& a) { a.Word(0); a.Out(64); }, 0,
         [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), u""); }},
        {"out size 0", id, [](MessageArgs& a) { a.Word(0); a.Out(0); }, 0,
         [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
        {"no owner word", id, [](MessageArgs& a) { a.Out(64); }, -1,
         [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
    });
  }
}

TEST_F(TextMessages, CodePageConversionsStayWithinTheOutSize) {
  const std::string utf8 = "h\xC3\xA9llo";
  RunMessageCases({
      {"4110 no out", PLAYER_MSG_UTF8_TO_WIDE, [&](MessageArgs& a) { a.bytes = utf8; a.Pointer(a.bytes.data(), 6); }, -1,
       nullptr},
      {"4119 whole through the terminator", PLAYER_MSG_WIDE_TO_UTF8,
       [](MessageArgs& a) { a.text = u"h\u00E9llo"; a.Pointer(a.text.data(), static_cast<UINT>(-1)); a.Out(16); }, -1,
       [&](MessageArgs& a) { EXPECT_EQ(a.out->Bytes(), utf8); }},
      {"4119 short out", PLAYER_MSG_WIDE_TO_UTF8,
       [](MessageArgs& a) { a.text = u"h\u00E9llo"; a.Pointer(a.text.data(), static_cast<UINT>(-1)); a.Out(4); }, -1,
       nullptr},
      {"4119 out size 0", PLAYER_MSG_WIDE_TO_UTF8,
       [](MessageArgs& a) { a.text = u"h\u00E9llo"; a.Pointer(a.text.data(), static_cast<UINT>(-1)); a.Out(0); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4119 no in", PLAYER_MSG_WIDE_TO_UTF8, [](MessageArgs& a) { a.Out(16); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
  });

  // 4110 takes its out size in characters: the guards lie behind out size x 2 bytes.
  for (UINT chars : {16u, 3u, 1u, 0u}) {
    GuardedOut out(chars * sizeof(char16_t));
    std::string in = utf8;
    EXPECT_EQ(PlayerCallback(PLAYER_MSG_UTF8_TO_WIDE, in.data(), 6, out.get(), chars), -1);
    EXPECT_TRUE(out.GuardsIntact()) << chars << " characters";
    const std::u16string expected = chars == 16 ? u"h\u00E9llo" : chars == 3 ? u"h\u00E9" : u"";
    if (chars == 0)
      EXPECT_TRUE(out.Untouched());
    else
      EXPECT_EQ(out.Wide(), expected) << chars << " characters";
  }
}

TEST_F(TextMessages, MimeTypesOfTheDecodersCopyCutAndEmptyPastTheEnd) {
  RunMessageCases({
      {"4124 first type", PLAYER_MSG_GET_MIME_TYPE, [](MessageArgs& a) { a.Word(0); a.Out(64); }, -1,
       [](MessageArgs& a) {
         EXPECT_NE(a.out->Wide(), u"");
         EXPECT_NE(a.out->Wide().find(u'/'), std::u16string::npos);
       }},
      {"4124 cut to one character", PLAYER_MSG_GET_MIME_TYPE, [](MessageArgs& a) { a.Word(0); a.Out(4); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide().size(), 1u); }},
      {"4124 past the last", PLAYER_MSG_GET_MIME_TYPE, [](MessageArgs& a) { a.Word(100000); a.Out(64); }, -1,
       [](MessageArgs& a) { EXPECT_EQ(a.out->Wide(), u""); }},
      {"4124 out size 0", PLAYER_MSG_GET_MIME_TYPE, [](MessageArgs& a) { a.Word(0); a.Out(0); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
      {"4124 no index", PLAYER_MSG_GET_MIME_TYPE, [](MessageArgs& a) { a.Out(64); }, -1,
       [](MessageArgs& a) { EXPECT_TRUE(a.out->Untouched()); }},
  });
}

}  // namespace
}  // namespace zb::testing
