// Band edges as a block uses them: the band table row of the block's size (version 1: of its
// rate, at the frame length), or the row its exponents were read with, scaled to the block.
#pragma once
#include <cstdint>

#include "wma_audio.h"

struct WmaBlockBands {
  int row = -1;
  int count = 0;
  uint16_t edges[kWmaMaxBands] = {};  // upper edges in the block's coefficients
  uint32_t Lower(int i) const { return i == 0 ? 0 : edges[i - 1]; }
  // The first band whose upper edge passes `start`; the last band when none does.
  int FirstAbove(uint32_t start) const {
    for (int i = 0; i < count; ++i)
      if (edges[i] > start) return i;
    return count > 0 ? count - 1 : 0;
  }
};

// The bands of the block's own size; false when the format has no row for it.
bool WmaBlockBandsFor(const WmaAudioDecoder* d, int bits, WmaBlockBands* bands);
// The bands of the current exponents, scaled to a block of 2^bits.
void WmaExponentBands(const WmaAudioDecoder* d, int bits, WmaBlockBands* bands);

// Line spectral pairs with noise coding: the noise-coded bands of a channel filled from the
// generator at their gains and their share of the envelope's power, and every other position
// the block left at 0 given a little noise at the envelope. `ratio` is the envelope (Q28).
void WmaFillLspNoise(WmaAudioDecoder* d, int channel, const WmaBlockBands& bands, const int32_t* ratio);
