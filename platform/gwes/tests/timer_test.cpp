// Timers on the device clock, driven here by the test clock: WM_TIMER comes at the period,
// only when nothing else waits, one at a time however late the thread looks (no pile-up), and
// a WM_TIMER whose procedure no timer of the thread named is not called.
#include <atomic>
#include <thread>

#include "testing/test_clock.h"
#include "window_support.h"

namespace {

using namespace wtest;

class ClockHeld {
 public:
  explicit ClockHeld(uint64_t start) { zb::testing::TakeOverClock(start); }
  ~ClockHeld() { zb::testing::ReleaseClock(); }
};

std::vector<WPARAM> TimerIds() {
  std::vector<WPARAM> ids;
  for (const Entry& e : TheTrace().Take()) {
    if (e.message == WM_TIMER) ids.push_back(e.wParam);
  }
  return ids;
}

class TimerTest : public WindowTest {};

struct Step {
  uint64_t advance;
  std::vector<WPARAM> fired;  // WM_TIMER ids a pump then sees, in order
};

TEST_F(TimerTest, TimersFireAtTheirPeriodAndCoalesceWhenLate) {
  ClockHeld clock(1000);
  HWND a = Make(0);
  const UINT_PTR bigId = static_cast<UINT_PTR>(0x123456789ABCull);  // ids of any size
  ASSERT_EQ(SetTimer(a, 7, 100, nullptr), 7u);
  ASSERT_EQ(SetTimer(a, bigId, 30, nullptr), bigId);
  const Step steps[] = {
      {0, {}},                // nothing is due at once
      {29, {}},               //
      {1, {bigId}},           // 30: the short one
      {30, {bigId}},          // 60
      {39, {bigId}},          // 99: the short one was due at 90
      {1, {7}},               // 100: the long one, the short one waits for 129
      {250, {bigId, 7}},      // 350: both long overdue, once each, earliest due first
      {29, {}},               // the next periods count from when they were taken
      {1, {bigId}},           //
      {70, {bigId, 7}},       //
  };
  Pump();
  TheTrace().Take();
  for (size_t i = 0; i < std::size(steps); ++i) {
    zb::testing::AdvanceClock(steps[i].advance);
    Pump();
    EXPECT_EQ(TimerIds(), steps[i].fired) << "step " << i;
  }
  EXPECT_TRUE(KillTimer(a, 7));
  EXPECT_FALSE(KillTimer(a, 7));
  zb::testing::AdvanceClock(1000);
  Pump();
  EXPECT_EQ(TimerIds(), (std::vector<WPARAM>{bigId})) << "a killed timer stays quiet";
  DestroyWindow(a);
}

TEST_F(TimerTest, TimerWaitsUntilNothingElseIsQueuedAndOneMillisecondWorks) {
  ClockHeld clock(0);
  HWND a = Make(0);
  SetTimer(a, 10, 1, nullptr);
  zb::testing::AdvanceClock(5);
  PostMessageW(a, WM_USER + 1, 0, 0);
  Pump();
  std::vector<UINT> order;
  for (const Entry& e : TheTrace().Take()) {
    if (e.message == WM_TIMER || e.message == WM_USER + 1) order.push_back(e.message);
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_TIMER}));
}

std::atomic<int> g_procCalls{0};
void CALLBACK CountCalls(HWND, UINT message, UINT_PTR, DWORD) {
  if (message == WM_TIMER) ++g_procCalls;
}

TEST_F(TimerTest, ThreadTimersCallTheirProcedureAndForgedOnesAreRefused) {
  ClockHeld clock(0);
  g_procCalls = 0;
  UINT_PTR id = SetTimer(nullptr, 0, 50, CountCalls);
  ASSERT_NE(id, 0u);
  zb::testing::AdvanceClock(50);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(msg.wParam, id);
  DispatchMessageW(&msg);
  EXPECT_EQ(g_procCalls, 1);
  // A posted WM_TIMER naming a procedure is not a timer of ours: nothing is called.
  PostThreadMessageW(GetCurrentThreadId(), WM_TIMER, 99, reinterpret_cast<LPARAM>(&CountCalls));
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  DispatchMessageW(&msg);
  EXPECT_EQ(g_procCalls, 1);
  EXPECT_TRUE(KillTimer(nullptr, id));
}

TEST_F(TimerTest, GetMessageSleepsUntilTheTimerIsDue) {
  ClockHeld clock(0);
  std::atomic<UINT> got{0};
  std::thread t([&] {
    HWND a = Make(0);
    SetTimer(a, 3, 500, nullptr);
    MSG msg;
    if (GetMessageW(&msg, nullptr, 0, 0)) got = msg.message;
    DestroyWindow(a);
  });
  // Host sleeps: the device's Sleep follows the held clock.
  for (int i = 0; i < 20000 && zb::testing::TimedWaiters() == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(got.load(), 0u);
  zb::testing::AdvanceClock(499);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(got.load(), 0u) << "not due yet";
  zb::testing::AdvanceClock(1);
  t.join();
  EXPECT_EQ(got.load(), static_cast<UINT>(WM_TIMER));
}

TEST_F(TimerTest, DestroyingAWindowKillsItsTimers) {
  ClockHeld clock(0);
  HWND a = Make(0);
  SetTimer(a, 1, 10, nullptr);
  DestroyWindow(a);
  zb::testing::AdvanceClock(100);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_FALSE(KillTimer(a, 1));
  EXPECT_EQ(SetTimer(a, 1, 10, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

}  // namespace
