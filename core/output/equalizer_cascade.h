// Inside the equaliser's filter: the sections a design really runs, with their histories, and
// the two ways of running them: the plain one, sample by sample, on any processor, and the wide
// one, all sections side by side in vector lanes, where the processor has the instructions.
#pragma once
#include <windows.h>

#include "core/output/equalizer.h"

constexpr int kEqMaxChannels = 2;

struct EqHistory {
  LONG x1, x2, y1, y2;  // x[n-1], x[n-2], y[n-1], y[n-2]
};

// The sections that change the sound, in order; a section whose band sits at the middle and
// that would hand its input on unchanged is left out. rows[i] holds one history per channel.
struct EqCascade {
  LONG gain;  // the preamp's b0
  int count;
  const EqStage* stages[kEqBandCount];
  bool peaking[kEqBandCount];
  EqHistory* rows[kEqBandCount];
};

EqCascade MakeEqCascade(const EqDesign& design, EqHistory (*rows)[kEqMaxChannels]);

// Both filter interleaved 16-bit PCM (1 or 2 channels) in place through the preamp, the
// cascade and the saturation, carrying the histories on; their output is the same to the bit.
void RunEqCascadePlain(const EqCascade& cascade, SHORT* samples, int frames, int channels);
// In vectors of `bits` (256 or 512; 0: the widest this processor has). False, with nothing
// touched, when the processor has no such vectors.
bool RunEqCascadeWide(const EqCascade& cascade, SHORT* samples, int frames, int channels, int bits = 0);
bool EqWideAvailable(int bits);
