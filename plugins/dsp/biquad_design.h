// The second-order filter behind Bass Boost and Variable Filters: its eight designs in double
// precision and their Q24 fixed-point form. Inputs are bounded before the design so that no
// coefficient leaves the range the fixed-point filter can multiply without overflow.
#pragma once
#include <cstdint>

enum BiquadType {
  BIQUAD_PREAMP = 0,
  BIQUAD_LOWPASS,
  BIQUAD_HIGHPASS,
  BIQUAD_BANDPASS,
  BIQUAD_NOTCH,
  BIQUAD_LOWSHELF,
  BIQUAD_HIGHSHELF,
  BIQUAD_PEAKING,
  BIQUAD_TYPE_COUNT
};

constexpr int kBiquadMaxGainDb = 50;  // the pages' range, -50 ... +50 dB

// Normalised by a0: y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2.
struct BiquadDesign {
  double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// Q24 (value x 2^24, truncated toward zero), 64-bit so that +50 dB designs fit.
struct BiquadQ24 {
  int64_t b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// `type` out of range designs the preamp; a `rate` of 0 or less designs nothing (identity).
// Gain is clamped to +-50 dB, the frequency to 1 Hz ... just under half the rate, q below 0.1
// is taken as 1.
BiquadDesign DesignBiquad(int type, int rate, int frequency, int gainDb, double q);
BiquadQ24 ToQ24(const BiquadDesign& design);
