// Time: the tick count's wrap, the test clock driving sleeps and timed waits, and the calendar
// clocks in UTC and local time.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <ctime>

#include "coredll/tests/support.h"
#include "testing/test_clock.h"
#include "testing/test_device.h"

namespace {

using zb::testing::AdvanceClock;
using zb::testing::TimedWaiters;
using zb::testing::WaitUntil;

class ClockTest : public ::testing::Test {
 protected:
  void TearDown() override { zb::testing::ReleaseClock(); }
  zb::testing::TestDevice device_;
};

struct Sleeper {
  DWORD ms;
  std::atomic<DWORD> before{0}, after{0};
  std::atomic<bool> done{false};
};

DWORD WINAPI SleepFor(LPVOID p) {
  auto* s = static_cast<Sleeper*>(p);
  s->before = GetTickCount();
  Sleep(s->ms);
  s->after = GetTickCount();
  s->done = true;
  return 0;
}

TEST_F(ClockTest, TenSecondSleepReturnsWhenTheClockIsAdvanced) {
  zb::testing::TakeOverClock(1000);
  Sleeper s{10000};
  auto realStart = std::chrono::steady_clock::now();
  HANDLE t = CreateThread(nullptr, 0, SleepFor, &s, 0, nullptr);
  ASSERT_TRUE(WaitUntil([] { return TimedWaiters() == 1; }));
  AdvanceClock(9999);
  EXPECT_EQ(TimedWaiters(), 1u) << "woke before its time";
  EXPECT_FALSE(s.done.load());
  AdvanceClock(1);
  ASSERT_EQ(WaitForSingleObject(t, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(s.before.load(), 1000u);
  EXPECT_EQ(s.after.load(), 11000u);
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(9));
  CloseHandle(t);
}

struct TimedWaiter {
  HANDLE event;
  std::atomic<DWORD> result{0};
};

DWORD WINAPI WaitFiveSeconds(LPVOID p) {
  auto* w = static_cast<TimedWaiter*>(p);
  w->result = WaitForSingleObject(w->event, 5000);
  return 0;
}

TEST_F(ClockTest, TimedWaitTimesOutByTheTestClock) {
  zb::testing::TakeOverClock(0);
  TimedWaiter w{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  HANDLE t = CreateThread(nullptr, 0, WaitFiveSeconds, &w, 0, nullptr);
  ASSERT_TRUE(WaitUntil([] { return TimedWaiters() == 1; }));
  AdvanceClock(5000);
  ASSERT_EQ(WaitForSingleObject(t, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(w.result.load(), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseHandle(t);
  CloseHandle(w.event);
}

TEST_F(ClockTest, TickCountWrapsAtTwoToThe32) {
  zb::testing::TakeOverClock(0xFFFFFF00ull);
  EXPECT_EQ(GetTickCount(), 0xFFFFFF00u);
  AdvanceClock(0x200);
  EXPECT_EQ(GetTickCount(), 0x100u);
  // Elapsed time computed the platform's way survives the wrap.
  EXPECT_EQ(GetTickCount() - 0xFFFFFF00u, 0x200u);
}

TEST_F(ClockTest, SleepAcrossTheWrapEndsOnTime) {
  zb::testing::TakeOverClock(0xFFFFFFF0ull);
  Sleeper s{100};
  HANDLE t = CreateThread(nullptr, 0, SleepFor, &s, 0, nullptr);
  ASSERT_TRUE(WaitUntil([] { return TimedWaiters() == 1; }));
  AdvanceClock(99);
  EXPECT_EQ(TimedWaiters(), 1u);
  AdvanceClock(1);
  ASSERT_EQ(WaitForSingleObject(t, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(s.after.load() - s.before.load(), 100u);
  CloseHandle(t);
}

TEST_F(ClockTest, ReleasedClockGoesBackToTheHost) {
  zb::testing::TakeOverClock(5);
  EXPECT_EQ(GetTickCount(), 5u);
  zb::testing::ReleaseClock();
  DWORD a = GetTickCount();
  Sleep(20);
  EXPECT_GE(GetTickCount() - a, 20u);
}

TEST_F(ClockTest, SystemTimeIsUtcAndLocalTimeFollowsTheHostZone) {
  SYSTEMTIME utc{}, local{};
  time_t now = time(nullptr);
  GetSystemTime(&utc);
  GetLocalTime(&local);
  tm u{}, l{};
  gmtime_r(&now, &u);
  localtime_r(&now, &l);
  // Compared to the minute, so a second ticking over between the calls does not matter much.
  EXPECT_EQ(utc.wYear, u.tm_year + 1900);
  EXPECT_EQ(utc.wMonth, u.tm_mon + 1);
  EXPECT_EQ(utc.wDay, u.tm_mday);
  EXPECT_EQ(utc.wHour, u.tm_hour);
  EXPECT_EQ(utc.wDayOfWeek, u.tm_wday);
  EXPECT_EQ(local.wHour, l.tm_hour);
  EXPECT_EQ(local.wDay, l.tm_mday);
  EXPECT_LT(utc.wMilliseconds, 1000);
}

}  // namespace
