// Chorus Effect's LFO rate in thousandths of a hertz, which its page sets; the next block sees a
// change and builds the oscillator and delay line again.
#pragma once
#include <atomic>

std::atomic<int>& ChorusSpeed();
