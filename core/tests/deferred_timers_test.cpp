// Deferred timers on the device's test clock: one entry per window and id, only due entries
// run and the longest-waiting first, and the main loop's wait is exactly the time until the
// next entry falls due (never a millisecond poll while nothing is due).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/modules/deferred_timers.h"
#include "testing/test_clock.h"
#include "testing/test_device.h"

namespace {

HWND Window(int n) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1000 * n)); }

class DeferredTimers : public ::testing::Test {
 protected:
  static constexpr uint64_t kStart = 1000000;
  void SetUp() override { zb::testing::TakeOverClock(kStart); }
  void TearDown() override { zb::testing::ReleaseClock(); }

  // Runs the table once; what ran ("<window>/<id>", or "" for nothing) and the wait it gave.
  std::pair<std::string, DWORD> Run(bool hold = false) {
    std::string ran;
    DWORD wait = kUntouched;
    timers.Run([&](HWND window, UINT id) { ran = std::to_string(reinterpret_cast<uintptr_t>(window) / 0x1000) + "/" + std::to_string(id); },
               hold, &wait);
    return {ran, wait};
  }
  static void Advance(uint64_t ms) { zb::testing::AdvanceClock(ms); }

  static constexpr DWORD kUntouched = 0xABCDEF;
  zb::testing::TestDevice device;
  CDeferredTimers timers;
};

TEST_F(DeferredTimers, SchedulingAgainKeepsOneEntryWithTheNewInterval) {
  timers.Schedule(Window(1), 7, 5000);
  timers.Schedule(Window(2), 7, 9000);
  timers.Schedule(Window(1), 7, 300);
  EXPECT_EQ(timers.Run(nullptr, false, nullptr), 2);
  EXPECT_EQ(Run(), std::make_pair(std::string(), DWORD(299)));  // due 300 ms after its last run, a tick ago
  Advance(299);
  EXPECT_EQ(Run(), std::make_pair(std::string("1/7"), DWORD(300)));
}

TEST_F(DeferredTimers, OnlyDueEntriesRunTheLongestWaitingFirst) {
  timers.Schedule(Window(1), 1, 100);
  Advance(50);
  timers.Schedule(Window(2), 2, 100);
  timers.Schedule(Window(3), 3, 10000);
  Advance(250);  // 1 waited 301 ms, 2 waited 251 ms, 3 is far from due
  EXPECT_EQ(Run(), std::make_pair(std::string("1/1"), DWORD(0)));  // 2 is still due
  EXPECT_EQ(Run(), std::make_pair(std::string("2/2"), DWORD(100)));
  EXPECT_EQ(Run(), std::make_pair(std::string(), DWORD(100)));  // nothing due: nothing runs early
  Advance(99);
  EXPECT_EQ(Run(), std::make_pair(std::string(), DWORD(1)));
  Advance(1);
  EXPECT_EQ(Run().first, "1/1");
}

TEST_F(DeferredTimers, TheWaitIsTheTimeToTheNextDueEntryHoweverFar) {
  timers.Schedule(Window(1), 1, 1000);
  timers.Schedule(Window(2), 2, 3000);
  const struct {
    uint64_t advance;
    std::string ran;
    DWORD wait;
  } steps[] = {
      {0, "", 999}, {500, "", 499}, {499, "1/1", 1000}, {999, "", 1}, {1, "1/1", 1000},
      {1000, "2/2", 0},  // 1 is due again as 2 runs
      {0, "1/1", 1000},
  };
  for (const auto& s : steps) {
    Advance(s.advance);
    EXPECT_EQ(Run(), std::make_pair(s.ran, s.wait)) << "after " << s.advance << " ms";
  }
}

TEST_F(DeferredTimers, AnEmptyTableLeavesTheCallersWait) {
  DWORD wait = 1234;
  EXPECT_EQ(timers.Run([](HWND, UINT) { ADD_FAILURE() << "nothing to run"; }, false, &wait), 0);
  EXPECT_EQ(wait, 1234u);
  EXPECT_EQ(timers.Run(nullptr, false, nullptr), 0);
}

TEST_F(DeferredTimers, AHoldKeepsEverythingFromRunningAndWaitsAtLeastASecond) {
  timers.Schedule(Window(1), 1, 100);
  Advance(500);
  EXPECT_EQ(Run(true), std::make_pair(std::string(), DWORD(1000)));
  EXPECT_EQ(Run(false).first, "1/1");
  timers.Cancel(Window(1), 1);
  timers.Schedule(Window(2), 2, 5000);
  EXPECT_EQ(Run(true), std::make_pair(std::string(), DWORD(4999)));
}

TEST_F(DeferredTimers, CancelRemovesTheEntryOfThatWindowAndId) {
  timers.Schedule(Window(1), 1, 100);
  timers.Schedule(Window(1), 2, 100);
  timers.Cancel(Window(1), 1);
  timers.Cancel(Window(9), 2);  // no such entry
  EXPECT_EQ(timers.Run(nullptr, false, nullptr), 1);
  Advance(100);
  EXPECT_EQ(Run().first, "1/2");
}

TEST_F(DeferredTimers, AWindowMayRescheduleOrCancelItselfWhileItsTimerRuns) {
  timers.Schedule(Window(1), 1, 100);
  timers.Schedule(Window(2), 2, 100);
  Advance(100);
  DWORD wait = 0;
  std::vector<UINT> ran;
  auto handler = [&](HWND window, UINT id) {
    ran.push_back(id);
    if (id == 1) timers.Schedule(window, id, 400);
    if (id == 2) timers.Cancel(window, id);
  };
  timers.Run(handler, false, &wait);
  EXPECT_EQ(wait, 0u);  // 2 is still due
  timers.Run(handler, false, &wait);
  EXPECT_EQ(ran, (std::vector<UINT>{1, 2}));
  EXPECT_EQ(timers.Run(nullptr, false, nullptr), 1);
  EXPECT_EQ(wait, 399u);
}

TEST_F(DeferredTimers, TheTickCountWrappingAroundChangesNothing) {
  zb::testing::TakeOverClock(0xFFFFFFFFull - 50);
  timers.Schedule(Window(1), 1, 100);
  Advance(60);  // past the wrap
  EXPECT_EQ(Run(), std::make_pair(std::string(), DWORD(39)));
  Advance(39);
  EXPECT_EQ(Run().first, "1/1");
}

}  // namespace
