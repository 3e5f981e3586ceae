// The playlist colour scheme: blending, the skin's colour text over the system defaults (keys,
// flags, fonts, the platform version, the user's tint), the scheme reaching the views, and the
// colours each kind of row is drawn with.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "playlist.h"
#include "playlist_colors.h"
#include "playlist_view_sink.h"
#include "skin/bitmap_helpers.h"
#include "skin/skin_settings.h"
#include "testing/test_device.h"

namespace {

struct BlendCase {
  COLORREF a, b;
  int weight;
  COLORREF expected;
};

TEST(PlaylistColors, BlendWeighsEachChannelAndTruncates) {
  const BlendCase cases[] = {
      {RGB(10, 20, 30), RGB(200, 100, 50), 0, RGB(10, 20, 30)},
      {RGB(0, 0, 0), RGB(255, 255, 255), 256, RGB(255, 255, 255)},
      {RGB(0, 0, 0), RGB(255, 128, 3), 128, RGB(127, 64, 1)},
      {RGB(255, 255, 255), RGB(0, 0, 0), 64, RGB(191, 191, 191)},
      {RGB(100, 0, 200), RGB(0, 100, 0), 1, RGB(99, 0, 199)},
  };
  for (const BlendCase& c : cases) EXPECT_EQ(BlendColor(c.a, c.b, c.weight), c.expected) << c.weight;
}

class Recorder : public IPlaylistViewSink {
 public:
  BOOL IsViewWindow(HWND) override { return TRUE; }
  LRESULT SendViewMessage(HWND view, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == PLM_COLORS) sent.push_back({view, wParam, lParam});
    return 0;
  }
  struct Sent {
    HWND view;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Sent> sent;
};

class Scheme : public ::testing::Test {
 protected:
  void SetUp() override {
    device_.WriteProfile("[os]\nmajor = 5\n");
    SetPlaylistViewSink(&views_);
    playlist_.AddView(reinterpret_cast<HWND>(0x51));
  }
  void TearDown() override {
    SetPlaylistViewSink(nullptr);
    CurrentSkinSettings() = SkinSettings{};
  }
  const PlaylistColorScheme& Load(LPCWSTR text, int height = 12) {
    LoadPlaylistColorScheme(&playlist_, text, height);
    return GetPlaylistColorScheme();
  }

  zb::testing::TestDevice device_;
  Recorder views_;
  CPlaylist playlist_{nullptr};
};

TEST_F(Scheme, DefaultsComeFromTheSystemColours) {
  const PlaylistColorScheme& s = Load(nullptr, 14);
  const COLORREF window = GetSysColor(COLOR_WINDOW), highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(s.normalText, GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(s.currentText, highlight);
  EXPECT_EQ(s.normalBackground, window);
  EXPECT_EQ(s.selectedBackground, highlight);
  EXPECT_EQ(s.gradient, 1u);
  EXPECT_EQ(s.gradientColor, BlendColor(window, GetSysColor(COLOR_ACTIVECAPTION), 64));
  EXPECT_EQ(s.selectedTextSet, 1u);
  EXPECT_EQ(s.selectedText, GetSysColor(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(s.alternateRows | s.currentRowBackground | s.focusHighlight | s.fontFaceSet | s.fontWeightSet, 0u);
  EXPECT_EQ(s.fontHeight, 14);
  EXPECT_EQ(s.fontFace[0], 0);
}

TEST_F(Scheme, TheColourTextIsReadAsTheSkinWritesIt) {
  const PlaylistColorScheme& s =
      Load(u"Normal=#102030\r\nnormalbg=#FF0000\r\n SelectedBG = #00ff00 \r\nCurrentBG=#0000FF\r\n"
           u"NormalAltBG=#010203\r\nFontWeight=700\r\nBackgroundFlags=3\r\nHighlightFlags=9\r\n"
           u"Font=Courier New\r\nMystery=#FFFFFF\r\nno equals sign\r\nCurrent=not a colour");
  EXPECT_EQ(s.normalText, RGB(0x10, 0x20, 0x30));
  EXPECT_EQ(s.normalBackground, 0x0000FFu) << "RRGGBB becomes a COLORREF";
  EXPECT_EQ(s.selectedBackground, RGB(0, 0xFF, 0));
  EXPECT_EQ(s.currentRowBackground, 1u);
  EXPECT_EQ(s.currentBackground, RGB(0, 0, 0xFF));
  EXPECT_EQ(s.alternateRows, 1u);
  EXPECT_EQ(s.alternateBackground, RGB(1, 2, 3));
  EXPECT_EQ(s.fontWeightSet, 1u);
  EXPECT_EQ(s.fontWeight, 700);
  EXPECT_EQ(s.backgroundFlags, 3u);
  EXPECT_EQ(s.highlightFlags, 9u);
  EXPECT_EQ(s.fontFaceSet, 1u);
  EXPECT_EQ(std::u16string(s.fontFace), u"Courier New");
  EXPECT_EQ(s.currentText, GetSysColor(COLOR_HIGHLIGHT)) << "a value that is no colour leaves the default";
}

TEST_F(Scheme, AnyTextClearsTheFlagsItDoesNotSet) {
  const PlaylistColorScheme& s = Load(u"Font=Tahoma");
  EXPECT_EQ(s.gradient, 0u);
  EXPECT_EQ(s.selectedTextSet, 0u);
  EXPECT_EQ(s.fontFaceSet, 1u);
  // Selected rows then take the normal text colour.
  HDC dc = CreateCompatibleDC(nullptr);
  DRAWITEMSTRUCT item{};
  item.hDC = dc;
  item.itemState = ODS_SELECTED;
  ApplyPlaylistItemColors(&item);
  EXPECT_EQ(GetTextColor(dc), s.normalText);
  DeleteDC(dc);
}

TEST_F(Scheme, AnEmptyTextKeepsTheSchemeAndSetsTheHeight) {
  Load(u"Normal=#123456", 12);
  const PlaylistColorScheme& s = Load(u"", 20);
  EXPECT_EQ(s.normalText, RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(s.fontHeight, 20);
}

TEST_F(Scheme, TheGradientNeedsPlatformVersionFour) {
  EXPECT_EQ(Load(u"NormalGradientBG=#808080").gradient, 1u);
  EXPECT_EQ(GetPlaylistColorScheme().gradientColor, RGB(0x80, 0x80, 0x80));
  device_.WriteProfile("[os]\nmajor = 3\n");
  const PlaylistColorScheme& old = Load(u"NormalGradientBG=#808080");
  EXPECT_EQ(old.gradient, 0u);
  EXPECT_EQ(old.gradientColor, BlendColor(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_ACTIVECAPTION), 64));
}

TEST_F(Scheme, LongFontNamesAreCutAtTheField) {
  const std::u16string name(400, u'F');
  const std::u16string text = u"Font=" + name;
  const PlaylistColorScheme& s = Load(text.c_str());
  EXPECT_EQ(std::u16string(s.fontFace), name.substr(0, 259));
}

TEST_F(Scheme, TheUsersTintShiftsEveryColour) {
  CurrentSkinSettings() = SkinSettings{TRUE, 120, 0, FALSE};
  const PlaylistColorScheme& s = Load(u"Normal=#C02010\r\nSelectedFG=#10C020");
  EXPECT_EQ(s.normalText, AdjustColour(RGB(0xC0, 0x20, 0x10), 120, 0));
  EXPECT_NE(s.normalText, RGB(0xC0, 0x20, 0x10));
  EXPECT_EQ(s.selectedText, AdjustColour(RGB(0x10, 0xC0, 0x20), 120, 0));
  EXPECT_EQ(s.normalBackground, AdjustColour(GetSysColor(COLOR_WINDOW), 120, 0));
}

TEST_F(Scheme, EveryLoadReachesTheViews) {
  Load(nullptr);
  Load(u"");
  ASSERT_EQ(views_.sent.size(), 2u);
  for (const Recorder::Sent& m : views_.sent) {
    EXPECT_EQ(m.view, reinterpret_cast<HWND>(0x51));
    EXPECT_EQ(m.wParam, 0u);
    EXPECT_EQ(m.lParam, reinterpret_cast<LPARAM>(&GetPlaylistColorScheme()));
  }
}

struct RowCase {
  const char* what;
  LPCWSTR text;
  UINT state;
  UINT item;
  COLORREF text_, background;
};

TEST_F(Scheme, EachKindOfRowTakesItsColours) {
  constexpr COLORREF kNormal = RGB(1, 1, 1), kCurrent = RGB(2, 2, 2), kNormalBg = RGB(3, 3, 3), kSelBg = RGB(4, 4, 4),
                     kGradient = RGB(5, 5, 5), kAlt = RGB(6, 6, 6), kCurBg = RGB(7, 7, 7), kSelFg = RGB(8, 8, 8),
                     kFocus = RGB(9, 9, 9);
  LPCWSTR all =
      u"Normal=#010101\r\nCurrent=#020202\r\nNormalBG=#030303\r\nSelectedBG=#040404\r\nNormalGradientBG=#050505\r\n"
      u"NormalAltBG=#060606\r\nCurrentBG=#070707\r\nSelectedFG=#080808\r\nFocusHighlight=#090909";
  LPCWSTR plain = u"Normal=#010101\r\nCurrent=#020202\r\nNormalBG=#030303\r\nSelectedBG=#040404";
  const UINT kSel = ODS_SELECTED, kCur = ODS_FOCUS;
  const RowCase cases[] = {
      {"selected current, with focus and gradient", all, kSel | kCur, 0, kGradient, kFocus},
      {"selected current, without them", plain, kSel | kCur, 0, kNormalBg, kSelBg},
      {"selected, with its own text colour", all, kSel, 3, kSelFg, kSelBg},
      {"selected, without it", plain, kSel, 3, kNormal, kSelBg},
      {"current, with its own background", all, kCur, 2, kCurrent, kCurBg},
      {"current, without it", plain, kCur, 2, kCurrent, kNormalBg},
      {"odd plain row with alternate rows", all, 0, 5, kNormal, kAlt},
      {"even plain row with alternate rows", all, 0, 4, kNormal, kNormalBg},
      {"odd plain row without them", plain, 0, 5, kNormal, kNormalBg},
  };
  HDC dc = CreateCompatibleDC(nullptr);
  for (const RowCase& c : cases) {
    Load(c.text);
    DRAWITEMSTRUCT item{};
    item.hDC = dc;
    item.itemState = c.state;
    item.itemID = c.item;
    ApplyPlaylistItemColors(&item);
    EXPECT_EQ(GetTextColor(dc), c.text_) << c.what;
    EXPECT_EQ(GetBkColor(dc), c.background) << c.what;
  }
  DeleteDC(dc);
}

}  // namespace
