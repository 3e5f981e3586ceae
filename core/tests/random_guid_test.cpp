// MakeRandomGuid: the fields carry the system time less and plus the random word, the random
// word itself, the tick count and a clock sequence that counts up across threads.
#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <tuple>
#include <vector>

#include "core/common/random_guid.h"
#include "product_device.h"
#include "testing/test_clock.h"

namespace zb::testing {
namespace {

uint64_t FileTime64(const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

TEST(RandomGuid, FieldsCarryTheTimeTheRandomWordAndTheTick) {
  TestDevice device;
  TakeOverClock(0x12345678);
  for (int i = 0; i < 200; ++i) {
    FILETIME before, after;
    GetSystemTimeAsFileTime(&before);
    GUID g;
    ASSERT_EQ(MakeRandomGuid(&g), S_OK);
    GetSystemTimeAsFileTime(&after);
    EXPECT_GE(g.Data3, 0x1000);
    EXPECT_LE(g.Data3, 0x1FFF);
    EXPECT_EQ(g.Data4[1] & 0xC0, 0x80);
    EXPECT_EQ(g.Data4[6], 0x78);
    EXPECT_EQ(g.Data4[7], 0x56);
    const DWORD r = g.Data4[2] | g.Data4[3] << 8 | g.Data4[4] << 16 | DWORD(g.Data4[5]) << 24;
    const DWORD low = g.Data1 + r;
    const DWORD high = (DWORD(g.Data3 & 0x0FFF) << 16 | g.Data2) - r;  // 28 bits of it
    // The time lies between the two readings (low word exactly, high word in its 28 bits).
    const uint64_t seen = (uint64_t(high & 0x0FFFFFFF) << 32) | low;
    const uint64_t mask = (uint64_t(0x0FFFFFFF) << 32) | 0xFFFFFFFF;
    EXPECT_GE(seen, FileTime64(before) & mask);
    EXPECT_LE(seen, FileTime64(after) & mask);
  }
  ReleaseClock();
}

TEST(RandomGuid, TheClockSequenceCountsUpAcrossThreads) {
  constexpr int kThreads = 4, kEach = 2000;
  std::vector<std::vector<GUID>> made(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        GUID g;
        MakeRandomGuid(&g);
        made[t].push_back(g);
      }
    });
  }
  for (auto& t : threads) t.join();
  std::set<int> sequences;
  std::set<std::tuple<DWORD, WORD, WORD, uint64_t>> guids;
  for (const auto& list : made) {
    for (const GUID& g : list) {
      sequences.insert(g.Data4[0] | (g.Data4[1] & 0x3F) << 8);
      uint64_t d4 = 0;
      for (BYTE b : g.Data4) d4 = d4 << 8 | b;
      guids.insert({g.Data1, g.Data2, g.Data3, d4});
    }
  }
  // 8000 numbers in a row modulo 2^14: no two calls got the same one.
  EXPECT_EQ(sequences.size(), size_t(kThreads * kEach));
  EXPECT_EQ(guids.size(), size_t(kThreads * kEach));
}

TEST(RandomGuid, NoPlaceForTheGuidIsAnError) { EXPECT_EQ(MakeRandomGuid(nullptr), E_POINTER); }

}  // namespace
}  // namespace zb::testing
