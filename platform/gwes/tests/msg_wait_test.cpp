// MsgWaitForMultipleObjectsEx: handles and the thread's queue in one wait. Input answers
// WAIT_OBJECT_0 + count (0 with no handles) when its kind is in the wake mask; without
// MWMO_INPUTAVAILABLE only what came since the thread last looked counts.
#include <thread>

#include "testing/test_clock.h"
#include "window_support.h"

namespace {

using namespace wtest;

class MsgWaitTest : public WindowTest {};

struct WaitCase {
  const char* name;
  UINT post;  // 0: nothing posted
  bool seen;  // the thread peeked (without removing) after the post
  DWORD mask, flags;
  DWORD expected;
};

TEST_F(MsgWaitTest, InputCountsByWakeMaskAndByWhatWasAlreadySeen) {
  HWND a = Make(0);
  const WaitCase cases[] = {
      {"empty queue", 0, false, QS_ALLINPUT, 0, WAIT_TIMEOUT},
      {"posted message", WM_USER, false, QS_ALLINPUT, 0, WAIT_OBJECT_0},
      {"posted but masked out", WM_USER, false, QS_KEY | QS_MOUSE, 0, WAIT_TIMEOUT},
      {"posted key", WM_KEYDOWN, false, QS_KEY, 0, WAIT_TIMEOUT},  // posted, not typed
      {"already seen", WM_USER, true, QS_ALLINPUT, 0, WAIT_TIMEOUT},
      {"already seen but still there", WM_USER, true, QS_ALLINPUT, MWMO_INPUTAVAILABLE, WAIT_OBJECT_0},
  };
  for (const WaitCase& c : cases) {
    Pump();
    if (c.post) PostMessageW(a, c.post, 0, 0);
    MSG msg;
    if (c.seen) PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 0, c.mask, c.flags), c.expected) << c.name;
  }
  Pump();
}

TEST_F(MsgWaitTest, HandlesAnswerByIndexAndComeBeforeTheQueue) {
  HANDLE events[2] = {CreateEventW(nullptr, TRUE, FALSE, nullptr), CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  SetEvent(events[1]);
  EXPECT_EQ(MsgWaitForMultipleObjectsEx(2, events, 0, QS_ALLINPUT, 0), WAIT_OBJECT_0 + 1);
  PostThreadMessageW(GetCurrentThreadId(), WM_USER, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjectsEx(2, events, 0, QS_ALLINPUT, 0), WAIT_OBJECT_0 + 1) << "handles come first";
  ResetEvent(events[1]);
  EXPECT_EQ(MsgWaitForMultipleObjectsEx(2, events, 0, QS_ALLINPUT, 0), WAIT_OBJECT_0 + 2) << "then input";
  Pump();
  EXPECT_EQ(MsgWaitForMultipleObjectsEx(2, events, 0, QS_ALLINPUT, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  HANDLE bad = reinterpret_cast<HANDLE>(0x7777);
  EXPECT_EQ(MsgWaitForMultipleObjectsEx(1, &bad, 0, QS_ALLINPUT, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  for (HANDLE h : events) CloseHandle(h);
}

TEST_F(MsgWaitTest, WakesForAPostFromAnotherThreadAndForADueTimer) {
  zb::testing::TakeOverClock(0);
  const DWORD thread = GetCurrentThreadId();
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before the poster looks
  std::thread poster([&] {
    for (int i = 0; i < 20000 && zb::testing::TimedWaiters() == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    PostThreadMessageW(thread, WM_USER, 0, 0);
  });
  EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 100000, QS_POSTMESSAGE, 0), WAIT_OBJECT_0);
  poster.join();
  Pump();
  HWND a = Make(0);
  SetTimer(a, 1, 300, nullptr);
  std::thread advancer([] {
    for (int i = 0; i < 20000 && zb::testing::TimedWaiters() == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    zb::testing::AdvanceClock(300);
  });
  EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 100000, QS_TIMER, MWMO_INPUTAVAILABLE), WAIT_OBJECT_0);
  advancer.join();
  zb::testing::ReleaseClock();
}

}  // namespace
