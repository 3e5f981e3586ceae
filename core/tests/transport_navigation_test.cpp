// Next, previous and the ends of streams over the scripted decoder: which item becomes current
// and whether it plays, the 7.5 s rule of Previous, the hooks that move or skip instead of the
// playlist, and each kind of end (normal, early, failed play, drain check) with shuffle and
// repeat deciding where the list goes.
#include <set>

#include "testing/test_audio.h"
#include "transport_fixture.h"

namespace zb::testing {
namespace {

using Lines = std::vector<std::string>;

class Navigation : public TransportTest {
 protected:
  void SetUp() override {
    TransportTest::SetUp();
    AddItems({u"\\Music\\a.fake", u"\\Music\\b.fake", u"\\Music\\c.fake"});
  }
  // The decoder's thread posts the end of its stream to the main window, which hands it on.
  void EndStream(int kind) {
    PostMessageW(window_.Handle(), WM_ZB_STREAM_END, kind, 0);
    Pump();
  }
  Lines EndEvents() {
    Lines out;
    for (std::string& line : TransportEvents())
      if (line.rfind("event 9", 0) == 0) out.push_back(std::move(line));
    return out;
  }
};

TEST_F(Navigation, NextAndPreviousMakeTheNeighbourCurrentAndKeepPlaying) {
  core_->Play(FALSE);
  EXPECT_EQ(core_->NextItem(TRUE), 1);
  EXPECT_EQ(Current(), u"\\Music\\b.fake");
  EXPECT_TRUE(core_->IsPlaying());
  EXPECT_EQ(Script().playing, u"\\Music\\b.fake");
  core_->PreviousItem();
  EXPECT_EQ(Current(), u"\\Music\\a.fake");
  EXPECT_EQ(Script().playing, u"\\Music\\a.fake");
  core_->PreviousItem();  // at the first item without repeat: nothing moves
  EXPECT_EQ(Current(), u"\\Music\\a.fake");
  EXPECT_TRUE(core_->IsPlaying());
}

TEST_F(Navigation, WhileStoppedNextAndPreviousOnlyShowTheItem) {
  core_->SelectItem(1);
  EXPECT_EQ(Current(), u"\\Music\\b.fake");
  Script().TakeCalls();
  EXPECT_EQ(core_->NextItem(TRUE), 1);
  EXPECT_EQ(Current(), u"\\Music\\c.fake");
  core_->PreviousItem();
  EXPECT_EQ(Current(), u"\\Music\\b.fake");
  EXPECT_FALSE(core_->IsPlaying());
  const Lines calls = Script().TakeCalls();
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("Play", 0) == 0; }), 0);
  EXPECT_EQ(core_->SelectItem(7), 0);  // beyond the list: the last item is current, not 7
}

TEST_F(Navigation, APausedPlayerMovesPausedOrCuesWhenTheSkinHasNoStop) {
  core_->Play(FALSE);
  core_->TogglePause();
  Script().TakeCalls();
  // No skin here, so no STOP element: a user Next cues the item without playing it.
  EXPECT_EQ(core_->NextItem(TRUE), 1);
  EXPECT_EQ(Current(), u"\\Music\\b.fake");
  EXPECT_FALSE(core_->IsPlaying());
  const Lines calls = Script().TakeCalls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "Play \\Music\\b.fake"), 0);
  // An automatic Next of a paused item starts the next one paused.
  core_->Play(FALSE);
  core_->TogglePause();
  EXPECT_EQ(core_->NextItem(FALSE), 1);
  EXPECT_EQ(Script().playing, u"\\Music\\c.fake");
  EXPECT_EQ(core_->IsPaused(), 1);
  EXPECT_EQ(Script().flagsSeen, DWORD(DEC_PLAY_START_PAUSED));
}

TEST_F(Navigation, PreviousPastSevenAndAHalfSecondsRestartsTheItemAndKeepsWhereItWas) {
  core_->SelectItem(1);
  core_->Play(FALSE);
  AdvanceClock(7600);
  Script().TakeCalls();
  core_->PreviousItem();
  EXPECT_EQ(Current(), u"\\Music\\b.fake");
  EXPECT_EQ(Script().TakeCalls(), Lines{"SetOutputTime 0"});
  EXPECT_EQ(Resume(u"\\Music\\b.fake"), 7600);
  EXPECT_EQ(core_->GetRestartPosition(), 7600);
  // Written at once: a list read from the file has it.
  CBookmarkList fromFile(nullptr, u"bookmarks.dat");
  fromFile.ReadBookmarksFile();
  EXPECT_EQ(fromFile.GetPosition(u"\\Music\\b.fake"), 7600);

  // At 7.5 s exactly the previous item comes.
  AdvanceClock(7500);
  core_->PreviousItem();
  EXPECT_EQ(Current(), u"\\Music\\a.fake");
  EXPECT_EQ(Script().playing, u"\\Music\\a.fake");
}

TEST_F(Navigation, PreviousGoesBackWhenTheItemIsTooShortOrCannotSeek) {
  const struct {
    const char* what;
    int length;
    int flags;
  } cases[] = {
      {"an item of 7.5 s", 7500, DEC_FLAG_SEEKABLE},
      {"an item that cannot seek", 60000, 0},
  };
  for (const auto& c : cases) {
    Script().lengths[u"\\Music\\b.fake"] = c.length;
    ScriptedRecord().flags = c.flags;
    core_->SelectItem(1);
    core_->Play(FALSE);
    AdvanceClock(7600);
    core_->PreviousItem();
    EXPECT_EQ(Current(), u"\\Music\\a.fake") << c.what;
    EXPECT_EQ(core_->GetRestartPosition(), -1) << c.what;
    core_->Stop(FALSE);
  }
}

TEST_F(Navigation, HooksMoveInsteadOfThePlaylistOrSkipWhatItChose) {
  core_->Play(FALSE);
  // A hook that takes Next and reports no move: nothing changes.
  ScriptedHooks().takes[PLAYER_EVENT_NEXT] = 0;
  ScriptedHooks().outs[PLAYER_EVENT_NEXT] = 0;
  EXPECT_EQ(core_->NextItem(TRUE), 0);
  EXPECT_EQ(Current(), u"\\Music\\a.fake");
  ScriptedHooks().takes.clear();
  // A hook that skips the playlist's choice once: b is passed over.
  ScriptedHooks().takes[PLAYER_EVENT_SKIP_ITEM] = 0;
  ScriptedHooks().times[PLAYER_EVENT_SKIP_ITEM] = 1;
  TransportEvents();
  EXPECT_EQ(core_->NextItem(TRUE), 1);
  EXPECT_EQ(Current(), u"\\Music\\c.fake");
  const Lines events = TransportEvents();
  EXPECT_EQ(std::count(events.begin(), events.end(), "event 8 in 1"), 2);
  // A hook that skips everything is asked at most once per item and once more.
  ScriptedHooks().times.clear();
  core_->NextItem(TRUE);
  const Lines skipped = TransportEvents();
  EXPECT_EQ(std::count(skipped.begin(), skipped.end(), "event 8 in 1"), 4);
  // A hook that takes Previous.
  ScriptedHooks().takes.clear();
  ScriptedHooks().takes[PLAYER_EVENT_PREVIOUS] = 0;
  ScriptedHooks().outs[PLAYER_EVENT_PREVIOUS] = 0;
  const std::u16string before = Current();
  core_->PreviousItem();
  EXPECT_EQ(Current(), before);
}

TEST_F(Navigation, AHookDecidesWhetherMovingOnForgetsTheResumePosition) {
  for (DWORD forget : {0u, 1u}) {
    core_->SelectItem(0);
    core_->Play(FALSE);
    PlayFor(9000);
    ScriptedHooks().takes[PLAYER_EVENT_FORGET_RESUME] = 0;
    ScriptedHooks().outs[PLAYER_EVENT_FORGET_RESUME] = forget;
    core_->NextItem(TRUE);
    // The stop keeps the refreshed position unless the hook says to forget it.
    EXPECT_EQ(Resume(u"\\Music\\a.fake"), forget ? -1 : 9000) << "forget " << forget;
    EXPECT_EQ(Current(), u"\\Music\\b.fake");
    core_->Stop(FALSE);
  }
}

TEST_F(Navigation, ANormalEndPlaysTheNextItemAndForgetsTheFinishedOnesPosition) {
  core_->Play(FALSE);
  core_->GetBookmarkList()->Set(u"\\Music\\a.fake", 20000);
  PlayFor(9000);
  TransportEvents();
  EndStream(STREAM_ENDED_NORMAL);
  EXPECT_EQ(Current(), u"\\Music\\b.fake");
  EXPECT_TRUE(core_->IsPlaying());
  EXPECT_EQ(Script().playing, u"\\Music\\b.fake");
  EXPECT_EQ(Resume(u"\\Music\\a.fake"), -1);
  EXPECT_EQ(EndEvents(), (Lines{"event 9 in 0", "event 9 in 0 out", "event 9 in 1"}));
  EXPECT_EQ(core_->GetLastPosition(), -1);
}

TEST_F(Navigation, TheEndOfTheListStopsAndShowsTheFirstItemAgain) {
  core_->SelectItem(2);
  core_->Play(FALSE);
  TransportEvents();
  EndStream(STREAM_ENDED_NORMAL);
  EXPECT_FALSE(core_->IsPlaying());
  EXPECT_EQ(core_->GetState() & (CORE_STATE_OPEN | CORE_STATE_STOPPED), DWORD(CORE_STATE_STOPPED));
  EXPECT_EQ(Current(), u"\\Music\\a.fake");
  EXPECT_TRUE(Script().playing.empty());
  EXPECT_EQ(EndEvents(), (Lines{"event 9 in 0", "event 9 in 0 out", "event 9 in 2"}));
}

TEST_F(Navigation, RepeatWrapsToTheFirstItem) {
  core_->SetRepeat(TRUE);
  core_->SelectItem(2);
  core_->Play(FALSE);
  EndStream(STREAM_ENDED_NORMAL);
  EXPECT_EQ(Current(), u"\\Music\\a.fake");
  EXPECT_TRUE(core_->IsPlaying());
}

TEST_F(Navigation, ShufflePlaysEveryItemOnceAndStopsUnlessRepeatIsOn) {
  for (BOOL repeat : {FALSE, TRUE}) {
    core_->Stop(FALSE);
    core_->SetRepeat(repeat);
    core_->SetShuffle(TRUE);
    core_->Play(FALSE);
    std::set<std::u16string> played = {Current()};
    for (int ended = 0; ended < 2; ++ended) {
      EndStream(STREAM_ENDED_NORMAL);
      ASSERT_TRUE(core_->IsPlaying());
      played.insert(Current());
    }
    EXPECT_EQ(played.size(), 3u) << "repeat " << repeat;
    EndStream(STREAM_ENDED_NORMAL);
    EXPECT_EQ(core_->IsPlaying(), repeat) << "repeat " << repeat;
  }
}

TEST_F(Navigation, AnEarlyEndStopsAndKeepsThePositionOfTheLastRefresh) {
  core_->Play(FALSE);
  PlayFor(4000);
  TransportEvents();
  EndStream(STREAM_ENDED_EARLY);
  EXPECT_FALSE(core_->IsPlaying());
  EXPECT_EQ(Current(), u"\\Music\\a.fake");
  EXPECT_EQ(Resume(u"\\Music\\a.fake"), 4000);
  EXPECT_EQ(EndEvents(), (Lines{"event 9 in 0", "event 9 in 0 out", "event 9 in 2"}));
}

TEST_F(Navigation, AHookDecidesWhetherTheEndAdvances) {
  core_->Play(FALSE);
  ScriptedHooks().takes[PLAYER_EVENT_END_OF_STREAM] = 0;
  ScriptedHooks().outs[PLAYER_EVENT_END_OF_STREAM] = 0;
  EndStream(STREAM_ENDED_NORMAL);
  EXPECT_FALSE(core_->IsPlaying());
  EXPECT_EQ(Current(), u"\\Music\\a.fake");
  // And an early end advances when a hook says so.
  core_->Play(FALSE);
  ScriptedHooks().outs[PLAYER_EVENT_END_OF_STREAM] = 1;
  EndStream(STREAM_ENDED_EARLY);
  EXPECT_TRUE(core_->IsPlaying());
  EXPECT_EQ(Current(), u"\\Music\\b.fake");
}

TEST_F(Navigation, WithManualAdvanceAndCueTheNextItemIsCuedNotPlayed) {
  GetSettings()->manualPlaylistAdvance = 1;
  GetSettings()->manualPlaylistCue = 1;
  core_->Play(FALSE);
  EndStream(STREAM_ENDED_NORMAL);
  EXPECT_EQ(Current(), u"\\Music\\b.fake");
  EXPECT_FALSE(core_->IsPlaying());
  EXPECT_TRUE(Script().playing.empty());
}

TEST_F(Navigation, TheDrainCheckEndsAsStoppedOnceTheOutputIsQuiet) {
  core_->SelectItem(2);
  core_->Play(FALSE);
  EndStream(STREAM_ENDED_NORMAL);
  TransportEvents();
  // Nothing queued in the output: the check reports the stop and its timer goes.
  EndStream(STREAM_ENDED_DRAIN_CHECK);
  EXPECT_EQ(EndEvents(), Lines{"event 9 in 2"});
  RunTimers();
  EXPECT_TRUE(EndEvents().empty());
}

TEST_F(Navigation, TheLastItemEndsWhileTheOutputDrainsAndTheDrainCheckStopsItLater) {
  TestAudio audio;  // the sound device consumes at the pace of the device clock
  CSettings* settings = GetSettings();
  settings->gaplessPlayback = 1;  // the closed stream leaves its audio playing out
  settings->gaplessTransitions = 1;
  Script().writeMs = 500;
  core_->SelectItem(2);
  core_->Play(FALSE);
  TransportEvents();
  EndStream(STREAM_ENDED_NORMAL);
  EXPECT_FALSE(core_->IsPlaying());
  EXPECT_EQ(EndEvents(), (Lines{"event 9 in 0", "event 9 in 0 out", "event 9 in 3"}));
  RunTimers(60);  // timer 17 looks: still playing out
  EXPECT_EQ(Timers(), std::vector<UINT_PTR>{MAIN_TIMER_DRAIN});
  EXPECT_TRUE(EndEvents().empty());
  // Timer 17 looks every 50 ms until the device has played it all; then the stop is reported
  // once and the timer goes. The device plays on its own thread, so the rounds are bounded
  // rather than exact.
  Lines seen;
  size_t looks = 0;
  for (int round = 0; round < 500 && seen.empty(); ++round) {
    RunTimers(60);
    looks += Timers().size();
    seen = EndEvents();
  }
  EXPECT_EQ(seen, Lines{"event 9 in 2"});
  EXPECT_GE(looks, 1u);
  RunTimers(100);
  EXPECT_TRUE(EndEvents().empty());
  EXPECT_TRUE(Timers().empty());
  // What was written reached the device whole before the stop was reported.
  EXPECT_GE(audio.Played().size(), size_t(44100 / 2) * 4);
}

}  // namespace
}  // namespace zb::testing
