// The main window's life on the test clock: closing by hand while it plays, the sleep timer's
// fade and stop, pausing in the background and resuming on return, the suspend message, and the
// end of a stream handed to the player.
#include <gtest/gtest.h>

#include "main_window_fixture.h"
#include "testing/test_clock.h"

namespace zb::testing {
namespace {

class MainWindowLife : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    TakeOverClock(2'000'000);
  }
  void TearDown() override {
    ReleaseClock();
    MainWindowTest::TearDown();
  }
  void Wait(int ms) {
    for (int done = 0; done < ms; done += 250) {
      AdvanceClock(250);
      PumpMainThread();
    }
  }
  std::vector<std::string> TakeWithoutActivation() {
    std::vector<std::string> calls = target.Take();
    std::erase_if(calls, [](const std::string& call) { return call.ends_with(" -666"); });
    return calls;
  }
};

TEST_F(MainWindowLife, ClosingByHandWhilePlayingKeepsRunningWhenAskedTo) {
  GetSettings()->noCloseWhilePlaying = 1;
  target.playing = TRUE;
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(target.Take().empty()) << "playback goes on";
  SendMessageW(window, WM_CLOSE, 1, 0);  // the program's own close
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(target.Take(), std::vector<std::string>{"Stop 1"});
  EXPECT_EQ(PeekPlayerCore(), nullptr) << "the core went with the window";
  MSG quit{};
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainWindowLife, SleepTimerFadesByTenEachSecondStopsAndRestoresTheVolume) {
  GetSettings()->enableSleep = 1;
  GetSettings()->sleepTimeout = 10;
  target.playing = TRUE;
  target.volume = 30;
  Control(15, 0, CONTROL_KEY_DOWN);  // any key restarts the sleep timer
  target.Take();
  Wait(9750);
  EXPECT_TRUE(target.Take().empty());
  Wait(250);
  EXPECT_EQ(target.Take(), std::vector<std::string>{"SetVolume 20"});
  Wait(1000);
  Wait(1000);
  EXPECT_EQ(target.Take(), (std::vector<std::string>{"SetVolume 10", "SetVolume 0"}));
  Wait(1000);
  EXPECT_EQ(target.Take(), std::vector<std::string>{"Stop 0"});
  Wait(4750);
  EXPECT_TRUE(target.Take().empty());
  Wait(250);
  EXPECT_EQ(target.Take(), std::vector<std::string>{"SetVolume 30"}) << "5 s after the stop";
  Wait(20000);
  EXPECT_TRUE(target.Take().empty()) << "nothing plays: the timer ends";
}

TEST_F(MainWindowLife, PausedInTheBackgroundResumesOnReturn) {
  GetSettings()->pauseInBackground = 1;
  target.playing = TRUE;
  SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(TakeWithoutActivation(), std::vector<std::string>{"TogglePause"});
  target.paused = 1;
  SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(TakeWithoutActivation(), std::vector<std::string>{"TogglePause"}) << "resumed";
  SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(TakeWithoutActivation().empty()) << "only once";
}

TEST_F(MainWindowLife, SuspendPausesOnlyLongAfterTheLastPlayCommand) {
  GetSettings()->stopAtSuspend = 1;
  Control(2, 0, CONTROL_KEY_DOWN);  // a play command now
  target.playing = TRUE;
  target.Take();
  SendMessageW(window, WM_ZB_SUSPEND, 0, 0);
  PumpMainThread();
  EXPECT_TRUE(target.Take().empty()) << "the play command was just now";
  Wait(15000);
  SendMessageW(window, WM_ZB_SUSPEND, 0, 0);
  EXPECT_TRUE(target.Take().empty()) << "the work runs from the queue";
  PumpMainThread();
  EXPECT_EQ(target.Take(), std::vector<std::string>{"TogglePause"});
}

TEST_F(MainWindowLife, StreamEndsAndTheirTimersReachThePlayer) {
  PostMessageW(window, WM_ZB_STREAM_END, 0, 0);
  SetTimer(window, MAIN_TIMER_PLAY_FAILED, 100, nullptr);
  Wait(250);
  EXPECT_EQ(target.Take(), (std::vector<std::string>{"StreamEnded 0", "StreamEnded 2"}));
  Wait(1000);
  EXPECT_TRUE(target.Take().empty()) << "timer 4 fires once";
}

}  // namespace
}  // namespace zb::testing
