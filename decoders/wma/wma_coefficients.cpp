// One channel's spectrum: run-level codes over the positions the block codes (below the high band
// start and in the high bands that are not noise), each level times its band's step (or, with
// line spectral pairs, the block's step weighed by the envelope), then the noise-coded bands
// filled from the generator at their own gains.
#include <cstring>

#include "wma_audio_internal.h"
#include "wma_block_bands.h"
#include "wma_tables.h"

namespace {

struct Segment {
  uint32_t from, count;
};

// The runs of positions that take run-level values, in order.
int CodedSegments(const WmaAudioDecoder* d, int channel, const WmaBlockBands& bands, Segment* out) {
  const uint32_t c0 = d->version == 1 ? 3 : 0, end = d->coefficientEnd;
  if (!d->noiseCoding || d->highBandStart >= end) {
    out[0] = {c0, end > c0 ? end - c0 : 0};
    return 1;
  }
  const uint32_t hs = d->highBandStart;
  int n = 0;
  out[n++] = {c0, hs > c0 ? hs - c0 : 0};
  const WmaChannelNoise& noise = d->noise[channel];
  for (int i = d->firstHighBand; i < bands.count && bands.Lower(i) < end; ++i) {
    const uint32_t from = bands.Lower(i) > hs ? bands.Lower(i) : hs;
    const uint32_t to = bands.edges[i] < end ? bands.edges[i] : end;
    if (!noise.flags[i] && to > from) out[n++] = {from, to - from};
  }
  return n;
}

// The exponent that covers a block position.
int ExponentAt(const WmaAudioDecoder* d, int channel, const WmaBlockBands& exp, uint32_t position) {
  int band = 0;
  while (band + 1 < exp.count && position >= exp.edges[band]) ++band;
  return d->envelope[channel].exponents[band];
}

// Noise-coded bands: generator noise at the band's gain, relative to the exponent of the last
// noise-coded band (one the stream wrote for this channel).
void FillNoiseBands(WmaAudioDecoder* d, int channel, const WmaBlockBands& bands, const WmaBlockBands& exp) {
  const WmaChannelNoise& noise = d->noise[channel];
  if (noise.noiseBands == 0) return;
  int32_t* out = d->spectrum[channel];
  const uint32_t hs = d->highBandStart, end = d->coefficientEnd;
  int last = -1;
  for (int i = d->firstHighBand; i < bands.count; ++i)
    if (noise.flags[i]) last = i;
  const int reference = ExponentAt(d, channel, exp, bands.Lower(last) > hs ? bands.Lower(last) : hs);
  int value = 0;
  for (int i = d->firstHighBand; i < bands.count && bands.Lower(i) < end; ++i) {
    if (!noise.flags[i]) continue;
    const uint32_t from = bands.Lower(i) > hs ? bands.Lower(i) : hs;
    const uint32_t to = bands.edges[i] < end ? bands.edges[i] : end;
    const WmaStep step = WmaBlockStep(d, ExponentAt(d, channel, exp, from) - reference, noise.values[value++]);
    // A step this large is no noise a real stream codes; its band stays silent.
    if (step.mantissa == 0 || step.shift > 28) continue;
    const int down = 28 - step.shift > 31 ? 31 : 28 - step.shift;
    const int64_t scale = static_cast<int64_t>(step.mantissa >> 1);
    for (uint32_t p = from; p < to; ++p) {
      d->noiseState = d->noiseState * 0x19660Du + 0x3C6EF35Fu;
      const int32_t s = static_cast<int32_t>(d->noiseState);
      const int32_t n = (s >> 2) + (s >> 4);
      const int64_t product = static_cast<int64_t>(n - d->noisePrevious) * scale;
      out[p] = static_cast<int32_t>(product >> 32) >> down;
      d->noisePrevious = n;
    }
  }
}

}  // namespace

int WmaCoefDecode(WmaAudioDecoder* d, int channel) {
  const uint32_t n = d->blockLength;
  int32_t* out = d->spectrum[channel];
  // Line spectral pairs: the envelope at each position, which weighs the one step of the block.
  const bool lsp = !d->expByHuffman;
  int32_t* ratio = d->work;
  if (lsp) {
    WmaEnvelopeFromLsp(d, channel, ratio, out);
    // Version 1 codes from coefficient 3 on, and its envelope starts with that coefficient.
    if (d->version == 1) std::memmove(ratio + 3, ratio, (n - 3) * sizeof *ratio);
  }
  std::memset(out, 0, n * sizeof *out);
  WmaBlockBands bands, exp;
  if (!WmaBlockBandsFor(d, d->curBits, &bands)) return WMA_MALFORMED;
  WmaExponentBands(d, d->curBits, &exp);
  const int set = (d->tableSet - 1) * 2 + (channel == 1 && d->midSide ? 1 : 0);
  const uint16_t* code = kWmaCoefficientCodes[set];
  const uint16_t* runLevels = kWmaRunLevels[set];
  const int runLevelCount = kWmaRunLevelCount[set];
  Segment segments[kWmaMaxBands + 1];
  const int segmentCount = CodedSegments(d, channel, bands, segments);
  const uint32_t coded = d->noise[channel].codedCount;
  const WmaChannelEnvelope& env = d->envelope[channel];
  const int gain = static_cast<int>(d->totalGain);

  int segment = 0;
  uint32_t segmentStart = 0;  // coded index of the segment's first position
  int band = -1;
  uint32_t bandEnd = 0;
  WmaStep step{0, 0};
  const WmaStep lspStep = lsp ? WmaBlockStep(d, 0, gain) : step;
  for (uint32_t k = 0; k < coded; ++k) {
    const int symbol = WmaBitGetSymbol(d, code);
    if (symbol < 0) return WMA_MALFORMED;
    if (symbol == 1) break;
    uint32_t level, run, positive;
    if (symbol == 0) {
      level = WmaBitGet(d, d->coefficientBits);
      const uint32_t v = WmaBitGet(d, d->frameBits + 1);
      run = v >> 1;
      positive = v & 1;
    } else {
      if (symbol - 2 >= runLevelCount) return WMA_MALFORMED;
      const uint32_t word = runLevels[symbol - 2];
      const uint32_t split = word & 63;
      level = (word >> 6) & ((1u << (split - 6)) - 1);
      run = word >> split;
      positive = WmaBitGet(d, 1);
    }
    k += run;
    if (k >= coded) return WMA_MALFORMED;
    while (segment < segmentCount && k - segmentStart >= segments[segment].count) {
      segmentStart += segments[segment].count;
      ++segment;
    }
    if (segment >= segmentCount) return WMA_MALFORMED;
    const uint32_t position = segments[segment].from + (k - segmentStart);
    if (position >= n) return WMA_MALFORMED;
    if (lsp) {
      const uint64_t weighed = (static_cast<uint64_t>(WmaScaleLevel(lspStep, level)) * static_cast<uint32_t>(ratio[position])) >> 28;
      const uint32_t magnitude = weighed > 0x7FFFFFFFu ? 0x7FFFFFFFu : static_cast<uint32_t>(weighed);
      out[position] = static_cast<int32_t>(positive ? magnitude : 0u - magnitude);
      continue;
    }
    if (band < 0 || position >= bandEnd) {
      if (band < 0) band = 0;
      while (band + 1 < exp.count && position >= exp.edges[band]) ++band;
      bandEnd = band + 1 < exp.count ? exp.edges[band] : n;
      step = WmaBlockStep(d, env.exponents[band] - env.largest, gain);
      if (d->discontinuity) return WMA_PACKET_LOST;
    }
    const uint32_t magnitude = WmaScaleLevel(step, level);
    out[position] = static_cast<int32_t>(positive ? magnitude : 0u - magnitude);
  }
  if (d->noiseCoding) {
    if (lsp)
      WmaFillLspNoise(d, channel, bands, ratio);
    else
      FillNoiseBands(d, channel, bands, exp);
  }
  return d->discontinuity ? WMA_PACKET_LOST : 0;
}
