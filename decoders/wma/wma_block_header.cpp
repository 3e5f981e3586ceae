// A block's header: its size and place in the frame, which channels it codes and whether as mid
// and side, the total gain, the noise-coded high bands, and each coded channel's exponents (one
// per band, Huffman-coded steps, or ten line-spectral-pair codes) or the reuse of the last
// block's.
#include <algorithm>

#include "wma_audio_internal.h"
#include "wma_block_bands.h"
#include "wma_tables.h"

namespace {

// Far above any real gain (about 1.5 dB a step), well short of running through a packet.
constexpr uint32_t kMaxTotalGain = 1u << 12;

// One block-size index: a size of fl - index bits, or -1 past the largest the stream has.
int ReadBlockBits(WmaAudioDecoder* d) {
  const uint32_t index = WmaBitGet(d, d->blockSizeIndexBits);
  return index > d->blockSizeCount ? -1 : d->frameBits - static_cast<int>(index);
}

int ReadBlockSizes(WmaAudioDecoder* d) {
  if (d->blockSizeIndexBits == 0) return 0;
  if (d->resetBlockSizes) {
    const int prev = ReadBlockBits(d);
    const int cur = ReadBlockBits(d);
    if (prev < 0 || cur < 0) return WMA_MALFORMED;
    d->prevBits = static_cast<uint8_t>(prev);
    d->curBits = static_cast<uint8_t>(cur);
    d->resetBlockSizes = 0;
    d->blockNumber = 1;
    d->framePosition = 0;
  }
  const int next = ReadBlockBits(d);
  if (next < 0) return WMA_MALFORMED;
  d->nextBits = static_cast<uint8_t>(next);
  return 0;
}

// Which high bands of each coded channel are noise, how many coefficients the others leave to
// run-level codes, and the noise bands' gains.
int ReadNoiseBands(WmaAudioDecoder* d, const WmaBlockBands& bands) {
  const uint32_t c0 = d->version == 1 ? 3 : 0;
  const uint32_t end = d->coefficientEnd, hs = d->highBandStart;
  for (int ch = 0; ch < d->channels; ++ch) {
    WmaChannelNoise& n = d->noise[ch];
    n = WmaChannelNoise{};
    if (!(d->channelCoded & (2 >> ch))) continue;
    if (hs >= end) {
      n.codedCount = end > c0 ? end - c0 : 0;
      continue;
    }
    n.codedCount = hs > c0 ? hs - c0 : 0;
    for (int i = d->firstHighBand; i < bands.count && bands.Lower(i) < end; ++i) {
      if (WmaBitGet(d, 1)) {
        n.flags[i] = 1;
        ++n.noiseBands;
      } else {
        const uint32_t from = std::max<uint32_t>(hs, bands.Lower(i)), to = std::min<uint32_t>(end, bands.edges[i]);
        if (to > from) n.codedCount += to - from;
      }
    }
  }
  for (int ch = 0; ch < d->channels; ++ch) {
    WmaChannelNoise& n = d->noise[ch];
    for (int k = 0; k < n.noiseBands; ++k) {
      if (k == 0) {
        n.values[0] = static_cast<int16_t>(static_cast<int>(WmaBitGet(d, 7)) - 19);
      } else {
        const int symbol = WmaBitGetSymbol(d, kWmaHighBandCode);
        if (symbol < 0) return WMA_MALFORMED;
        n.values[k] = static_cast<int16_t>(n.values[k - 1] + symbol - 18);
      }
    }
  }
  return 0;
}

// Band exponents: version 1 starts from a 5-bit value, version 2 from 36; each further band
// steps by its code's value.
int ReadExponents(WmaAudioDecoder* d, int channel, int bandCount) {
  WmaChannelEnvelope& env = d->envelope[channel];
  int e = d->version == 1 ? 10 + static_cast<int>(WmaBitGet(d, 5)) : 36;
  for (int i = 0; i < bandCount; ++i) {
    if (i > 0 || d->version != 1) {
      const int symbol = WmaBitGetSymbol(d, kWmaExponentCode);
      if (symbol < 0) return WMA_MALFORMED;
      e += symbol - 60;
    }
    env.exponents[i] = static_cast<int16_t>(e);
  }
  env.largest = *std::max_element(env.exponents, env.exponents + bandCount);
  return 0;
}

// Line spectral pairs: ten codes for each coded channel when the block carries them; otherwise
// each coded channel reuses the codes it read last, which it must have.
int ReadLspEnvelopes(WmaAudioDecoder* d, int bits) {
  for (int ch = 0; ch < d->channels; ++ch) {
    d->lsp[ch].fresh = 0;
    if (!(d->channelCoded & (2 >> ch))) continue;
    if (d->exponentsPresent)
      WmaReadLspCodes(d, ch, bits);
    else if (!d->lsp[ch].valid)
      return WMA_MALFORMED;
  }
  return 0;
}

}  // namespace

int WmaAudioReadBlockHeader(WmaAudioDecoder* d) {
  if (ReadBlockSizes(d)) return WMA_MALFORMED;
  const int bits = d->curBits;
  const uint32_t n = 1u << bits;
  if (d->framePosition != 0) ++d->blockNumber;
  const uint32_t position = d->framePosition + n / 32;
  if (position > (1u << d->frameBits) / 32) return WMA_MALFORMED;
  d->framePosition = static_cast<uint8_t>(position);
  d->blockLength = static_cast<uint16_t>(n);
  WmaBlockBands bands;
  if (!WmaBlockBandsFor(d, bits, &bands)) return WMA_MALFORMED;
  d->coefficientEnd = static_cast<uint16_t>(1864u >> (11 - bits));
  if (d->noiseCoding) {
    d->highBandStart = static_cast<uint16_t>(std::min(n, WmaHighBandStart(d, bits)));
    d->firstHighBand = static_cast<uint8_t>(bands.FirstAbove(d->highBandStart));
  }
  d->outputStage = d->firstOutput == 3 ? 4 : 0;
  d->firstOutput = 1;

  const uint32_t v = d->channels == 2 ? WmaBitGet(d, 3) : WmaBitGet(d, 1) * 2;
  d->channelCoded = static_cast<uint8_t>(v & 3);
  d->midSide = static_cast<uint8_t>(v >> 2);
  if (d->channelCoded == 0) return 0;

  uint32_t gain = 1;
  for (;;) {
    const uint32_t step = WmaBitGet(d, 7);
    gain += step;
    if (step != 127) break;
    if (gain > kMaxTotalGain) return WMA_MALFORMED;
  }
  d->totalGain = gain;
  d->coefficientBits = gain < 15 ? 13 : gain < 32 ? 12 : gain < 40 ? 11 : gain < 45 ? 10 : 9;

  const uint32_t c0 = d->version == 1 ? 3 : 0;
  if (d->noiseCoding) {
    if (ReadNoiseBands(d, bands)) return WMA_MALFORMED;
  } else {
    for (int ch = 0; ch < 2; ++ch) {
      d->noise[ch] = WmaChannelNoise{};
      d->noise[ch].codedCount = d->coefficientEnd - c0;
    }
  }

  d->exponentsPresent = d->blockSizeIndexBits == 0 || bits == d->frameBits || WmaBitGet(d, 1);
  if (!d->expByHuffman) return ReadLspEnvelopes(d, bits);
  if (!d->exponentsPresent) return d->exponentsRead ? 0 : WMA_MALFORMED;
  d->bandRow = static_cast<uint8_t>(bands.row);
  d->expBits = static_cast<uint8_t>(bits);
  for (int ch = 0; ch < d->channels; ++ch) {
    if (!(d->channelCoded & (2 >> ch))) {
      d->envelope[ch] = WmaChannelEnvelope{};
      continue;
    }
    if (ReadExponents(d, ch, bands.count)) return WMA_MALFORMED;
  }
  d->exponentsRead = 1;
  return 0;
}
