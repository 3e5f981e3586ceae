// The core and its main window on the test clock: deferred timers sent as WM_TIMER to real
// windows at a lowered priority, the main-window timer that wakes the loop, the bound decoder's
// say over both, and button commands posted once the window is set up.
#include <gtest/gtest.h>

#include "core/window/button_command_callback.h"
#include "core/interface/player_events.h"
#include "plugin_device.h"
#include "testing/test_clock.h"

namespace zb::testing {
namespace {

// The bound decoder's answer to the scheduling question, and the codes it was asked.
DWORD g_schedulingFlags = 0;
std::vector<UINT> g_decoderCodes;

int SchedulingCommand(UINT code, void*, UINT, void* out, UINT outSize) {
  g_decoderCodes.push_back(code);
  if (code != DEC_CMD_SCHEDULING || !out || outSize != sizeof(DWORD)) return -1;
  *static_cast<DWORD*>(out) = g_schedulingFlags;
  return 0;
}

class CoreWindows : public CoreTest {
 protected:
  static constexpr uint64_t kStart = 2000000;
  void SetUp() override {
    TakeOverClock(kStart);
    g_schedulingFlags = 0;
    g_decoderCodes.clear();
    MakeCore();
    PumpStandIns();
  }
  void TearDown() override {
    CoreTest::TearDown();
    ReleaseClock();
  }
  // One run of the table: the WM_TIMER messages it sent, and the wait it gave.
  std::pair<std::vector<WindowMessage>, DWORD> Run() {
    DWORD wait = kUntouched;
    core_->RunScheduledCall(&wait);
    return {std::exchange(ReceivedMessages(), {}), wait};
  }
  WindowMessage Timer(HWND window, UINT id, int priority) { return {window, WM_TIMER, id, 0, priority}; }

  static constexpr DWORD kUntouched = 0xABCDEF;
  StandInWindow scanWindow_;  // a window of the player that registers a deferred timer
  StandInWindow listWindow_;
};

TEST_F(CoreWindows, SchedulingWakesTheLoopThroughTheMainWindowsTimer10) {
  core_->ScheduleCall(scanWindow_.Handle(), 5, 3000);
  const struct {
    uint64_t advance;
    std::vector<WPARAM> mainTimers;
  } steps[] = {{0, {}}, {499, {}}, {1, {CORE_TIMER_WAKE_LOOP}}, {500, {CORE_TIMER_WAKE_LOOP}}};
  for (const auto& s : steps) {
    AdvanceClock(s.advance);
    std::vector<WPARAM> seen;
    for (const WindowMessage& m : PumpStandIns()) {
      EXPECT_EQ(m.window, MainWindow()) << "the deferred timer itself waits for the main loop";
      if (m.message == WM_TIMER) seen.push_back(m.wParam);
    }
    EXPECT_EQ(seen, s.mainTimers) << "after " << s.advance << " ms";
  }
}

TEST_F(CoreWindows, DueEntriesAreSentWmTimerOneStepBelowThePlayersPriority) {
  GetSettings()->threadPriority = 5;  // THREAD_PRIORITY_HIGHEST; one step below is ABOVE_NORMAL
  const int before = GetThreadPriority(GetCurrentThread());
  core_->ScheduleCall(scanWindow_.Handle(), 5, 300);
  core_->ScheduleCall(listWindow_.Handle(), 9, 900);
  using Messages = std::vector<WindowMessage>;
  const struct {
    uint64_t advance;
    Messages sent;
    DWORD wait;
  } steps[] = {
      {0, {}, 299},
      {299, {Timer(scanWindow_.Handle(), 5, THREAD_PRIORITY_ABOVE_NORMAL)}, 300},
      {299, {}, 1},
      // Both due: the list waited 900 ms, the scan 600; one runs, and the other is still due.
      {301, {Timer(listWindow_.Handle(), 9, THREAD_PRIORITY_ABOVE_NORMAL)}, 0},
      {0, {Timer(scanWindow_.Handle(), 5, THREAD_PRIORITY_ABOVE_NORMAL)}, 300},
  };
  for (const auto& s : steps) {
    AdvanceClock(s.advance);
    EXPECT_EQ(Run(), std::make_pair(s.sent, s.wait)) << "after " << s.advance << " ms";
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), before);
  }
  core_->CancelScheduledCall(scanWindow_.Handle(), 5);
  core_->CancelScheduledCall(listWindow_.Handle(), 9);
  EXPECT_EQ(Run(), std::make_pair(Messages{}, kUntouched));  // empty: the caller's wait stands
}

TEST_F(CoreWindows, AnOpenFilesDecoderCanHoldTheTimersOrKeepThePriority) {
  DecModule decoder{};
  decoder.version = 1;
  decoder.Command = SchedulingCommand;
  core_->BindDecoderRecord(&decoder, nullptr, nullptr);
  GetSettings()->threadPriority = 5;
  const int normal = GetThreadPriority(GetCurrentThread());
  core_->ScheduleCall(scanWindow_.Handle(), 5, 100);
  AdvanceClock(100);
  const struct {
    const char* name;
    bool open;
    DWORD flags;
    bool runs;
    int priority;
    DWORD wait;
  } cases[] = {
      {"no file open: the decoder is not asked", false, DEC_SCHEDULING_HOLD_TIMERS, true, THREAD_PRIORITY_ABOVE_NORMAL, 100},
      {"held: nothing runs, a look again in a second", true, DEC_SCHEDULING_HOLD_TIMERS, false, 0, 1000},
      {"priority kept", true, DEC_SCHEDULING_KEEP_PRIORITY, true, normal, 100},
      {"no hurry changes nothing here", true, DEC_SCHEDULING_NO_HURRY, true, THREAD_PRIORITY_ABOVE_NORMAL, 100},
  };
  for (const auto& c : cases) {
    core_->SetFileOpen(c.open);
    g_schedulingFlags = c.flags;
    g_decoderCodes.clear();
    const auto [sent, wait] = Run();
    EXPECT_EQ(g_decoderCodes, c.open ? std::vector<UINT>{DEC_CMD_SCHEDULING} : std::vector<UINT>{}) << c.name;
    EXPECT_EQ(sent, c.runs ? std::vector<WindowMessage>{Timer(scanWindow_.Handle(), 5, c.priority)}
                           : std::vector<WindowMessage>{})
        << c.name;
    EXPECT_EQ(wait, c.wait) << c.name;
    AdvanceClock(100);  // due again for the next case
  }
  core_->SetFileOpen(false);
  core_->BindDecoderRecord(nullptr, nullptr, nullptr);
}

TEST_F(CoreWindows, ButtonCommandsArePostedOnlyToAWindowThatIsSetUp) {
  ButtonCommandCallback(0, MAKELONG(7, 3), nullptr);
  EXPECT_TRUE(PumpStandIns().empty()) << "the window is not set up yet";
  SetWindowLongW(MainWindow(), GWL_USERDATA, MAIN_WINDOW_SHOWN);
  ButtonCommandCallback(0, MAKELONG(7, 3), nullptr);
  ButtonCommandCallback(0, MAKELONG(21, 2), nullptr);
  const int priority = GetThreadPriority(GetCurrentThread());
  EXPECT_EQ(PumpStandIns(), (std::vector<WindowMessage>{{MainWindow(), WM_ZB_CONTROL, 7, 3, priority},
                                                        {MainWindow(), WM_ZB_CONTROL, 21, 2, priority}}));
}

}  // namespace
}  // namespace zb::testing
