// Set-up of the WMA audio decoder: every coding parameter follows from the rate, the channels, the
// byte rate and the encode options, in fixed point so that the decoder agrees bit for bit with the
// encoder on frame lengths, block sizes, code tables and where noise coding begins.
#include <cstring>

#include "wma_audio.h"
#include "wma_audio_internal.h"
#include "wma_tables.h"

namespace {

constexpr uint32_t kRates[6] = {44100, 32000, 22050, 16000, 11025, 8000};

// Per rate class {f0, f1, f2, t0, t1}: the high frequency is f0 of the rate when the compared bits
// per sample reach t0, else f1 when they reach t1, else f2; a factor of 0 turns noise coding off.
struct NoiseRow {
  uint32_t factor[3];
  int64_t threshold[2];
};
constexpr NoiseRow kNoiseRows[6] = {
    {{0, 0x33333333, 0xFFFFFFFF}, {0x09C28F5C, 0}},
    {{0x60000000, 0x4CCCCCCD, 0x40000000}, {0x0CCCCCCD, 0x0999999A}},
    {{0, 0x5999999A, 0x4CCCCCCD}, {0x128F5C29, 0x0B851EB8}},
    {{0x40000000, 0x26666666, 0xFFFFFFFF}, {0x08000001, 0}},
    {{0x5999999A, 0xFFFFFFFF, 0xFFFFFFFF}, {0, -1}},
    {{0, 0x53333333, 0x40000000}, {0x0C000001, 0x0A000001}},
};

int TopBit(uint32_t n) {
  int bit = 0;
  while (n > 1) n >>= 1, ++bit;
  return bit;
}

uint32_t HighWord(uint64_t a, uint64_t b) { return static_cast<uint32_t>((a * b) >> 32); }

// (x * m) >> 32 for an x of up to 64 bits, exactly.
uint64_t ScaleDown(uint64_t x, uint32_t m) { return (x >> 32) * m + (((x & 0xFFFFFFFFu) * m) >> 32); }

// 8 B / (C rate) in Q28. Kept in 64 bits: at 8 kHz mono a byte rate above 16000 makes 16 bits a
// sample or more, which a 32-bit Q28 word would wrap into a small or negative rate.
uint64_t BitsPerSample(uint32_t bytesPerSecond, int rateIndex, int channels) {
  const uint64_t x = rateIndex == 0 ? static_cast<uint64_t>(bytesPerSecond & 0x7FFF) << 16
                                    : (static_cast<uint64_t>(bytesPerSecond) << 17) << ((rateIndex - 1) >> 1);
  const uint32_t m = (rateIndex & 1) ? 0x83126E98u : 0xBE37C63Au;
  return ScaleDown(x, m) / static_cast<uint32_t>(channels);
}

// The first band whose upper edge passes the high band start, for a block of 2^bits; -1 when the
// row has no such band.
int FirstHighBand(const WmaAudioDecoder* d, int bits) {
  const int row = WmaBandRowFor(d, bits);
  if (row < 0) return -1;
  const WmaBandRow& r = kWmaBandRows[row];
  const uint32_t start = WmaHighBandStart(d, bits);
  for (int i = 0; i < r.count; ++i)
    if (r.edges[i] > start) return i;
  return -1;
}

void ChooseHighFrequency(WmaAudioDecoder* d) {
  const int rateClass = d->version == 1 ? d->rateIndex : d->rateIndex == 0 ? 0 : d->rateIndex <= 2 ? 2 : d->rateIndex;
  const NoiseRow& row = kNoiseRows[rateClass];
  const int64_t v = static_cast<int64_t>(rateClass == 0 || rateClass == 2 ? d->bitsPerSample1 : d->bitsPerSample);
  const uint32_t factor = v >= row.threshold[0] ? row.factor[0] : v >= row.threshold[1] ? row.factor[1] : row.factor[2];
  uint32_t h = (d->sampleRate >> 1) << 17;
  if (factor) h = HighWord(factor, h);
  d->highFrequency = (h + 0x8000) >> 16;
  d->noiseCoding = factor != 0;
}

// The first high band per block size: version 1 only for the frame, and without one there it
// codes no noise; version 2 for every block size in use.
void FindHighBands(WmaAudioDecoder* d) {
  if (!d->noiseCoding) return;
  if (d->version == 1) {
    const int band = FirstHighBand(d, d->frameBits);
    if (band < 0) d->noiseCoding = 0;
    for (int k = 0; k < 5; ++k) d->firstHighBands[k] = static_cast<uint8_t>(band < 0 ? 0 : band);
    return;
  }
  for (int k = 0; k <= d->blockSizeCount; ++k) {
    const int row = WmaBandRowFor(d, d->frameBits - k);
    const int band = FirstHighBand(d, d->frameBits - k);
    d->firstHighBands[k] = static_cast<uint8_t>(band >= 0 ? band : row >= 0 ? kWmaBandRows[row].count - 1 : 0);
  }
}

}  // namespace

uint32_t WmaHighBandStart(const WmaAudioDecoder* d, int bits) {
  if (!d->sampleRate) return 0;
  const uint32_t perRate = ((static_cast<uint32_t>(1) << bits) << 20) / d->sampleRate;
  return (HighWord(perRate << 9, d->highFrequency << 16) + 0x800) >> 12;
}

int WmaBandRowFor(const WmaAudioDecoder* d, int bits) {
  // Version 1 has one row per rate, at the frame length; shorter blocks scale its edges.
  const int row = d->version == 1 ? d->rateIndex : d->rateIndex * 6 + 17 - bits;
  if (bits < 7 || bits > 11 || row < 0 || row >= 42 || kWmaBandRows[row].count == 0) return -1;
  return row;
}

int WmaAudioInit(WmaAudioDecoder* d, const WmaAudioConfig* c) {
  if (!d) return WMA_AUDIO_NO_DECODER;
  std::memset(static_cast<void*>(d), 0, sizeof *d);
  if (!c) return WMA_AUDIO_NO_DECODER;
  if (c->version != 1 && c->version != 2) return WMA_AUDIO_BAD_VERSION;
  const uint32_t options = c->encodeOptions;
  d->version = c->version;
  d->supply = c->supply;
  d->supplyContext = c->supplyContext;
  d->bitReservoir = (options >> 1) & 1;
  d->expByHuffman = options & 1;
  d->optionBit5 = (options >> 5) & 1;
  d->noiseMultiplier = d->expByHuffman ? 82 : 164;
  const int r = c->rateIndex;
  d->frameBits = r >= 3 ? 9 : (r == 2 || (r == 1 && c->version == 1)) ? 10 : 11;
  if (d->bitReservoir && (options & 4) && c->channels) {
    int count = static_cast<int>((options >> 3) & 3) + 1;
    if (c->avgBytesPerSecond / c->channels >= 4000) count += 2;
    d->blockSizeCount = static_cast<uint8_t>(count < d->frameBits - 7 ? count : d->frameBits - 7);
  }
  d->blockSizeIndexBits = d->blockSizeCount ? static_cast<uint8_t>(TopBit(d->blockSizeCount) + 1) : 0;
  if (r >= 6) return WMA_AUDIO_BAD_RATE;
  if (c->channels != 1 && c->channels != 2) return WMA_AUDIO_BAD_CHANNELS;
  d->rateIndex = static_cast<uint8_t>(r);
  d->sampleRate = kRates[r];
  d->channels = c->channels;
  d->bitsPerSample = BitsPerSample(c->avgBytesPerSecond, r, c->channels);
  if (c->avgBytesPerSecond > 32767) return WMA_AUDIO_BAD_BIT_RATE;
  d->bitsPerSample1 = c->channels == 2 ? ScaleDown(d->bitsPerSample, 0xCCCCCCCD) * 2 : d->bitsPerSample;
  d->tableSet = 3;
  if (r < 2) d->tableSet = d->bitsPerSample1 < 0x0B851EB8 ? 1 : d->bitsPerSample1 < 0x128F5C29 ? 2 : 3;
  ChooseHighFrequency(d);
  FindHighBands(d);
  d->bitsPerPacket = c->blockAlign * 8;
  const uint32_t n = static_cast<uint32_t>(((d->bitsPerSample >> (13 - d->frameBits)) + 0x20000) >> 18);
  const int topBit = TopBit(n);
  d->byteOffsetBits = static_cast<uint32_t>(topBit + 2);
  d->headerBits = static_cast<uint8_t>(topBit + 13);
  d->outOfData = 0;
  d->prevBits = d->curBits = d->nextBits = d->frameBits;
  d->sequence = 255;
  d->lastSequence = -2;
  d->firstOutput = 3;
  d->frameState = WMA_FRAME_NEW_PACKET;
  d->decodeBlock = WmaDecodeBlock;
  return WMA_AUDIO_OK;
}
