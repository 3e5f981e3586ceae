// The integer FFT that turns PCM into spectrum data for the visualisations: radix 2, in place,
// on 32-bit real and imaginary arrays holding 16-bit-range values, up to 1024 points.
#pragma once
#include <windows.h>

constexpr int kFftMaxOrder = 10;  // 1024 points

// Transforms 2^order points. The forward transform halves at every stage (the result is the
// DFT divided by n) and answers 0; the inverse halves only at stages where some value exceeds
// 16383 and answers how many stages it halved. Orders outside 0..10 (or missing arrays)
// answer -1 and leave the arrays alone.
int FixedFft(LONG* re, LONG* im, int order, BOOL inverse);
