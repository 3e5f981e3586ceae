// The test clock's entry points for tests, over the clock kept in the device's kernel segment.
#include "testing/test_clock.h"

#include "device/kernel_objects.h"

namespace zb::testing {

void TakeOverClock(uint64_t startMs) { kernel::TakeOverClock(startMs); }
void AdvanceClock(uint64_t ms) { kernel::AdvanceClock(ms); }
void ReleaseClock() { kernel::ReleaseClock(); }
uint32_t TimedWaiters() { return kernel::TimedWaiters(); }

}  // namespace zb::testing
