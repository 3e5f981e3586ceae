// Element notifications run the command of the element's name: a table of taps, drags, toggles
// and label taps against a recording host; sliders of no range do nothing; the main menu is
// built for the skin and the player's state, and the chosen ids run (chosen by the test).
#include "gwes/menu_popup.h"
#include "skin/element_commands.h"
#include "skin_state_support.h"

namespace zb::testing {
namespace {

class ElementCommands : public SkinStateTest {
 protected:
  std::vector<std::string> Dispatch(CSkinElement* e, UINT message, WPARAM wParam = 0) {
    host.Take();
    DispatchElementCommand(state.get(), message, wParam, e);
    return host.Take();
  }
  using Calls = std::vector<std::string>;
};

TEST_F(ElementCommands, EachNotificationRunsTheCommandOfItsElementsName) {
  const struct {
    LPCWSTR name;
    UINT message;
    WPARAM wParam;
    BOOL playing;
    Calls calls;
  } cases[] = {
      {u"PLAY", SKN_CLICKED, 0, FALSE, {"Play"}},
      {u"play", SKN_CLICKED, 0, FALSE, {"Play"}},  // names match without case
      {u"STOP", SKN_CLICKED, 0, TRUE, {"Stop"}},
      {u"BACK", SKN_CLICKED, 0, TRUE, {"Previous"}},
      {u"NEXT", SKN_CLICKED, 0, TRUE, {"Next"}},
      {u"SEEKBACK60", SKN_CLICKED, 0, TRUE, {"Seek -60000"}},
      {u"SEEKFWD900", SKN_CLICKED, 0, TRUE, {"Seek 900000"}},
      {u"SEEKFWD_2500", SKN_CLICKED, 0, TRUE, {"Seek 2500"}},
      {u"SEEKBACK_0", SKN_CLICKED, 0, TRUE, {}},
      {u"SEEKBACK_x", SKN_CLICKED, 0, TRUE, {}},
      {u"VOLUMEUP", SKN_CLICKED, 0, TRUE, {"Window 8"}},
      {u"VOLUMEMIN", SKN_CLICKED, 0, TRUE, {"ChangeVolume -255"}},
      {u"SCROLLSELECT", SKN_CLICKED, 0, TRUE, {"Window 26"}},
      {u"EQNEXT", SKN_CLICKED, 0, TRUE, {"Eq -11 -14"}},
      {u"VISTOGGLE", SKN_CLICKED, 0, TRUE, {"Vis 1"}},
      {u"PLAYLIST", SKN_CLICKED, 0, TRUE, {"PlaylistDialog"}},
      {u"PLAYLISTSCROLLDOWN", SKN_CLICKED, 0, TRUE, {"Scroll 0 1 0"}},
      {u"MYACTION", SKN_CLICKED, 0, TRUE, {"Named MYACTION 1225"}},
      {u"VOLUME", SKN_DRAGGING, MAKELONG(50, 100), TRUE, {"Volume 127"}},
      {u"VOLUME", SKN_RELEASED, MAKELONG(25, 100), TRUE, {"Volume 191"}},  // not horizontal: from the far end
      {u"TRACK", SKN_RELEASED, MAKELONG(25, 100), TRUE, {"SeekTo 25/100"}},
      {u"PREAMP", SKN_DRAGGING, MAKELONG(32, 64), TRUE, {}},
      {u"PREAMP", SKN_RELEASED, MAKELONG(32, 64), TRUE, {"Eq -1 31"}},
      {u"EQUALIZER5", SKN_RELEASED, MAKELONG(32, 64), TRUE, {"Eq 5 31"}},
      {u"SCROLLUPDOWN", SKN_DRAGGING, MAKELONG(0xFFFF, 10), TRUE, {"Window 22"}},
      {u"SCROLLUPDOWN", SKN_RELEASED, 0, TRUE, {"Window 26"}},
      {u"PLAYLISTSCROLLBAR", SKN_RELEASED, MAKELONG(3, 9), TRUE, {"Scroll 1 3 9"}},
      {u"MYSLIDER", SKN_RELEASED, MAKELONG(3, 9), TRUE, {}},  // sliders never fall back
      {u"SHUFFLE", SKN_TOGGLED, 1, TRUE, {"Shuffle 1"}},
      {u"MUTE", SKN_TOGGLED, 0, TRUE, {"Mute 0"}},
      {u"PLAYPAUSE", SKN_TOGGLED, 0, TRUE, {"TogglePause"}},
      {u"PLAYPAUSE", SKN_TOGGLED, 1, FALSE, {"Play"}},
      {u"DSPTOGGLE", SKN_TOGGLED, 1, TRUE, {"Setting 5 1"}},
      {u"MYTOGGLE", SKN_TOGGLED, 1, TRUE, {"Named MYTOGGLE 1228"}},
      {u"SONGTITLE", SKN_LABELTAPPED, 0, TRUE, {}},
      {u"TRACKVIEWS", SKN_LABELTAPPED, 0, TRUE, {"Setting 0 1"}},
      {u"EQNAME", SKN_LABELTAPPED, 0, TRUE, {"Eq -11 -8"}},
      {u"MYLABEL", SKN_LABELTAPPED, 0, TRUE, {"Named MYLABEL 1235"}},
      {u"PLAY", 1236, 0, TRUE, {}},  // not an element notification
  };
  for (const auto& c : cases) {
    CSkinButton* e = AddButton(c.name, 0);
    host.playing = c.playing;
    host.settings[SKIN_SETTING_SHOWING_ELAPSED] = 0;
    EXPECT_EQ(Dispatch(e, c.message, c.wParam), c.calls) << ToUtf8(c.name) << " " << c.message;
  }
}

TEST_F(ElementCommands, SlidersOfNoRangeDoNothing) {
  for (LPCWSTR name : {u"VOLUME", u"TRACK", u"PREAMP", u"EQUALIZER0", u"PLAYLISTSCROLLBAR"}) {
    CSkinButton* e = AddButton(name, 0);
    Calls calls = Dispatch(e, SKN_RELEASED, MAKELONG(7, 0));
    calls.erase(std::remove_if(calls.begin(), calls.end(), [](const std::string& s) { return s.rfind("Setting", 0) == 0; }),
                calls.end());
    EXPECT_EQ(calls, Calls{}) << ToUtf8(name);
  }
}

TEST_F(ElementCommands, CountButtonsPlayPauseStopAndStepTheRating) {
  CSkinCountButton* pps = AddCounter(u"PLAYPAUSESTOP", 3, 0);
  host.playing = TRUE, host.seekable = 0;
  EXPECT_EQ(Dispatch(pps, SKN_CLICKED), Calls{"Stop"});
  host.seekable = 1;
  EXPECT_EQ(Dispatch(pps, SKN_CLICKED), Calls{"TogglePause"});
  EXPECT_EQ(Dispatch(AddButton(u"PLAYPAUSESTOP", 20), SKN_CLICKED), Calls{}) << "only a count button";

  CSkinCountButton* rating = AddCounter(u"RATING", 6, 40);
  rating->SetIndex(4);
  EXPECT_EQ(Dispatch(rating, SKN_CLICKED), Calls{"Rate 99"});
  EXPECT_EQ(Dispatch(rating, SKN_CLICKED), Calls{"Rate 0"});
  EXPECT_EQ(rating->GetIndex(), 0);
  host.playing = FALSE;
  EXPECT_EQ(Dispatch(rating, SKN_CLICKED), Calls{}) << "nothing plays";
}

TEST_F(ElementCommands, TheOpenElementReplacesThePlaylistWithTheChosenPath) {
  CSkinButton* open = AddButton(u"OPEN", 0);
  EXPECT_EQ(Dispatch(open, SKN_CLICKED), Calls{"OpenDialog 0"}) << "cancelled";
  host.openAnswer = u"\\Music\\a.mp3";
  EXPECT_EQ(Dispatch(open, SKN_CLICKED), (Calls{"OpenDialog 0", "Enqueue \\Music\\a.mp3 0"}));
  // User-interface command 23 runs the same row by name on a button of its own.
  SkinNamedCommand record{u"NEXT", 0, SKN_CLICKED, 0};
  host.Take();
  Command(23, &record);
  EXPECT_EQ(host.Take(), Calls{"Next"});
}

std::vector<std::u16string> Texts(const zb::wm::ShownPopupMenu& menu) { return menu.texts; }

TEST_F(ElementCommands, TheMainMenuIsBuiltForTheSkinAndThePlayersState) {
  CSkinButton* menu = AddButton(u"MENU", 0);
  zb::wm::ClearShownPopupMenus();
  zb::wm::ScriptPopupMenu(17);  // "Repeat"
  EXPECT_EQ(Dispatch(menu, SKN_CLICKED), Calls{"Repeat 1"});
  auto shown = zb::wm::ShownPopupMenus();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(Texts(shown[0]), (std::vector<std::u16string>{u"Full Screen", u"Current Track...", u"Play", u"Equalizer",
                                                            u"Open...", u"", u"Playlist", u"Seek/Resume", u"", u"More...",
                                                            u"Exit"}));

  // A skin with STOP, OPEN and EQUALIZER elements and pragma 5 leaves their items out.
  AddButton(u"STOP", 20);
  AddButton(u"OPEN", 40);
  AddOnOff(u"EQUALIZER", 60);
  skin->SetPragma(5, 1);
  zb::wm::ClearShownPopupMenus();
  zb::wm::ScriptPopupMenu(0);
  EXPECT_EQ(Dispatch(menu, SKN_CLICKED), Calls{});
  shown = zb::wm::ShownPopupMenus();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(Texts(shown[0]),
            (std::vector<std::u16string>{u"Current Track...", u"", u"Playlist", u"Seek/Resume", u"", u"More...", u"Exit"}));

  // A plug-in that chooses before the menu shows: the menu is not shown.
  host.preChosen[0] = 99;
  zb::wm::ClearShownPopupMenus();
  EXPECT_EQ(Dispatch(menu, SKN_CLICKED), Calls{"Menu 99"});
  EXPECT_TRUE(zb::wm::ShownPopupMenus().empty());
}

TEST_F(ElementCommands, BookmarkIdsStayClearOfEachOtherHoweverManyBookmarks) {
  CSkinButton* menu = AddButton(u"MENU", 0);
  for (int i = 0; i < 1200; ++i) host.bookmarks.push_back({u"\\Music\\song" + FromUtf8(std::to_string(i)) + u".mp3", 0});
  host.bookmarks[0].second = 3723000;
  // 1001 + 998 and 2001 + 998 are the last ids; 1001 + 999 would be a delete id and is not in the menu.
  for (auto [chosen, calls] : {std::pair{1001, Calls{"Menu 1001"}}, std::pair{1999, Calls{"Menu 1999"}},
                               std::pair{2999, Calls{"Menu 2999"}}, std::pair{2000, Calls{}}}) {
    zb::wm::ScriptPopupMenu(static_cast<UINT>(chosen));
    EXPECT_EQ(Dispatch(menu, SKN_CLICKED), calls) << chosen;
  }
}

TEST_F(ElementCommands, ASeekStepShowsTheSeekItemsAgainUntilDone) {
  CSkinButton* menu = AddButton(u"MENU", 0);
  host.playing = TRUE;
  zb::wm::ClearShownPopupMenus();
  for (UINT id : {10004u, 10008u, 10010u}) zb::wm::ScriptPopupMenu(id);
  EXPECT_EQ(Dispatch(menu, SKN_CLICKED), (Calls{"Seek -10000", "Seek 60000"}));
  const auto shown = zb::wm::ShownPopupMenus();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2].texts.back(), u"Done");
}

TEST_F(ElementCommands, TheResumeMenuShowsTheMarker) {
  CSkinButton* seek = AddButton(u"SEEKMENU", 0);
  host.resume = 3723000;
  host.settings[SKIN_SETTING_AUTO_RESUME] = 2;
  zb::wm::ClearShownPopupMenus();
  zb::wm::ScriptPopupMenu(10020);
  EXPECT_EQ(Dispatch(seek, SKN_CLICKED), Calls{"Setting 7 1"});
  const auto shown = zb::wm::ShownPopupMenus();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(Texts(shown[0]), (std::vector<std::u16string>{u"Auto Resume One Track", u"Auto Resume All Tracks",
                                                            u"Seek to Marker (1:02:03)", u"Reset Resume Marker"}));
  EXPECT_EQ(shown[0].states[1] & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
}

TEST_F(ElementCommands, ACustomMenuWithoutItemsShowsNothing) {
  zb::wm::ClearShownPopupMenus();
  EXPECT_EQ(Dispatch(AddButton(u"CUSTOMMENU_3", 0), SKN_CLICKED), Calls{});
  EXPECT_TRUE(zb::wm::ShownPopupMenus().empty());
}

}  // namespace
}  // namespace zb::testing
