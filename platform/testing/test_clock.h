// The device's test clock for tests: while taken over, GetTickCount, Sleep and timed waits of
// every process of the test's device follow it instead of the host's clock.
#pragma once
#include <cstdint>

namespace zb::testing {

void TakeOverClock(uint64_t startMs);
// Moves the clock on and wakes every timed waiter to look again.
void AdvanceClock(uint64_t ms);
void ReleaseClock();
// Threads of the device blocked in a timed wait (sleeps included) right now; lets a test know
// that a waiter is in place before it moves the clock.
uint32_t TimedWaiters();

}  // namespace zb::testing
