// Noise of streams coded with line spectral pairs: a noise-coded band gets generator noise shaped
// by the envelope, at its own gain and at the square root of its envelope power over that of the
// last noise-coded band (both bands the stream flagged); every other position the run-level
// codes left at 0 gets a little noise (the noise multiplier, 0.04 of a step) under the envelope.
#include <algorithm>

#include "wma_audio_internal.h"
#include "wma_block_bands.h"

namespace {

// One draw: the difference of the state and its halves swapped, about unit RMS in Q29.
inline int32_t Draw(uint32_t& state) {
  state = state * 0x19660Du + 0x3C6EF35Fu;
  const uint32_t swapped = (state << 16) | (state >> 16);
  const int32_t t = static_cast<int32_t>((swapped >> 1) - (state >> 1));
  return (t >> 1) + (t >> 3);
}

inline int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN + 1, INT32_MAX)); }

// A draw under the envelope value (Q28) and a further factor in Q(bits).
inline int32_t Shape(int32_t draw, int32_t ratio, int64_t factor, int bits) {
  const int64_t shaped = (static_cast<int64_t>(draw) * ratio) >> 28;
  return Clamp32((Clamp32(shaped) * factor) >> bits);
}

// A noise value x (a level in Q29) as a coefficient of the step: hi32(x * mantissa) 2^(shift - 29).
int32_t Coefficient(int32_t x, WmaStep step) {
  if (step.mantissa == 0) return 0;
  const int64_t high = (static_cast<int64_t>(x) * step.mantissa) >> 32;
  const int up = step.shift - 29;
  if (up <= 0) return static_cast<int32_t>(high >> std::min(-up, 40));
  if (up >= 31) return high == 0 ? 0 : high > 0 ? INT32_MAX : INT32_MIN + 1;
  return Clamp32(high * (int64_t{1} << up));
}

uint32_t SquareRoot(uint64_t v) {
  uint64_t root = 0;
  for (uint64_t bit = uint64_t{1} << 62; bit; bit >>= 2) {
    if (v >= root + bit) {
      v -= root + bit;
      root = (root >> 1) + bit;
    } else {
      root >>= 1;
    }
  }
  return static_cast<uint32_t>(root);
}

}  // namespace

void WmaFillLspNoise(WmaAudioDecoder* d, int channel, const WmaBlockBands& bands, const int32_t* ratio) {
  const WmaChannelNoise& noise = d->noise[channel];
  int32_t* out = d->spectrum[channel];
  const uint32_t n = d->blockLength, hs = d->highBandStart, end = d->coefficientEnd;
  auto from = [&](int i) { return std::max<uint32_t>(hs, bands.Lower(i)); };
  auto to = [&](int i) { return std::min<uint32_t>(end, bands.edges[i]); };

  // Each noise-coded band's RMS envelope (Q22), and the last such band's as the reference.
  uint32_t rms[kWmaMaxBands] = {};
  int last = -1;
  for (int i = d->firstHighBand; i < bands.count && bands.Lower(i) < end; ++i) {
    if (!noise.flags[i] || to(i) <= from(i)) continue;
    uint64_t sum = 0;
    for (uint32_t p = from(i); p < to(i); ++p) {
      const uint64_t e = static_cast<uint32_t>(ratio[p]) >> 6;
      sum += e * e;
    }
    rms[i] = SquareRoot(sum / (to(i) - from(i)));
    last = i;
  }

  const WmaStep blockStep = WmaBlockStep(d, 0, static_cast<int>(d->totalGain));
  uint32_t p = 0;
  auto dither = [&](uint32_t until) {
    for (; p < until; ++p)
      if (out[p] == 0) out[p] = Coefficient(Shape(Draw(d->noiseState), ratio[p], d->noiseMultiplier, 12), blockStep);
  };
  int value = 0;
  for (int i = d->firstHighBand; i < bands.count && bands.Lower(i) < end; ++i) {
    if (!noise.flags[i]) continue;
    const int gain = noise.values[value++];
    if (to(i) <= from(i)) continue;
    dither(from(i));
    const uint64_t share = rms[last] ? (static_cast<uint64_t>(rms[i]) << 16) / rms[last] : 0;
    const int64_t factor = static_cast<int64_t>(std::min<uint64_t>(share, INT32_MAX));
    const WmaStep step = WmaBlockStep(d, 0, gain);
    for (; p < to(i); ++p) out[p] = Coefficient(Shape(Draw(d->noiseState), ratio[p], factor, 16), step);
  }
  dither(n);
}
