// The skin's playlist and visualisation colours as the player takes them: "VISCOLOR.TXT" lines
// over the built-in palette, the skin's "PLEDIT.TXT" over the system colours when a skin is laid
// out, and a move of the skin's playlist origin laying it out again.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/player/playlist_skin.h"
#include "main_window_fixture.h"
#include "playlists/playlist_colors.h"
#include "skin/skin.h"
#include "skin_packages.h"

namespace zb::testing {
namespace {

struct VisColourCase {
  const char* what;
  std::u16string text;
  std::vector<std::pair<int, COLORREF>> expected;  // index, colour; the rest keep the palette
};

TEST(VisColours, LinesReplaceThePaletteInOrder) {
  std::u16string thirty;
  for (int i = 0; i < 30; ++i) thirty += u"" + std::u16string(1, u'0' + i % 10) + u", 1, 2 // entry\r\n";
  std::vector<std::pair<int, COLORREF>> firstTwentyFour;
  for (int i = 0; i < kVisColorCount; ++i) firstTwentyFour.push_back({i, RGB(i % 10, 1, 2)});
  const VisColourCase cases[] = {
      {"two lines", u"1, 2, 3\r\n4,5,6", {{0, RGB(1, 2, 3)}, {1, RGB(4, 5, 6)}}},
      {"lines that are no colour are skipped", u"comment\n\n7, 8, 9\nx, 1, 2\n10, 11", {{0, RGB(7, 8, 9)}}},
      {"values outside a byte are held to it", u"-5, 300, 128", {{0, RGB(0, 255, 128)}}},
      {"thirty lines fill the first 24", thirty, firstTwentyFour},
      {"nothing", u"", {}},
  };
  for (const VisColourCase& c : cases) {
    DWORD colors[kVisColorCount];
    std::copy(std::begin(kDefaultVisColors), std::end(kDefaultVisColors), colors);
    ReadVisColors(c.text.c_str(), colors);
    DWORD expected[kVisColorCount];
    std::copy(std::begin(kDefaultVisColors), std::end(kDefaultVisColors), expected);
    for (const auto& [index, colour] : c.expected) expected[index] = colour;
    EXPECT_TRUE(std::equal(std::begin(colors), std::end(colors), std::begin(expected))) << c.what;
  }
  EXPECT_EQ(kDefaultVisColors[2], RGB(239, 49, 16));
  EXPECT_EQ(kDefaultVisColors[23], RGB(150, 150, 150));
}

class PlaylistSkin : public MainWindowTest {
 protected:
  CPlayerCore* WearSkin(const Entries& entries) {
    CPlayerCore* core = PeekPlayerCore();
    auto* skin = new CSkin(window);
    skin->SetPath(WriteSkinPackage(device, "colours.zsz", entries).c_str());
    core->ApplySkin(skin);
    return core;
  }
};

TEST_F(PlaylistSkin, TheSkinsColourTextOverTheSystemColours) {
  GetSettings()->playlistFontSize = -15;
  CPlayerCore* core = WearSkin({{"PLEDIT.TXT", "Normal=#00FF00\r\nNormalBG=#102030\r\nFont=Skin Sans"}});
  LoadPlaylistSkinColors(core, FALSE);
  const PlaylistColorScheme& s = GetPlaylistColorScheme();
  EXPECT_EQ(s.normalText, RGB(0, 255, 0));
  EXPECT_EQ(s.normalBackground, RGB(0x10, 0x20, 0x30));
  EXPECT_EQ(std::u16string(s.fontFace), u"Skin Sans");
  EXPECT_EQ(s.fontHeight, 15);

  // A skin without colour text goes back to the system's colours.
  WearSkin({{"skin.txt", "nothing here"}});
  LoadPlaylistSkinColors(core, FALSE);
  EXPECT_EQ(GetPlaylistColorScheme().normalText, GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(GetPlaylistColorScheme().fontFaceSet, 0u);
}

TEST_F(PlaylistSkin, MovingThePlaylistOriginLaysTheSkinOutAgain) {
  CPlayerCore* core = WearSkin({{"PLEDIT.TXT", "Current=#ABCDEF"}});
  LoadPlaylistColorScheme(core->GetPlaylist(), u"Current=#000001", 12);
  core->SendUiCommand(13, reinterpret_cast<void*>(static_cast<UINT_PTR>(MAKELONG(5, 7))));
  EXPECT_EQ(core->SendUiCommand(14, nullptr), MAKELONG(5, 7));
  EXPECT_EQ(GetPlaylistColorScheme().currentText, RGB(0xAB, 0xCD, 0xEF)) << "the skin's colours were read again";

  LoadPlaylistColorScheme(core->GetPlaylist(), u"Current=#000001", 12);
  core->SendUiCommand(13, reinterpret_cast<void*>(static_cast<UINT_PTR>(MAKELONG(5, 7))));
  EXPECT_EQ(GetPlaylistColorScheme().currentText, RGB(0, 0, 1)) << "the same origin changes nothing";
}

TEST_F(PlaylistSkin, ASettingChangeToThePlaylistWindowReloadsTheColours) {
  CPlayerCore* core = WearSkin({{"PLEDIT.TXT", "SelectedBG=#445566"}});
  LoadPlaylistColorScheme(core->GetPlaylist(), nullptr, 12);
  EXPECT_EQ(PlaylistWindowHook(core, window, WM_SETTINGCHANGE, 0, 0), 0);
  EXPECT_EQ(GetPlaylistColorScheme().selectedBackground, RGB(0x44, 0x55, 0x66));
}

}  // namespace
}  // namespace zb::testing
