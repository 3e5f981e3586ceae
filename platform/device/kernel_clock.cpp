// The device clock: the host's monotonic milliseconds, or a test clock kept in the kernel segment
// so every process of the device sees the same time. Moving the test clock wakes every timed
// waiter, which then measures its time-out again against the new reading.
#include <ctime>

#include "device/kernel_internal.h"

namespace zb::kernel {
namespace {

uint64_t HostMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000 + static_cast<uint64_t>(ts.tv_nsec) / 1000000;
}

void PokeTimed(Segment& s) {
  for (WaitBlock& b : s.waiters) {
    if (b.inUse && b.timed) {
      b.wake.store(1);
      FutexWakeAll(b.wake);
    }
  }
}

}  // namespace

uint64_t ClockNow(Segment& s, bool* test) {
  // Read without the lock: both words are only written under it, and a reader between the two
  // writes of TakeOverClock sees the host clock once more, which is harmless.
  *test = std::atomic_ref(s.clockActive).load() != 0;
  return *test ? std::atomic_ref(s.clockMs).load() : HostMs();
}

uint64_t NowMs() {
  bool test = false;
  return ClockNow(Current(), &test);
}

void TakeOverClock(uint64_t startMs) {
  Segment& s = Current();
  Locked lock(s);
  std::atomic_ref(s.clockMs).store(startMs);
  std::atomic_ref(s.clockActive).store(1);
  PokeTimed(s);
}

void AdvanceClock(uint64_t ms) {
  Segment& s = Current();
  Locked lock(s);
  std::atomic_ref(s.clockMs).fetch_add(ms);
  PokeTimed(s);
}

void ReleaseClock() {
  Segment& s = Current();
  Locked lock(s);
  std::atomic_ref(s.clockActive).store(0);
  PokeTimed(s);
}

uint32_t TimedWaiters() {
  Segment& s = Current();
  Locked lock(s);
  uint32_t n = 0;
  for (const WaitBlock& b : s.waiters) n += b.inUse && b.timed && b.result < 0;
  return n;
}

}  // namespace zb::kernel
