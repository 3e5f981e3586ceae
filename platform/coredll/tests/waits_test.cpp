// WaitForMultipleObjects in both modes over mixed kinds (events, mutexes, threads, queues),
// what a grant consumes, abandoned mutexes, and the errors of bad arguments.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "coredll/tests/support.h"
#include "testing/test_clock.h"
#include "testing/test_device.h"

namespace {

class WaitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) events_[i] = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  }
  void TearDown() override {
    for (HANDLE e : events_) CloseHandle(e);
  }
  bool Signalled(int i) {
    if (WaitForSingleObject(events_[i], 0) != WAIT_OBJECT_0) return false;
    SetEvent(events_[i]);  // put back what the probe took
    return true;
  }
  zb::testing::TestDevice device_;
  HANDLE events_[3]{};
};

struct ModeCase {
  const char* name;
  bool all;
  bool set[3];          // auto-reset events signalled before the wait
  DWORD expect;         // result of a wait with time-out 0
  bool leftSet[3];      // what is still signalled afterwards
};

constexpr ModeCase kModeCases[] = {
    {"AnyNoneSet", false, {false, false, false}, WAIT_TIMEOUT, {false, false, false}},
    {"AnyLastSet", false, {false, false, true}, WAIT_OBJECT_0 + 2, {false, false, false}},
    {"AnyLowestOfSeveralWinsAndOnlyItIsTaken", false, {false, true, true}, WAIT_OBJECT_0 + 1, {false, false, true}},
    {"AllNoneSet", true, {false, false, false}, WAIT_TIMEOUT, {false, false, false}},
    {"AllPartlySetTakesNothing", true, {true, false, true}, WAIT_TIMEOUT, {true, false, true}},
    {"AllSetTakesAll", true, {true, true, true}, WAIT_OBJECT_0, {false, false, false}},
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

class WaitModeTest : public WaitTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(WaitModeTest, GrantsAndConsumesAsTheModeSays) {
  const ModeCase& c = GetParam();
  for (int i = 0; i < 3; ++i)
    if (c.set[i]) SetEvent(events_[i]);
  EXPECT_EQ(WaitForMultipleObjects(3, events_, c.all, 0), c.expect);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Signalled(i), c.leftSet[i]) << "event " << i;
}

INSTANTIATE_TEST_SUITE_P(Waits, WaitModeTest, ::testing::ValuesIn(kModeCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct AllWaiter {
  HANDLE* events;
  DWORD result = 0;
};

DWORD WINAPI WaitAll(LPVOID p) {
  auto* w = static_cast<AllWaiter*>(p);
  w->result = WaitForMultipleObjects(3, w->events, TRUE, 60000);
  return 0;
}

TEST_F(WaitTest, WaitAllBlocksUntilTheLastObjectAndThenTakesThemTogether) {
  AllWaiter w{events_};
  HANDLE t = CreateThread(nullptr, 0, WaitAll, &w, 0, nullptr);
  ASSERT_TRUE(zb::testing::WaitUntil([] { return zb::testing::TimedWaiters() == 1; }));
  SetEvent(events_[0]);
  SetEvent(events_[2]);
  EXPECT_EQ(zb::testing::TimedWaiters(), 1u);  // still waiting, and took nothing
  EXPECT_TRUE(Signalled(0));
  SetEvent(events_[1]);
  ASSERT_EQ(WaitForSingleObject(t, 20000), WAIT_OBJECT_0);
  EXPECT_EQ(w.result, WAIT_OBJECT_0);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(Signalled(i));
  CloseHandle(t);
}

DWORD WINAPI ReturnSeven(LPVOID) { return 7; }

TEST_F(WaitTest, AnyWaitMixesKindsAndReportsWhichEnded) {
  HANDLE thread = CreateThread(nullptr, 0, ReturnSeven, nullptr, 0, nullptr);
  MSGQUEUEOPTIONS options{sizeof options, MSGQUEUE_ALLOW_BROKEN, 4, 16, TRUE};
  HANDLE queue = CreateMsgQueue(nullptr, &options);
  HANDLE mix[] = {events_[0], queue, thread};
  EXPECT_EQ(WaitForMultipleObjects(3, mix, FALSE, 20000), WAIT_OBJECT_0 + 2);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 7u);
  // An ended thread stays signalled; a queue's read end is signalled while records wait.
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(queue, 0), WAIT_TIMEOUT);
  CloseHandle(thread);
  CloseHandle(queue);
}

struct MutexHolder {
  HANDLE mutex;
  DWORD taken = 0;
};

DWORD WINAPI TakeAndEnd(LPVOID p) {
  auto* h = static_cast<MutexHolder*>(p);
  h->taken = WaitForSingleObject(h->mutex, 20000);
  return 0;  // ends still owning the mutex
}

TEST_F(WaitTest, MutexOfAnEndedOwnerComesAbandonedOnce) {
  MutexHolder h{CreateMutexW(nullptr, FALSE, nullptr)};
  HANDLE t = CreateThread(nullptr, 0, TakeAndEnd, &h, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(t, 20000), WAIT_OBJECT_0);
  ASSERT_EQ(h.taken, WAIT_OBJECT_0);
  HANDLE both[] = {events_[0], h.mutex};
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_ABANDONED_0 + 1);
  EXPECT_TRUE(ReleaseMutex(h.mutex));
  EXPECT_EQ(WaitForSingleObject(h.mutex, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ReleaseMutex(h.mutex));
  CloseHandle(t);
  CloseHandle(h.mutex);
}

TEST_F(WaitTest, MutexIsRecursiveForItsOwnerAndRefusesOtherReleasers) {
  HANDLE m = CreateMutexW(nullptr, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ReleaseMutex(m));
  EXPECT_TRUE(ReleaseMutex(m));
  SetLastError(0);
  EXPECT_FALSE(ReleaseMutex(m));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
  CloseHandle(m);
}

TEST_F(WaitTest, TimedWaitEndsWithWaitTimeout) {
  EXPECT_EQ(WaitForSingleObject(events_[0], 30), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForMultipleObjects(3, events_, TRUE, 30), WAIT_TIMEOUT);
}

struct BadCase {
  const char* name;
  DWORD count;
  bool all;
  int badSlot;  // -1: none; 3: duplicate of slot 0
  DWORD expectError;
};

constexpr BadCase kBadCases[] = {
    {"NoHandles", 0, false, -1, ERROR_INVALID_PARAMETER},
    {"TooManyHandles", MAXIMUM_WAIT_OBJECTS + 1, false, -1, ERROR_INVALID_PARAMETER},
    {"ClosedHandle", 3, false, 1, ERROR_INVALID_HANDLE},
    {"DuplicateInWaitAll", 2, true, 3, ERROR_INVALID_PARAMETER},
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class BadWaitTest : public WaitTest, public ::testing::WithParamInterface<BadCase> {};

TEST_P(BadWaitTest, FailsWithTheRightError) {
  const BadCase& c = GetParam();
  std::vector<HANDLE> handles(MAXIMUM_WAIT_OBJECTS + 1, events_[0]);
  handles[1] = events_[1];
  HANDLE closed = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  CloseHandle(closed);
  if (c.badSlot == 1) handles[1] = closed;
  if (c.badSlot == 3) handles[1] = events_[0];
  SetEvent(events_[0]);
  SetLastError(0);
  EXPECT_EQ(WaitForMultipleObjects(c.count, handles.data(), c.all, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), c.expectError);
  EXPECT_TRUE(Signalled(0));  // a failed wait takes nothing
}

INSTANTIATE_TEST_SUITE_P(Waits, BadWaitTest, ::testing::ValuesIn(kBadCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
