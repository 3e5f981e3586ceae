// The time-domain ten-band equaliser of the sample path: a preamp gain, then a low shelf, eight
// peaking sections and a high shelf, in 32-bit fixed point (Q4.28 coefficients). The design runs
// on the interface thread and is published whole; the filter runs on the decoder thread.
#pragma once
#include <windows.h>

#include <memory>

constexpr int kEqBandCount = 10;
constexpr int kEqStageCount = 11;  // stage 0 is the preamp, 1..10 the bands
constexpr int kEqFlatValue = 31;   // band and preamp values run 0..63; 31 is 0 dB
constexpr int kEqMaxValue = 63;

// One section's coefficients as value x 2^28, truncated toward zero. c1 is the feedback on
// y[n-1] for the shelves, and the weight of x[n-1] - y[n-1] for the peaking sections (whose b1
// is then 0); c2 is the feedback on y[n-2]. reciprocalA0 is kept for inspection only.
struct EqStage {
  LONG reciprocalA0, c1, c2, b0, b1, b2;
};

struct EqDesign {
  EqStage stages[kEqStageCount];
  BOOL bypass;  // every band at 31: only the preamp stage runs
};

// The coefficients for ten band values and the preamp (values outside 0..63 count as the
// nearest end; no bands at all count as flat). Always designed for 44100 Hz.
EqDesign ComputeEqDesign(const signed char* bands, int preamp);

// Designs the filter and publishes it whole to the running filter, which starts its histories
// afresh at its next block. eqOn is not consulted: the sample chain decides whether to filter.
void DesignEqFilter(int eqOn, const signed char* bands, int preamp);

// The design the filter uses now; before the first design, the flat design (gain 1).
std::shared_ptr<const EqDesign> CurrentEqDesign();

// Filters interleaved signed 16-bit PCM in place, every frame of it (frames is cut to what
// byteCount holds). Mono and stereo only; other layouts pass unchanged.
void ApplyEqualizer(void* samples, int byteCount, int channels, int frames);
