// The dispatcher's key tables on the real main window and the device's test clock: a quick
// press of next goes on at its release, a held one seeks every 500 ms, each step 5 % longer;
// the play order cycles; held volume keys repeat; a hook may take a command over.
#include <gtest/gtest.h>

#include "core/window/repeat_timers.h"
#include "main_window_fixture.h"
#include "testing/test_clock.h"

namespace zb::testing {
namespace {

class Dispatcher : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    GetSettings()->jumpSpeed = 5;
    GetSettings()->jumpSpeedBack = 3;
    GetSettings()->uiSpeed = 5;  // periods as given
    target.Take();
    TakeOverClock(1'000'000);
  }
  void TearDown() override {
    ReleaseClock();
    MainWindowTest::TearDown();
  }
  // Moves the test clock on in steps of 50 ms, running due timers after each.
  void Wait(int ms) {
    for (int done = 0; done < ms; done += 50) {
      AdvanceClock(50);
      PumpMainThread();
    }
  }
};

TEST_F(Dispatcher, QuickNextPressWhilePlayingGoesOnAtRelease) {
  target.playing = TRUE;
  Control(5, 0, CONTROL_KEY_DOWN);
  EXPECT_TRUE(target.Take().empty()) << "a press while playing waits for its release";
  Wait(300);
  Control(5, 0, CONTROL_KEY_UP);
  EXPECT_EQ(target.Take(), std::vector<std::string>{"Next"});
  Wait(2000);
  EXPECT_TRUE(target.Take().empty()) << "the release stopped the repeat timer";
}

TEST_F(Dispatcher, HeldNextSeeksByJumpSpeedEvery500MsFasterEachStepAndDoesNotSkip) {
  target.playing = TRUE;
  Control(5, 0, CONTROL_KEY_DOWN);
  Wait(900);
  EXPECT_TRUE(target.Take().empty());
  Wait(100);  // 1000 ms: the first seek
  EXPECT_EQ(target.Take(), std::vector<std::string>{"SeekRelative 5000"});
  Wait(500);
  EXPECT_EQ(target.Take(), std::vector<std::string>{"SeekRelative 5250"});
  Wait(500);
  EXPECT_EQ(target.Take(), std::vector<std::string>{"SeekRelative 5510"});
  Wait(400);
  EXPECT_TRUE(target.Take().empty());
  Control(5, 0, CONTROL_KEY_UP);
  EXPECT_TRUE(target.Take().empty()) << "a held press does not skip on release";
  EXPECT_EQ(GetWindowLongW(window, 4), 5000 + 5250 + 5510);
}

TEST_F(Dispatcher, HeldBackSeeksBackwardByJumpSpeedBack) {
  target.playing = TRUE;
  target.position = 60000;
  Control(6, 0, CONTROL_KEY_DOWN);
  Wait(1500);
  Control(6, 0, CONTROL_KEY_UP);
  EXPECT_EQ(target.Take(), (std::vector<std::string>{"SeekRelative -3000", "SeekRelative -3150"}));
}

TEST_F(Dispatcher, NextWhileNothingPlaysMovesAtOnceAndHeldKeepsMoving) {
  Control(5, 0, CONTROL_KEY_DOWN);
  EXPECT_EQ(target.Take(), std::vector<std::string>{"Next"});
  Wait(1000);
  EXPECT_EQ(target.Take(), std::vector<std::string>{"Next"});
  Wait(500);
  EXPECT_EQ(target.Take(), std::vector<std::string>{"Next"});
  Control(5, 0, CONTROL_KEY_UP);
  EXPECT_TRUE(target.Take().empty());
}

TEST_F(Dispatcher, PlayOrderCyclesThroughRepeatShuffleBothAndOff) {
  struct Order {
    BOOL repeat, shuffle;
  };
  const Order expected[] = {{TRUE, FALSE}, {FALSE, TRUE}, {TRUE, TRUE}, {FALSE, FALSE}, {TRUE, FALSE}};
  for (const Order& order : expected) {
    Control(21, 0, CONTROL_KEY_DOWN);
    Control(21, 0, CONTROL_KEY_UP);
    EXPECT_EQ(target.repeat, order.repeat);
    EXPECT_EQ(target.shuffle, order.shuffle);
  }
}

TEST_F(Dispatcher, KeyDownTableDrivesTheTransport) {
  struct Case {
    int command;
    BOOL playing;
    int seekable;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {1, FALSE, 1, {"Play"}},
      {1, TRUE, 1, {"TogglePause"}},
      {1, TRUE, 0, {"Stop 1"}},
      {2, TRUE, 1, {"Play"}},
      {3, TRUE, 1, {"TogglePause"}},
      {3, FALSE, 1, {}},
      {4, TRUE, 1, {"Stop 1"}},
      {7, TRUE, 1, {"SetMute 1"}},
      {11, TRUE, 1, {"SetVisMode 0"}},
      {16, TRUE, 1, {"ResumeFromBookmark"}},
      {16, FALSE, 1, {}},
      {19, TRUE, 1, {"Next"}},
      {20, TRUE, 1, {"Previous"}},
      {27, TRUE, 1, {"SetEq -11 -14"}},
      {28, TRUE, 1, {"SetEq -2 0"}},
  };
  for (const Case& c : cases) {
    target.playing = c.playing;
    target.seekable = c.seekable;
    target.muted = FALSE;
    EXPECT_EQ(Control(c.command, 0, CONTROL_KEY_DOWN), 0);
    Control(c.command, 0, CONTROL_KEY_UP);
    EXPECT_EQ(target.Take(), c.calls) << "command " << c.command;
  }
}

TEST_F(Dispatcher, HeldVolumeKeyRepeatsAtTheVolumePeriod) {
  target.volume = 100;
  Control(8, 0, CONTROL_KEY_DOWN);
  EXPECT_EQ(target.volume, 112);
  Wait(300);  // two more steps at 150 ms
  Control(8, 0, CONTROL_KEY_UP);
  EXPECT_EQ(target.volume, 136);
  Wait(500);
  EXPECT_EQ(target.volume, 136);
  target.volume = 5;
  Control(9, 0, CONTROL_KEY_DOWN);
  Control(9, 0, CONTROL_KEY_UP);
  EXPECT_EQ(target.volume, 0) << "the volume stops at 0";
}

TEST_F(Dispatcher, LongPressOf32IsAPlaylistCommandAndAShortOneAPlayPause) {
  Control(32, 0, CONTROL_KEY_DOWN);
  Control(32, 0, CONTROL_KEY_UP);
  EXPECT_EQ(target.Take(), std::vector<std::string>{"Play"});
  Control(32, 0, CONTROL_KEY_DOWN);
  Wait(1000);
  Control(32, 0, CONTROL_KEY_UP);
  EXPECT_TRUE(target.Take().empty()) << "held: the playlist view's command, no play";
}

TEST_F(Dispatcher, RepeatTimersStartOnceUnlessForced) {
  const UINT_PTR id = RepeatTimerId(9);
  EXPECT_EQ(id, static_cast<UINT_PTR>((9 << 16) | 0x100));
  EXPECT_EQ(RepeatTimerCommand(id), 9);
  EXPECT_EQ(RepeatTimerCommand(9), 0);
  EXPECT_NE(StartRepeatTimer(window, id, 500, FALSE), static_cast<UINT_PTR>(-1));
  EXPECT_TRUE(IsRepeatTimerActive(window, id));
  EXPECT_EQ(StartRepeatTimer(window, id, 500, FALSE), static_cast<UINT_PTR>(-1));
  EXPECT_NE(StartRepeatTimer(window, id, 500, TRUE), static_cast<UINT_PTR>(-1));
  StopRepeatTimer(window, id);
  EXPECT_FALSE(IsRepeatTimerActive(window, id));
  EXPECT_FALSE(IsRepeatTimerActive(window, RepeatTimerId(30)));
}

TEST_F(Dispatcher, SeekAccelerationGrowsByTheGivenPerTenThousand) {
  ResetSeekAcceleration();
  EXPECT_EQ(ScaleBySeekAcceleration(1000), 1000);
  AccelerateSeek(500);
  EXPECT_EQ(ScaleBySeekAcceleration(1000), 1050);
  AccelerateSeek(500);
  EXPECT_EQ(ScaleBySeekAcceleration(1000), 1102);
  ResetSeekAcceleration();
  EXPECT_EQ(ScaleBySeekAcceleration(2000), 2000);
}

}  // namespace
}  // namespace zb::testing
