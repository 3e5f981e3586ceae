// The recursive spin lock: recursion counts, a foreign unlock ignored, a waiter that gets the
// lock only after the last release, and two threads contending that both make progress.
#include <gtest/gtest.h>

#include "settingsui/spin_lock.h"

namespace {

struct Shared {
  CSpinLock lock;
  LONG volatile stage = 0;
  DWORD result = 0;
  int counter = 0;
  int rounds = 0;
};

DWORD WINAPI UnlockFromOtherThread(LPVOID p) {
  auto* s = static_cast<Shared*>(p);
  s->lock.Unlock();
  s->result = s->lock.OwnerThreadId();
  return 0;
}

DWORD WINAPI LockAndRecord(LPVOID p) {
  auto* s = static_cast<Shared*>(p);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
  InterlockedExchange(&s->stage, 1);
  s->lock.Lock();
  s->result = static_cast<DWORD>(GetThreadPriority(GetCurrentThread()));
  InterlockedExchange(&s->stage, 2);
  s->lock.Unlock();
  return 0;
}

DWORD WINAPI Contend(LPVOID p) {
  auto* s = static_cast<Shared*>(p);
  for (int i = 0; i < s->rounds; ++i) {
    s->lock.Lock();
    s->lock.Lock();
    const int seen = s->counter;
    Sleep(0);
    s->counter = seen + 1;  // lost updates would show if two threads were inside at once
    s->lock.Unlock();
    s->lock.Unlock();
  }
  return 0;
}

TEST(SpinLock, LocksOfTheOwnerCountAndTheLastUnlockFrees) {
  CSpinLock lock;
  lock.Init(u"Input");
  EXPECT_EQ(std::u16string(lock.Name()), u"Input");
  EXPECT_FALSE(lock.IsHeld());
  lock.Lock();
  lock.Lock();
  lock.Unlock();
  EXPECT_TRUE(lock.IsHeld());
  EXPECT_EQ(lock.OwnerThreadId(), GetCurrentThreadId());
  EXPECT_EQ(lock.RecursionCount(), 1);
  lock.Unlock();
  EXPECT_FALSE(lock.IsHeld());
  EXPECT_EQ(lock.OwnerThreadId(), CSpinLock::kNoOwner);
  EXPECT_EQ(lock.RecursionCount(), 0);
  lock.Unlock();  // not held: nothing happens
  EXPECT_FALSE(lock.IsHeld());
  lock.Destroy();
}

TEST(SpinLock, AnUnlockFromAnotherThreadIsIgnored) {
  Shared s;
  s.lock.Init(u"CSpinLock");
  s.lock.Lock();
  HANDLE thread = CreateThread(nullptr, 0, UnlockFromOtherThread, &s, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(s.result, GetCurrentThreadId());
  EXPECT_TRUE(s.lock.IsHeld());
  EXPECT_EQ(s.lock.RecursionCount(), 1);
  s.lock.Unlock();
  EXPECT_FALSE(s.lock.IsHeld());
}

TEST(SpinLock, AWaiterGetsTheLockAfterTheLastReleaseWithItsOwnPriorityBack) {
  Shared s;
  s.lock.Init(u"Input");
  s.lock.Lock();
  s.lock.Lock();
  HANDLE thread = CreateThread(nullptr, 0, LockAndRecord, &s, 0, nullptr);
  for (int i = 0; i < 30000 && s.stage == 0; ++i) Sleep(1);
  ASSERT_EQ(s.stage, 1);
  // The owner's priority cannot be read through its id here, so the waiter runs at normal
  // priority while it waits.
  bool raised = false;
  for (int i = 0; i < 30000 && !raised; ++i) {
    raised = GetThreadPriority(thread) == THREAD_PRIORITY_NORMAL;
    if (!raised) Sleep(1);
  }
  EXPECT_TRUE(raised);
  s.lock.Unlock();
  Sleep(20);
  EXPECT_EQ(s.stage, 1);  // one level is still held
  s.lock.Unlock();
  ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(s.stage, 2);
  EXPECT_EQ(s.result, static_cast<DWORD>(THREAD_PRIORITY_LOWEST));
  EXPECT_FALSE(s.lock.IsHeld());
}

TEST(SpinLock, TwoContendingThreadsBothMakeProgress) {
  Shared s;
  s.lock.Init(u"Input");
  s.rounds = 100;
  HANDLE threads[2] = {CreateThread(nullptr, 0, Contend, &s, 0, nullptr), CreateThread(nullptr, 0, Contend, &s, 0, nullptr)};
  EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, 60000), WAIT_OBJECT_0);
  for (HANDLE t : threads) CloseHandle(t);
  EXPECT_EQ(s.counter, 2 * s.rounds);
  EXPECT_FALSE(s.lock.IsHeld());
}

}  // namespace
