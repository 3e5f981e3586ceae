// The skin state turns user-interface commands into element values: the time in its long, short
// and split forms, the title with the playlist number, stream figures, volume, battery and clock,
// the tag labels and rating of the playing item, the status line, and nothing without a skin.
#include "library/media_item.h"
#include "skin_state_support.h"

namespace zb::testing {
namespace {

TEST_F(SkinStateTest, WithoutASkinEveryCommandAnswersZeroAndShowsNothing) {
  state->SetSkin(nullptr);
  for (int id = 0; id <= 30; ++id) EXPECT_EQ(Command(id), 0) << id;
  EXPECT_TRUE(host.titles.empty());
}

struct TimeCase {
  int width, length, h, m, s, elapsed;
  const char16_t* view;
  const char16_t* trackLength;
};

TEST_F(SkinStateTest, TimeLabelsShowTheLongFormTheShortFormHundredsAndRemainingTime) {
  const TimeCase cases[] = {
      {60, 245, 0, 1, 5, 1, u" 00:01:05", u" 00:01:05"},
      {60, 540000, 150, 2, 3, 1, u"150:02:03", u"150:02:03"},      // hundreds digit in the lead
      {60, 3700000, 1000, 0, 0, 1, u" 1000:00:00", u" 1000:00:00"},  // 1000 hours: full number
      {30, 4000, 1, 2, 3, 1, u" 62:03", u" 62:03"},                // too narrow: minutes hold the hours
      {30, 40000, 2, 0, 5, 1, u"120:05", u"120:05"},               // 120 minutes: hundreds digit
      {60, 245, 0, 1, 5, 0, u"-00:03:00", u"-00:03:00"},           // remaining time
      {60, 540000, 0, 0, 0, 0, u"-150:00:00", u"-150:00:00"},      // a minus lead keeps the hours
      {60, 0, 0, 1, 5, 0, u" 00:01:05", u""},                      // unknown length: elapsed, never remaining
      {60, -245, 0, 1, 5, 0, u"-00:03:00", u"-00:03:00"},          // not seekable, length known
  };
  for (const TimeCase& c : cases) {
    state->SetSkin(new CSkin(window_));
    skin = state->GetSkin();
    CSkinLabel* view = AddLabel(u"TRACKVIEW", RECT{0, 0, c.width, 10});
    CSkinLabel* length = AddLabel(u"TRACKLENGTH", RECT{0, 20, c.width, 30});
    CSkinSlider* track = AddSlider(u"TRACK", 40);
    host.settings[SKIN_SETTING_SHOWING_ELAPSED] = c.elapsed;
    state->UpdateTrackTimeElements(c.length, c.h, c.m, c.s);
    EXPECT_EQ(Text(view), c.view) << c.length << " " << c.h;
    EXPECT_EQ(Text(length), c.trackLength) << c.length << " " << c.h;
    if (c.length <= 0)
      EXPECT_EQ(track->Value(), kSkinNoValue) << "not seekable: the slider shows nothing";
    else
      EXPECT_NE(track->Value(), kSkinNoValue);
  }
}

TEST_F(SkinStateTest, SplitTimeLabelsFoldAMissingPartIntoTheNext) {
  CSkinLabel* m = AddLabel(u"TRACKVIEWM", RECT{0, 0, 40, 10});
  CSkinLabel* s = AddLabel(u"TRACKVIEWS", RECT{0, 10, 40, 20});
  CSkinLabel* sign = AddLabel(u"TRACKVIEWSIGN", RECT{0, 20, 40, 30});
  host.settings[SKIN_SETTING_SHOWING_ELAPSED] = 1;
  state->UpdateTrackTimeElements(7200, 1, 5, 9);
  EXPECT_EQ(Text(m), u"65");
  EXPECT_EQ(Text(s), u"09");
  EXPECT_EQ(Text(sign), u" ");

  CSkinLabel* h = AddLabel(u"TRACKVIEWH", RECT{0, 30, 40, 40});
  CSkinLabel* hundreds = AddLabel(u"TRACKVIEW100H", RECT{0, 40, 40, 50});
  state->UpdateTrackTimeElements(-1, 150, 5, 9);
  EXPECT_EQ(Text(hundreds), u"1");
  EXPECT_EQ(Text(h), u"50");
  EXPECT_EQ(Text(m), u"05");

  // A TRACKVIEW label takes the whole time and leaves the parts alone.
  CSkinLabel* view = AddLabel(u"TRACKVIEW", RECT{0, 50, 60, 60});
  state->UpdateTrackTimeElements(-1, 2, 0, 1);
  EXPECT_EQ(Text(view), u" 02:00:01");
  EXPECT_EQ(Text(h), u"50");
}

TEST_F(SkinStateTest, TheSeekPreviewShowsTheDraggedPositionAndIgnoresARangeOfZero) {
  CSkinLabel* view = AddLabel(u"TRACKVIEW", RECT{0, 0, 60, 10});
  host.settings[SKIN_SETTING_SHOWING_ELAPSED] = 1;
  state->UpdateTrackTimeElements(3600, 0, 0, 10);
  Command(24, static_cast<INT_PTR>(MAKELONG(50, 100)));
  EXPECT_EQ(Text(view), u" 00:30:00");
  Command(24, static_cast<INT_PTR>(MAKELONG(50, 0)));  // a slider of no range previews nothing
  EXPECT_EQ(Text(view), u" 00:00:10");
  Command(24, static_cast<INT_PTR>(static_cast<DWORD>(-1)));
  EXPECT_EQ(Text(view), u" 00:00:10");
}

TEST_F(SkinStateTest, TheTitleShowsWithThePlaylistNumberAndReachesTheWindowOnce) {
  CSkinLabel* title = AddLabel(u"SONGTITLE", RECT{0, 0, 200, 10});
  CSkinLabel* both = AddLabel(u"PLAYLISTINDEXCOUNT", RECT{0, 10, 200, 20});
  CSkinLabel* index = AddLabel(u"PLAYLISTINDEX", RECT{0, 20, 200, 30});
  CSkinLabel* count = AddLabel(u"PLAYLISTCOUNT", RECT{0, 30, 200, 40});
  host.index = 2, host.count = 5;
  WCHAR text[] = u"3. A - B <04:05>";
  Command(6, text);
  EXPECT_EQ(Text(title), text);
  EXPECT_EQ(Text(both), u"3 of 5");
  EXPECT_EQ(Text(index), u"3");
  EXPECT_EQ(Text(count), u"5");
  Command(6, text);
  EXPECT_EQ(host.titles, std::vector<std::u16string>{text}) << "the same title again is not announced";

  std::u16string longTitle(300, u'x');
  Command(6, longTitle.data());
  EXPECT_EQ(std::u16string(state->GetTitle()), longTitle.substr(0, 259)) << "the title keeps its terminator";

  Command(0);  // a full refresh empties the numbers until the next title
  EXPECT_EQ(Text(both), u"");
  EXPECT_EQ(Text(index), u"");
  EXPECT_EQ(Text(title), longTitle.substr(0, 259));
}

TEST_F(SkinStateTest, StreamFiguresVolumeAndPlayOrderShowInTheirElements) {
  CSkinLabel* bitrate = AddLabel(u"BITRATE", RECT{0, 0, 40, 10});
  CSkinLabel* khz = AddLabel(u"KHZ", RECT{0, 10, 40, 20});
  CSkinOnOffButton* mono = AddOnOff(u"MONO", 0);
  CSkinOnOffButton* stereo = AddOnOff(u"STEREO", 20);
  CSkinOnOffButton* shuffle = AddOnOff(u"SHUFFLE", 40);
  CSkinLabel* percent = AddLabel(u"VOLUMEPERCENT", RECT{0, 20, 40, 30});
  CSkinSlider* volume = AddSlider(u"VOLUME", 100, 2);
  Command(4, static_cast<INT_PTR>(-96));
  Command(3, static_cast<INT_PTR>(48));
  Command(2, static_cast<INT_PTR>(1));
  EXPECT_EQ(Text(bitrate), u" 96");
  EXPECT_EQ(Text(khz), u"48");
  EXPECT_TRUE(mono->IsOn());
  EXPECT_FALSE(stereo->IsOn());
  Command(2, static_cast<INT_PTR>(kSkinKeepValue));
  EXPECT_EQ(state->GetChannelMode(), 1);
  Command(2, static_cast<INT_PTR>(2));
  EXPECT_TRUE(stereo->IsOn());
  EXPECT_FALSE(mono->IsOn());

  host.shuffle = TRUE;
  state->UpdateRepeatShuffleElements();
  EXPECT_TRUE(shuffle->IsOn());
  for (auto [v, text, position] : {std::tuple{255, u"100%", 0}, std::tuple{128, u"50%", 49}, std::tuple{0, u"0%", 100}}) {
    host.volume = v;
    state->UpdateVolumeElements();
    EXPECT_EQ(Text(percent), std::u16string(text));
    EXPECT_EQ(volume->Value(), position) << "a vertical slider counts from the other end";
  }
}

TEST_F(SkinStateTest, BatteryFramesFollowThePowerStatusAndTheClockShowsOncePerMinute) {
  CSkinCountButton* battery = AddCounter(u"BATTERY", CSkinCountButton::kMaxStates, 0);
  CSkinLabel* clock = AddLabel(u"CURRENTTIME", RECT{0, 0, 100, 10});
  const struct {
    BOOL ok;
    BYTE line, flag, percent;
    int frame;
  } cases[] = {
      {FALSE, 0, 1, 50, 0}, {TRUE, 0, 255, 50, 0}, {TRUE, 1, 8, 50, 1}, {TRUE, 1, 1, 50, 0}, {TRUE, 0, 4, 5, 2},
      {TRUE, 0, 1, 255, 3}, {TRUE, 0, 1, 0, 4},    {TRUE, 0, 2, 37, 7},   {TRUE, 0, 1, 69, 10},
      {TRUE, 0, 1, 100, 9},  // frame 14: a button of eleven frames keeps the one it shows
  };
  DWORD tick = 1000000;
  for (const auto& c : cases) {
    host.powerOk = c.ok, host.acLine = c.line, host.batteryFlag = c.flag, host.batteryPercent = c.percent;
    battery->SetIndex(9);
    tick += 60001;
    Command(27, static_cast<INT_PTR>(tick));
    EXPECT_EQ(battery->GetIndex(), c.frame) << int(c.line) << " " << int(c.flag) << " " << int(c.percent);
  }
  EXPECT_EQ(Text(clock), u"9:41 AM");
  host.clock = u"9:42 AM";
  Command(27, static_cast<INT_PTR>(tick + 30000));
  EXPECT_EQ(Text(clock), u"9:41 AM") << "within the minute nothing is asked";
  Command(27, static_cast<INT_PTR>(tick + 30000 + 60001));
  EXPECT_EQ(Text(clock), u"9:42 AM");
}

TEST_F(SkinStateTest, TagLabelsAndTheRatingFollowThePlayingItem) {
  CSkinLabel* artist = AddLabel(u"TAG_5", RECT{0, 0, 200, 10});
  CSkinLabel* either = AddLabel(u"TAG_26_6", RECT{0, 10, 200, 20});
  CSkinLabel* formatted = AddLabel(u"TAG__%5 - %7", RECT{0, 20, 200, 30});
  CSkinLabel* missing = AddLabel(u"TAG_11", RECT{0, 30, 200, 40});
  CSkinLabel* other = AddLabel(u"TAG_ARTIST", RECT{0, 40, 200, 50});
  CSkinCountButton* rating = AddCounter(u"RATING", 6, 0);
  CMediaItem* item = CreateMediaItem();
  ASSERT_NE(item, nullptr);
  item->SetString(TAG_ARTIST, u"Ann");
  item->SetString(TAG_ALBUM, u"Blue");
  item->SetString(TAG_SONG_TITLE, u"Sea");
  missing->SetText(u"old", FALSE);
  other->SetText(u"kept", FALSE);
  const struct {
    LONG rating;
    int frame;
  } ratings[] = {{0, 0}, {1, 1}, {24, 1}, {25, 2}, {75, 4}, {98, 4}, {99, 5}};
  for (const auto& r : ratings) {
    item->SetInt(TAG_RATING, r.rating);
    Command(21, static_cast<IMediaItem*>(item));
    EXPECT_EQ(rating->GetIndex(), r.frame) << r.rating;
  }
  EXPECT_EQ(Text(artist), u"Ann");
  EXPECT_EQ(Text(either), u"Blue") << "the first tag the item has";
  EXPECT_EQ(Text(formatted), u"Ann - Sea");
  EXPECT_EQ(Text(missing), u"");
  EXPECT_EQ(Text(other), u"kept") << "not a tag label";
  item->Release();

  // Hiding the text elements hides the tag labels too.
  state->ShowTextElements(FALSE);
  EXPECT_FALSE(artist->IsVisible());
  EXPECT_TRUE(other->IsVisible());
  state->ShowTextElements(TRUE);
  EXPECT_TRUE(artist->IsVisible());
}

TEST_F(SkinStateTest, TheStatusLineTakesTheGroupsPlaceAndGivesItBack) {
  auto* group = new CSkinGroup(skin);
  group->SetGroupId(7);
  skin->AddElement(group, -1);
  CSkinLabel* first = AddLabel(u"SONGTITLE", RECT{0, 0, 100, 10});
  CSkinLabel* status = AddLabel(u"STATUS", RECT{0, 0, 100, 10});
  CSkinLabel* second = AddLabel(u"KHZ", RECT{0, 0, 100, 10});
  ASSERT_EQ(status->GetGroup(), 7);
  WCHAR text[] = u"Buffering 40%";
  Command(29, text);
  EXPECT_TRUE(status->IsVisible());
  EXPECT_FALSE(first->IsVisible());
  EXPECT_FALSE(second->IsVisible());
  EXPECT_EQ(Text(status), text);
  Command(29);
  EXPECT_FALSE(status->IsVisible());
  EXPECT_TRUE(first->IsVisible());
  EXPECT_FALSE(second->IsVisible());
}

TEST_F(SkinStateTest, ANewSkinKeepsTheImagesItWasLoadedInto) {
  UICache::Get()->AddBitmap(CreateBitmap(4, 4, 1, 16, nullptr), 300, nullptr);
  state->SetSkin(new CSkin(window_));
  EXPECT_NE(UICache::Get()->GetBitmap(300), nullptr) << "the new skin's images stay";
  state->SetSkin(nullptr);
  EXPECT_EQ(UICache::Get()->GetBitmap(300), nullptr) << "a detach lets them go";
}

}  // namespace
}  // namespace zb::testing

namespace zb::testing {
namespace {

TEST_F(SkinStateTest, TheSmallVisualisationElementIsDrawnIntoTheCallersDc) {
  HDC screen = GetDC(nullptr);
  HBITMAP target = CreateCompatibleBitmap(screen, 240, 320);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, target);
  RECT all{0, 0, 240, 320};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(Command(18, dc), 0) << "no VISSMALL element";
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 255, 255));

  CSkinLabel* vis = AddLabel(u"VISSMALL", RECT{0, 0, 40, 6});
  vis->SendMessage(window_, SKM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"88"));
  EXPECT_EQ(Command(18, nullptr), 0) << "no device context";
  EXPECT_EQ(Command(18, dc), 1);
  SelectObject(dc, old);
  int drawn = 0;
  for (int x = 0; x < 40; ++x) drawn += PixelOf(target, x, 3) != RGB(255, 255, 255);
  EXPECT_GT(drawn, 0);
  EXPECT_EQ(PixelOf(target, 100, 100), RGB(255, 255, 255)) << "nothing outside the element";
  DeleteDC(dc);
  DeleteObject(target);
  ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace zb::testing
