// Pitch Adjust's one value, per cent of normal speed (50 ... 200), shared with its page.
#pragma once
#include <atomic>

std::atomic<int>& PitchPercent();
