// Events: set versus pulse on manual- and auto-reset events with 0, 1 and 3 waiters, EventModify's
// functions, and names shared within the process.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <vector>

#include "coredll/tests/support.h"
#include "testing/test_clock.h"
#include "testing/test_device.h"

namespace {

using zb::testing::TimedWaiters;
using zb::testing::WaitUntil;

struct Waiter {
  HANDLE event;
  std::atomic<int> woken{0};
};

DWORD WINAPI WaitOnce(LPVOID p) {
  auto* w = static_cast<Waiter*>(p);
  DWORD r = WaitForSingleObject(w->event, 60000);
  if (r == WAIT_OBJECT_0) ++w->woken;
  return r;
}

struct SignalCase {
  const char* name;
  bool manualReset;
  DWORD func;
  int waiters;
  int expectWoken;
  bool expectSignalledAfter;
};

// The grant is made inside EventModify, so right after it the waiters still blocked are exactly
// the ones the signal did not reach.
constexpr SignalCase kSignalCases[] = {
    {"ManualSetNoWaiter", true, EVENT_SET, 0, 0, true},
    {"ManualSetOneWaiter", true, EVENT_SET, 1, 1, true},
    {"ManualSetThreeWaiters", true, EVENT_SET, 3, 3, true},
    {"ManualPulseNoWaiter", true, EVENT_PULSE, 0, 0, false},
    {"ManualPulseOneWaiter", true, EVENT_PULSE, 1, 1, false},
    {"ManualPulseThreeWaiters", true, EVENT_PULSE, 3, 3, false},
    {"AutoSetNoWaiter", false, EVENT_SET, 0, 0, true},
    {"AutoSetOneWaiter", false, EVENT_SET, 1, 1, false},
    {"AutoSetThreeWaiters", false, EVENT_SET, 3, 1, false},
    {"AutoPulseNoWaiter", false, EVENT_PULSE, 0, 0, false},
    {"AutoPulseOneWaiter", false, EVENT_PULSE, 1, 1, false},
    {"AutoPulseThreeWaiters", false, EVENT_PULSE, 3, 1, false},
};

void PrintTo(const SignalCase& c, std::ostream* os) { *os << c.name; }

class SignalTest : public ::testing::TestWithParam<SignalCase> {
 protected:
  zb::testing::TestDevice device_;
};

TEST_P(SignalTest, WakesTheWaitersPresentAndLeavesTheRightState) {
  const SignalCase& c = GetParam();
  Waiter w;
  w.event = CreateEventW(nullptr, c.manualReset, FALSE, nullptr);
  ASSERT_NE(w.event, nullptr);
  std::vector<HANDLE> threads;
  for (int i = 0; i < c.waiters; ++i) threads.push_back(CreateThread(nullptr, 0, WaitOnce, &w, 0, nullptr));
  ASSERT_TRUE(WaitUntil([&] { return TimedWaiters() == static_cast<uint32_t>(c.waiters); }));

  ASSERT_TRUE(EventModify(w.event, c.func));
  EXPECT_EQ(TimedWaiters(), static_cast<uint32_t>(c.waiters - c.expectWoken));
  ASSERT_TRUE(WaitUntil([&] { return w.woken.load() == c.expectWoken; }));

  EXPECT_EQ(WaitForSingleObject(w.event, 0), c.expectSignalledAfter ? WAIT_OBJECT_0 : WAIT_TIMEOUT);
  // Nobody else was woken by the state left behind: release the rest one by one and count.
  EXPECT_EQ(w.woken.load(), c.expectWoken);
  for (int left = c.waiters - c.expectWoken; left > 0; --left) {
    ASSERT_TRUE(SetEvent(w.event));
    ASSERT_TRUE(WaitUntil([&] { return w.woken.load() == c.waiters - left + 1; }));
  }
  for (HANDLE t : threads) {
    EXPECT_EQ(WaitForSingleObject(t, 20000), WAIT_OBJECT_0);
    CloseHandle(t);
  }
  CloseHandle(w.event);
}

INSTANTIATE_TEST_SUITE_P(Events, SignalTest, ::testing::ValuesIn(kSignalCases),
                         [](const auto& info) { return std::string(info.param.name); });

class EventTest : public ::testing::Test {
 protected:
  zb::testing::TestDevice device_;
};

TEST_F(EventTest, SetResetAndPulseWrappersMatchEventModify) {
  HANDLE e = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
  ASSERT_TRUE(ResetEvent(e));
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
  ASSERT_TRUE(SetEvent(e));
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
  ASSERT_TRUE(PulseEvent(e));
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
  CloseHandle(e);
}

TEST_F(EventTest, AutoResetEventIsConsumedByOneWait) {
  HANDLE e = CreateEventW(nullptr, FALSE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
  CloseHandle(e);
}

TEST_F(EventTest, EventModifyRejectsUnknownFunctionsAndHandles) {
  HANDLE e = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetLastError(0);
  EXPECT_FALSE(EventModify(e, 7));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
  CloseHandle(e);
  EXPECT_FALSE(EventModify(e, EVENT_SET));  // closed
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(EventModify(nullptr, EVENT_SET));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(EventTest, SecondCreateOfANameOpensTheSameEvent) {
  HANDLE a = CreateEventW(nullptr, TRUE, FALSE, u"Zonbrel/Test/Shared");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  // The second create's own arguments do not change the existing event.
  HANDLE b = CreateEventW(nullptr, FALSE, TRUE, u"Zonbrel/Test/Shared");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_NE(a, b);
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_TIMEOUT);
  ASSERT_TRUE(SetEvent(b));
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_OBJECT_0);  // still manual reset
  CloseHandle(a);
  CloseHandle(b);
}

TEST_F(EventTest, NamesAreCaseSensitiveAndVanishWithTheirLastHandle) {
  HANDLE a = CreateEventW(nullptr, TRUE, FALSE, u"Zonbrel/Case");
  HANDLE other = CreateEventW(nullptr, TRUE, FALSE, u"zonbrel/case");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(other);
  CloseHandle(a);
  HANDLE again = CreateEventW(nullptr, TRUE, FALSE, u"Zonbrel/Case");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(again);
}

TEST_F(EventTest, NameHeldByAMutexIsRefusedForAnEvent) {
  HANDLE m = CreateMutexW(nullptr, FALSE, u"Zonbrel/Taken");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(CreateEventW(nullptr, TRUE, FALSE, u"Zonbrel/Taken"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  CloseHandle(m);
}

TEST_F(EventTest, OverlongNameFailsCleanly) {
  std::u16string name(300, u'x');
  EXPECT_EQ(CreateEventW(nullptr, TRUE, FALSE, name.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
}

}  // namespace

namespace {

TEST_F(EventTest, NamedMutexProbeSeesAnotherHolderUntilItLetsGo) {
  HANDLE holder = CreateMutexW(nullptr, FALSE, u"ZonbrelUpdaterPlugin");
  ASSERT_NE(holder, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  HANDLE probe = CreateMutexW(nullptr, FALSE, u"ZonbrelUpdaterPlugin");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(probe);
  CloseHandle(holder);
  probe = CreateMutexW(nullptr, FALSE, u"ZonbrelUpdaterPlugin");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(probe);
}

}  // namespace
