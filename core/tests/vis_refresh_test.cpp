// The display refresh thread: how long it sleeps after a refresh, and that a second start takes
// over from the first, which ends by itself.
#include <gtest/gtest.h>

#include <atomic>
#include <set>

#include "core/vis/vis_refresh.h"

namespace zb::testing {
namespace {

TEST(VisRefresh, SleepIsWhatIsLeftOfThePeriodOrHalfOfIt) {
  struct Case {
    DWORD period, elapsed, sleep;
  } cases[] = {{40, 10, 25}, {40, 30, 20}, {40, 26, 20}, {40, 25, 10}, {100, 0, 95}, {10, 0, 10}, {6, 5, 5}, {8, 0, 8}};
  for (const Case& c : cases) EXPECT_EQ(RefreshSleepMs(c.period, c.elapsed), c.sleep) << c.period << " " << c.elapsed;
}

std::atomic<int> g_rounds{0};
std::atomic<DWORD> g_lastThread{0};
std::atomic<int> g_painted{0};
std::set<DWORD> g_threads;
CRITICAL_SECTION* g_threadsLock = nullptr;

void Count(int painted) {
  g_painted += painted;
  EnterCriticalSection(g_threadsLock);
  g_threads.insert(GetCurrentThreadId());
  g_lastThread = GetCurrentThreadId();
  LeaveCriticalSection(g_threadsLock);
  ++g_rounds;
}

// Bounded wait for a condition the refresh thread makes true.
template <class Done>
bool WaitFor(Done done) {
  for (int i = 0; i < 400 && !done(); ++i) Sleep(5);
  return done();
}

TEST(VisRefresh, ANewerThreadTakesOverAndTheOlderOneEnds) {
  CRITICAL_SECTION lock;
  InitializeCriticalSection(&lock);
  g_threadsLock = &lock;
  SetRefreshRun(1, 10, Count);
  ASSERT_TRUE(WaitFor([] { return g_rounds.load() >= 2; }));
  EXPECT_EQ(g_painted.load(), 1) << "only the first round is a painted one";
  const DWORD first = g_lastThread.load();
  MarkRefreshPainted();
  SetRefreshRun(1, 10, Count);
  ASSERT_TRUE(WaitFor([&] { return g_lastThread.load() != first; }));
  const int before = g_rounds.load();
  ASSERT_TRUE(WaitFor([&] { return g_rounds.load() >= before + 3; }));
  EXPECT_EQ(g_lastThread.load(), RefreshThreadId());
  EXPECT_NE(RefreshThreadId(), first);
  StopRefresh();
  const int stopped = g_rounds.load();
  Sleep(40);
  EXPECT_EQ(g_rounds.load(), stopped) << "no round after the stop";
  EXPECT_EQ(g_threads.size(), 2u);
  g_threadsLock = nullptr;
  DeleteCriticalSection(&lock);
}

}  // namespace
}  // namespace zb::testing
