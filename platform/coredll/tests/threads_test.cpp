// Threads: suspended start and resume, exit codes, ids, the device's priority scale, ExitThread,
// and TerminateThread as a mark that ends the thread at its next wait or sleep.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "coredll/tests/support.h"
#include "device/device.h"
#include "testing/test_device.h"

namespace {

class ThreadTest : public ::testing::Test {
 protected:
  zb::testing::TestDevice device_;
};

struct Shared {
  std::atomic<int> ran{0};
  std::atomic<DWORD> id{0};
  std::atomic<bool> unwound{false};
  HANDLE event = nullptr;
};

DWORD WINAPI Record(LPVOID p) {
  auto* s = static_cast<Shared*>(p);
  s->id = GetCurrentThreadId();
  ++s->ran;
  return 42;
}

TEST_F(ThreadTest, SuspendedThreadRunsOnlyAfterResume) {
  Shared s;
  DWORD id = 0;
  HANDLE t = CreateThread(nullptr, 0, Record, &s, CREATE_SUSPENDED, &id);
  ASSERT_NE(t, nullptr);
  EXPECT_NE(id, 0u);
  DWORD code = 0;
  EXPECT_EQ(WaitForSingleObject(t, 50), WAIT_TIMEOUT);
  EXPECT_EQ(s.ran.load(), 0);
  ASSERT_TRUE(GetExitCodeThread(t, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(ResumeThread(t), 1u);
  ASSERT_EQ(WaitForSingleObject(t, 20000), WAIT_OBJECT_0);
  EXPECT_EQ(s.ran.load(), 1);
  EXPECT_EQ(s.id.load(), id);
  EXPECT_NE(id, GetCurrentThreadId());
  ASSERT_TRUE(GetExitCodeThread(t, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_EQ(ResumeThread(t), 0u);  // not suspended any more
  CloseHandle(t);
}

TEST_F(ThreadTest, ClosingTheHandleEarlyLeavesTheThreadRunning) {
  Shared s;
  HANDLE t = CreateThread(nullptr, 0, Record, &s, CREATE_SUSPENDED, nullptr);
  ResumeThread(t);
  CloseHandle(t);
  ASSERT_TRUE(zb::testing::WaitUntil([&] { return s.ran.load() == 1; }));
}

TEST_F(ThreadTest, NullStartRoutineIsRefused) {
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

struct PriorityCase {
  int priority;
  BOOL accepted;
};

constexpr PriorityCase kPriorities[] = {
    {THREAD_PRIORITY_TIME_CRITICAL, TRUE}, {THREAD_PRIORITY_HIGHEST, TRUE}, {THREAD_PRIORITY_ABOVE_NORMAL, TRUE},
    {THREAD_PRIORITY_NORMAL, TRUE},        {THREAD_PRIORITY_LOWEST, TRUE},  {THREAD_PRIORITY_IDLE, TRUE},
    {-1, FALSE},                           {8, FALSE},                      {THREAD_PRIORITY_ERROR_RETURN, FALSE},
};

TEST_F(ThreadTest, PrioritiesFollowTheDeviceScale) {
  Shared s;
  HANDLE t = CreateThread(nullptr, 0, Record, &s, CREATE_SUSPENDED, nullptr);
  EXPECT_EQ(GetThreadPriority(t), THREAD_PRIORITY_NORMAL);
  for (const PriorityCase& c : kPriorities) {
    int before = GetThreadPriority(t);
    EXPECT_EQ(SetThreadPriority(t, c.priority), c.accepted) << c.priority;
    EXPECT_EQ(GetThreadPriority(t), c.accepted ? c.priority : before) << c.priority;
  }
  // The pseudo-handle reaches the calling thread, separately from the other thread.
  ASSERT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST));
  EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_LOWEST);
  EXPECT_EQ(GetThreadPriority(t), THREAD_PRIORITY_IDLE);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  ResumeThread(t);
  WaitForSingleObject(t, 20000);
  CloseHandle(t);
}

TEST_F(ThreadTest, PriorityOfABadHandleIsTheErrorReturn) {
  SetLastError(0);
  EXPECT_EQ(GetThreadPriority(reinterpret_cast<HANDLE>(0x12345)), THREAD_PRIORITY_ERROR_RETURN);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(SetThreadPriority(nullptr, THREAD_PRIORITY_NORMAL));
}

struct Unwinds {
  std::atomic<bool>* flag;
  ~Unwinds() { *flag = true; }
};

DWORD WINAPI ExitEarly(LPVOID p) {
  auto* s = static_cast<Shared*>(p);
  Unwinds guard{&s->unwound};
  ExitThread(9);
  ++s->ran;  // never reached
  return 0;
}

// The thread ends with `code`, having unwound (destructors ran) after `ran` steps.
void ExpectEndedByUnwinding(HANDLE t, const Shared& s, DWORD code, int ran) {
  ASSERT_EQ(WaitForSingleObject(t, 20000), WAIT_OBJECT_0);
  DWORD actual = 0;
  GetExitCodeThread(t, &actual);
  EXPECT_EQ(actual, code);
  EXPECT_EQ(s.ran.load(), ran);
  EXPECT_TRUE(s.unwound.load());
}

TEST_F(ThreadTest, ExitThreadEndsWithItsCodeAndRunsDestructors) {
  Shared s;
  HANDLE t = CreateThread(nullptr, 0, ExitEarly, &s, 0, nullptr);
  ExpectEndedByUnwinding(t, s, 9, 0);
  CloseHandle(t);
}

// Sleeps, or waits on the event when there is one, for ever.
DWORD WINAPI BlockForever(LPVOID p) {
  auto* s = static_cast<Shared*>(p);
  Unwinds guard{&s->unwound};
  ++s->ran;
  if (s->event) {
    WaitForSingleObject(s->event, INFINITE);
  } else {
    Sleep(INFINITE);
  }
  ++s->ran;  // never reached
  return 0;
}

std::string DebugLogText() {
  std::ifstream in(zb::device::StateFolder() / "debug.log");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(ThreadTest, TerminateEndsASleepingOrWaitingThreadAtItsWait) {
  for (bool sleeps : {true, false}) {
    Shared s;
    s.event = sleeps ? nullptr : CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, BlockForever, &s, 0, &id);
    ASSERT_TRUE(zb::testing::WaitUntil([&] { return s.ran.load() == 1; }));
    ASSERT_TRUE(TerminateThread(t, 5));
    ExpectEndedByUnwinding(t, s, 5, 1);
    EXPECT_NE(DebugLogText().find("thread " + std::to_string(id) + " marked"), std::string::npos);
    EXPECT_TRUE(TerminateThread(t, 6));  // already ended: nothing changes
    DWORD code = 0;
    GetExitCodeThread(t, &code);
    EXPECT_EQ(code, 5u);
    CloseHandle(t);
    if (s.event) CloseHandle(s.event);
  }
}

TEST_F(ThreadTest, TerminatedSuspendedThreadNeverRuns) {
  Shared s;
  HANDLE t = CreateThread(nullptr, 0, Record, &s, CREATE_SUSPENDED, nullptr);
  ASSERT_TRUE(TerminateThread(t, 3));
  ASSERT_EQ(WaitForSingleObject(t, 20000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(t, &code);
  EXPECT_EQ(code, 3u);
  EXPECT_EQ(s.ran.load(), 0);
  CloseHandle(t);
}

TEST_F(ThreadTest, CallsOnClosedThreadHandlesFail) {
  Shared s;
  HANDLE t = CreateThread(nullptr, 0, Record, &s, 0, nullptr);
  WaitForSingleObject(t, 20000);
  CloseHandle(t);
  DWORD code = 0;
  EXPECT_FALSE(GetExitCodeThread(t, &code));
  EXPECT_FALSE(TerminateThread(t, 0));
  EXPECT_EQ(ResumeThread(t), 0xFFFFFFFFu);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace

// The thread id is remembered per thread; a child forked from a secondary thread must not answer
// with its parent thread's id.
DWORD WINAPI ForkAndReportId(LPVOID) {
  const DWORD before = GetCurrentThreadId();
  const pid_t child = fork();
  if (child == 0) _exit(GetCurrentThreadId() == static_cast<DWORD>(getpid()) ? 0 : 1);
  int status = -1;
  waitpid(child, &status, 0);
  if (GetCurrentThreadId() != before) return 3;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}

TEST_F(ThreadTest, ForkedChildSeesItsOwnThreadId) {
  HANDLE thread = CreateThread(nullptr, 0, ForkAndReportId, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  DWORD code = 99;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 0u);
  CloseHandle(thread);
}
