// What the audio decoder's files share inside the library: the bit reader over the supplied
// packets (inline, since the coefficient loops live on it) and the block decoding entry.
#pragma once
#include <cstdint>

#include "wma_audio.h"

// Fetches the next packet into the reader: with the bit reservoir its header is taken (and a
// sequence gap marked as a discontinuity) and the read goes on behind it. Sets the out-of-data
// flag when the supply has nothing more.
void WmaBitFetch(WmaAudioDecoder* d);
// Puts the reader back at the start of the packet fetched last (behind its header with the bit
// reservoir), unless the data ran out or no packet was fetched yet.
void WmaBitRealign(WmaAudioDecoder* d);
// Empties the cache and forgets the packet being read.
void WmaBitClear(WmaAudioDecoder* d);

// Moves whole bytes of the packet into the cache while it has room.
inline void WmaBitLoad(WmaBitReader& r) {
  while (r.bits <= 56 && r.left > 0) {
    r.cache |= static_cast<uint64_t>(*r.next++) << (56 - r.bits);
    r.bits += 8;
    --r.left;
  }
}

// At least `n` (up to 57) bits in the cache, fetching packets as needed; past the end of the
// data the reads see zeros.
inline void WmaBitNeed(WmaAudioDecoder* d, int n) {
  WmaBitReader& r = d->reader;
  WmaBitLoad(r);
  while (r.bits < n) {
    if (r.left < 0) {
      r.bits = 64;  // the cache's low bits are zero
      return;
    }
    WmaBitFetch(d);
    WmaBitLoad(r);
  }
}

inline void WmaBitSkipCached(WmaBitReader& r, int n) {
  r.cache = n >= 64 ? 0 : r.cache << n;
  r.bits -= n;
  r.count += static_cast<uint32_t>(n);
}

// The next n bits (0 to 32) as an unsigned value.
inline uint32_t WmaBitGet(WmaAudioDecoder* d, int n) {
  if (n <= 0) return 0;
  WmaBitNeed(d, n);
  const uint32_t v = static_cast<uint32_t>(d->reader.cache >> (64 - n));
  WmaBitSkipCached(d->reader, n);
  return v;
}

inline void WmaBitSkip(WmaAudioDecoder* d, uint32_t n) {
  while (n > 0) {
    const int step = n > 32 ? 32 : static_cast<int>(n);
    WmaBitGet(d, step);
    n -= static_cast<uint32_t>(step);
  }
}

// Drops the bits up to the next byte boundary of the reader's byte grid.
inline void WmaBitAlign(WmaAudioDecoder* d) { WmaBitGet(d, static_cast<int>((8 - d->reader.count % 8) % 8)); }

// One symbol of a Huffman table (see wma_tables.h): its value, or -1 for an unused code; the
// symbol's bits are consumed. A code is only fetched past the packet's end when it needs to be.
int WmaBitGetSymbol(WmaAudioDecoder* d, const uint16_t* table);
// The lookup alone: symbol and length of the code at the top of `bits` (left-aligned).
int WmaHuffmanLookup(const uint16_t* table, uint32_t bits, int* length);

// The format's block decoding: header, envelope, spectrum, transform and output.
int WmaDecodeBlock(WmaAudioDecoder* d);
// Clears the overlap history (after a reset or a lost packet).
void WmaClearHistory(WmaAudioDecoder* d);

// The block header and the exponents of every coded channel: 0, or WMA_MALFORMED.
int WmaAudioReadBlockHeader(WmaAudioDecoder* d);
// One channel's spectrum from its run-level codes, dequantised (and its noise-coded bands
// filled) into d->spectrum[channel] in natural order: 0, WMA_MALFORMED or WMA_PACKET_LOST.
int WmaCoefDecode(WmaAudioDecoder* d, int channel);
// The inverse transform of a block of 2^bits coefficients, in place: the middle half of the
// 2N-sample output of the inverse MDCT (the rest follows by symmetry), as PCM in Q12. `work`
// holds 2^bits values.
void WmaInverseTransform(int32_t* data, int32_t* work, int bits, int version);

// Line spectral pairs: ten codebook values (Q30, -2 cos w) into the prediction polynomial's ten
// coefficients, in place (Q25, -2 times A's coefficients 1 to 10 in order).
void WmaAudioLspToPolynomial(int32_t* codes);
// Reads a channel's ten codes for a block of 2^bits and makes its polynomial.
void WmaReadLspCodes(WmaAudioDecoder* d, int channel, int bits);
// The channel's envelope at each position of the current block, relative to the largest value
// of the block its codes were read with (Q28); `scratch` holds a block's values meanwhile.
void WmaEnvelopeFromLsp(WmaAudioDecoder* d, int channel, int32_t* ratio, int32_t* scratch);

// A dequantisation step: a value of level L is hi32(mantissa * (L << shift)). It is
// 10^(d / 16 + g / 20) * 2^(base - 9) for exponent difference d, gain g and base 13 (version 2)
// or 14 (version 1); a mantissa of 0 means the step is too small to matter.
struct WmaStep {
  uint32_t mantissa;
  int shift;
};
WmaStep WmaQuantStep(int difference, int gain, int base);
// The step of the block's own scaling: version 1 blocks of an even bit count carry the 1/sqrt(2)
// of their transform's norm in it.
WmaStep WmaBlockStep(const WmaAudioDecoder* d, int difference, int gain);
// hi32(mantissa * (level << shift)), 0 for a shift outside 0..31.
inline uint32_t WmaScaleLevel(WmaStep step, uint32_t level) {
  if (step.shift < 0 || step.shift > 31) return 0;
  return static_cast<uint32_t>((static_cast<uint64_t>(step.mantissa) * static_cast<uint32_t>(level << step.shift)) >> 32);
}
