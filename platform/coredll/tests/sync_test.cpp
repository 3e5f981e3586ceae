// Critical sections (recursive, exclusive between threads) and the interlocked calls.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>
#include <vector>

#include "testing/test_device.h"

namespace {

struct Counter {
  CRITICAL_SECTION section;
  long value = 0;
};

DWORD WINAPI AddMany(LPVOID p) {
  auto* c = static_cast<Counter*>(p);
  for (int i = 0; i < 20000; ++i) {
    EnterCriticalSection(&c->section);
    EnterCriticalSection(&c->section);  // recursive entry by the owner
    long v = c->value;
    c->value = v + 1;
    LeaveCriticalSection(&c->section);
    LeaveCriticalSection(&c->section);
  }
  return 0;
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads) {
  zb::testing::TestDevice device;
  Counter c;
  InitializeCriticalSection(&c.section);
  HANDLE threads[4];
  for (HANDLE& t : threads) t = CreateThread(nullptr, 0, AddMany, &c, 0, nullptr);
  ASSERT_EQ(WaitForMultipleObjects(4, threads, TRUE, 60000), WAIT_OBJECT_0);
  EXPECT_EQ(c.value, 80000);
  EXPECT_EQ(c.section.LockCount, 0u);
  EXPECT_EQ(c.section.OwnerThread, nullptr);
  for (HANDLE t : threads) CloseHandle(t);
  DeleteCriticalSection(&c.section);
}

TEST(CriticalSection, TryEnterFailsWhileAnotherThreadHoldsIt) {
  CRITICAL_SECTION s;
  InitializeCriticalSection(&s);
  EnterCriticalSection(&s);
  EXPECT_EQ(s.LockCount, 1u);
  BOOL other = TRUE;
  std::thread([&] { other = TryEnterCriticalSection(&s); }).join();
  EXPECT_FALSE(other);
  EXPECT_TRUE(TryEnterCriticalSection(&s));
  EXPECT_EQ(s.LockCount, 2u);
  LeaveCriticalSection(&s);
  LeaveCriticalSection(&s);
  std::thread([&] {
    other = TryEnterCriticalSection(&s);
    LeaveCriticalSection(&s);
  }).join();
  EXPECT_TRUE(other);
  DeleteCriticalSection(&s);
}

TEST(CriticalSection, LeaveByANonOwnerIsIgnored) {
  zb::testing::TestDevice device;
  CRITICAL_SECTION s;
  InitializeCriticalSection(&s);
  EnterCriticalSection(&s);
  std::thread([&] { LeaveCriticalSection(&s); }).join();
  EXPECT_EQ(s.LockCount, 1u);
  BOOL other = TRUE;
  std::thread([&] { other = TryEnterCriticalSection(&s); }).join();
  EXPECT_FALSE(other);  // still held by this thread
  LeaveCriticalSection(&s);
  DeleteCriticalSection(&s);
}

struct InterlockedCase {
  const char* name;
  LONG start;
  LONG (*op)(LONG volatile*);
  LONG expectReturn;
  LONG expectAfter;
};

const InterlockedCase kCases[] = {
    {"Increment", 5, [](LONG volatile* p) { return InterlockedIncrement(p); }, 6, 6},
    {"IncrementWraps", 0x7FFFFFFF, [](LONG volatile* p) { return InterlockedIncrement(p); }, INT32_MIN, INT32_MIN},
    {"Decrement", 0, [](LONG volatile* p) { return InterlockedDecrement(p); }, -1, -1},
    {"Exchange", 3, [](LONG volatile* p) { return InterlockedExchange(p, 9); }, 3, 9},
    {"CompareExchangeMatch", 3, [](LONG volatile* p) { return InterlockedCompareExchange(p, 9, 3); }, 3, 9},
    {"CompareExchangeMiss", 4, [](LONG volatile* p) { return InterlockedCompareExchange(p, 9, 3); }, 4, 4},
    {"TestExchangeMatch", 0, [](LONG volatile* p) { return InterlockedTestExchange(p, 0, 1); }, 0, 1},
    {"TestExchangeMiss", 1, [](LONG volatile* p) { return InterlockedTestExchange(p, 0, 1); }, 1, 1},
};

TEST(Interlocked, EachCallReturnsAndStoresWhatThePlatformSays) {
  for (const InterlockedCase& c : kCases) {
    LONG value = c.start;
    EXPECT_EQ(c.op(&value), c.expectReturn) << c.name;
    EXPECT_EQ(value, c.expectAfter) << c.name;
  }
}

TEST(Interlocked, IncrementsFromManyThreadsAreNotLost) {
  LONG value = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 50000; ++i) InterlockedIncrement(&value);
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(value, 200000);
}

}  // namespace
